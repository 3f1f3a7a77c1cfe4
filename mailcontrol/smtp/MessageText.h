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

// Prepares text for DATA: every bare CR and bare LF becomes CRLF (a server that takes a bare CR
// as a line end would otherwise see "<CR>.<CR><LF>" end the data early and read the rest as
// commands), and every "." that starts a line is doubled. The state carries over between calls;
// finish() completes a CR left at the end of the last block.
class DotStuffer {
public:
    void stuff(const char* data, std::size_t length, std::string& out);
    void finish(std::string& out);
    std::string stuff(const std::string& text) {
        std::string out;
        stuff(text.data(), text.size(), out);
        finish(out);
        return out;
    }

private:
    void lineEnd(std::string& out);

    bool atLineStart_ = true;
    bool pendingCr_ = false; // a CR ended the last block; its LF may start the next one
};

} // namespace mailvane::smtp
