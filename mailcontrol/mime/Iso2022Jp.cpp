#include "mime/Iso2022Jp.h"

#include <cstdint>

namespace mailvane::mime {

namespace {

// JIS X 0208 codes of the full-width forms of the half-width katakana 0xA1-0xDF.
constexpr std::uint16_t kFullWidth[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
    0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
    0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
    0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
    0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};

constexpr unsigned char kVoiced = 0xDE;
constexpr unsigned char kSemiVoiced = 0xDF;

// The combined code of a half-width kana and a following mark, or 0 when there is none.
std::uint16_t combined(unsigned char kana, unsigned char mark) {
    const std::uint16_t base = kFullWidth[kana - 0xA1];
    if (mark == kVoiced) {
        if (kana == 0xB3) // u + voiced mark = vu
            return 0x2574;
        if ((kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE))
            return static_cast<std::uint16_t>(base + 1);
    } else if (mark == kSemiVoiced && kana >= 0xCA && kana <= 0xCE) {
        return static_cast<std::uint16_t>(base + 2);
    }
    return 0;
}

std::uint16_t jisFromShiftJis(unsigned char lead, unsigned char trail) {
    unsigned row = (lead < 0xA0 ? lead - 0x81u : lead - 0xC1u) * 2 + 0x21;
    unsigned column;
    if (trail >= 0x9F) {
        ++row;
        column = trail - 0x7Eu;
    } else {
        column = trail - (trail >= 0x80 ? 0x20u : 0x1Fu);
    }
    return static_cast<std::uint16_t>((row << 8) | column);
}

class JisWriter {
public:
    explicit JisWriter(std::string& out) : out_(out) {}
    void wide(std::uint16_t code) {
        if (!inRun_) {
            out_ += "\x1b$B";
            inRun_ = true;
        }
        out_ += static_cast<char>(code >> 8);
        out_ += static_cast<char>(code & 0xFF);
    }
    void single(char c) {
        close();
        out_ += c;
    }
    void close() {
        if (inRun_) {
            out_ += "\x1b(B";
            inRun_ = false;
        }
    }

private:
    std::string& out_;
    bool inRun_ = false;
};

} // namespace

std::string shiftJisToIso2022Jp(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2 + 8);
    JisWriter writer(out);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isShiftJisLead(c) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
                writer.wide(jisFromShiftJis(c, trail));
                ++i;
                continue;
            }
        }
        if (c >= 0xA1 && c <= 0xDF) {
            if (i + 1 < text.size()) {
                const std::uint16_t both = combined(c, static_cast<unsigned char>(text[i + 1]));
                if (both != 0) {
                    writer.wide(both);
                    ++i;
                    continue;
                }
            }
            writer.wide(kFullWidth[c - 0xA1]);
            continue;
        }
        writer.single(static_cast<char>(c));
    }
    writer.close();
    return out;
}

} // namespace mailvane::mime
