// What the transport does with input meant to break it: names with white space or line breaks
// (the name parser, the CONNECT request) and a proxy whose reply never ends.
#include "net/FirewallNegotiator.h"
#include "net/HostName.h"
#include "net/NameResolver.h"
#include "support/LoadedLibrary.h"

#include <gtest/gtest.h>

using mailvane::net::FirewallNegotiator;
using mailvane::net::FirewallType;
using mailvane::net::formatIpv4;
using mailvane::net::resolveIpv4;
using State = FirewallNegotiator::State;

namespace {

class HostileInput : public mailvane::testing::LoadedLibrary {};

FirewallNegotiator::Step feed(FirewallNegotiator& n, const std::string& data) {
    return n.feed(data.data(), data.size());
}

} // namespace

TEST_F(HostileInput, DottedAddressIsTakenOnlyWhenNothingFollowsIt) {
    EXPECT_EQ(formatIpv4(resolveIpv4("127.0.0.1").address), "127.0.0.1");
    for (const char* name : {"127.0.0.1 ", "127.0.0.1\t", "127.0.0.1\r\nMAIL FROM:<x@example.com>",
                             "127.0.0.1 localhost"}) {
        SCOPED_TRACE(name);
        const auto r = resolveIpv4(name);
        EXPECT_EQ(r.address, 0u);
        EXPECT_NE(r.code, 0);
    }
}

TEST_F(HostileInput, ProxyAndSocksGetOnlyAHostNameOrAddress) {
    for (const char* name : {"mail.example.com\r\nX-Injected: yes", "mail.example.com HTTP/1.1",
                             "mail\n", "*mail.example.com\r\nX: y", "", "*"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(name)));
        FirewallNegotiator proxy(FirewallType::Tunnel, name, 25, "", "");
        const auto step = proxy.start();
        EXPECT_EQ(step.state, State::Failed);
        EXPECT_EQ(step.toSend, "");
        EXPECT_EQ(step.failure, "mail server name is not a host name or address");
    }
    // A name the SOCKS 5 firewall is to resolve is checked the same way.
    FirewallNegotiator socks(FirewallType::Socks5, "*mail\r\nexample", 25, "", "");
    const auto refused = socks.start();
    EXPECT_EQ(refused.state, State::Failed);
    EXPECT_EQ(refused.toSend, "");

    // Sound names go out as before.
    for (const char* name :
         {"mail.example.com", "*mail.example.com", "127.0.0.1", "smtp-1_a", "[::1]"}) {
        FirewallNegotiator ok(FirewallType::Tunnel, name, 25, "", "");
        const std::string target = name[0] == '*' ? name + 1 : name;
        EXPECT_EQ(ok.start().toSend, "CONNECT " + target + ":25 HTTP/1.0\r\n\r\n");
    }
}

TEST_F(HostileInput, ProxyReplyIsCappedAndReadPieceByPiece) {
    FirewallNegotiator endless(FirewallType::Tunnel, "mail", 25, "", "");
    endless.start();
    ASSERT_EQ(feed(endless, "HTTP/1.0 200 OK\r\n").state, State::Pending);
    const std::string header = "X-Filler: " + std::string(40, 'x') + "\r\n";
    std::size_t fed = 17;
    FirewallNegotiator::Step step;
    // Fed a few bytes at a time, as a slow proxy sends them.
    while (step.state == State::Pending && fed < 64 * 1024) {
        for (std::size_t i = 0; i < header.size() && step.state == State::Pending; i += 7) {
            step = feed(endless, header.substr(i, 7));
            fed += std::min<std::size_t>(7, header.size() - i);
        }
    }
    EXPECT_EQ(step.state, State::Failed);
    EXPECT_EQ(step.failure, "firewall reply too long");
    EXPECT_GT(fed, 16u * 1024);
    EXPECT_LE(fed, 16u * 1024 + header.size());

    // A long but finished reply below the cap opens the tunnel, whatever the pieces.
    FirewallNegotiator big(FirewallType::Tunnel, "mail", 25, "", "");
    big.start();
    std::string reply = "HTTP/1.1 200 OK\r\n";
    while (reply.size() < 15 * 1024) {
        reply += header;
    }
    reply += "\r\n";
    FirewallNegotiator::Step last;
    std::size_t i = 0;
    for (; i < reply.size() && last.state == State::Pending; i += 3) {
        last = feed(big, reply.substr(i, 3));
    }
    EXPECT_EQ(last.state, State::Connected);
    EXPECT_GE(i, reply.size());
    EXPECT_EQ(last.leftover, "");

    // The end of the headers split across pieces, with bare line ends.
    FirewallNegotiator bare(FirewallType::Tunnel, "mail", 25, "", "");
    bare.start();
    EXPECT_EQ(feed(bare, "HTTP/1.0 200 OK\nA: b\n").state, State::Pending);
    const auto up = feed(bare, "\n220 hi\r\n");
    EXPECT_EQ(up.state, State::Connected);
    EXPECT_EQ(up.leftover, "220 hi\r\n");
}

TEST_F(HostileInput, Socks4UserWithANulCannotAddBytesForTheServer) {
    // The user ends at its NUL; what followed it would reach the mail server as if sent by us.
    FirewallNegotiator n(FirewallType::Socks4, "127.0.0.1", 25,
                         std::string("joe\0EHLO spoof\r\n", 16), "");
    const auto step = n.start();
    EXPECT_EQ(step.state, State::Failed);
    EXPECT_EQ(step.toSend, "");
    EXPECT_EQ(step.failure, "firewall user holds a NUL character");
}

TEST(HostName, NamesAndAddressesOnly) {
    using mailvane::net::isHostNameOrAddress;
    for (const char* good : {"mail", "mail.example.com", "10.0.0.1", "smtp-1_a.example", "[::1]",
                             "[2001:db8::25]", "[::ffff:10.0.0.1]"}) {
        EXPECT_TRUE(isHostNameOrAddress(good)) << good;
    }
    for (const char* bad : {"", "[]", "[::1", "[x]", "[a]b]", "mail example", "mail:25", "mail/x",
                            "m\xc3\xa4il", "mail\t", "*mail"}) {
        EXPECT_FALSE(isHostNameOrAddress(bad)) << bad;
    }
    EXPECT_TRUE(isHostNameOrAddress(std::string(255, 'a')));
    EXPECT_FALSE(isHostNameOrAddress(std::string(256, 'a')));
    EXPECT_FALSE(isHostNameOrAddress(std::string("mail\0x", 6)));
}
