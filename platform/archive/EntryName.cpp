#include "platform/archive/EntryName.h"

#include <cctype>

namespace brevant::archive {

bool isSafeEntryName(const std::string& name) {
    if (name.empty() || name == ".")
        return false;
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return false;
    if (name.find("..") != std::string::npos)
        return false;
    // A drive letter ("C:evil") is absolute on the system the archive was meant for.
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

} // namespace brevant::archive
