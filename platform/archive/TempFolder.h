#pragma once
// A private folder for one unpacking: created new under a parent folder with mkdtemp
// ("<prefix>.XXXXXX", mode 0700), so nothing that was there before can be replaced by what an
// archive names, and removed with everything in it when the object goes (links inside are
// removed, never followed).
#include <filesystem>
#include <string>

namespace brevant::archive {

class TempFolder {
public:
    // Throws ArchiveError when the folder cannot be created.
    TempFolder(const std::filesystem::path& parent, const std::string& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace brevant::archive
