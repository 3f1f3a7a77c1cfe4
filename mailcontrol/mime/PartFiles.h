#pragma once
// Buffered file input and output for composing: buffers sized to the file (1 KiB to 512 KiB,
// halved down to 2 KiB when memory is short), failures thrown as MimeFailure codes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mailvane::mime {

constexpr std::size_t kMinFileBuffer = 1024;
constexpr std::size_t kMaxFileBuffer = 512 * 1024;
constexpr std::size_t kSmallestFileBuffer = 2048;

// A buffer of the size a file of fileSize bytes deserves; throws MimeFailure(200) when not even
// the smallest size can be had.
std::unique_ptr<unsigned char[]> allocateFileBuffer(std::uint64_t fileSize, std::size_t& size);

// A file being written through a large buffer.
class OutputFile {
public:
    // Creates a unique temporary file "mvf..." in the system temporary folder (170 on failure).
    static OutputFile createTemporary();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    ~OutputFile();

    const std::string& path() const noexcept { return path_; }

    void write(const char* data, std::size_t length);
    void write(const std::string& text) { write(text.data(), text.size()); }
    // At least length free bytes at the end of the buffer (flushing first if needed); length
    // must not exceed capacity().
    char* reserve(std::size_t length);
    void commit(std::size_t length) { used_ += length; }
    std::size_t capacity() const noexcept { return capacity_; }

    // Writes out the buffer and closes; errors throw MimeFailure(6).
    void close();

private:
    OutputFile(int fd, std::string path);
    void flush();

    int fd_ = -1;
    std::string path_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
};

// An attachment opened for reading (4 when it cannot be opened).
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Fills up to length bytes; 0 at the end; read errors throw MimeFailure(5).
    std::size_t read(unsigned char* data, std::size_t length);

private:
    int fd_ = -1;
};

} // namespace mailvane::mime
