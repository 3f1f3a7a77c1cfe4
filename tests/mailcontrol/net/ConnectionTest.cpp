// The connection against a scripted peer on 127.0.0.1: connecting and its failures, one line
// at a time, sending everything, and waits that end by deadline, interrupt or a lost peer.
#include "net/Connection.h"
#include "net/SocketErrors.h"
#include "support/LoadedLibrary.h"
#include "support/RecordingHost.h"
#include "support/ScriptedServer.h"
#include "support/TestPeers.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::Peer;
using mailvane::testing::RecordingHost;
using mailvane::testing::ScriptedServer;

namespace {

class ConnectionTest : public mailvane::testing::LoadedLibrary {
protected:
    net::ConnectionSettings to(int port) {
        net::ConnectionSettings s;
        s.serverAddress = loopback();
        s.serverName = "127.0.0.1";
        s.serverPort = port;
        return s;
    }
    RecordingHost host;
};

} // namespace

TEST_F(ConnectionTest, LinesArriveOneAtATimeWhateverThePacketsHold) {
    // Longer than the 2 KB read buffer, within the 4 KB a reply line may have.
    const std::string longLine(4000, 'L');
    ScriptedServer server([&](Peer& peer) {
        peer.send("220-first\r\n220 second\r\n");
        peer.send("250 a\n250 b\r250 c\n\r" + longLine + "\r\n");
        peer.readLine();
    });
    net::Connection c(host);
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    EXPECT_TRUE(host.saw("trail2", "Connected."));
    EXPECT_GE(c.socketHandle(), 0);
    std::vector<std::string> got;
    for (int i = 0; i < 6; ++i) {
        std::string line;
        const net::Status s = c.readLine(line);
        ASSERT_TRUE(s.ok()) << s.code << " " << s.text << " after " << got.size();
        got.push_back(line);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"220-first", "220 second", "250 a", "250 b", "250 c",
                                             longLine}));
    EXPECT_TRUE(c.sendAll("QUIT\r\n").ok());
    c.close();
    EXPECT_TRUE(host.saw("trail2", "Disconnected."));
    EXPECT_EQ(c.socketHandle(), -1);
}

TEST_F(ConnectionTest, RefusedConnectionFiresFailedToConnect) {
    const int port = mailvane::testing::freePort();
    net::Connection c(host);
    const net::Status s = c.connect(to(port));
    EXPECT_EQ(s.code, 10061);
    EXPECT_EQ(s.text, "[10061] Connection refused");
    ASSERT_EQ(host.errors().size(), 1u);
    EXPECT_EQ(host.errors()[0].code, 162);
    EXPECT_EQ(host.errors()[0].text, "Failed to connect: [10061] Connection refused");
    EXPECT_FALSE(host.saw("trail2", "Connected."));
    EXPECT_FALSE(host.saw("trail2", "Disconnected."));
    EXPECT_FALSE(c.isOpen());
}

TEST_F(ConnectionTest, MissingAddressOrPortAndSecondConnectAreRefused) {
    net::Connection c(host);
    net::ConnectionSettings none;
    none.serverPort = 25;
    EXPECT_EQ(c.connect(none).code, 102);
    EXPECT_EQ(c.connect(none).text, "The RemoteHost address is invalid (0.0.0.0).");
    none.firewallType = net::FirewallType::Socks5;
    none.firewallPort = 1080;
    EXPECT_EQ(c.connect(none).text, "The FirewallHost address is invalid (0.0.0.0).");
    auto noPort = to(0);
    EXPECT_EQ(c.connect(noPort).code, 116);
    EXPECT_EQ(c.connect(noPort).text,
              "RemotePort can't be zero. Please specify a valid service port number.");
    noPort.firewallType = net::FirewallType::Tunnel;
    noPort.firewallAddress = loopback();
    noPort.firewallPort = 0;
    EXPECT_EQ(c.connect(noPort).text, "The FirewallPort is invalid (0).");

    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    const net::Status again = c.connect(to(server.port()));
    EXPECT_EQ(again.code, 104);
    EXPECT_EQ(again.text,
              "Already connected. If you want to reconnect, close the current connection first.");
    c.close();
}

TEST_F(ConnectionTest, BindsToTheLocalAddressAndPortGiven) {
    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    auto settings = to(server.port());
    settings.localAddress = loopback();
    settings.localPort = mailvane::testing::freePort();
    net::Connection c(host);
    ASSERT_TRUE(c.connect(settings).ok());
    EXPECT_EQ(net::formatIpv4(c.localAddress()), "127.0.0.1");
    sockaddr_in local{};
    socklen_t length = sizeof local;
    ::getsockname(c.socketHandle(), reinterpret_cast<sockaddr*>(&local), &length);
    EXPECT_EQ(ntohs(local.sin_port), settings.localPort);
    c.close();
}

TEST_F(ConnectionTest, DeadlineEndsAWaitForASilentPeer) {
    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    net::Connection c(host);
    // Taken before the deadline starts, so a slow connect cannot make the wait look short.
    const auto start = std::chrono::steady_clock::now();
    c.startDeadline(1);
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    std::string line;
    const net::Status s = c.readLine(line);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(s.code, 301);
    EXPECT_EQ(s.text, "Timeout.");
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_GT(host.pumps, 10) << "the host's events must keep flowing while waiting";
    c.close();
}

TEST_F(ConnectionTest, SilentFirewallTimesOutTheConnect) {
    ScriptedServer firewall([](Peer& peer) { peer.waitClosed(); });
    net::ConnectionSettings settings;
    settings.serverName = "mail.example.com";
    settings.serverPort = 25;
    settings.firewallType = net::FirewallType::Socks5;
    settings.firewallAddress = loopback();
    settings.firewallPort = firewall.port();
    net::Connection c(host);
    c.startDeadline(1);
    const net::Status s = c.connect(settings);
    EXPECT_EQ(s.code, 301);
    EXPECT_EQ(s.text, "Timeout.");
    EXPECT_FALSE(c.isOpen());
    EXPECT_FALSE(host.saw("trail2", "Connected."));
    EXPECT_EQ(firewall.received(), std::string("\x05\x01\x00", 3)) << "the greeting went out";
}

TEST_F(ConnectionTest, InterruptFromTheHostEndsTheWait) {
    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    // Like a button handler that runs while the control waits: it interrupts and closes.
    struct InterruptingHost : RecordingHost {
        net::Connection* connection = nullptr;
        void pumpEvents() override {
            if (++pumps == 5) {
                connection->interrupt();
                connection->close();
            }
        }
    } interrupting;
    net::Connection c(interrupting);
    interrupting.connection = &c;
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    std::string line;
    const net::Status s = c.readLine(line);
    EXPECT_EQ(s.code, 301);
    EXPECT_EQ(s.text, "Interrupted");
    EXPECT_FALSE(c.isOpen());
    EXPECT_TRUE(interrupting.saw("trail2", "Disconnected."));
}

TEST_F(ConnectionTest, HostGoingAwayEndsTheWaitAsInterrupted) {
    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    struct DyingHost : RecordingHost {
        bool alive() const override { return pumps < 3; }
    } dying;
    net::Connection c(dying);
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    std::string line;
    EXPECT_EQ(c.readLine(line).text, "Interrupted");
    c.close();
}

TEST_F(ConnectionTest, PeerClosingIsReportedAndReadsFail) {
    ScriptedServer server([](Peer& peer) {
        peer.send("220 bye\r\n");
        peer.close();
    });
    net::Connection c(host);
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    std::string line;
    ASSERT_TRUE(c.readLine(line).ok());
    const net::Status s = c.readLine(line);
    EXPECT_EQ(s.code, 10057);
    EXPECT_TRUE(host.saw("trail2", "Disconnected."));
    EXPECT_EQ(c.sendAll("x").code, 10057);
}

TEST_F(ConnectionTest, LastLineWithoutItsEndIsDeliveredBeforeTheClose) {
    ScriptedServer server([](Peer& peer) {
        peer.send("250 first\r\n221 bye");
        peer.close();
    });
    net::Connection c(host);
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    std::string line;
    ASSERT_TRUE(c.readLine(line).ok());
    EXPECT_EQ(line, "250 first");
    ASSERT_TRUE(c.readLine(line).ok());
    EXPECT_EQ(line, "221 bye");
    EXPECT_FALSE(host.saw("trail2", "Disconnected."));
    EXPECT_EQ(c.readLine(line).code, 10057);
    EXPECT_TRUE(host.saw("trail2", "Disconnected."));
}

TEST_F(ConnectionTest, SendsEverythingInOrderThroughAFullSocket) {
    std::string payload;
    for (int i = 0; payload.size() < 3'000'000; ++i) {
        payload += "line " + std::to_string(i) + "\r\n";
    }
    payload += ".\r\n";
    ScriptedServer server([](Peer& peer) {
        // A slow reader keeps the client's socket full for a while.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        peer.readUntil("\r\n.\r\n");
    });
    net::Connection c(host);
    ASSERT_TRUE(c.connect(to(server.port())).ok());
    std::vector<std::size_t> progress;
    ASSERT_TRUE(c.sendAll(payload.data(), payload.size(), [&](std::size_t n) {
                     progress.push_back(n);
                 }).ok());
    EXPECT_EQ(server.received(), payload);
    ASSERT_FALSE(progress.empty()) << "a full socket must take the data in parts";
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_LT(progress.back(), payload.size());
    c.close();
}
