#include "mime/MimePart.h"

#include <strings.h>

namespace mailvane::mime {

const char* encodingName(Encoding encoding) {
    switch (encoding) {
    case Encoding::SevenBit:
        return "7bit";
    case Encoding::QuotedPrintable:
        return "quoted-printable";
    case Encoding::Base64:
        return "base64";
    case Encoding::EightBit:
        return "8bit";
    case Encoding::Binary:
        return "binary";
    case Encoding::Unknown:
        break;
    }
    return "unknown";
}

namespace {

struct ExtensionEntry {
    const char* extension;
    ContentRule rule;
};

constexpr ExtensionEntry kExtensions[] = {
    {"htm", {Encoding::QuotedPrintable, "text/plain"}},
    {"txt", {Encoding::QuotedPrintable, "text/plain"}},
    {"jpg", {Encoding::Base64, "image/jpg"}},
    {"gif", {Encoding::Base64, "image/gif"}},
    {"bmp", {Encoding::Base64, "image/bmp"}},
    {"exe", {Encoding::Base64, "application/octet-stream"}},
};

constexpr ContentRule kDefaultRule{Encoding::Base64, "application/octet-stream"};

} // namespace

const ContentRule* extensionRule(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return nullptr;
    const std::string extension(fileName.substr(dot + 1));
    for (const ExtensionEntry& entry : kExtensions)
        if (strcasecmp(entry.extension, extension.c_str()) == 0)
            return &entry.rule;
    return nullptr;
}

ContentRule contentRuleFor(std::string_view fileName) {
    const ContentRule* rule = extensionRule(fileName);
    return rule ? *rule : kDefaultRule;
}

const char* sniffedContentType(std::string_view leadingBytes) {
    struct Signature {
        std::string_view bytes;
        const char* contentType;
    };
    static constexpr Signature kSignatures[] = {
        {std::string_view("II*\0", 4), "image/tiff"},
        {std::string_view("MM\0*", 4), "image/tiff"},
        {"%PDF-", "application/pdf"},
        {"\x89PNG\r\n\x1a\n", "image/png"},
        {"\xFF\xD8\xFF", "image/jpeg"},
        {"GIF87a", "image/gif"},
        {"GIF89a", "image/gif"},
    };
    for (const Signature& signature : kSignatures)
        if (leadingBytes.starts_with(signature.bytes))
            return signature.contentType;
    return nullptr;
}

std::string attachmentBaseName(std::string_view path) {
    // Paths here use "/"; "\" is still honoured for names that hosts carried over from Windows.
    const std::size_t separator = path.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

namespace {

// A name as a quoted-string: quotes and backslashes escaped, and line breaks (which would end
// the header line and let a file name write headers of its own) turned into blanks.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string MimePart::headerBlock() const {
    std::string block;
    const auto nameParameter = [this](std::string& out) {
        if (!name.empty())
            out += "; name=" + quoted(name);
    };
    if (!contentType.empty()) {
        block += "Content-Type: " + contentType;
        nameParameter(block);
        block += typeParameters.empty() ? "\r\n" : "; " + typeParameters + "\r\n";
    }
    if (!contentId.empty())
        block += "Content-Id: " + contentId + "\r\n";
    if (!disposition.empty()) {
        block += "Content-Disposition: " + disposition;
        nameParameter(block);
        if (!fileName.empty())
            block += "; filename=" + quoted(fileName);
        block += dispositionParameters.empty() ? "\r\n" : "; " + dispositionParameters + "\r\n";
    }
    block += "Content-Transfer-Encoding: ";
    block += encodingName(encoding);
    block += "\r\n";
    return block;
}

} // namespace mailvane::mime
