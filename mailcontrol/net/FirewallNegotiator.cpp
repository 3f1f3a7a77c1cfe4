#include "net/FirewallNegotiator.h"

#include "net/Base64.h"
#include "net/HostName.h"
#include "net/NameResolver.h"
#include "net/SocketErrors.h"

#include <cstring>
#include <utility>

namespace mailvane::net {

namespace {

std::string addressBytes(Ipv4Address address) {
    std::string out(4, '\0');
    std::memcpy(out.data(), &address, 4); // already in network order
    return out;
}

unsigned byteAt(const std::string& s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

} // namespace

FirewallNegotiator::FirewallNegotiator(FirewallType type, std::string serverName, int serverPort,
                                       std::string user, std::string password)
    : type_(type), server_(std::move(serverName)), port_(serverPort), user_(std::move(user)),
      password_(std::move(password)) {}

std::string FirewallNegotiator::targetName() const {
    // '*' only means "let the firewall resolve"; the name itself follows it.
    return !server_.empty() && server_[0] == '*' ? server_.substr(1) : server_;
}

std::string FirewallNegotiator::portBytes() const {
    std::string out;
    out += static_cast<char>((port_ >> 8) & 0xFF);
    out += static_cast<char>(port_ & 0xFF);
    return out;
}

FirewallNegotiator::Step FirewallNegotiator::fail(std::string text) {
    phase_ = Phase::Done;
    Step step;
    step.state = State::Failed;
    step.failure = std::move(text);
    return step;
}

FirewallNegotiator::Step FirewallNegotiator::start() {
    reply_.clear();
    scanned_ = 0;
    statusSeen_ = false;
    Step step;
    if (namedForFirewall() && !isHostNameOrAddress(targetName())) {
        return fail(kNotAHostNameText);
    }
    switch (type_) {
    case FirewallType::Tunnel: {
        const std::string target = targetName() + ":" + std::to_string(port_);
        if (user_.empty() && password_.empty()) {
            step.toSend = "CONNECT " + target + " HTTP/1.0\r\n\r\n";
        } else {
            step.toSend = "CONNECT " + target + " HTTP/1.0\r\nProxy-authorization: Basic " +
                          base64Encode(user_ + ":" + password_) + "\r\n\r\n";
        }
        phase_ = Phase::ProxyReply;
        return step;
    }
    case FirewallType::Socks4: {
        if (user_.find('\0') != std::string::npos) {
            // The user ends at a NUL; the bytes after it would go on to the mail server.
            return fail("firewall user holds a NUL character");
        }
        // SOCKS 4 carries an address only; a name that does not resolve here fails with no
        // text of its own (the 118 failure then reads "[118] (no description available)").
        const Resolution r = resolveIpv4(targetName());
        if (r.code != 0 || r.address == 0) {
            return fail({});
        }
        step.toSend = std::string("\x04\x01", 2) + portBytes() + addressBytes(r.address) + user_;
        step.toSend += '\0';
        phase_ = Phase::Socks4Reply;
        return step;
    }
    case FirewallType::Socks5:
        if (!user_.empty() && !password_.empty()) {
            step.toSend = std::string("\x05\x02\x00\x02", 4);
        } else {
            step.toSend = std::string("\x05\x01\x00", 3);
        }
        phase_ = Phase::Socks5Method;
        return step;
    case FirewallType::None:
        break;
    }
    phase_ = Phase::Done;
    step.state = State::Connected;
    return step;
}

FirewallNegotiator::Step FirewallNegotiator::feed(const char* data, std::size_t length) {
    reply_.append(data, length);
    switch (phase_) {
    case Phase::ProxyReply:
        return proxyReply();
    case Phase::Socks4Reply:
        return socks4Reply();
    case Phase::Socks5Method:
        return socks5Method();
    case Phase::Socks5Auth:
        return socks5Auth();
    case Phase::Socks5Reply:
        return socks5Reply();
    case Phase::Idle:
    case Phase::Done:
        break;
    }
    return {};
}

bool FirewallNegotiator::namedForFirewall() const {
    return type_ == FirewallType::Tunnel ||
           (type_ == FirewallType::Socks5 && !server_.empty() && server_[0] == '*');
}

FirewallNegotiator::Step FirewallNegotiator::proxyReply() {
    // Each read searches only what it added (a pattern may straddle the old end), and the reply
    // has a cap, so a proxy that never ends its headers costs neither time nor memory.
    if (!statusSeen_) {
        const std::size_t lineEnd = reply_.find('\n', scanned_);
        if (lineEnd == std::string::npos) {
            scanned_ = reply_.size();
            return reply_.size() > kMaxProxyReply ? fail(kReplyTooLongText) : Step{};
        }
        const Step judged = proxyStatus(lineEnd);
        if (judged.state == State::Failed) {
            return judged;
        }
        statusSeen_ = true;
        scanned_ = 0;
    }
    std::size_t end = reply_.find("\r\n\r\n", scanned_);
    std::size_t skip = 4;
    const std::size_t bare = reply_.find("\n\n", scanned_);
    if (bare != std::string::npos && (end == std::string::npos || bare < end)) {
        end = bare;
        skip = 2;
    }
    if (end == std::string::npos) {
        scanned_ = reply_.size() > 3 ? reply_.size() - 3 : 0;
        return reply_.size() > kMaxProxyReply ? fail(kReplyTooLongText) : Step{};
    }
    if (end + skip > kMaxProxyReply) {
        return fail(kReplyTooLongText);
    }
    phase_ = Phase::Done;
    Step step;
    step.state = State::Connected;
    step.leftover = reply_.substr(end + skip);
    return step;
}

FirewallNegotiator::Step FirewallNegotiator::proxyStatus(std::size_t lineEnd) {
    // The status line decides; it is judged whole so that a refusal reports the whole line.
    std::string statusLine = reply_.substr(0, lineEnd);
    if (!statusLine.empty() && statusLine.back() == '\r') {
        statusLine.pop_back();
    }
    std::size_t i = statusLine.find(' ');
    while (i != std::string::npos && i < statusLine.size() && statusLine[i] == ' ') {
        ++i;
    }
    if (i == std::string::npos || i >= statusLine.size() || statusLine[i] != '2') {
        return fail(statusLine);
    }
    return {};
}

FirewallNegotiator::Step FirewallNegotiator::socks4Reply() {
    if (reply_.size() < 8) {
        return {};
    }
    const unsigned result = byteAt(reply_, 1);
    switch (result) {
    case 90: {
        phase_ = Phase::Done;
        Step step;
        step.state = State::Connected;
        step.leftover = reply_.substr(8);
        return step;
    }
    case 91:
        return fail("firewall request rejected or failed");
    case 92:
        return fail("firewall request rejected because identd is not available");
    case 93:
        return fail("firewall request rejected because identd reports different user");
    default:
        return fail("unknown firewall error: " + std::to_string(result));
    }
}

FirewallNegotiator::Step FirewallNegotiator::socks5Method() {
    if (reply_.size() < 2) {
        return {};
    }
    const unsigned method = byteAt(reply_, 1);
    reply_.erase(0, 2);
    if (method == 0x00) {
        return socks5Request();
    }
    if (method == 0x02) {
        Step step;
        step.toSend = "\x01";
        step.toSend += static_cast<char>(user_.size() & 0xFF);
        step.toSend += user_.substr(0, 255);
        step.toSend += static_cast<char>(password_.size() & 0xFF);
        step.toSend += password_.substr(0, 255);
        phase_ = Phase::Socks5Auth;
        return step;
    }
    if (method == 0xFF) {
        return fail("no acceptable firewall authentication methods");
    }
    return fail("unknown firewall authentication method");
}

FirewallNegotiator::Step FirewallNegotiator::socks5Auth() {
    if (reply_.size() < 2) {
        return {};
    }
    const unsigned status = byteAt(reply_, 1);
    reply_.erase(0, 2);
    if (status != 0) {
        return fail("firewall authentication failed: " + std::to_string(status));
    }
    return socks5Request();
}

FirewallNegotiator::Step FirewallNegotiator::socks5Request() {
    Step step;
    step.toSend = std::string("\x05\x01\x00", 3);
    if (!server_.empty() && server_[0] == '*') {
        // The firewall resolves the name (checked in start()); SOCKS 5 wants its length before it.
        const std::string name = targetName().substr(0, 255);
        step.toSend += '\x03';
        step.toSend += static_cast<char>(name.size());
        step.toSend += name;
    } else {
        const Resolution r = resolveIpv4(server_);
        if (r.code != 0 || r.address == 0) {
            return fail(r.code != 0 ? describeSocketError(r.code) : std::string());
        }
        step.toSend += '\x01';
        step.toSend += addressBytes(r.address);
    }
    step.toSend += portBytes();
    phase_ = Phase::Socks5Reply;
    return step;
}

FirewallNegotiator::Step FirewallNegotiator::socks5Reply() {
    if (reply_.size() < 2) {
        return {};
    }
    const unsigned result = byteAt(reply_, 1);
    if (result != 0) {
        static constexpr const char* kTexts[] = {
            nullptr,
            "general SOCKS server failure",
            "connection not allowed by ruleset",
            "network unreachable",
            "host unreachable",
            "connection refused",
            "TTL expired",
            "command not supported",
            "address type not supported",
        };
        if (result < 9) {
            return fail(kTexts[result]);
        }
        return fail("unknown firewall error: " + std::to_string(result));
    }
    if (reply_.size() < 5) {
        return {};
    }
    // The bound address that ends the reply has the length its type gives.
    std::size_t length = 10;
    switch (byteAt(reply_, 3)) {
    case 0x03:
        length = 4 + 1 + byteAt(reply_, 4) + 2;
        break;
    case 0x04:
        length = 4 + 16 + 2;
        break;
    default:
        break;
    }
    if (reply_.size() < length) {
        return {};
    }
    phase_ = Phase::Done;
    Step step;
    step.state = State::Connected;
    step.leftover = reply_.substr(length);
    return step;
}

} // namespace mailvane::net
