#pragma once
// Builds a zip archive from files on disk and from bytes in memory. Entry names are written as
// given (the service uses this to produce hostile archives on purpose); the file appears at its
// path only once the archive is complete.
#include <filesystem>
#include <string>
#include <vector>

namespace brevant::archive {

class ZipWriter {
public:
    explicit ZipWriter(std::filesystem::path path);

    // comment: the entry's comment in the archive (empty: none); readers that do not look for
    // it are not affected.
    void addFile(const std::string& entryName, const std::filesystem::path& source,
                 std::string comment = {});
    void addBytes(const std::string& entryName, std::string bytes, std::string comment = {});

    // Writes the archive (an archive without entries is a valid empty zip). Throws ArchiveError.
    void write() const;

private:
    struct Entry {
        std::string name;
        std::filesystem::path source;
        std::string bytes;
        bool fromFile = false;
        std::string comment;
    };
    std::filesystem::path path_;
    std::vector<Entry> entries_;
};

} // namespace brevant::archive
