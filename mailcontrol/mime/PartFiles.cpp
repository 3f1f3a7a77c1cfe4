#include "mime/PartFiles.h"

#include "mime/MimeErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <utility>

namespace mailvane::mime {

namespace {

constexpr std::size_t kOutputBuffer = 1024 * 1024;

} // namespace

std::unique_ptr<unsigned char[]> allocateFileBuffer(std::uint64_t fileSize, std::size_t& size) {
    size = static_cast<std::size_t>(
        std::clamp<std::uint64_t>(fileSize, kMinFileBuffer, kMaxFileBuffer));
    for (;;) {
        std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
        if (buffer)
            return buffer;
        if (size <= kSmallestFileBuffer)
            throw MimeFailure(kOutOfMemory);
        size = std::max(size / 2, kSmallestFileBuffer);
    }
}

OutputFile OutputFile::createTemporary() {
    // The system temporary folder as the environment names it; a folder that is not usable
    // fails here rather than writing somewhere the user did not choose.
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp");
    if (pattern.back() != '/')
        pattern += '/';
    pattern += "mvfXXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        throw MimeFailure(kCantCreateTempFile);
    return OutputFile(fd, pattern);
}

OutputFile::OutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
    capacity_ = kOutputBuffer;
    for (;;) {
        buffer_.reset(new (std::nothrow) char[capacity_]);
        if (buffer_)
            break;
        if (capacity_ <= kSmallestFileBuffer * 4) {
            ::close(fd_);
            ::unlink(path_.c_str());
            throw MimeFailure(kOutOfMemory);
        }
        capacity_ /= 2;
    }
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)),
      buffer_(std::move(other.buffer_)), capacity_(other.capacity_), used_(other.used_) {}

OutputFile::~OutputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void OutputFile::flush() {
    std::size_t done = 0;
    while (done < used_) {
        const ssize_t n = ::write(fd_, buffer_.get() + done, used_ - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw MimeFailure(kCantWrite);
        done += static_cast<std::size_t>(n);
    }
    used_ = 0;
}

char* OutputFile::reserve(std::size_t length) {
    if (capacity_ - used_ < length)
        flush();
    return buffer_.get() + used_;
}

void OutputFile::write(const char* data, std::size_t length) {
    while (length > 0) {
        if (used_ == capacity_)
            flush();
        const std::size_t take = std::min(length, capacity_ - used_);
        std::memcpy(buffer_.get() + used_, data, take);
        used_ += take;
        data += take;
        length -= take;
    }
}

void OutputFile::close() {
    flush();
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
        throw MimeFailure(kCantWrite);
}

InputFile::InputFile(const std::string& path) {
    do {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw MimeFailure(kCantOpenForRead);
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t InputFile::read(unsigned char* data, std::size_t length) {
    std::size_t filled = 0;
    while (filled < length) {
        const ssize_t n = ::read(fd_, data + filled, length - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw MimeFailure(kCantRead);
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    return filled;
}

} // namespace mailvane::mime
