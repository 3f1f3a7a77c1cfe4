#include "platform/archive/TempFolder.h"

#include "platform/archive/ArchiveError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace brevant::archive {

namespace fs = std::filesystem;

TempFolder::TempFolder(const fs::path& parent, const std::string& prefix) {
    std::string pattern = (parent / (prefix + ".XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw ArchiveError("cannot create a folder in " + parent.string() + ": " +
                           std::strerror(errno));
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

} // namespace brevant::archive
