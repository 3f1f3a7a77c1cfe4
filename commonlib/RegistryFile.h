#pragma once
// The settings file behind RegSettings: parsing, lookup and editing of its lines, and the
// locked, atomic replacement of the file. Private to the library.
//
// Format (UTF-8 text, one item a line):
//   [SOFTWARE\Velmora\Brevant]        a section; the path between the brackets
//   "SERVERADDR"="127.0.0.1"          a string value
//   "Width"=dword:1080                a 32-bit number, signed decimal
//   "Blob"=hex:01,0a,ff               binary data, hex bytes
// Names and strings are in double quotes with \\ \" \n \r \t and \xHH escapes. Blank lines and
// lines starting with # or ; are comments. Any other line is kept as it stands and ignored. A
// UTF-8 byte-order mark at the start is skipped (and kept). Lines end with LF or CRLF, or with a
// lone CR (such lines are written back with LF); a file in UTF-16 with its byte-order mark is
// read as its text and written back in UTF-8.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace harlix::detail {

enum class ValueKind { String = 1, Binary = 3, DWord = 4 };

struct RegistryLine {
    enum class Type { Raw, Section, Value } type = Type::Raw;
    std::string text; // the line as it is written to the file (without the line end)
    std::string name; // section path or value name
    ValueKind kind = ValueKind::String;
    std::string data; // string bytes, binary bytes, or the number's decimal text
};

class RegistryFile {
public:
    static RegistryFile parse(const std::string& content);
    std::string serialize() const;

    // The first value of that name in any section of that path; names compared without case.
    const RegistryLine* find(const std::string& section, const std::string& name) const;
    void set(const std::string& section, const std::string& name, ValueKind kind,
             const std::string& data);
    // Number of value lines removed.
    int erase(const std::string& section, const std::string& name);
    // Removes the sections whose path is `path` or lies below it; number of sections removed.
    int eraseTree(const std::string& path);

    const std::vector<RegistryLine>& lines() const { return lines_; }

    static std::string formatValue(const std::string& name, ValueKind kind,
                                   const std::string& data);
    static bool sameName(const std::string& a, const std::string& b);
    // A section path as it is stored and compared: without blanks at either end, the way a
    // section line is read, so that what is written is found again.
    static std::string sectionName(const std::string& section);

private:
    std::vector<RegistryLine> lines_;
    bool byteOrderMark_ = false;
};

// Where the settings file lives: $BREVANT_REGISTRY, else $XDG_CONFIG_HOME/Velmora/registry,
// else ~/.config/Velmora/registry.
std::string registryPath();

// Reads the whole file; std::nullopt with errno set when it exists but cannot be read; an
// empty text when it does not exist.
std::optional<std::string> readRegistry(const std::string& path);

// Runs `edit` on the current content under an exclusive lock and, when it returns true,
// replaces the file atomically (mode 0600) with the result. Throws std::system_error.
void updateRegistry(const std::string& path, const std::function<bool(RegistryFile&)>& edit);

} // namespace harlix::detail
