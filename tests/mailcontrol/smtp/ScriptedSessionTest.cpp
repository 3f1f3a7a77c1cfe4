// The SMTP exchange against a scripted server, for what real servers rarely do: refused EHLO,
// multi-line replies, two replies in one packet, refusals, silence, drops and re-entry.
#include "../net/support/ScriptedServer.h"
#include "SessionFixture.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::Peer;
using mailvane::testing::ScriptedServer;
using Lines = std::vector<std::string>;

namespace {

class ScriptedSession : public mailvane::testing::SessionFixture {};

// Greets and answers EHLO with a multi-line reply.
void greet(Peer& peer) {
    peer.send("220 scripted ESMTP\r\n");
    peer.readLine();
    peer.send("250-scripted\r\n250-SIZE 1000000\r\n250 HELP\r\n");
}

// Answers each command read with the reply given, in order.
void answer(Peer& peer, const Lines& replies) {
    for (const std::string& reply : replies) {
        peer.readLine();
        peer.send(reply + "\r\n");
    }
}

} // namespace

TEST_F(ScriptedSession, RefusedEhloFallsBackToHeloAndRepliesArriveOneAtATime) {
    ScriptedServer server([](Peer& peer) {
        peer.send("220 old server\r\n");
        answer(peer, {"500 what?", "250-old\r\n250 fine"});
        peer.readLine(); // RSET: its reply and the next one come in one packet
        peer.send("250 reset\r\n250 sender ok\r\n");
        peer.readLine(); // MAIL
        answer(peer, {"250 rcpt ok", "354 go ahead"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued\r\n");
        answer(peer, {"221 bye"});
        peer.waitClosed();
    });
    auto message = simpleMessage();
    message.bodyText = ".\r\n";
    const net::Status s = send(settingsFor(server.port()), message);
    ASSERT_TRUE(s.ok()) << s.code << " " << s.text;
    EXPECT_EQ(host.lines("trail0"), (Lines{"EHLO client.test", "HELO client.test", "RSET",
                                           "MAIL FROM:<sender@example.com>",
                                           "RCPT TO:<rcpt@example.com>", "DATA", ".", "QUIT"}));
    EXPECT_EQ(host.lines("trail1"),
              (Lines{"220 old server", "500 what?", "250-old", "250 fine", "250 reset",
                     "250 sender ok", "250 rcpt ok", "354 go ahead", "250 queued", "221 bye"}));
    EXPECT_EQ(host.lines("trail2"),
              (Lines{"Connecting to mail server.", "Connected.", "Disconnected."}));
    EXPECT_EQ(session.lastReply(), "221 bye");
    // A body of one period goes out doubled, then the added line end and the final period.
    const std::string wire = server.received();
    EXPECT_NE(wire.find("DATA\r\nTo: rcpt@example.com\r\nFrom: Sender <sender@example.com>\r\n"
                        "Subject: Hello\r\n\r\n..\r\n\r\n.\r\nQUIT\r\n"),
              std::string::npos)
        << wire;
}

TEST_F(ScriptedSession, MultiLineEhloReplyIsReadWhole) {
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued\r\n");
        answer(peer, {"221 bye"});
    });
    ASSERT_TRUE(send(settingsFor(server.port()), simpleMessage()).ok());
    const Lines replies = host.lines("trail1");
    ASSERT_GE(replies.size(), 4u);
    EXPECT_EQ((Lines{replies[1], replies[2], replies[3]}),
              (Lines{"250-scripted", "250-SIZE 1000000", "250 HELP"}));
    EXPECT_EQ(host.lines("trail0")[1], "RSET") << "no HELO after a successful EHLO";
}

TEST_F(ScriptedSession, CommandArgumentIsCutToWhatTheCommandBufferLeaves) {
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued\r\n");
        answer(peer, {"221 bye"});
    });
    auto settings = settingsFor(server.port());
    settings.greetingName = std::string(600, 'n');
    ASSERT_TRUE(send(settings, simpleMessage()).ok());
    // 511 bytes less the command's length: "EHLO " and 507 characters of the name.
    const std::string ehlo = "EHLO " + std::string(507, 'n');
    EXPECT_EQ(host.lines("trail0")[0], ehlo);
    EXPECT_EQ(server.received().rfind(ehlo + "\r\nRSET\r\n", 0), 0u);
}

TEST_F(ScriptedSession, RefusedCcEndsTheSendWithoutDataOrQuit) {
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 to ok", "550 5.1.1 no such user"});
        peer.waitClosed();
    });
    auto message = simpleMessage();
    message.cc = "Nobody <nobody@example.com>";
    const net::Status s = send(settingsFor(server.port()), message);
    EXPECT_EQ(s.code, 161);
    EXPECT_EQ(s.text, "550 5.1.1 no such user");
    EXPECT_EQ(session.lastReply(), "550 5.1.1 no such user");
    const std::string wire = server.received();
    EXPECT_NE(wire.find("RCPT TO:<nobody@example.com>\r\n"), std::string::npos);
    EXPECT_EQ(wire.find("DATA"), std::string::npos);
    EXPECT_EQ(wire.find("QUIT"), std::string::npos);
    EXPECT_FALSE(session.busy());
    EXPECT_FALSE(session.connection().isOpen());
}

TEST_F(ScriptedSession, RefusedBlindCopyOnlyFiresErrorAndTheMessageGoesOut) {
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer,
               {"250 ok", "250 ok", "250 to ok", "550 blind refused", "250 blind ok", "354 go"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued\r\n");
        answer(peer, {"221 bye"});
    });
    auto message = simpleMessage();
    message.bcc = "x@example.com, y@example.com";
    ASSERT_TRUE(send(settingsFor(server.port()), message).ok());
    ASSERT_EQ(host.errors().size(), 1u);
    EXPECT_EQ(host.errors()[0].code, 161);
    EXPECT_EQ(host.errors()[0].text, "550 blind refused");
    const std::string wire = server.received();
    EXPECT_NE(wire.find("RCPT TO:<y@example.com>"), std::string::npos);
    EXPECT_EQ(wire.find("x@example.com", wire.find("DATA")), std::string::npos)
        << "blind copies never appear in the message";
}

TEST_F(ScriptedSession, QuitAnsweredWith421FailsAfterTheMessageWasAccepted) {
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued as 42\r\n");
        answer(peer, {"421 closing down"});
    });
    const net::Status s = send(settingsFor(server.port()), simpleMessage());
    EXPECT_EQ(s.code, 161);
    EXPECT_EQ(s.text, "421 closing down");
    EXPECT_TRUE(host.saw("trail1", "250 queued as 42"));
    EXPECT_TRUE(host.saw("trail2", "Forcing disconnection from mail server."));
}

TEST_F(ScriptedSession, EmptySenderOrRecipientFailsAfterTheGreetingWithoutQuit) {
    for (const bool noSender : {true, false}) {
        ScriptedServer server([](Peer& peer) {
            greet(peer);
            peer.waitClosed();
        });
        auto message = simpleMessage();
        (noSender ? message.from : message.sendTo).clear();
        const net::Status s = send(settingsFor(server.port()), message);
        EXPECT_EQ(s.code, noSender ? 164 : 165);
        EXPECT_EQ(s.text, noSender ? "Please specify a sender (From)."
                                   : "Please specify a recipient (To).");
        EXPECT_EQ(server.received(), "EHLO client.test\r\n");
    }
}

TEST_F(ScriptedSession, GreetingThatNeverComesTimesOut) {
    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    auto settings = settingsFor(server.port());
    settings.timeoutSeconds = 5;
    const auto start = std::chrono::steady_clock::now();
    const net::Status s = send(settings, simpleMessage());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(s.code, 301);
    EXPECT_EQ(s.text, "Timeout.");
    // Not before the time-out; how much later a loaded machine gets there is not asked.
    EXPECT_GE(took, std::chrono::milliseconds(4900));
}

TEST_F(ScriptedSession, WithoutTimeoutTheWaitLastsUntilThePeerCloses) {
    ScriptedServer server([](Peer& peer) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        peer.close();
    });
    const net::Status s = send(settingsFor(server.port()), simpleMessage());
    EXPECT_EQ(s.code, 10057);
    EXPECT_TRUE(host.saw("trail2", "Disconnected."));
}

TEST_F(ScriptedSession, InterruptFromATrailHandlerEndsTheSend) {
    ScriptedServer server([](Peer& peer) { peer.waitClosed(); });
    host.onTrail = [&](int direction, const std::string& text) {
        if (direction == 2 && text == "Connected.") {
            session.interrupt();
        }
    };
    const net::Status s = send(settingsFor(server.port()), simpleMessage());
    EXPECT_EQ(s.code, 301);
    EXPECT_EQ(s.text, "Interrupted");
    EXPECT_FALSE(session.busy());
    EXPECT_EQ(server.received(), "") << "no command after an interrupt, not even QUIT";
}

TEST_F(ScriptedSession, SendStartedFromAnEventOfARunningSendIsRefused) {
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued\r\n");
        answer(peer, {"221 bye"});
    });
    net::Status nested;
    host.onTrail = [&](int direction, const std::string&) {
        if (direction == 1 && nested.ok()) {
            nested = send(settingsFor(server.port()), simpleMessage());
        }
    };
    const net::Status s = send(settingsFor(server.port()), simpleMessage());
    EXPECT_EQ(nested.code, 166);
    EXPECT_EQ(nested.text, "Busy performing current action.");
    EXPECT_TRUE(s.ok()) << "the running Send goes on: " << s.code << " " << s.text;
}

TEST_F(ScriptedSession, ConnectionDroppedDuringDataFailsWithTheSocketCode) {
    std::string big;
    while (big.size() < 400000) {
        big += "Some body text that keeps the socket busy for a while.\r\n";
    }
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
        peer.readUntil("Subject"); // then hang up halfway through the data
    });
    auto message = simpleMessage();
    message.bodyText = big;
    const net::Status s = send(settingsFor(server.port()), message);
    EXPECT_TRUE(s.code == 10054 || s.code == 10053 || s.code == 10057) << s.code << " " << s.text;
    EXPECT_FALSE(session.busy());
    bool reported = host.saw("trail2", "Disconnected.");
    for (const auto& e : host.errors()) {
        reported = reported || (e.code == 162 && e.text.rfind("Disconnected [", 0) == 0);
    }
    EXPECT_TRUE(reported);
}

TEST_F(ScriptedSession, TransferEventsCountTheBodyBlocks) {
    std::string body(20000, 'x');
    ScriptedServer server([](Peer& peer) {
        greet(peer);
        answer(peer, {"250 ok", "250 ok", "250 ok", "354 go"});
        peer.readUntil("\r\n.\r\n");
        peer.send("250 queued\r\n");
        answer(peer, {"221 bye"});
    });
    auto message = simpleMessage();
    message.bodyText = body;
    ASSERT_TRUE(send(settingsFor(server.port()), message).ok());
    Lines kinds;
    std::vector<int> counts;
    for (const auto& e : host.events) {
        if (e.kind == "start" || e.kind == "end" || e.kind == "transfer") {
            kinds.push_back(e.kind);
            if (e.kind == "transfer") {
                counts.push_back(e.code);
            }
        }
    }
    EXPECT_EQ(kinds, (Lines{"start", "transfer", "transfer", "transfer", "end"}));
    EXPECT_EQ(counts, (std::vector<int>{8192, 16384, 20000}));
}
