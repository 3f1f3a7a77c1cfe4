#pragma once
// Named settings kept in three levels (application, section, entry) in the per-user settings
// file: $BREVANT_REGISTRY, else $XDG_CONFIG_HOME/Velmora/registry (~/.config when unset).
// Every call reads the file afresh; writes replace it atomically under an advisory lock, so
// several processes can share it.
#include <string>

namespace harlix {

// Value kinds; the numbers are those of the registry types they stood for.
enum RegType { vsStringVal = 1, vsDWORDVal = 4 };

class RegSettings {
public:
    // The stored value as text (a number as its decimal text, binary data as its bytes), or
    // vsDefault when the value is absent, empty or the file cannot be read.
    std::string GetSetting(const std::string& vsAppname, const std::string& vsSection,
                           const std::string& vsEntry, const std::string& vsDefault = {}) const;

    // Stores the value, creating the section when needed. Throws ComError when the value does
    // not suit the kind (a vsDWORDVal that is not a 32-bit integer, an unknown kind) or the
    // file cannot be written.
    void SaveSetting(const std::string& vsAppname, const std::string& vsSection,
                     const std::string& vsEntry, const std::string& vsValue,
                     RegType vsType = vsStringVal);

    // Removes one value; true when it existed and was removed.
    bool DeleteSetting(const std::string& vsAppname, const std::string& vsSection,
                       const std::string& vsEntry);

    // Removes every section of the application (SOFTWARE\<app> and all below it); true when
    // something was removed.
    bool DeleteAppEntries(const std::string& vsAppname);

    // The settings file this object reads and writes, resolved from the environment.
    std::string get_FileName() const;
};

} // namespace harlix
