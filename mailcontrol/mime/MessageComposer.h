#pragma once
// Turns the control's message properties into what the session sends after DATA: a plain
// message, or a multipart/mixed message whose parts are encoded into a temporary file.
#include "mailvane/ComposedMessage.h"
#include "mime/MimePart.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace mailvane::mime {

class OutputFile;

struct CompositionInput {
    std::string otherHeaders;
    std::string messageText; // as stored (already ISO-2022-JP in Japanese mode)
    std::vector<std::string> attachments;
    bool japanese = false;
    bool utf8 = false;          // UTF-8 mode: 8-bit text is labelled utf-8, 8-bit names are encoded
    std::uint32_t identity = 1; // any per-control number; it makes boundaries differ
};

// The content type of the text part and of a plain Japanese message.
inline constexpr const char* kJapaneseTextType = "text/plain; charset=iso-2022-jp";

// The content type of 8-bit text in UTF-8 mode.
inline constexpr const char* kUtf8TextType = "text/plain; charset=utf-8";

// "--boundary.mvn." + UTC year, month, weekday, day, hour, minute, second + "." + a number.
std::string makeBoundary(std::uint32_t identity, std::time_t now, std::uint32_t tickMs);
std::string makeBoundary(std::uint32_t identity);

// "MIME-Version: 1.0 (...)" CRLF "Content-Type: multipart/mixed; boundary=..." (no CRLF after).
std::string mimeHeaderText(const std::string& boundary);

// The preamble sent before the parts.
inline constexpr const char* kMimePreamble =
    "\r\nThis is a message encoded in MIME format.\r\n\r\n";

// Writes the data of a part, encoded, to out.
void writeEncodedPart(const MimePart& part, OutputFile& out);

// Composes the message; failures throw MimeFailure with their code. With attachments the body
// file is a new temporary file that the result owns.
ComposedMessage composeMessage(const CompositionInput& input);

} // namespace mailvane::mime
