#include "smtp/HeaderLineBreaks.h"

namespace mailvane::smtp {

namespace {

// Whether a fold (CRLF then a blank or tab) starts at i.
bool foldAt(std::string_view value, std::size_t i) {
    return i + 2 < value.size() && value[i] == '\r' && value[i + 1] == '\n' &&
           (value[i + 2] == ' ' || value[i + 2] == '\t');
}

} // namespace

std::string unfoldHeaderValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (foldAt(value, i)) {
            ++i; // the blank or tab after the pair stays
            continue;
        }
        out += value[i];
    }
    return out;
}

std::string headerValueOnWire(std::string_view value) {
    if (value.find_first_of("\r\n") == std::string_view::npos) {
        return std::string(value);
    }
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (foldAt(value, i)) {
            out += "\r\n";
            ++i;
            continue;
        }
        const char c = value[i];
        out += c == '\r' || c == '\n' ? ' ' : c;
    }
    return out;
}

MailMessage headerFieldsOnWire(const MailMessage& message) {
    MailMessage out;
    out.from = headerValueOnWire(message.from);
    out.sendTo = headerValueOnWire(message.sendTo);
    out.cc = headerValueOnWire(message.cc);
    out.subject = headerValueOnWire(message.subject);
    out.replyTo = headerValueOnWire(message.replyTo);
    out.messageDate = headerValueOnWire(message.messageDate);
    out.messageId = headerValueOnWire(message.messageId);
    out.charsetMode = message.charsetMode;
    out.headers = message.headers;
    return out;
}

} // namespace mailvane::smtp
