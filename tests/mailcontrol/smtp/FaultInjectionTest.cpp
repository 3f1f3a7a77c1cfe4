// The session over a socket library that misbehaves on purpose (named like any other through
// the library name): short writes, would-block on sends and reads, and a reset mid-message.
// The wire must carry exactly what a clean run carries: nothing lost, nothing twice.
#include "../net/support/RecordingHost.h"
#include "../net/support/ScriptedServer.h"
#include "../net/support/TestPeers.h"
#include "net/NameResolver.h"
#include "net/SocketErrors.h"
#include "net/SocketLibrary.h"
#include "smtp/SmtpSession.h"

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::Peer;
using mailvane::testing::RecordingHost;
using mailvane::testing::ScriptedServer;

namespace {

void serveOneMessage(Peer& peer) {
    peer.send("220 ready\r\n");
    peer.readLine();
    peer.send("250-here\r\n250 OK\r\n");
    mailvane::testing::answerTransaction(
        peer, {"250 reset", "250 sender", "250 rcpt", "250 cc", "354 go"});
    peer.waitClosed();
}

class FaultInjection : public ::testing::Test {
protected:
    void TearDown() override {
        use_.release();
        net::SocketLibrary::setLibraryName("");
        for (const char* name :
             {"FAULTSOCK_MAX_SEND", "FAULTSOCK_MAX_RECV", "FAULTSOCK_EAGAIN_EVERY",
              "FAULTSOCK_RESET_AFTER", "FAULTSOCK_RECV_ERRNO"}) {
            ::unsetenv(name);
        }
    }
    void loadLibrary(const std::string& name) {
        use_.release();
        ASSERT_EQ(net::SocketLibrary::loadCount(), 0);
        net::SocketLibrary::setLibraryName(name);
        ASSERT_TRUE(use_.acquire()) << net::SocketLibrary::status();
        if (name == FAULTSOCK_PATH) {
            void* shim = ::dlopen(FAULTSOCK_PATH, RTLD_NOW | RTLD_NOLOAD);
            ASSERT_NE(shim, nullptr);
            reinterpret_cast<void (*)()>(::dlsym(shim, "faultsock_reset"))();
            ::dlclose(shim);
        }
    }
    // Sends the test message to a scripted server; returns what the server received.
    std::string sendOnce(RecordingHost& host, net::Status& status) {
        ScriptedServer server(serveOneMessage);
        smtp::SmtpSession session(host);
        smtp::SessionSettings settings;
        settings.connection.serverAddress = net::resolveIpv4("127.0.0.1").address;
        settings.connection.serverPort = server.port();
        settings.greetingName = "client.test";
        settings.timeoutSeconds = 60;
        status = session.send(settings, [&](smtp::MailMessage& m) {
            m.from = "a@example.com";
            m.sendTo = "b@example.com";
            m.cc = "c@example.com";
            m.subject = "faults";
            m.headers = "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n";
            m.bodyText = body_;
            m.bodyFile = (dir_.path() / "parts").string();
            return net::Status{};
        });
        return server.received();
    }

    void SetUp() override {
        for (int i = 0; i < 3000; ++i) {
            if (i % 7 == 0) {
                body_ += '.';
            }
            body_ += "line ";
            body_ += std::to_string(i);
            body_ += "\r\n";
        }
        std::string parts = "--B\r\nContent-Type: application/octet-stream\r\n\r\n";
        for (int i = 0; i < 60000; ++i) {
            parts += (i % 50 == 0) ? std::string("\r\n.") : std::string(1, 'A' + i % 26);
        }
        parts += "\r\n--B--\r\n";
        mailvane::testing::writeFile(dir_.path() / "parts", parts);
    }

    net::LibraryUse use_;
    mailvane::testing::TempDir dir_;
    std::string body_;
};

} // namespace

TEST_F(FaultInjection, ShortWritesAndWouldBlockChangeNothingOnTheWire) {
    loadLibrary("");
    RecordingHost cleanHost;
    net::Status clean;
    const std::string expected = sendOnce(cleanHost, clean);
    ASSERT_TRUE(clean.ok()) << clean.code << " " << clean.text;

    ::setenv("FAULTSOCK_MAX_SEND", "7", 1);
    ::setenv("FAULTSOCK_MAX_RECV", "3", 1);
    ::setenv("FAULTSOCK_EAGAIN_EVERY", "3", 1);
    loadLibrary(FAULTSOCK_PATH);
    RecordingHost faultyHost;
    net::Status faulty;
    const std::string wire = sendOnce(faultyHost, faulty);
    ASSERT_TRUE(faulty.ok()) << faulty.code << " " << faulty.text;
    EXPECT_EQ(wire.size(), expected.size());
    EXPECT_TRUE(wire == expected) << "the wire differs from a clean run";
    // The same replies, one line at a time, although they arrived three bytes at a time.
    EXPECT_EQ(faultyHost.lines("trail1"), cleanHost.lines("trail1"));
    EXPECT_EQ(faultyHost.lines("trail0"), cleanHost.lines("trail0"));
}

TEST_F(FaultInjection, ResetDuringTheMessageFailsWithTheSocketCode) {
    ::setenv("FAULTSOCK_RESET_AFTER", "300", 1);
    loadLibrary(FAULTSOCK_PATH);
    RecordingHost host;
    net::Status status;
    const std::string wire = sendOnce(host, status);
    EXPECT_EQ(status.code, 10054);
    EXPECT_EQ(status.text, "[10054] Connection reset by peer");
    EXPECT_EQ(wire.size(), 300u) << "nothing after the reset reaches the server";
    bool reported = false;
    for (const auto& e : host.errors()) {
        reported = reported ||
                   (e.code == 162 && e.text == "Disconnected [10054] Connection reset by peer");
    }
    EXPECT_TRUE(reported);
    EXPECT_FALSE(host.saw("trail0", "QUIT"));
}

TEST_F(FaultInjection, ReceiveFailuresEndTheSendAndOnlyUnexpectedCodesFireTheirOwnError) {
    struct Case {
        int err;
        int code;
        bool quiet; // aborted and reset connections end the read without an event of their own
    };
    for (const Case c : {Case{ENETDOWN, 10050, false}, Case{ECONNRESET, 10054, true},
                         Case{ECONNABORTED, 10053, true}}) {
        ::setenv("FAULTSOCK_RECV_ERRNO", std::to_string(c.err).c_str(), 1);
        loadLibrary(FAULTSOCK_PATH);
        RecordingHost host;
        net::Status status;
        const std::string wire = sendOnce(host, status);
        EXPECT_EQ(status.code, c.code);
        EXPECT_EQ(status.text, net::describeSocketError(c.code));
        EXPECT_TRUE(host.saw("trail2", "Connected."));
        EXPECT_TRUE(wire.empty()) << "no command goes out before the greeting";
        std::vector<std::pair<int, std::string>> errors;
        for (const auto& e : host.errors()) {
            errors.emplace_back(e.code, e.text);
        }
        std::vector<std::pair<int, std::string>> expected;
        if (!c.quiet) {
            expected.emplace_back(c.code, "socket error in recv: " + std::to_string(c.code));
        }
        expected.emplace_back(162, "Disconnected " + net::describeSocketError(c.code));
        EXPECT_EQ(errors, expected) << "errno " << c.err;
    }
}
