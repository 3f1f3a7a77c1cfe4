#include "smtp/MessageText.h"

#include "smtp/HeaderLineBreaks.h"

namespace mailvane::smtp {

namespace {

std::string withoutTrailingLineEnds(std::string text) {
    while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
        text.resize(text.size() - 2);
    }
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

} // namespace

std::string headerBlock(const MailMessage& message) {
    const MailMessage m = headerFieldsOnWire(message);
    const std::string& h = m.headers;
    if (h.size() > 1 && h.compare(0, 2, "\r\n") == 0) {
        // The host wrote every header itself; only the empty line that ends them is ensured,
        // so the body can never be read as more headers.
        std::string own = withoutTrailingLineEnds(h.substr(2));
        if (!own.empty()) {
            own += "\r\n";
        }
        return own + "\r\n";
    }
    std::string out = "To: " + m.sendTo;
    out += "\r\nFrom: " + m.from;
    if (!m.subject.empty()) {
        out += "\r\nSubject: " + m.subject;
    }
    if (!m.replyTo.empty()) {
        out += "\r\nReply-To: " + m.replyTo;
    }
    if (!m.messageDate.empty()) {
        out += "\r\nDate: " + m.messageDate;
    }
    if (!m.cc.empty()) {
        out += "\r\nCc: " + m.cc;
    }
    out += "\r\n";
    if (!h.empty()) {
        const std::string extra = withoutTrailingLineEnds(h);
        if (!extra.empty()) {
            out += extra + "\r\n";
        }
    }
    if (m.charsetMode == 1 && h.find("Content-Type:") == std::string::npos) {
        out += "Content-Type: text/plain; charset=iso-2022-jp\r\n";
    }
    out += "\r\n";
    return out;
}

void DotStuffer::lineEnd(std::string& out) {
    out += "\r\n";
    atLineStart_ = true;
}

void DotStuffer::stuff(const char* data, std::size_t length, std::string& out) {
    out.reserve(out.size() + length + length / 64);
    std::size_t i = 0;
    if (pendingCr_ && length > 0) {
        pendingCr_ = false;
        lineEnd(out);
        if (data[0] == '\n') {
            i = 1;
        }
    }
    for (; i < length; ++i) {
        const char c = data[i];
        if (c == '\r') {
            if (i + 1 == length) {
                pendingCr_ = true;
                return;
            }
            lineEnd(out);
            if (data[i + 1] == '\n') {
                ++i;
            }
            continue;
        }
        if (c == '\n') {
            lineEnd(out);
            continue;
        }
        if (c == '.' && atLineStart_) {
            out += '.';
        }
        out += c;
        atLineStart_ = false;
    }
}

void DotStuffer::finish(std::string& out) {
    if (pendingCr_) {
        pendingCr_ = false;
        lineEnd(out);
    }
}

} // namespace mailvane::smtp
