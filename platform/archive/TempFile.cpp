#include "platform/archive/TempFile.h"

#include "platform/archive/ArchiveError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace brevant::archive {

namespace fs = std::filesystem;

TempFile::TempFile(const fs::path& target) {
    static constexpr char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    int err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix = ".";
        for (int i = 0; i < 6; ++i)
            suffix += letters[random() % (sizeof letters - 1)];
        fs::path candidate = target;
        candidate += suffix + ".part";
        // Mode 0666 less the umask, as a plain file the user creates.
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            path_ = std::move(candidate);
            return;
        }
        err = errno;
        if (err != EEXIST)
            break;
    }
    throw ArchiveError("cannot create a temporary file for " + target.string() + ": " +
                       std::strerror(err));
}

TempFile::~TempFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !path_.empty())
        ::unlink(path_.c_str());
}

void TempFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw ArchiveError("cannot write " + path_.string() + ": " + std::strerror(errno));
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void TempFile::close() {
    if (fd_ < 0)
        return;
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0)
        throw ArchiveError("cannot write " + path_.string() + ": " + std::strerror(errno));
}

void TempFile::commit(const fs::path& target) {
    close();
    if (::rename(path_.c_str(), target.c_str()) != 0)
        throw ArchiveError("cannot write " + target.string() + ": " + std::strerror(errno));
    committed_ = true;
}

} // namespace brevant::archive
