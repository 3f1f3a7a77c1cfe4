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

    void addFile(const std::string& entryName, const std::filesystem::path& source);
    void addBytes(const std::string& entryName, std::string bytes);

    // Writes the archive (an archive without entries is a valid empty zip). Throws ArchiveError.
    void write() const;

private:
    struct Entry {
        std::string name;
        std::filesystem::path source;
        std::string bytes;
        bool fromFile = false;
    };
    std::filesystem::path path_;
    std::vector<Entry> entries_;
};

} // namespace brevant::archive
