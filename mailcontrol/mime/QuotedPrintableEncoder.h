#pragma once
// Quoted-printable: CRLF or LF end a line and are written as CRLF; a blank or tab before a line
// end (or the end of the data) is written =20 / =09; "=", a lone CR, control bytes and bytes of
// 127 and above are written =XX; lines are kept to 76 characters by soft breaks ("=" CRLF).
// Streaming: update() may be fed any slicing of the input, the result is the same.
#include <cstddef>
#include <string>
#include <string_view>

namespace mailvane::mime {

class QuotedPrintableEncoder {
public:
    // Room update() or finish() may need for n more input bytes (plus held bytes).
    static constexpr std::size_t maxOutput(std::size_t n) { return n * 4 + 16; }

    std::size_t update(const unsigned char* in, std::size_t n, char* out);
    std::size_t finish(char* out);

private:
    char* literal(unsigned char c, char* out);
    char* escaped(unsigned char c, char* out);
    char* lineEnd(char* out);
    // Settles a held blank and CR once the byte after them is known (-1: end of data).
    char* settle(int next, char* out);

    int column_ = 0;
    int heldBlank_ = -1; // a blank or tab waiting to learn whether a line end follows
    bool heldCr_ = false;
};

// Encodes a whole text at once.
std::string quotedPrintable(std::string_view data);

} // namespace mailvane::mime
