#pragma once
// Dispatch identifiers of the control's properties and the help context of each.
#include <cstdint>

namespace mailvane::detail {

enum Dispid : std::int32_t {
    kAction = 1,
    kAttachmentCount,
    kAttachments,
    kBCc,
    kCc,
    kDate,
    kFirewallData,
    kFirewallHost,
    kFirewallPassword,
    kFirewallPort,
    kFirewallType,
    kFirewallUser,
    kFrom,
    kLastReply,
    kLocalHost,
    kMailPort,
    kMailServer,
    kMaxHeaderLength,
    kMessageDate,
    kMessageText,
    kOtherHeaders,
    kReplyTo,
    kSendTo,
    kSocketHandle,
    kSubject,
    kTimeout,
    kWinsockInfo,
    kWinsockLoaded,
    kWinsockMaxDatagramSize,
    kWinsockMaxSockets,
    kWinsockPath,
    kWinsockStatus,
    kFirewallDataB,
    kCharsetMode = 242,
    kSecurity,
    kVerifyCertificate,
};

// Properties 1 to 32 have help contexts 24101 to 24132; FirewallDataB and CharsetMode have
// none; the security properties continue the numbering.
constexpr std::uint32_t help(std::int32_t dispid) {
    if (dispid == kSecurity || dispid == kVerifyCertificate)
        return 24133u + static_cast<std::uint32_t>(dispid - kSecurity);
    return dispid <= kWinsockStatus ? 24100u + static_cast<std::uint32_t>(dispid) : 0u;
}

} // namespace mailvane::detail
