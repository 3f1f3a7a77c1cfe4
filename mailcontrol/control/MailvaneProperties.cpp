// The named property accessors. Access checks come from the property table; what is stored
// for header values is already folded and, in Japanese mode, encoded.
#include "mailvane/Mailvane.h"

#include "control/ControlErrors.h"
#include "control/MailvaneInternal.h"
#include "control/PropertyTable.h"
#include "control/WinsockPathForm.h"
#include "mime/HeaderTransform.h"
#include "mime/Iso2022Jp.h"
#include "net/NameResolver.h"
#include "net/SocketLibrary.h"
#include "smtp/CommandText.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace mailvane {

using namespace detail;

namespace {

constexpr std::size_t kMaxFirewallCredential = 255;
constexpr std::int32_t kMaxPort = 65535;
constexpr std::int32_t kSocksPort = 1080;
constexpr std::int32_t kProxyPort = 80;

[[noreturn]] void outOfRange(std::int32_t dispid) {
    throw ComError(kOutOfRangeNumber, kProgId, kOutOfRangeText, help(dispid));
}

std::string cut(const std::string& value, std::size_t limit) {
    return value.size() > limit ? value.substr(0, limit) : value;
}

// A resolved address as dotted text, or the name as written while it has none.
std::string addressText(net::Ipv4Address address, const std::string& name) {
    return address != 0 ? net::formatIpv4(address) : name;
}

} // namespace

TAction Mailvane::get_Action() const {
    checkRead(kAction);
    return state_->busy ? mailvaneSend : mailvaneIdle;
}

void Mailvane::put_Action(TAction value) {
    checkWrite(kAction);
    if (value == mailvaneSend)
        send(help(kAction));
    else if (value == mailvaneIdle)
        interrupt();
    else
        outOfRange(kAction);
}

std::int16_t Mailvane::get_AttachmentCount() const {
    checkRead(kAttachmentCount);
    return static_cast<std::int16_t>(state_->attachments.size());
}

void Mailvane::put_AttachmentCount(std::int16_t value) {
    checkWrite(kAttachmentCount);
    if (value < 0)
        outOfRange(kAttachmentCount);
    state_->attachments.resize(static_cast<std::size_t>(value));
}

std::string Mailvane::get_Attachments(std::int16_t index) const {
    checkRead(kAttachments);
    if (index < 1 || static_cast<std::size_t>(index) > state_->attachments.size())
        throw ComError(kInvalidIndexNumber, kProgId, kInvalidIndexText, help(kAttachments));
    return state_->attachments[static_cast<std::size_t>(index - 1)];
}

void Mailvane::put_Attachments(std::int16_t index, const std::string& value) {
    checkWrite(kAttachments);
    if (index < 1 || static_cast<std::size_t>(index) > state_->attachments.size()) {
        raiseFixed(kBadAttachmentIndexCode, help(kAttachments));
    }
    state_->attachments[static_cast<std::size_t>(index - 1)] = value;
}

std::string Mailvane::get_BCc() const {
    checkRead(kBCc);
    return state_->bcc;
}

void Mailvane::put_BCc(const std::string& value) {
    checkWrite(kBCc);
    state_->bcc = state_->addressValue(value);
}

std::string Mailvane::get_Cc() const {
    checkRead(kCc);
    return state_->cc;
}

void Mailvane::put_Cc(const std::string& value) {
    checkWrite(kCc);
    state_->cc = state_->addressValue(value);
}

std::string Mailvane::get_Date() const {
    checkRead(kDate);
    return state_->messageDate;
}

void Mailvane::put_Date(const std::string& value) {
    checkWrite(kDate);
    state_->messageDate = mime::foldHeader(value, state_->maxHeaderLength);
}

std::string Mailvane::get_FirewallData() const {
    checkRead(kFirewallData);
    return state_->firewallData;
}

void Mailvane::put_FirewallData(const std::string& value) {
    checkWrite(kFirewallData);
    state_->firewallData = value;
}

std::string Mailvane::get_FirewallHost() const {
    checkRead(kFirewallHost);
    return addressText(state_->firewallAddress, state_->firewallHostName);
}

void Mailvane::put_FirewallHost(const std::string& value) {
    checkWrite(kFirewallHost);
    const net::Resolution resolved = net::resolveIpv4(value);
    if (resolved.code != 0) {
        raiseFixed(resolved.code, help(kFirewallHost));
    }
    state_->firewallHostName = value;
    state_->firewallAddress = resolved.address;
}

std::string Mailvane::get_FirewallPassword() const {
    checkRead(kFirewallPassword);
    return state_->firewallPassword;
}

void Mailvane::put_FirewallPassword(const std::string& value) {
    checkWrite(kFirewallPassword);
    state_->firewallPassword = cut(value, kMaxFirewallCredential);
}

std::int32_t Mailvane::get_FirewallPort() const {
    checkRead(kFirewallPort);
    return state_->firewallPort;
}

void Mailvane::put_FirewallPort(std::int32_t value) {
    checkWrite(kFirewallPort);
    if (value < 0 || value > kMaxPort)
        outOfRange(kFirewallPort);
    state_->firewallPort = value;
}

TFirewallType Mailvane::get_FirewallType() const {
    checkRead(kFirewallType);
    return state_->firewallType;
}

void Mailvane::put_FirewallType(TFirewallType value) {
    checkWrite(kFirewallType);
    if (value < fwNone || value > fwSOCKS5)
        outOfRange(kFirewallType);
    state_->firewallType = value;
    state_->firewallPort = (value == fwSOCKS4 || value == fwSOCKS5) ? kSocksPort : kProxyPort;
}

std::string Mailvane::get_FirewallUser() const {
    checkRead(kFirewallUser);
    return state_->firewallUser;
}

void Mailvane::put_FirewallUser(const std::string& value) {
    checkWrite(kFirewallUser);
    state_->firewallUser = cut(value, kMaxFirewallCredential);
}

std::string Mailvane::get_From() const {
    checkRead(kFrom);
    return state_->from;
}

void Mailvane::put_From(const std::string& value) {
    checkWrite(kFrom);
    state_->from = state_->addressValue(value);
}

std::string Mailvane::get_LastReply() const {
    checkRead(kLastReply);
    return state_->lastReply;
}

std::string Mailvane::get_LocalHost() const {
    checkRead(kLocalHost);
    const MailvaneState& s = *state_;
    if (s.connected()) {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (net::SocketLibrary::api().getsockname(
                s.socketHandle, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            return net::formatIpv4(local.sin_addr.s_addr);
    }
    if (s.localAddressWritten)
        return addressText(s.localAddress, s.greetingName);
    return net::localHostName();
}

void Mailvane::put_LocalHost(const std::string& value) {
    checkWrite(kLocalHost);
    MailvaneState& s = *state_;
    if (value.empty()) {
        s.localAddressWritten = false;
        s.localAddress = 0;
        s.greetingName.clear();
        return;
    }
    if (smtp::breaksCommandLine(value)) {
        // The name is sent after EHLO/HELO, where a line break would start another command.
        throw ComError(errorNumberForCode(smtp::kUnsafeCommandText), kProgId,
                       smtp::kUnsafeGreetingNameText, help(kLocalHost));
    }
    const net::Resolution resolved = net::resolveIpv4(value);
    if (resolved.code != 0) {
        raiseFixed(resolved.code, help(kLocalHost));
    }
    s.localAddressWritten = true;
    s.localAddress = resolved.address;
    s.greetingName = value;
}

std::int32_t Mailvane::get_MailPort() const {
    checkRead(kMailPort);
    return state_->mailPort;
}

void Mailvane::put_MailPort(std::int32_t value) {
    checkWrite(kMailPort);
    if (state_->connected()) {
        raiseFixed(kPortWhileConnected, help(kMailPort));
    }
    if (value < 0 || value > kMaxPort)
        outOfRange(kMailPort);
    state_->mailPort = value;
}

std::string Mailvane::get_MailServer() const {
    checkRead(kMailServer);
    const MailvaneState& s = *state_;
    if (s.firewallType != fwNone)
        return s.mailServerName;
    return addressText(s.mailServerAddress, s.mailServerName);
}

void Mailvane::put_MailServer(const std::string& value) {
    checkWrite(kMailServer);
    MailvaneState& s = *state_;
    if (s.connected()) {
        raiseFixed(kServerWhileConnected, help(kMailServer));
    }
    // Through a firewall the name goes to the firewall unresolved.
    net::Resolution resolved;
    if (s.firewallType == fwNone)
        resolved = net::resolveIpv4(value);
    if (resolved.code != 0) {
        raiseFixed(resolved.code, help(kMailServer));
    }
    s.mailServerName = value;
    s.mailServerAddress = resolved.address;
}

std::int16_t Mailvane::get_MaxHeaderLength() const {
    checkRead(kMaxHeaderLength);
    return state_->maxHeaderLength;
}

void Mailvane::put_MaxHeaderLength(std::int16_t value) {
    checkWrite(kMaxHeaderLength);
    if (value < 0)
        outOfRange(kMaxHeaderLength);
    state_->maxHeaderLength = value;
}

std::string Mailvane::get_MessageDate() const {
    checkRead(kMessageDate);
    return state_->messageDate;
}

void Mailvane::put_MessageDate(const std::string& value) {
    checkWrite(kMessageDate);
    state_->messageDate = mime::foldHeader(value, state_->maxHeaderLength);
}

std::string Mailvane::get_MessageText() const {
    checkRead(kMessageText);
    return state_->messageText;
}

void Mailvane::put_MessageText(const std::string& value) {
    checkWrite(kMessageText);
    state_->messageText = state_->japanese() ? mime::shiftJisToIso2022Jp(value) : value;
}

std::string Mailvane::get_OtherHeaders() const {
    checkRead(kOtherHeaders);
    return state_->otherHeaders;
}

void Mailvane::put_OtherHeaders(const std::string& value) {
    checkWrite(kOtherHeaders);
    state_->otherHeaders = value;
}

std::string Mailvane::get_ReplyTo() const {
    checkRead(kReplyTo);
    return state_->replyTo;
}

void Mailvane::put_ReplyTo(const std::string& value) {
    checkWrite(kReplyTo);
    state_->replyTo = state_->addressValue(value);
}

std::string Mailvane::get_SendTo() const {
    checkRead(kSendTo);
    return state_->sendTo;
}

void Mailvane::put_SendTo(const std::string& value) {
    checkWrite(kSendTo);
    state_->sendTo = state_->addressValue(value);
}

std::int32_t Mailvane::get_SocketHandle() const {
    checkRead(kSocketHandle);
    return state_->socketHandle;
}

std::string Mailvane::get_Subject() const {
    checkRead(kSubject);
    return state_->subject;
}

void Mailvane::put_Subject(const std::string& value) {
    checkWrite(kSubject);
    state_->subject = state_->subjectValue(value);
}

std::int16_t Mailvane::get_Timeout() const {
    checkRead(kTimeout);
    return state_->timeout;
}

void Mailvane::put_Timeout(std::int16_t value) {
    checkWrite(kTimeout);
    if (value < 0)
        outOfRange(kTimeout);
    state_->timeout = value;
}

std::string Mailvane::get_WinsockInfo() const {
    checkRead(kWinsockInfo);
    return net::SocketLibrary::info();
}

bool Mailvane::get_WinsockLoaded() const {
    checkRead(kWinsockLoaded);
    return state_->library.held();
}

void Mailvane::put_WinsockLoaded(bool value) {
    checkWrite(kWinsockLoaded);
    // A failed load is not raised: the property stays False and WinsockStatus tells why.
    if (value) {
        state_->library.acquire();
        return;
    }
    // Unloading takes the library's sockets with it: close ours while the library that made it
    // is still there to close it, so the descriptor is not left open behind a stand-by table.
    if (state_->library.held())
        closeConnection();
    state_->library.release();
}

std::int32_t Mailvane::get_WinsockMaxDatagramSize() const {
    checkRead(kWinsockMaxDatagramSize);
    return static_cast<std::int32_t>(net::SocketLibrary::maxDatagramSize());
}

std::int32_t Mailvane::get_WinsockMaxSockets() const {
    checkRead(kWinsockMaxSockets);
    return static_cast<std::int32_t>(net::SocketLibrary::maxSockets());
}

std::string Mailvane::get_WinsockPath() const {
    checkRead(kWinsockPath);
    return net::SocketLibrary::loadedPath();
}

void Mailvane::put_WinsockPath(const std::string& value) {
    checkWrite(kWinsockPath);
    std::string payload;
    switch (classifyWinsockPath(value, payload)) {
    case WinsockPathForm::User:
        state_->loginUser = payload;
        break;
    case WinsockPathForm::Password:
        state_->loginPassword = payload;
        break;
    case WinsockPathForm::Ignored:
        break;
    case WinsockPathForm::Library:
        net::SocketLibrary::setLibraryName(value);
        break;
    }
}

std::string Mailvane::get_WinsockStatus() const {
    checkRead(kWinsockStatus);
    return net::SocketLibrary::status();
}

PropertyValue Mailvane::get_FirewallDataB() const {
    checkRead(kFirewallDataB);
    const std::string& data = state_->firewallData;
    if (data.empty())
        return std::monostate{};
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

void Mailvane::put_FirewallDataB(const PropertyValue& value) {
    checkWrite(kFirewallDataB);
    const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
    if (bytes == nullptr)
        throw ComError(kOutOfRangeNumber, kProgId, kByteArrayOnlyText, 0);
    state_->firewallData.assign(bytes->begin(), bytes->end());
}

std::int32_t Mailvane::get_CharsetMode() const {
    checkRead(kCharsetMode);
    return state_->charsetMode;
}

void Mailvane::put_CharsetMode(std::int32_t value) {
    checkWrite(kCharsetMode);
    state_->charsetMode = value;
}

} // namespace mailvane
