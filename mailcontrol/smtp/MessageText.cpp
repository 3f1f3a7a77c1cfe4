#include "smtp/MessageText.h"

#include "smtp/HeaderLineBreaks.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <random>
#include <unistd.h>

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

// Whether one of the host's header lines is the field `name` (given in lower case, with colon).
bool hasField(const std::string& headers, const std::string& name) {
    for (std::size_t start = 0; start < headers.size();) {
        std::size_t end = headers.find('\n', start);
        if (end == std::string::npos)
            end = headers.size();
        if (end - start >= name.size()) {
            bool same = true;
            for (std::size_t i = 0; i < name.size() && same; ++i)
                same = std::tolower(static_cast<unsigned char>(headers[start + i])) == name[i];
            if (same)
                return true;
        }
        start = end + 1;
    }
    return false;
}

// Only letters, digits, "-" and "." may stand right of the "@" of an identifier.
std::string idDomain(const std::string& host) {
    std::string out;
    for (const char c : host) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.')
            out += c;
    }
    return out.empty() ? "localhost" : out;
}

} // namespace

std::string mailDate(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&when, &local);
    const long offset = local.tm_gmtoff / 60;
    const long magnitude = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  kDays[local.tm_wday], local.tm_mday, kMonths[local.tm_mon], local.tm_year + 1900,
                  local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
    return text;
}

std::string newMessageId(const std::string& host) {
    // Time, process and a per-process count make it unique on this machine; the random part
    // keeps two machines that share a name apart.
    static std::atomic<unsigned long> counter{0};
    static const unsigned long salt = std::random_device{}();
    char text[96];
    std::snprintf(text, sizeof text, "<%lld.%ld.%lu.%08lx@",
                  static_cast<long long>(std::time(nullptr)), static_cast<long>(::getpid()),
                  ++counter, salt & 0xFFFFFFFFul);
    return text + idDomain(host) + ">";
}

void stampMessage(MailMessage& message, const std::string& host, std::time_t now) {
    const std::string& h = message.headers;
    if (h.size() > 1 && h.compare(0, 2, "\r\n") == 0)
        return;
    if (message.messageDate.empty() && !hasField(h, "date:"))
        message.messageDate = mailDate(now);
    if (message.messageId.empty() && !hasField(h, "message-id:"))
        message.messageId = newMessageId(host);
}

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
    if (!m.messageId.empty()) {
        out += "\r\nMessage-ID: " + m.messageId;
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
