// Sending through real firewalls on 127.0.0.1: dante as SOCKS 4 and SOCKS 5 (with and without a
// user and password) and tinyproxy as an HTTP CONNECT proxy, allowed and refused.
#include "../net/support/Firewalls.h"
#include "SessionFixture.h"
#include "SmtpSink.h"

#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::RunningPeer;
using mailvane::testing::SmtpSink;
using mailvane::testing::TempDir;

namespace {

class Firewall : public mailvane::testing::SessionFixture {
protected:
    void SetUp() override {
        SessionFixture::SetUp();
        ASSERT_TRUE(sink.up());
    }
    smtp::SessionSettings through(net::FirewallType type, const RunningPeer& firewall,
                                  const std::string& serverName = "127.0.0.1") {
        auto s = settingsFor(sink.port());
        s.connection.serverAddress = 0; // not resolved while a firewall is used
        s.connection.serverName = serverName;
        s.connection.firewallType = type;
        s.connection.firewallAddress = loopback();
        s.connection.firewallPort = firewall.port;
        s.timeoutSeconds = 30;
        return s;
    }
    void expectDelivered(const net::Status& s) {
        ASSERT_TRUE(s.ok()) << s.code << " " << s.text;
        EXPECT_EQ(sink.envelope(),
                  (std::vector<std::string>{"sender@example.com", "rcpt@example.com"}));
        EXPECT_TRUE(host.saw("trail2", "Connected."));
        EXPECT_TRUE(host.errors().empty());
    }
    // 118 with the firewall's text, then 162, and Send fails with 118.
    void expectRefused(const net::Status& s, const std::string& text, int messagesBefore = 0) {
        EXPECT_EQ(s.code, 118);
        EXPECT_EQ(s.text, text);
        const auto errors = host.errors();
        ASSERT_EQ(errors.size(), 2u);
        EXPECT_EQ(errors[0].code, 118);
        EXPECT_EQ(errors[0].text, text);
        EXPECT_EQ(errors[1].code, 162);
        EXPECT_EQ(errors[1].text, "Failed to connect: [118] (no description available)");
        EXPECT_FALSE(host.saw("trail2", "Connected."));
        EXPECT_FALSE(std::filesystem::exists(sink.message(messagesBefore + 1)));
    }

    SmtpSink sink;
    TempDir dir;
};

} // namespace

TEST_F(Firewall, Socks4Passes) {
    const RunningPeer dante = mailvane::testing::startDante(dir, false);
    ASSERT_TRUE(dante.up);
    auto settings = through(net::FirewallType::Socks4, dante);
    settings.connection.firewallUser = "estimator";
    expectDelivered(send(settings, simpleMessage()));
}

TEST_F(Firewall, Socks4RejectionEndsIn118Then162) {
    const RunningPeer dante = mailvane::testing::startDante(dir, false, sink.port());
    ASSERT_TRUE(dante.up);
    expectRefused(send(through(net::FirewallType::Socks4, dante), simpleMessage()),
                  "firewall request rejected or failed");
}

TEST_F(Firewall, Socks5ByAddressAndByNameTheFirewallResolves) {
    const RunningPeer dante = mailvane::testing::startDante(dir, false);
    ASSERT_TRUE(dante.up);
    expectDelivered(send(through(net::FirewallType::Socks5, dante), simpleMessage()));
    host.events.clear();
    const net::Status byName =
        send(through(net::FirewallType::Socks5, dante, "*localhost"), simpleMessage());
    ASSERT_TRUE(byName.ok()) << byName.code << " " << byName.text;
    EXPECT_TRUE(std::filesystem::exists(sink.message(2)));
}

TEST_F(Firewall, Socks5RulesetRefusal) {
    const RunningPeer dante = mailvane::testing::startDante(dir, false, sink.port());
    ASSERT_TRUE(dante.up);
    expectRefused(send(through(net::FirewallType::Socks5, dante), simpleMessage()),
                  "connection not allowed by ruleset");
}

TEST_F(Firewall, Socks5WithUserAndPassword) {
    if (!mailvane::testing::ensureSocksUser("mvsocks", "fw-pass")) {
        GTEST_SKIP() << "needs root to create the SOCKS user";
    }
    const RunningPeer dante = mailvane::testing::startDante(dir, true);
    ASSERT_TRUE(dante.up);
    auto settings = through(net::FirewallType::Socks5, dante);
    settings.connection.firewallUser = "mvsocks";
    settings.connection.firewallPassword = "fw-pass";
    expectDelivered(send(settings, simpleMessage()));

    host.events.clear();
    settings.connection.firewallPassword = "wrong";
    const net::Status refused = send(settings, simpleMessage());
    EXPECT_EQ(refused.code, 118);
    EXPECT_EQ(refused.text.rfind("firewall authentication failed: ", 0), 0u) << refused.text;

    host.events.clear();
    settings.connection.firewallPassword.clear(); // offers no authentication: none acceptable
    expectRefused(send(settings, simpleMessage()), "no acceptable firewall authentication methods",
                  1);
}

TEST_F(Firewall, HttpProxyTunnelAllowedAndRefused) {
    const RunningPeer allowed = mailvane::testing::startTinyproxy(dir, sink.port());
    ASSERT_TRUE(allowed.up);
    expectDelivered(send(through(net::FirewallType::Tunnel, allowed), simpleMessage()));

    TempDir otherDir;
    const RunningPeer refusing = mailvane::testing::startTinyproxy(otherDir, sink.port() + 1);
    ASSERT_TRUE(refusing.up);
    host.events.clear();
    const net::Status s = send(through(net::FirewallType::Tunnel, refusing), simpleMessage());
    EXPECT_EQ(s.code, 118);
    EXPECT_EQ(s.text.rfind("HTTP/1.0 403 ", 0), 0u) << s.text;
    const auto errors = host.errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].code, 118);
    EXPECT_EQ(errors[0].text, s.text);
    EXPECT_EQ(errors[1].code, 162);
}

TEST_F(Firewall, HttpProxyWithBasicAuthorisation) {
    const RunningPeer proxy =
        mailvane::testing::startTinyproxy(dir, sink.port(), "proxyuser", "proxypass");
    ASSERT_TRUE(proxy.up);
    auto settings = through(net::FirewallType::Tunnel, proxy);
    settings.connection.firewallUser = "proxyuser";
    settings.connection.firewallPassword = "proxypass";
    expectDelivered(send(settings, simpleMessage()));

    host.events.clear();
    settings.connection.firewallPassword = "nope";
    const net::Status s = send(settings, simpleMessage());
    EXPECT_EQ(s.code, 118);
    EXPECT_EQ(s.text.rfind("HTTP/1.0 40", 0), 0u) << s.text; // tinyproxy answers 401
    EXPECT_FALSE(std::filesystem::exists(sink.message(2)));
}
