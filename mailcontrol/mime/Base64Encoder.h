#pragma once
// base64 in lines of 72 characters (54 input bytes) each ended by CRLF, the last line included.
// Streaming: update() may be fed any slicing of the input; finish() writes the last short line.
#include <cstddef>
#include <string>
#include <string_view>

namespace mailvane::mime {

class Base64Encoder {
public:
    static constexpr std::size_t kLineBytes = 54;
    static constexpr std::size_t kLineChars = 72;

    // Room update() or finish() may need for n more input bytes.
    static constexpr std::size_t maxOutput(std::size_t n) {
        return (n / kLineBytes + 2) * (kLineChars + 2);
    }

    // Encodes the complete lines that n more bytes make; returns the characters written.
    std::size_t update(const unsigned char* in, std::size_t n, char* out);
    // Writes the held partial line (with CRLF) if any; returns the characters written.
    std::size_t finish(char* out);

private:
    unsigned char held_[kLineBytes];
    std::size_t heldLength_ = 0;
};

// base64 of data without line breaks (encoded words, login lines).
std::string base64(std::string_view data);

// Encodes whole groups of three bytes plus the padded tail; out needs 4 * ceil(n / 3) chars.
std::size_t base64Block(const unsigned char* in, std::size_t n, char* out);

} // namespace mailvane::mime
