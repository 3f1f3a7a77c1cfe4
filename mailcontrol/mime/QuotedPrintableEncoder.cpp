#include "mime/QuotedPrintableEncoder.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace mailvane::mime {

namespace {

enum ByteClass : std::uint8_t { kLiteral, kBlank, kCr, kLf, kEscape };

// Per byte: its class, and for plain and escaped bytes the characters written (up to three, in
// memory order) and their count, so the common path copies four bytes and advances by the count.
struct ByteTable {
    std::array<std::uint8_t, 256> kind{};
    std::array<std::uint8_t, 256> length{};
    std::array<std::array<char, 4>, 256> text{};
    constexpr ByteTable() {
        constexpr char hex[] = "0123456789ABCDEF";
        for (unsigned c = 0; c < 256; ++c) {
            if ((c >= 33 && c <= 60) || (c >= 62 && c <= 126)) {
                kind[c] = kLiteral;
                length[c] = 1;
                text[c] = {static_cast<char>(c), 0, 0, 0};
                continue;
            }
            if (c == ' ' || c == '\t')
                kind[c] = kBlank;
            else if (c == '\r')
                kind[c] = kCr;
            else if (c == '\n')
                kind[c] = kLf;
            else
                kind[c] = kEscape;
            if (kind[c] == kEscape) {
                length[c] = 3;
                text[c] = {'=', hex[c >> 4], hex[c & 15], 0};
            }
        }
    }
};

constexpr ByteTable kClasses;
constexpr char kHex[] = "0123456789ABCDEF";

// Column at which a soft break comes before the next character, and the highest column an
// escape (3 characters) may start at, so that no line passes 76 characters.
constexpr int kBreakColumn = 75;
constexpr int kLastEscapeColumn = 72;

inline char* softBreak(char* out) {
    out[0] = '=';
    out[1] = '\r';
    out[2] = '\n';
    return out + 3;
}

} // namespace

char* QuotedPrintableEncoder::literal(unsigned char c, char* out) {
    if (column_ >= kBreakColumn) {
        out = softBreak(out);
        column_ = 0;
    }
    *out++ = static_cast<char>(c);
    ++column_;
    return out;
}

char* QuotedPrintableEncoder::escaped(unsigned char c, char* out) {
    if (column_ > kLastEscapeColumn) {
        out = softBreak(out);
        column_ = 0;
    }
    out[0] = '=';
    out[1] = kHex[c >> 4];
    out[2] = kHex[c & 15];
    column_ += 3;
    return out + 3;
}

char* QuotedPrintableEncoder::lineEnd(char* out) {
    out[0] = '\r';
    out[1] = '\n';
    column_ = 0;
    return out + 2;
}

char* QuotedPrintableEncoder::settle(int next, char* out) {
    if (heldCr_) {
        heldCr_ = false;
        if (next == '\n') {
            if (heldBlank_ >= 0)
                out = escaped(static_cast<unsigned char>(heldBlank_), out);
            heldBlank_ = -1;
            return out; // the caller writes the line end for the LF
        }
        if (heldBlank_ >= 0)
            out = literal(static_cast<unsigned char>(heldBlank_), out);
        heldBlank_ = -1;
        return escaped('\r', out);
    }
    if (heldBlank_ >= 0) {
        const auto blank = static_cast<unsigned char>(heldBlank_);
        heldBlank_ = -1;
        out = (next == '\n' || next < 0) ? escaped(blank, out) : literal(blank, out);
    }
    return out;
}

std::size_t QuotedPrintableEncoder::update(const unsigned char* in, std::size_t n, char* out) {
    char* const start = out;
    const unsigned char* const end = in + n;
    while (in < end) {
        // Fast path while nothing is held: plain and escaped bytes alike take a table copy; a
        // character of length n first gets a soft break when the line would pass column 75
        // (the same rule as literal() and escaped()).
        if (heldBlank_ < 0 && !heldCr_) {
            int column = column_;
            while (in < end) {
                const unsigned char c = *in;
                const unsigned length = kClasses.length[c];
                if (length == 0)
                    break;
                if (column + static_cast<int>(length) > kBreakColumn) {
                    out = softBreak(out);
                    column = 0;
                }
                std::memcpy(out, kClasses.text[c].data(), 4);
                out += length;
                column += static_cast<int>(length);
                ++in;
            }
            column_ = column;
            if (in == end)
                break;
        }
        const unsigned char c = *in++;
        switch (kClasses.kind[c]) {
        case kLiteral:
            out = settle(c, out);
            out = literal(c, out);
            break;
        case kBlank:
            if (heldCr_ || heldBlank_ >= 0)
                out = settle(c, out);
            heldBlank_ = c;
            break;
        case kCr:
            if (heldCr_)
                out = settle('\r', out);
            heldCr_ = true;
            break;
        case kLf:
            out = settle('\n', out);
            out = lineEnd(out);
            break;
        default:
            out = settle(c, out);
            out = escaped(c, out);
            break;
        }
    }
    return static_cast<std::size_t>(out - start);
}

std::size_t QuotedPrintableEncoder::finish(char* out) {
    char* const start = out;
    if (heldCr_) {
        // A CR that ends the data is lone; a blank before it was not at a line end.
        heldCr_ = false;
        if (heldBlank_ >= 0)
            out = literal(static_cast<unsigned char>(heldBlank_), out);
        heldBlank_ = -1;
        out = escaped('\r', out);
    }
    out = settle(-1, out);
    column_ = 0;
    return static_cast<std::size_t>(out - start);
}

std::string quotedPrintable(std::string_view data) {
    QuotedPrintableEncoder encoder;
    std::string out(QuotedPrintableEncoder::maxOutput(data.size()), '\0');
    std::size_t length = encoder.update(reinterpret_cast<const unsigned char*>(data.data()),
                                        data.size(), out.data());
    length += encoder.finish(out.data() + length);
    out.resize(length);
    return out;
}

} // namespace mailvane::mime
