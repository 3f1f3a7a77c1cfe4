#include "mime/MessageComposer.h"

#include "mime/Base64Encoder.h"
#include "mime/Iso2022Jp.h"
#include "mime/MimeErrors.h"
#include "mime/PartFiles.h"
#include "mime/QuotedPrintableEncoder.h"
#include "mime/Utf8Headers.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mailvane::mime {

namespace {

// Paths this long are refused before the file system is asked.
constexpr std::size_t kMaxPathLength = 1024;

constexpr const char* kMimeVersionLine =
    "MIME-Version: 1.0 (produced by the Mailvane mail control, https://www.velmora.example/)";

std::uint32_t tickCountMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

// Size of a readable regular file; 283 when the path names none.
std::uint64_t attachmentSize(const std::string& path) {
    if (path.size() >= kMaxPathLength)
        throw MimeFailure(kFileNameTooLong);
    if (path.empty())
        throw MimeFailure(kNoFileGiven);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw MimeFailure(kNoFileGiven);
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular)
        throw MimeFailure(kNoFileGiven);
    return static_cast<std::uint64_t>(info.st_size);
}

// In UTF-8 mode an 8-bit file name travels as an RFC 2231 parameter, with an encoded word in
// the name parameters for readers that know only those.
void encodeUtf8Name(MimePart& part) {
    if (!hasEightBit(part.fileName))
        return;
    part.dispositionParameters = "filename*=" + rfc2231Value(part.fileName);
    part.name = utf8EncodedWords(part.fileName);
    part.fileName.clear();
}

// A plain UTF-8 message with 8-bit text gets the MIME header lines that say so, unless the host
// wrote its own Content-Type.
void labelPlainUtf8(const CompositionInput& input, ComposedMessage& message) {
    if (!input.utf8 || !hasEightBit(input.messageText) ||
        input.otherHeaders.find("Content-Type:") != std::string::npos)
        return;
    std::string& headers = message.headerText;
    while (headers.size() > 2 && headers.ends_with("\r\n"))
        headers.resize(headers.size() - 2);
    if (!headers.empty() && headers != "\r\n")
        headers += "\r\n";
    headers += "MIME-Version: 1.0\r\nContent-Type: ";
    headers += kUtf8TextType;
    headers += "\r\nContent-Transfer-Encoding: quoted-printable";
    message.bodyText = quotedPrintable(input.messageText);
}

// The first bytes of a file, enough for the signatures the type is sniffed from.
std::string leadingBytes(const std::string& path) {
    char head[16];
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    return n > 0 ? std::string(head, static_cast<std::size_t>(n)) : std::string();
}

MimePart attachmentPart(const std::string& path) {
    MimePart part;
    part.path = path;
    part.size = attachmentSize(path);
    const std::string baseName = attachmentBaseName(path);
    const ContentRule rule = contentRuleFor(baseName);
    part.encoding = rule.encoding;
    part.contentType = rule.contentType;
    if (extensionRule(baseName) == nullptr) {
        if (const char* sniffed = sniffedContentType(leadingBytes(path)))
            part.contentType = sniffed;
    }
    part.name = baseName;
    part.disposition = "attachment";
    part.fileName = baseName;
    return part;
}

template <class Encoder>
void encodeInto(Encoder& encoder, const unsigned char* data, std::size_t length, OutputFile& out) {
    // Slices small enough that their worst-case output fits the output buffer.
    const std::size_t slice = (out.capacity() - 64) / 4;
    while (length > 0) {
        const std::size_t take = std::min(length, slice);
        char* target = out.reserve(Encoder::maxOutput(take));
        out.commit(encoder.update(data, take, target));
        data += take;
        length -= take;
    }
}

template <class Encoder> void encodeFinish(Encoder& encoder, OutputFile& out) {
    out.commit(encoder.finish(out.reserve(Encoder::maxOutput(0))));
}

template <class Encoder> void encodePart(const MimePart& part, OutputFile& out) {
    Encoder encoder;
    if (part.inMemory) {
        encodeInto(encoder, reinterpret_cast<const unsigned char*>(part.text.data()),
                   part.text.size(), out);
    } else {
        InputFile input(part.path);
        std::size_t size = 0;
        const auto buffer = allocateFileBuffer(part.size, size);
        while (const std::size_t n = input.read(buffer.get(), size))
            encodeInto(encoder, buffer.get(), n, out);
    }
    encodeFinish(encoder, out);
}

void copyPart(const MimePart& part, OutputFile& out) {
    if (part.inMemory) {
        out.write(part.text);
        return;
    }
    InputFile input(part.path);
    std::size_t size = 0;
    const auto buffer = allocateFileBuffer(part.size, size);
    while (const std::size_t n = input.read(buffer.get(), size))
        out.write(reinterpret_cast<const char*>(buffer.get()), n);
}

} // namespace

std::string makeBoundary(std::uint32_t identity, std::time_t now, std::uint32_t tickMs) {
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "--boundary.mvn.%04d%02d%d%d%d%d%d.%lu", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_wday, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<unsigned long>(static_cast<std::uint32_t>(identity * tickMs)));
    return text;
}

std::string makeBoundary(std::uint32_t identity) {
    return makeBoundary(identity, std::time(nullptr), tickCountMs());
}

std::string mimeHeaderText(const std::string& boundary) {
    return std::string(kMimeVersionLine) + "\r\nContent-Type: multipart/mixed; boundary=\"" +
           boundary + "\"";
}

void writeEncodedPart(const MimePart& part, OutputFile& out) {
    switch (part.encoding) {
    case Encoding::QuotedPrintable:
        encodePart<QuotedPrintableEncoder>(part, out);
        break;
    case Encoding::Base64:
        encodePart<Base64Encoder>(part, out);
        break;
    default:
        copyPart(part, out);
        break;
    }
}

ComposedMessage composeMessage(const CompositionInput& input) {
    ComposedMessage message;
    if (input.attachments.empty()) {
        message.headerText = input.otherHeaders;
        message.bodyText =
            input.japanese ? shiftJisToIso2022Jp(input.messageText) : input.messageText;
        labelPlainUtf8(input, message);
        return message;
    }

    std::vector<MimePart> parts(input.attachments.size() + 1);
    MimePart& text = parts[0];
    text.inMemory = true;
    text.text = input.japanese ? shiftJisToIso2022Jp(input.messageText) : input.messageText;
    text.size = text.text.size();
    text.contentType = input.japanese                         ? kJapaneseTextType
                       : input.utf8 && hasEightBit(text.text) ? kUtf8TextType
                                                              : "text/plain";
    text.encoding = input.japanese ? Encoding::SevenBit : Encoding::QuotedPrintable;
    for (std::size_t i = 0; i < input.attachments.size(); ++i) {
        parts[i + 1] = attachmentPart(input.attachments[i]);
        if (input.utf8)
            encodeUtf8Name(parts[i + 1]);
    }

    const std::string boundary = makeBoundary(input.identity);
    OutputFile out = OutputFile::createTemporary();
    // From here the file belongs to the result, so a failure below still removes it.
    message.bodyFile = out.path();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out.write("\r\n", 2);
        out.write("--" + boundary + "\r\n");
        out.write(parts[i].headerBlock());
        out.write("\r\n", 2);
        writeEncodedPart(parts[i], out);
    }
    out.write("\r\n--" + boundary + "--\r\n");
    out.close();

    message.headerText = input.otherHeaders + mimeHeaderText(boundary);
    message.bodyText = input.japanese ? shiftJisToIso2022Jp(kMimePreamble) : kMimePreamble;
    return message;
}

} // namespace mailvane::mime
