#pragma once
// The control's state, shared by the property code and the transport step of Send
// (MailvaneTransmit.cpp). Everything the SMTP session needs is here: the property values, the
// login taken from WinsockPath, the greeting name, the event firing, the host pump, the busy
// and interrupt flags, LastReply and SocketHandle, and the failure text Send raises.
#include "mailvane/IMailvaneEvents.h"
#include "mailvane/Mailvane.h"
#include "net/NameResolver.h"
#include "net/SocketLibrary.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mailvane::detail {

struct MailvaneState {
    explicit MailvaneState(Mailvane& owner);

    Mailvane& owner;

    // Property values. Header values are stored already folded and encoded.
    std::vector<std::string> attachments;
    std::string bcc;
    std::string cc;
    std::string messageDate; // Date and MessageDate
    std::string firewallData;
    std::string firewallHostName;
    net::Ipv4Address firewallAddress = 0;
    std::string firewallPassword;
    std::int32_t firewallPort = 80;
    TFirewallType firewallType = fwNone;
    std::string firewallUser;
    std::string from;
    std::string lastReply;
    bool localAddressWritten = false;
    net::Ipv4Address localAddress = 0; // used to bind before connecting (0 = any)
    std::int32_t mailPort = 25;
    std::string mailServerName;
    net::Ipv4Address mailServerAddress = 0;
    std::int16_t maxHeaderLength = 72;
    std::string messageText;
    std::string otherHeaders;
    std::string replyTo;
    std::string sendTo;
    std::int32_t socketHandle = -1;
    std::string subject;
    std::int16_t timeout = 0; // seconds, 0 = no limit
    std::int32_t charsetMode = 0;
    std::int32_t security = secNone;
    bool verifyCertificate = true;
    net::LibraryUse library;

    // SMTP login, set only through the *U / *P forms of WinsockPath; used when both are set.
    std::string loginUser;
    std::string loginPassword;
    // The name sent with EHLO/HELO: what LocalHost was last set to; the session fills it with
    // the machine's host name when empty.
    std::string greetingName;

    // Hosting.
    bool designMode = false;
    HostPump pump;
    std::vector<IMailvaneEvents*> sinks;
    std::uint32_t identity;

    // Session. busy: Action reads 1 and a second Send fails with 166. interruptRequested is set
    // by Interrupt; a wait in progress ends with 301 "Interrupted" when it sees it.
    bool busy = false;
    bool interruptRequested = false;
    bool inSend = false; // from the start of Send to its very end, even after an Interrupt
    std::string failureText;

    bool japanese() const { return charsetMode == csJapanese; }
    bool utf8() const { return charsetMode == csUtf8; }

    // A header value as stored when written: folded at MaxHeaderLength and encoded as the
    // CharsetMode in force asks (ISO-2022-JP or UTF-8 encoded words).
    std::string addressValue(std::string_view value) const;
    std::string subjectValue(std::string_view value) const;
    bool connected() const { return socketHandle != -1; }

    // Records the text of a failing step for the error Send raises; returns code.
    int fail(int code, std::string text);

    // Event firing; every attached sink is called, and may re-enter the control.
    void fireEndTransfer();
    void fireError(std::int16_t code, std::string description);
    void firePITrail(std::int16_t direction, std::string message);
    void fireStartTransfer();
    void fireTransfer(std::int32_t bytesTransferred);

    // One step of the host pump (waits up to waitMs when no message is pending). False when the
    // host's window is gone. Without a pump the step just sleeps.
    bool pumpHost(int waitMs);
};

} // namespace mailvane::detail
