// A hostile mail server must not be able to fill the host's memory with one endless reply line
// or an endless multi-line reply; a long but legitimate EHLO reply still goes through.
#include "../net/support/ScriptedServer.h"
#include "SessionFixture.h"

#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::Peer;
using mailvane::testing::ScriptedServer;

namespace {

class HostileReply : public mailvane::testing::SessionFixture {
protected:
    // The deadline only bounds a client without the limits; the limits end the send first.
    smtp::SessionSettings bounded(int port) {
        smtp::SessionSettings s = settingsFor(port);
        s.timeoutSeconds = 10;
        return s;
    }
};

} // namespace

TEST_F(HostileReply, AnEndlessReplyLineEndsTheSendWith175) {
    ScriptedServer server([](Peer& peer) {
        std::string line = "220 ";
        line.append(200 * 1024, 'x');
        peer.send(line + "\r\n");
        peer.waitClosed();
    });
    const net::Status s = send(bounded(server.port()), simpleMessage());
    EXPECT_EQ(s.code, 175) << s.text;
    EXPECT_EQ(s.text, "The mail server sent a reply line longer than 4096 bytes.");
    EXPECT_TRUE(host.lines("trail1").empty());
    EXPECT_TRUE(host.lines("trail0").empty()) << "nothing is sent after such a line";
}

TEST_F(HostileReply, AnEndlessMultiLineReplyEndsTheSendWith175) {
    ScriptedServer server([](Peer& peer) {
        std::string burst;
        for (int i = 0; i < 1000; ++i) {
            burst += "220-still greeting\r\n";
        }
        for (int i = 0; i < 20; ++i) {
            peer.send(burst); // stops when the client has closed
        }
        peer.waitClosed();
    });
    const net::Status s = send(bounded(server.port()), simpleMessage());
    EXPECT_EQ(s.code, 175) << s.text;
    EXPECT_EQ(s.text, "The mail server sent a reply of more than 100 lines or 64 KB.");
    EXPECT_LE(host.lines("trail1").size(), 100u);
}

TEST_F(HostileReply, ManyLongContinuationLinesEndTheSendAt64KB) {
    ScriptedServer server([](Peer& peer) {
        const std::string line = "220-" + std::string(4000, 'y') + "\r\n";
        for (int i = 0; i < 40; ++i) {
            peer.send(line);
        }
        peer.waitClosed();
    });
    const net::Status s = send(bounded(server.port()), simpleMessage());
    EXPECT_EQ(s.code, 175) << s.text;
    EXPECT_LE(host.lines("trail1").size(), 17u);
}

TEST_F(HostileReply, ALongLegitimateEhloReplyAndAWideLineStillWork) {
    ScriptedServer server([](Peer& peer) {
        peer.send("220 " + std::string(4092, 'g') + "\r\n"); // exactly 4096 bytes
        peer.readLine();
        for (int i = 0; i < 60; ++i) {
            peer.send("250-EXTENSION-" + std::to_string(i) + " " + std::string(480, 'e') + "\r\n");
        }
        peer.send("250 HELP\r\n");
        mailvane::testing::answerTransaction(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
    });
    const net::Status s = send(bounded(server.port()), simpleMessage());
    ASSERT_TRUE(s.ok()) << s.code << " " << s.text;
    EXPECT_EQ(host.lines("trail1").size(), 1u + 61u + 6u);
}
