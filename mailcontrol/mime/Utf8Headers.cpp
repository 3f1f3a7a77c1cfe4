#include "mime/Utf8Headers.h"

#include "mime/Base64Encoder.h"
#include "mime/HeaderTransform.h"

#include <algorithm>

namespace mailvane::mime {

namespace {

// "=?UTF-8?B?" + 60 base64 characters + "?=" is 72 characters, inside the limit of 75.
constexpr std::size_t kWordBytes = 45;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A quoted display name without its quotes and backslash escapes.
std::string unquote(std::string_view name) {
    if (name.size() < 2 || name.front() != '"' || name.back() != '"')
        return std::string(name);
    std::string out;
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
        if (name[i] == '\\' && i + 2 < name.size())
            ++i;
        out += name[i];
    }
    return out;
}

std::string encodeEntry(std::string_view entry) {
    if (!hasEightBit(entry))
        return std::string(entry);
    // The last "<" outside quotes starts the address.
    bool quoted = false;
    std::size_t angle = std::string_view::npos;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == '\\' && quoted) {
            ++i;
        } else if (entry[i] == '"') {
            quoted = !quoted;
        } else if (entry[i] == '<' && !quoted) {
            angle = i;
        }
    }
    if (angle == std::string_view::npos)
        return std::string(entry); // a bare address: nothing to encode
    const std::string_view name = trim(entry.substr(0, angle));
    if (!hasEightBit(name))
        return std::string(entry);
    const std::size_t lead = entry.find_first_not_of(" \t");
    return std::string(entry.substr(0, lead)) + utf8EncodedWords(unquote(name)) + " " +
           std::string(entry.substr(angle));
}

} // namespace

bool hasEightBit(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string utf8EncodedWords(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        std::size_t take = std::min(kWordBytes, text.size());
        // Back up to the start of a character, unless one character is all there is.
        while (take < text.size() && take > 1 &&
               isContinuation(static_cast<unsigned char>(text[take])))
            --take;
        if (!out.empty())
            out += ' ';
        out += "=?UTF-8?B?" + base64(text.substr(0, take)) + "?=";
        text.remove_prefix(take);
    }
    return out;
}

std::string utf8Subject(std::string_view value, int width) {
    if (!hasEightBit(value))
        return foldHeader(value, width);
    std::string flat(value);
    std::replace_if(
        flat.begin(), flat.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return foldHeader(utf8EncodedWords(flat), width);
}

std::string utf8AddressHeader(std::string_view value, int width) {
    if (!hasEightBit(value))
        return foldHeader(value, width);
    std::string out;
    bool quoted = false;
    int angle = 0;
    int comment = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                quoted = false;
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++comment;
        } else if (c == ')' && comment > 0) {
            --comment;
        } else if (c == '<') {
            ++angle;
        } else if (c == '>' && angle > 0) {
            --angle;
        } else if (c == ',' && angle == 0 && comment == 0) {
            out += encodeEntry(value.substr(start, i - start)) + ',';
            start = i + 1;
        }
    }
    out += encodeEntry(value.substr(std::min(start, value.size())));
    return foldHeader(out, width);
}

std::string rfc2231Value(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "UTF-8''";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        // attribute-char: printable ASCII except the specials, "*", "'" and "%".
        const bool plain =
            c > 0x20 && c < 0x7F &&
            std::string_view("()<>@,;:\\\"/[]?=*'%").find(ch) == std::string_view::npos;
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

} // namespace mailvane::mime
