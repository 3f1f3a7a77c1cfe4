// Send through the control itself, end to end: properties in, composition, the session to
// aiosmtpd, events out; the login from WinsockPath; a socket library named by WinsockPath.
#include "../net/support/ScriptedServer.h"
#include "../net/support/TestPeers.h"
#include "SmtpSink.h"
#include "mailvane/mailvane.h"
#include "net/SocketLibrary.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

using namespace mailvane;
using mailvane::testing::SmtpSink;
using mailvane::testing::TempDir;
using Lines = std::vector<std::string>;

namespace {

struct Sink : IMailvaneEvents {
    std::vector<std::pair<int, std::string>> trail;
    std::vector<std::pair<int, std::string>> errors;
    std::vector<std::string> transfers;
    std::function<void(int, const std::string&)> onTrail;
    void PITrail(std::int16_t& direction, std::string& message) override {
        trail.emplace_back(direction, message);
        if (onTrail) {
            onTrail(direction, message);
        }
    }
    void Error(std::int16_t& code, std::string& description) override {
        errors.emplace_back(code, description);
    }
    void StartTransfer() override { transfers.push_back("start"); }
    void Transfer(std::int32_t& bytes) override { transfers.push_back(std::to_string(bytes)); }
    void EndTransfer() override { transfers.push_back("end"); }
};

void address(Mailvane& m, int port) {
    m.put_MailServer("127.0.0.1");
    m.put_MailPort(port);
    m.put_From("Estimator <estimator@example.com>");
    m.put_SendTo("Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>");
    m.put_Cc("carol@example.com");
    m.put_BCc("Dave <dave@example.com>");
    m.put_Subject("Plans for bid");
    m.put_MessageText("The plans are attached.\r\n.Regards\r\n");
}

std::string binaryFile(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    }
    return data;
}

} // namespace

TEST(ControlSend, MessageWithAttachmentsArrivesWholeAndEventsReportTheWay) {
    SmtpSink server;
    ASSERT_TRUE(server.up());
    TempDir dir;
    const std::string plan = binaryFile(300000);
    mailvane::testing::writeFile(dir.path() / "plan.tif", plan);
    mailvane::testing::writeFile(dir.path() / "spec.txt", "Section 1\r\n.dot line\r\n");

    Mailvane m;
    Sink events;
    int handleSeen = -1;
    events.onTrail = [&](int direction, const std::string& text) {
        if (direction == 2 && text == "Connected.") {
            handleSeen = m.get_SocketHandle();
        }
    };
    m.Advise(&events);
    address(m, server.port());
    m.AddAttachment((dir.path() / "plan.tif").string());
    m.AddAttachment((dir.path() / "spec.txt").string());
    ASSERT_NO_THROW(m.Send());

    EXPECT_EQ(server.envelope(),
              (Lines{"estimator@example.com", "ann@example.com", "john@example.com",
                     "carol@example.com", "dave@example.com"}));
    const Lines parsed = server.parse();
    ASSERT_GE(parsed.size(), 7u);
    EXPECT_EQ(parsed[0], "To: Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>");
    EXPECT_EQ(parsed[1], "Cc: carol@example.com");
    EXPECT_EQ(parsed[2], "From: Estimator <estimator@example.com>");
    EXPECT_EQ(parsed[3], "Subject: Plans for bid");
    EXPECT_EQ(std::count_if(parsed.begin(), parsed.end(),
                            [](const std::string& l) { return l.rfind("Bcc", 0) == 0; }),
              0);
    // The text, then the two files, byte for byte.
    const Lines partLines(parsed.begin() + 4, parsed.end());
    ASSERT_EQ(partLines.size(), 3u) << ::testing::PrintToString(parsed);
    EXPECT_EQ(server.partBytes(1).find("The plans are attached.\n.Regards"), 0u);
    EXPECT_NE(partLines[1].find("plan.tif"), std::string::npos);
    EXPECT_EQ(server.partBytes(2), plan);
    EXPECT_NE(partLines[2].find("spec.txt"), std::string::npos);
    EXPECT_EQ(server.partBytes(3), "Section 1\n.dot line\n");

    EXPECT_GE(handleSeen, 0) << "SocketHandle reads the socket while connected";
    EXPECT_EQ(m.get_SocketHandle(), -1);
    EXPECT_EQ(m.get_LastReply().substr(0, 4), "221 ");
    EXPECT_EQ(m.get_Action(), mailvaneIdle);
    EXPECT_EQ(events.trail.front(), std::make_pair(2, std::string("Connecting to mail server.")));
    EXPECT_EQ(events.trail.back(), std::make_pair(2, std::string("Disconnected.")));
    ASSERT_GE(events.transfers.size(), 4u);
    EXPECT_EQ(events.transfers.front(), "start");
    EXPECT_EQ(events.transfers.back(), "end");
    EXPECT_TRUE(events.errors.empty());
}

// A message with no date set by the host still carries a Date and a Message-ID of its own; a
// date the host sets goes out as given.
TEST(ControlSend, EveryMessageCarriesADateAndItsOwnMessageId) {
    SmtpSink server;
    ASSERT_TRUE(server.up());
    Mailvane m;
    address(m, server.port());
    ASSERT_NO_THROW(m.Send());
    m.put_MessageDate("Mon, 07 Dec 2026 09:00:00 +0100");
    ASSERT_NO_THROW(m.Send());

    const std::regex date(R"((^|\n)Date: [A-Z][a-z]{2}, \d\d [A-Z][a-z]{2} \d{4} )"
                          R"(\d\d:\d\d:\d\d [+-]\d{4}\r?\n)");
    const std::regex id(R"((^|\n)Message-ID: (<[^<>@\s]+@[^<>@\s]+>)\r?\n)");
    const std::string first = server.stored(1);
    const std::string second = server.stored(2);
    std::smatch firstId;
    std::smatch secondId;
    EXPECT_TRUE(std::regex_search(first, date)) << first;
    ASSERT_TRUE(std::regex_search(first, firstId, id)) << first;
    ASSERT_TRUE(std::regex_search(second, secondId, id)) << second;
    EXPECT_NE(firstId[2].str(), secondId[2].str());
    EXPECT_NE(second.find("Date: Mon, 07 Dec 2026 09:00:00 +0100\r\n"), std::string::npos);
}

TEST(ControlSend, LoginGivenThroughWinsockPath) {
    SmtpSink server("alice", "secret");
    ASSERT_TRUE(server.up());
    Mailvane m;
    Sink events;
    m.Advise(&events);
    address(m, server.port());
    m.put_WinsockPath("*USER: alice");
    m.put_WinsockPath("*PASSWORD: wrong");
    try {
        m.Send();
        ADD_FAILURE() << "a wrong password must fail";
    } catch (const ComError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x800A0000u + 161 + 20001);
        EXPECT_EQ(e.description().substr(0, 4), "535 ");
        EXPECT_EQ(m.get_LastReply(), e.description());
    }
    m.put_WinsockPath("*PASSWORD: secret");
    ASSERT_NO_THROW(m.Send());
    EXPECT_TRUE(std::filesystem::exists(server.message()));
}

TEST(ControlSend, TimeoutOfFiveSecondsForAGreetingThatNeverComes) {
    mailvane::testing::ScriptedServer silent(
        [](mailvane::testing::Peer& peer) { peer.waitClosed(); });
    Mailvane m;
    address(m, silent.port());
    m.put_Timeout(5);
    const auto start = std::chrono::steady_clock::now();
    try {
        m.Send();
        ADD_FAILURE();
    } catch (const ComError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x800A0000u + 301 + 20001);
        EXPECT_EQ(e.description(), "Timeout.");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4900));
}

TEST(ControlSend, HostMessagesPendingAtTheEndAreHandledBeforeSendReturns) {
    mailvane::testing::ScriptedServer server([](mailvane::testing::Peer& peer) {
        peer.send("220 scripted\r\n");
        mailvane::testing::answerTransaction(peer,
                                             {"250 hello", "250 reset", "250 sender", "250 to",
                                              "250 to", "250 cc", "250 bcc", "354 go"});
        peer.waitClosed();
    });
    Mailvane m;
    address(m, server.port());
    // The host's queue: the pump handles one message per call, as a message loop does.
    int pending = 0;
    int handled = 0;
    m.SetHostPump([&](int) {
        if (pending > 0) {
            --pending;
            ++handled;
        }
        return true;
    });
    Sink sink;
    sink.onTrail = [&](int direction, const std::string& text) {
        if (direction == 1 && text == "221 bye") {
            pending = 60; // queued by the host while the last reply came in
        }
    };
    m.Advise(&sink);
    ASSERT_NO_THROW(m.Send());
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(handled, 60);
    EXPECT_EQ(sink.trail.back(), (std::pair<int, std::string>{2, "Disconnected."}));
}

TEST(ControlSend, WhileConnectedThePortAndServerAreFixedAndTheSocketIsShown) {
    mailvane::testing::ScriptedServer server([](mailvane::testing::Peer& peer) {
        peer.send("220 scripted\r\n");
        peer.readLine();
        peer.send("250 hello\r\n");
        peer.waitClosed();
    });
    Mailvane m;
    address(m, server.port());
    m.put_From("");
    std::vector<ComError> refused;
    std::int32_t handle = -1;
    std::string local;
    Sink sink;
    sink.onTrail = [&](int direction, const std::string& text) {
        if (direction != 1 || text != "250 hello") {
            return;
        }
        handle = m.get_SocketHandle();
        local = m.get_LocalHost();
        try {
            m.put_MailPort(2525);
        } catch (const ComError& e) {
            refused.push_back(e);
        }
        try {
            m.put_MailServer("127.0.0.2");
        } catch (const ComError& e) {
            refused.push_back(e);
        }
    };
    m.Advise(&sink);
    EXPECT_THROW(m.Send(), ComError); // no sender: 164 after the greeting
    EXPECT_GE(handle, 0);
    EXPECT_EQ(local, "127.0.0.1");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(static_cast<std::uint32_t>(refused[0].number()), 0x800A0000u + 100 + 20001);
    EXPECT_EQ(refused[0].description(),
              "You cannot change the RemotePort at this time. A connection is in progress.");
    EXPECT_EQ(refused[0].helpContext(), 24116u);
    EXPECT_EQ(static_cast<std::uint32_t>(refused[1].number()), 0x800A0000u + 101 + 20001);
    EXPECT_EQ(refused[1].description(),
              "You cannot change the RemoteHost at this time. A connection is in progress.");
    EXPECT_EQ(refused[1].helpContext(), 24117u);
    // Nothing was changed, and after Send there is no socket.
    EXPECT_EQ(m.get_MailPort(), server.port());
    EXPECT_EQ(m.get_MailServer(), "127.0.0.1");
    EXPECT_EQ(m.get_SocketHandle(), -1);
}

TEST(ControlSend, UnloadingTheLibraryDuringSendClosesTheSocketFirst) {
    namespace fs = std::filesystem;
    const auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
    };
    mailvane::testing::ScriptedServer server([](mailvane::testing::Peer& peer) {
        peer.send("220 scripted\r\n");
        peer.readLine();
        peer.send("250 hello\r\n");
        peer.waitClosed();
    });
    Mailvane m;
    address(m, server.port());
    const auto before = openFiles();
    Sink sink;
    sink.onTrail = [&](int direction, const std::string& text) {
        if (direction == 1 && text == "250 hello") {
            m.put_WinsockLoaded(false);
        }
    };
    m.Advise(&sink);
    try {
        m.Send();
        ADD_FAILURE() << "Send went on without a socket library";
    } catch (const ComError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x800A0000u + 10057 + 15001);
    }
    EXPECT_FALSE(m.get_WinsockLoaded());
    const std::pair<int, std::string> disconnected{2, "Disconnected."};
    EXPECT_NE(std::find(sink.trail.begin(), sink.trail.end(), disconnected), sink.trail.end());
    // received() waits for the server's side to finish, so only our descriptors are counted.
    EXPECT_TRUE(server.received().find("QUIT") == std::string::npos);
    EXPECT_EQ(openFiles(), before) << "the socket must be closed, not left behind";
    m.put_WinsockLoaded(true);
}

TEST(ControlSend, SocketLibraryNamedByWinsockPathCarriesTheMessage) {
    SmtpSink server;
    ASSERT_TRUE(server.up());
    ::setenv("FAULTSOCK_MAX_SEND", "5", 1);
    ::setenv("FAULTSOCK_EAGAIN_EVERY", "4", 1);
    {
        Mailvane m;
        m.put_WinsockLoaded(false);
        ASSERT_EQ(net::SocketLibrary::loadCount(), 0);
        m.put_WinsockPath(FAULTSOCK_PATH);
        m.put_WinsockLoaded(true);
        ASSERT_TRUE(m.get_WinsockLoaded()) << m.get_WinsockStatus();
        EXPECT_NE(m.get_WinsockPath().find("libfaultsock"), std::string::npos);
        address(m, server.port());
        std::string text;
        for (int i = 0; i < 400; ++i) {
            if (i % 9 == 0) {
                text += '.';
            }
            text += std::to_string(i);
            text += " of the body lines\r\n";
        }
        m.put_MessageText(text);
        ASSERT_NO_THROW(m.Send());
        EXPECT_NE(server.stored().find(text), std::string::npos);
        m.put_WinsockPath("");
    }
    ::unsetenv("FAULTSOCK_MAX_SEND");
    ::unsetenv("FAULTSOCK_EAGAIN_EVERY");
    EXPECT_EQ(net::SocketLibrary::loadCount(), 0);
    net::SocketLibrary::setLibraryName("");
}
