#pragma once
// Reads a zip archive: its entry names, and one entry at a time extracted into a folder under
// its own name. Hostile names are refused (see EntryName.h); an existing file whose name differs
// only in case is replaced rather than duplicated, as file names are matched without regard to
// case throughout the program.
#include <cstdint>
#include <filesystem>
#include <string>

struct zip;

namespace brevant::archive {

class ZipReader {
public:
    // Opens the archive read-only; throws ArchiveError when it is missing or not a zip.
    explicit ZipReader(const std::filesystem::path& path);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    std::int64_t entryCount() const;
    std::string entryName(std::int64_t index) const;
    std::uint64_t entrySize(std::int64_t index) const;
    // The entry's comment; empty when it has none. At most 65535 bytes (the format's limit).
    std::string entryComment(std::int64_t index) const;

    // Extracts entry index into folder (which must exist) and returns the written path. Throws
    // ArchiveError for a refused name, an entry larger than maxBytes, an entry holding more
    // bytes than its declared size (counted as they are read; nothing beyond the declared size
    // is written) or a read/write failure; nothing is left behind in folder on failure.
    std::filesystem::path extract(std::int64_t index, const std::filesystem::path& folder,
                                  std::uint64_t maxBytes = 1ull << 31) const;

    // Reads a whole entry into memory (for tests and small documents), at most maxBytes and
    // never more than the entry declares.
    std::string readAll(std::int64_t index, std::uint64_t maxBytes = 64ull << 20) const;

private:
    zip* zip_ = nullptr;
    std::string path_;
};

} // namespace brevant::archive
