#pragma once
// One part of a multipart message: its encoding, type, disposition, names and data (text in
// memory or a file by path), and the header block written before it.
#include <cstdint>
#include <string>
#include <string_view>

namespace mailvane::mime {

enum class Encoding : int {
    SevenBit = 0,
    QuotedPrintable = 1,
    Base64 = 2,
    EightBit = 3,
    Binary = 4,
    Unknown = 5,
};

// "7bit", "quoted-printable", "base64", "8bit", "binary", "unknown".
const char* encodingName(Encoding encoding);

struct ContentRule {
    Encoding encoding;
    const char* contentType;
};

// The encoding and type of an attachment by the text after the last "." of its name (compared
// without regard to case); base64 application/octet-stream for any other or none.
ContentRule contentRuleFor(std::string_view fileName);

// The table's entry for the name's extension, or null when the name gives no type.
const ContentRule* extensionRule(std::string_view fileName);

// The type the first bytes of a file show (TIFF, PDF, PNG, JPEG, GIF), or null when none of
// them; used for attachments whose name gives no type, such as the cache's page files.
const char* sniffedContentType(std::string_view leadingBytes);

// The name an attachment travels under: the text after the last folder separator.
std::string attachmentBaseName(std::string_view path);

struct MimePart {
    Encoding encoding = Encoding::SevenBit;
    std::string contentType;
    std::string typeParameters;
    std::string contentId;
    std::string name;
    std::string disposition;
    std::string dispositionParameters;
    std::string fileName;
    bool inMemory = false;
    std::string text; // the data when inMemory
    std::string path; // the data's file otherwise
    std::uint64_t size = 0;

    // The header lines of the part, each ended by CRLF (the blank line is not included).
    std::string headerBlock() const;
};

} // namespace mailvane::mime
