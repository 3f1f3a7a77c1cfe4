#pragma once
// The DATA part of the transaction: the header block and the dot-stuffing of the body, which
// keeps a line of the message that starts with "." from ending the data early.
#include <ctime>
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
    std::string messageId; // "<unique@host>", written after the date when set
    int charsetMode = 0;
    std::string headers;  // H: OtherHeaders, or the MIME headers of the multipart message
    std::string bodyText; // B, as written (stuffed when sent)
    std::string bodyFile; // F: the composed multipart file, empty for none
};

// The headers sent after the DATA reply, ending with the empty line.
std::string headerBlock(const MailMessage& message);

// The date-time of `when` in the local zone as mail headers write it, in English whatever the
// locale: "Tue, 08 Dec 2026 17:57:04 -0600".
std::string mailDate(std::time_t when);

// A new message identifier "<unique@host>"; no two calls in any process give the same one.
std::string newMessageId(const std::string& host);

// Adds what a well-formed message needs and the host left out: the date of now when neither
// messageDate nor the host's header lines give one, and a Message-ID unless the host's lines
// hold one. Headers the host wrote entirely itself (H starting with CRLF) are left alone.
void stampMessage(MailMessage& message, const std::string& host, std::time_t now);

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
