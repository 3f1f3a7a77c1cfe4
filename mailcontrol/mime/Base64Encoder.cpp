#include "mime/Base64Encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace mailvane::mime {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters for every 12-bit value, so three input bytes take two lookups.
struct PairTable {
    std::array<std::uint16_t, 4096> pairs{};
    constexpr PairTable() {
        for (unsigned v = 0; v < 4096; ++v) {
            const auto hi = static_cast<unsigned char>(kAlphabet[v >> 6]);
            const auto lo = static_cast<unsigned char>(kAlphabet[v & 63]);
            // Stored in memory order so a plain 2-byte copy writes hi then lo.
            if constexpr (std::endian::native == std::endian::little)
                pairs[v] = static_cast<std::uint16_t>(hi | (lo << 8));
            else
                pairs[v] = static_cast<std::uint16_t>((hi << 8) | lo);
        }
    }
};

constexpr PairTable kPairs;

inline void encodeTriple(const unsigned char* in, char* out) {
    const std::uint32_t v = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
    const std::uint16_t a = kPairs.pairs[v >> 12];
    const std::uint16_t b = kPairs.pairs[v & 0xFFF];
    std::memcpy(out, &a, 2);
    std::memcpy(out + 2, &b, 2);
}

inline char* encodeLine(const unsigned char* in, char* out) {
    for (std::size_t i = 0; i < Base64Encoder::kLineBytes; i += 3, out += 4)
        encodeTriple(in + i, out);
    out[0] = '\r';
    out[1] = '\n';
    return out + 2;
}

} // namespace

std::size_t base64Block(const unsigned char* in, std::size_t n, char* out) {
    char* const start = out;
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3, out += 4)
        encodeTriple(in + i, out);
    const std::size_t rest = n - i;
    if (rest > 0) {
        const std::uint32_t v =
            (std::uint32_t{in[i]} << 16) | (rest == 2 ? std::uint32_t{in[i + 1]} << 8 : 0u);
        out[0] = kAlphabet[(v >> 18) & 63];
        out[1] = kAlphabet[(v >> 12) & 63];
        out[2] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out[3] = '=';
        out += 4;
    }
    return static_cast<std::size_t>(out - start);
}

std::size_t Base64Encoder::update(const unsigned char* in, std::size_t n, char* out) {
    char* const start = out;
    if (heldLength_ > 0) {
        const std::size_t take = std::min(n, kLineBytes - heldLength_);
        std::memcpy(held_ + heldLength_, in, take);
        heldLength_ += take;
        in += take;
        n -= take;
        if (heldLength_ < kLineBytes)
            return 0;
        out = encodeLine(held_, out);
        heldLength_ = 0;
    }
    for (; n >= kLineBytes; in += kLineBytes, n -= kLineBytes)
        out = encodeLine(in, out);
    std::memcpy(held_, in, n);
    heldLength_ = n;
    return static_cast<std::size_t>(out - start);
}

std::size_t Base64Encoder::finish(char* out) {
    if (heldLength_ == 0)
        return 0;
    std::size_t written = base64Block(held_, heldLength_, out);
    out[written++] = '\r';
    out[written++] = '\n';
    heldLength_ = 0;
    return written;
}

std::string base64(std::string_view data) {
    std::string out((data.size() + 2) / 3 * 4, '\0');
    base64Block(reinterpret_cast<const unsigned char*>(data.data()), data.size(), out.data());
    return out;
}

} // namespace mailvane::mime
