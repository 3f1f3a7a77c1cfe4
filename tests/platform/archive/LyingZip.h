#pragma once
// Hostile zips for the extraction tests: an entry whose local header and central directory
// declare fewer bytes than its compressed data unpacks to (a zip bomb), and a guard that makes
// every file this process writes fail beyond a size, so a test can tell that no more was
// written.
#include "platform/archive/ZipWriter.h"

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace brevant::archive::test {

inline void putLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

// Writes path: one entry name holding `actual` zero bytes that declares `declared` bytes as its
// uncompressed size, in the local header and in the central directory alike.
inline void writeLyingZip(const std::filesystem::path& path, const std::string& name,
                          std::size_t actual, std::uint32_t declared) {
    {
        ZipWriter writer(path);
        writer.addBytes(name, std::string(actual, '\0'));
        writer.write();
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    int patched = 0;
    for (std::size_t at = 0; at + 30 <= bytes.size(); ++at) {
        if (bytes.compare(at, 4, std::string("PK\3\4", 4)) == 0) {
            putLe32(bytes, at + 22, declared); // local header: uncompressed size
            ++patched;
        } else if (bytes.compare(at, 4, std::string("PK\1\2", 4)) == 0) {
            putLe32(bytes, at + 24, declared); // central directory: uncompressed size
            ++patched;
        }
    }
    if (patched != 2)
        throw std::runtime_error("unexpected zip layout");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// While it lives, a write that would make any file larger than `bytes` fails (EFBIG) instead
// of going through.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace brevant::archive::test
