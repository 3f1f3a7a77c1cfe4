#include "mime/HeaderTransform.h"

#include "mime/Base64Encoder.h"
#include "mime/Iso2022Jp.h"

#include <algorithm>

namespace mailvane::mime {

namespace {

bool hasEightBit(std::string_view value) {
    return std::any_of(value.begin(), value.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Whether the word starting at from (up to the next blank, tab or comma) holds 8-bit bytes.
bool nextWordHasEightBit(std::string_view value, std::size_t from) {
    for (std::size_t i = from; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == ' ' || c == '\t' || c == ',')
            return false;
        if (c >= 0x80)
            return true;
    }
    return false;
}

constexpr const char* kFoldBreak = "\r\n\t";

// Width of the Shift_JIS text collected into one encoded word of a Subject.
constexpr int kEncodedWordOverhead = 40;

} // namespace

std::string foldHeader(std::string_view value, int width) {
    if (width <= 0)
        return std::string(value);
    std::string out;
    out.reserve(value.size() + value.size() / static_cast<std::size_t>(width) * 3 + 4);
    int counter = width;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r' || c == '\n')
            c = ' ';
        const bool separator = c == ',' || c == ' ' || c == '\t';
        if (separator && counter <= 1) {
            const bool last = i + 1 == value.size();
            if (c == ',')
                out += c;
            if (!last)
                out += kFoldBreak;
            counter = width;
            continue;
        }
        out += c;
        --counter;
    }
    return out;
}

std::string japaneseEncodedWord(std::string_view shiftJis) {
    return "=?ISO-2022-JP?B?" + base64(shiftJisToIso2022Jp(shiftJis)) + "?=";
}

std::string transformAddressHeader(std::string_view value, int width, bool japanese) {
    if (!japanese || !hasEightBit(value))
        return foldHeader(value, width);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == '"') {
            std::size_t end = i + 1;
            while (end < value.size() && value[end] != '"')
                end += isShiftJisLead(static_cast<unsigned char>(value[end])) ? 2 : 1;
            end = std::min(end, value.size());
            const std::string_view stretch = value.substr(i + 1, end - i - 1);
            out += '"';
            // Every quoted stretch of such a value travels as an encoded word, 8-bit or not.
            out += japaneseEncodedWord(stretch);
            if (end < value.size())
                out += '"';
            i = end;
            continue;
        }
        out += static_cast<char>(c);
        if (isShiftJisLead(c) && i + 1 < value.size())
            out += value[++i];
    }
    return foldHeader(out, width);
}

std::string transformSubject(std::string_view written, int width, bool japanese) {
    if (!japanese || !hasEightBit(written))
        return foldHeader(written, width);
    // Line breaks become blanks, as folding makes them: kept, they would start header lines of
    // their own. (No Shift_JIS trail byte is a CR or LF.)
    std::string blanked(written);
    std::replace_if(
        blanked.begin(), blanked.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::string_view value = blanked;
    // A limit of 0 (header width 40 or less) leaves words whole, like width 0 leaves folding off.
    const std::size_t limit =
        width > kEncodedWordOverhead ? static_cast<std::size_t>(width - kEncodedWordOverhead) : 0;
    std::string out;
    std::string word;
    bool wordEightBit = false;
    const auto flush = [&] {
        out += wordEightBit ? japaneseEncodedWord(word) : word;
        word.clear();
        wordEightBit = false;
    };
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c == ' ' || c == '\t' || c == ',') {
            // Decoders drop the white space between two encoded words, so a blank between two
            // 8-bit words travels inside the encoded word instead.
            if (c != ',' && wordEightBit && nextWordHasEightBit(value, i + 1)) {
                word += static_cast<char>(c);
                continue;
            }
            flush();
            out += static_cast<char>(c);
            continue;
        }
        const std::size_t length = isShiftJisLead(c) && i + 1 < value.size() ? 2 : 1;
        const bool eightBit = c >= 0x80;
        if (limit > 0 && (eightBit || wordEightBit) && !word.empty() &&
            word.size() + length > limit) {
            flush();
            out += kFoldBreak;
        }
        word.append(value.substr(i, length));
        wordEightBit = wordEightBit || eightBit;
        i += length - 1;
    }
    flush();
    return out;
}

} // namespace mailvane::mime
