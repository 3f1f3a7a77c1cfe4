#pragma once
// The outcome of a transport or session step: 0 for success, else the control's numeric code
// and the text recorded by the step that failed (empty when the code's own text applies).
#include <string>
#include <utility>

namespace mailvane::net {

struct Status {
    int code = 0;
    std::string text;

    Status() = default;
    Status(int c, std::string t = {}) : code(c), text(std::move(t)) {}
    bool ok() const noexcept { return code == 0; }
};

// Codes of the transport.
enum TransportCode : int {
    kPortChanged = 100,
    kServerChanged = 101,
    kInvalidAddress = 102,
    kAlreadyConnected = 104,
    kInvalidPort = 116,
    kFirewallFailed = 118,
    kConnectionFailed = 162,
    kReplyTooLong = 175, // a reply line or a multi-line reply beyond the bounds below
    kOutOfMemory = 200,
    kWaitEnded = 301,
};

} // namespace mailvane::net
