#pragma once
// The DATA part of the transaction: the header block and the dot-stuffing of the body, which
// keeps a line of the message that starts with "." from ending the data early.
#include <string>

namespace mailvane::smtp {

// The envelope and header fields of one message, as stored by the control (already folded and
// encoded by composition), with the composed header text H, body text B and body file F.
struct MailMessage {
    std::string from;
    std::string sendTo;
    std::string cc;
    std::string bcc; // never written into the headers
    std::string subject;
    std::string replyTo;
    std::string messageDate;
    int charsetMode = 0;
    std::string headers;  // H: OtherHeaders, or the MIME headers of the multipart message
    std::string bodyText; // B, as written (stuffed when sent)
    std::string bodyFile; // F: the composed multipart file, empty for none
};

// The headers sent after the DATA reply, ending with the empty line.
std::string headerBlock(const MailMessage& message);

// Doubles every "." that starts a line; the line state carries over between calls.
class DotStuffer {
public:
    void stuff(const char* data, std::size_t length, std::string& out);
    std::string stuff(const std::string& text) {
        std::string out;
        stuff(text.data(), text.size(), out);
        return out;
    }

private:
    bool atLineStart_ = true;
};

} // namespace mailvane::smtp
