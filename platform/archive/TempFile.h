#pragma once
// The temporary file an archive is written or extracted through: a new file beside the target,
// created with O_CREAT|O_EXCL|O_NOFOLLOW under a random name ("<name>.XXXXXX.part"), so that
// nothing already in the folder (a file, or a symbolic link planted at a predictable name) is
// ever opened or written through. It is renamed over the target when complete and removed on
// any failure.
#include <cstddef>
#include <filesystem>

namespace brevant::archive {

class TempFile {
public:
    // Throws ArchiveError when no such file can be created beside target.
    explicit TempFile(const std::filesystem::path& target);
    ~TempFile(); // removes the file unless it was committed
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void write(const char* data, std::size_t size); // throws ArchiveError
    // Closes the descriptor (for a writer that reopens the file by name); throws on failure.
    void close();
    // Closes and renames the file over target; throws ArchiveError (and removes it) on failure.
    void commit(const std::filesystem::path& target);

private:
    int fd_ = -1;
    std::filesystem::path path_;
    bool committed_ = false;
};

} // namespace brevant::archive
