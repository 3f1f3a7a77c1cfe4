// The bytes of each firewall exchange and every failure text, without a network.
#include "net/FirewallNegotiator.h"
#include "support/LoadedLibrary.h"

#include <gtest/gtest.h>

using mailvane::net::FirewallNegotiator;
using mailvane::net::FirewallType;
using State = FirewallNegotiator::State;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

FirewallNegotiator::Step feed(FirewallNegotiator& n, const std::string& data) {
    return n.feed(data.data(), data.size());
}

class Negotiation : public mailvane::testing::LoadedLibrary {};

} // namespace

TEST_F(Negotiation, ProxyConnectWithAndWithoutAuthorisation) {
    FirewallNegotiator plain(FirewallType::Tunnel, "mail.example.com", 25, "", "");
    EXPECT_EQ(plain.start().toSend, "CONNECT mail.example.com:25 HTTP/1.0\r\n\r\n");
    EXPECT_EQ(feed(plain, "HTTP/1.0 200 Connection established\r\n").state, State::Pending);
    auto up = feed(plain, "Proxy-agent: x\r\n\r\n220 ready\r\n");
    EXPECT_EQ(up.state, State::Connected);
    EXPECT_EQ(up.leftover, "220 ready\r\n");

    FirewallNegotiator authorised(FirewallType::Tunnel, "mail", 2525, "Aladdin", "open sesame");
    EXPECT_EQ(authorised.start().toSend, "CONNECT mail:2525 HTTP/1.0\r\nProxy-authorization: Basic "
                                         "QWxhZGRpbjpvcGVuIHNlc2FtZQ==\r\n\r\n");
    EXPECT_EQ(feed(authorised, "HTTP/1.1 200 OK\n\n").state, State::Connected);
}

TEST_F(Negotiation, ProxyRefusalReportsTheStatusLine) {
    FirewallNegotiator n(FirewallType::Tunnel, "mail", 25, "", "");
    n.start();
    EXPECT_EQ(feed(n, "HTTP/1.0 407 Proxy Auth").state, State::Pending);
    auto step = feed(n, "entication Required\r\n\r\n");
    EXPECT_EQ(step.state, State::Failed);
    EXPECT_EQ(step.failure, "HTTP/1.0 407 Proxy Authentication Required");
}

TEST_F(Negotiation, Socks4RequestAndEveryReply) {
    FirewallNegotiator n(FirewallType::Socks4, "127.0.0.1", 0x1234, "joe", "");
    EXPECT_EQ(n.start().toSend, bytes({4, 1, 0x12, 0x34, 127, 0, 0, 1, 'j', 'o', 'e', 0}));
    auto up = feed(n, bytes({0, 90, 0, 0, 0, 0, 0, 0, '2', '2'}));
    EXPECT_EQ(up.state, State::Connected);
    EXPECT_EQ(up.leftover, "22");

    const std::pair<int, const char*> failures[] = {
        {91, "firewall request rejected or failed"},
        {92, "firewall request rejected because identd is not available"},
        {93, "firewall request rejected because identd reports different user"},
        {77, "unknown firewall error: 77"}};
    for (const auto& [code, text] : failures) {
        FirewallNegotiator f(FirewallType::Socks4, "127.0.0.1", 25, "", "");
        f.start();
        EXPECT_EQ(feed(f, bytes({0, code, 0, 0})).state, State::Pending);
        auto step = feed(f, bytes({0, 0, 0, 0}));
        EXPECT_EQ(step.state, State::Failed);
        EXPECT_EQ(step.failure, text);
    }
}

TEST_F(Negotiation, Socks4TargetThatDoesNotResolveFails) {
    FirewallNegotiator n(FirewallType::Socks4, "no-such-host.invalid", 25, "", "");
    auto step = n.start();
    EXPECT_EQ(step.state, State::Failed);
    // The failure carries no text of its own, whatever the resolver said.
    EXPECT_EQ(step.failure, "");
    EXPECT_TRUE(step.toSend.empty());
}

TEST_F(Negotiation, Socks5WithoutUserAndAddressByNumber) {
    FirewallNegotiator n(FirewallType::Socks5, "127.0.0.1", 25, "joe", ""); // no password
    EXPECT_EQ(n.start().toSend, bytes({5, 1, 0}));
    auto request = feed(n, bytes({5, 0}));
    EXPECT_EQ(request.toSend, bytes({5, 1, 0, 1, 127, 0, 0, 1, 0, 25}));
    auto up = feed(n, bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 25, 'x'}));
    EXPECT_EQ(up.state, State::Connected);
    EXPECT_EQ(up.leftover, "x");
}

TEST_F(Negotiation, Socks5UserPasswordAndNameResolvedByTheFirewall) {
    FirewallNegotiator n(FirewallType::Socks5, "*mail.example.com", 587, "joe", "pw");
    EXPECT_EQ(n.start().toSend, bytes({5, 2, 0, 2}));
    EXPECT_EQ(feed(n, bytes({5, 2})).toSend, bytes({1, 3, 'j', 'o', 'e', 2, 'p', 'w'}));
    auto request = feed(n, bytes({1, 0}));
    std::string expected = bytes({5, 1, 0, 3, 16}) + "mail.example.com" + bytes({2, 0x4B});
    EXPECT_EQ(request.toSend, expected);
    // A reply with a name as bound address is read to its end.
    auto up = feed(n, bytes({5, 0, 0, 3, 2, 'a', 'b', 0, 1}) + "220");
    EXPECT_EQ(up.state, State::Connected);
    EXPECT_EQ(up.leftover, "220");
}

TEST_F(Negotiation, Socks5FailureTexts) {
    auto methodFailure = [](int method) {
        FirewallNegotiator n(FirewallType::Socks5, "127.0.0.1", 25, "", "");
        n.start();
        return feed(n, bytes({5, method})).failure;
    };
    EXPECT_EQ(methodFailure(0xFF), "no acceptable firewall authentication methods");
    EXPECT_EQ(methodFailure(0x01), "unknown firewall authentication method");

    FirewallNegotiator auth(FirewallType::Socks5, "127.0.0.1", 25, "u", "p");
    auth.start();
    feed(auth, bytes({5, 2}));
    EXPECT_EQ(feed(auth, bytes({1, 1})).failure, "firewall authentication failed: 1");

    const char* texts[] = {"general SOCKS server failure", "connection not allowed by ruleset",
                           "network unreachable",          "host unreachable",
                           "connection refused",           "TTL expired",
                           "command not supported",        "address type not supported"};
    for (int code = 1; code <= 9; ++code) {
        FirewallNegotiator n(FirewallType::Socks5, "127.0.0.1", 25, "", "");
        n.start();
        feed(n, bytes({5, 0}));
        auto step = feed(n, bytes({5, code, 0, 1, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(step.state, State::Failed);
        EXPECT_EQ(step.failure,
                  code <= 8 ? std::string(texts[code - 1]) : "unknown firewall error: 9");
    }
}
