// Values that try to smuggle extra commands or header lines onto the wire, sent through the
// control to a scripted server that records every byte that arrives: line breaks and NULs in
// the greeting name, the envelope and the login, folded recipients, header values copied
// unchanged or word-encoded, and a mail server name handed to an HTTP proxy.
#include "../net/support/ScriptedServer.h"
#include "../net/support/TestPeers.h"
#include "mailvane/mailvane.h"

#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::Peer;
using mailvane::testing::ScriptedServer;

namespace {

constexpr std::uint32_t kUnsafeTextNumber = 0x800A0000u + 167 + 20001;
constexpr std::uint32_t kFirewallNumber = 0x800A0000u + 118 + 20001;

// A server that takes whatever comes: 250 to every line, 354 to DATA, 221 to QUIT.
void acceptEverything(Peer& peer) {
    peer.send("220 scripted\r\n");
    while (peer.readLine()) {
        const std::string& line = peer.last();
        if (line.rfind("DATA", 0) == 0) {
            peer.send("354 go ahead\r\n");
            if (!peer.readUntil("\r\n.\r\n")) {
                return;
            }
            peer.send("250 queued\r\n");
        } else if (line.rfind("QUIT", 0) == 0) {
            peer.send("221 bye\r\n");
            break;
        } else {
            peer.send("250 ok\r\n");
        }
    }
    peer.waitClosed();
}

// What the server got; a control that never connected leaves the server waiting for its one
// connection, so an empty one is made to let it finish.
std::string receivedBy(ScriptedServer& server, bool controlConnected) {
    if (!controlConnected) {
        mailvane::testing::portAccepts(server.port());
    }
    return server.received();
}

void sound(Mailvane& m, int port) {
    m.put_MailServer("127.0.0.1");
    m.put_MailPort(port);
    m.put_Timeout(20);
    m.put_From("Estimator <estimator@example.com>");
    m.put_SendTo("ann@example.com");
    m.put_Subject("Plans");
    m.put_MessageText("Text\r\n");
}

// A sound message to port 25 of the given name through the HTTP proxy on proxyPort; 10 s.
void throughProxy(Mailvane& m, int proxyPort, const std::string& mailServer) {
    sound(m, 25);
    m.put_FirewallType(fwTunnel);
    m.put_FirewallHost("127.0.0.1");
    m.put_FirewallPort(proxyPort);
    m.put_MailServer(mailServer);
    m.put_Timeout(10);
}

void expectFirewallFailure(Mailvane& m, const std::string& text) {
    try {
        m.Send();
        ADD_FAILURE() << "sent";
    } catch (const ComError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), kFirewallNumber) << e.description();
        EXPECT_EQ(e.description(), text);
    }
}

struct Trail : IMailvaneEvents {
    std::vector<std::string> notes;
    void PITrail(std::int16_t& direction, std::string& message) override {
        if (direction == 2) {
            notes.push_back(message);
        }
    }
};

// The lines of the envelope (everything the server got before DATA).
std::vector<std::string> commandLines(const std::string& wire) {
    std::vector<std::string> lines;
    const std::string envelope = wire.substr(0, wire.find("DATA\r\n"));
    std::size_t start = 0;
    for (std::size_t end; (end = envelope.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(envelope.substr(start, end - start));
    }
    return lines;
}

// The header block as it arrived (from after the DATA line to the empty line).
std::string headersOf(const std::string& wire) {
    const std::size_t data = wire.find("DATA\r\n");
    if (data == std::string::npos) {
        return {};
    }
    const std::size_t begin = data + 6;
    return wire.substr(begin, wire.find("\r\n\r\n", begin) + 4 - begin);
}

} // namespace

TEST(Injection, LocalHostWithALineBreakIsRefusedWhenWrittenAndTrailingBlanksDoNotResolve) {
    Mailvane m;
    const std::string before = m.get_LocalHost();
    for (const std::string& bad : {std::string("127.0.0.1\r\nMAIL FROM:<spoof@attacker.example>"),
                                   std::string("127.0.0.1\n"), std::string("127.0.0.1\0x", 11)}) {
        try {
            m.put_LocalHost(bad);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(bad);
        } catch (const ComError& e) {
            EXPECT_EQ(static_cast<std::uint32_t>(e.number()), kUnsafeTextNumber);
            EXPECT_EQ(e.description(),
                      "The greeting name (LocalHost) holds a line break or NUL character.");
            EXPECT_EQ(e.helpContext(), 24115u);
        }
    }
    EXPECT_EQ(m.get_LocalHost(), before);
    // The name parser takes a dotted address only when nothing follows it.
    EXPECT_THROW(m.put_LocalHost("127.0.0.1 "), ComError);
    EXPECT_THROW(m.put_LocalHost("127.0.0.1\tMAIL"), ComError);
    EXPECT_EQ(m.get_LocalHost(), before);

    // Written while no socket library is loaded (nothing is resolved then), it is still refused.
    m.put_WinsockLoaded(false);
    EXPECT_THROW(m.put_LocalHost("127.0.0.1\r\nNOOP"), ComError);
}

TEST(Injection, EnvelopeAndLoginWithLineBreaksOrNulAreRefusedBeforeAnythingIsSent) {
    struct Case {
        const char* name;
        std::function<void(Mailvane&)> set;
        std::string description;
    };
    const std::string nul("ann@example.com\0NOOP", 20);
    const std::vector<Case> cases = {
        {"From", [](Mailvane& m) { m.put_From("<a@example.com\r\nRCPT TO:evil@example.com>"); },
         "The sender (From) holds a line break or NUL character."},
        {"raw From", [](Mailvane& m) { m.put_From("\x07<a@example.com> SIZE=1\r\nNOOP"); },
         "The sender (From) holds a line break or NUL character."},
        {"To", [](Mailvane& m) { m.put_SendTo("ann@example.com\r\nNOOP"); },
         "A recipient (To) holds a line break or NUL character."},
        {"To NUL", [&](Mailvane& m) { m.put_SendTo(nul); },
         "A recipient (To) holds a line break or NUL character."},
        {"Cc", [](Mailvane& m) { m.put_Cc("bob@example.com, <c@example.com\nNOOP>"); },
         "A recipient (Cc) holds a line break or NUL character."},
        {"BCc", [](Mailvane& m) { m.put_BCc("d@example.com\rNOOP"); },
         "A recipient (BCc) holds a line break or NUL character."},
        {"login user",
         [](Mailvane& m) {
             m.put_WinsockPath("*USER: alice\r\nNOOP");
             m.put_WinsockPath("*PASSWORD: secret");
         },
         "The login name or password holds a line break or NUL character."},
        {"login password",
         [](Mailvane& m) {
             m.put_WinsockPath("*USER: alice");
             m.put_WinsockPath(std::string("*PASSWORD: sec\0ret", 18));
         },
         "The login name or password holds a line break or NUL character."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(acceptEverything);
        Mailvane m;
        Trail trail;
        m.Advise(&trail);
        sound(m, server.port());
        m.put_MaxHeaderLength(0); // values copied unchanged
        c.set(m);
        try {
            m.Send();
            ADD_FAILURE() << "sent";
        } catch (const ComError& e) {
            EXPECT_EQ(static_cast<std::uint32_t>(e.number()), kUnsafeTextNumber);
            EXPECT_EQ(e.description(), c.description);
            EXPECT_EQ(e.helpContext(), 44104u);
        }
        EXPECT_TRUE(trail.notes.empty()) << ::testing::PrintToString(trail.notes);
        EXPECT_EQ(receivedBy(server, !trail.notes.empty()), "");
        EXPECT_EQ(m.get_Action(), mailvaneIdle);
    }
}

TEST(Injection, FoldedRecipientsGoOutUnfoldedOneCommandEach) {
    ScriptedServer server(acceptEverything);
    Mailvane m;
    sound(m, server.port());
    // Folding at 72 replaces the blank inside the brackets by a line break.
    const std::string longOne =
        "<" + std::string(70, 'a') + "@example.com RCPT TO:evil@attacker.example>";
    m.put_SendTo(longOne);
    m.put_Cc("carol@example.com, dave@example.com, erin@example.com, frank@example.com, "
             "grace@example.com");
    ASSERT_NE(m.get_SendTo().find("\r\n\t"), std::string::npos);
    ASSERT_NE(m.get_Cc().find("\r\n\t"), std::string::npos);
    ASSERT_NO_THROW(m.Send());
    const std::string wire = server.received();
    const std::vector<std::string> expected = {"RCPT TO:<" + std::string(70, 'a') +
                                                   "@example.com\tRCPT TO:evil@attacker.example>",
                                               "RCPT TO:<carol@example.com>",
                                               "RCPT TO:<dave@example.com>",
                                               "RCPT TO:<erin@example.com>",
                                               "RCPT TO:<frank@example.com>",
                                               "RCPT TO:<grace@example.com>"};
    std::vector<std::string> rcpt;
    for (const std::string& line : commandLines(wire)) {
        if (line.rfind("RCPT", 0) == 0 || line.rfind("\t", 0) == 0) {
            rcpt.push_back(line);
        }
    }
    EXPECT_EQ(rcpt, expected) << wire;
    // The headers keep the folded values byte for byte.
    EXPECT_NE(headersOf(wire).find("To: " + m.get_SendTo() + "\r\n"), std::string::npos);
    EXPECT_NE(headersOf(wire).find("Cc: " + m.get_Cc() + "\r\n"), std::string::npos);
}

TEST(Injection, JapaneseSubjectLineBreaksBecomeBlanks) {
    ScriptedServer server(acceptEverything);
    Mailvane m;
    m.put_CharsetMode(1);
    sound(m, server.port());
    m.put_Subject("\x82\xa0 test\r\nBcc: hidden@example.com\r\nX-Injected: yes");
    ASSERT_NO_THROW(m.Send());
    const std::string headers = headersOf(server.received());
    EXPECT_EQ(headers.find("\r\nBcc:"), std::string::npos) << headers;
    EXPECT_EQ(headers.find("\r\nX-Injected:"), std::string::npos) << headers;
    EXPECT_NE(headers.find("test  Bcc: hidden@example.com"), std::string::npos) << headers;
}

TEST(Injection, UnfoldedHeaderValuesAreKeptButNoBareLineBreakReachesTheWire) {
    ScriptedServer server(acceptEverything);
    Mailvane m;
    m.put_MaxHeaderLength(0);
    sound(m, server.port());
    const std::string subject = "Hi\r\nBcc: hidden@example.com\r\nX-Injected: yes";
    m.put_Subject(subject);
    m.put_ReplyTo("r@example.com\nX-Two: 2");
    m.put_MessageDate("today\rX-Three: 3");
    m.put_SendTo("ann@example.com,\r\n\tbob@example.com"); // folded by the host: kept
    EXPECT_EQ(m.get_Subject(), subject);
    ASSERT_NO_THROW(m.Send());
    const std::string wire = server.received();
    // The generated identifier differs per message; it is taken from the wire as sent.
    const std::size_t idAt = wire.find("Message-ID: <");
    ASSERT_NE(idAt, std::string::npos) << wire;
    const std::string idLine = wire.substr(idAt, wire.find("\r\n", idAt) + 2 - idAt);
    EXPECT_EQ(headersOf(wire), "To: ann@example.com,\r\n\tbob@example.com\r\n"
                               "From: Estimator <estimator@example.com>\r\n"
                               "Subject: Hi  Bcc: hidden@example.com  X-Injected: yes\r\n"
                               "Reply-To: r@example.com X-Two: 2\r\n"
                               "Date: today X-Three: 3\r\n" +
                                   idLine + "\r\n")
        << wire;
    const std::vector<std::string> lines = commandLines(wire);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "RCPT TO:<bob@example.com>"), lines.end());
}

TEST(Injection, MailServerThatIsNoHostNameNeverReachesTheProxy) {
    ScriptedServer proxy([](Peer& peer) { peer.waitClosed(); });
    Mailvane m;
    throughProxy(m, proxy.port(),
                 "mail.example.com:25 HTTP/1.0\r\nX-Injected: yes\r\n\r\nCONNECT evil");
    expectFirewallFailure(m, "mail server name is not a host name or address");
    EXPECT_EQ(proxy.received(), "");
}

TEST(Injection, ProxyWithEndlessHeadersIsCutOffWithAFirewallError) {
    ScriptedServer proxy([](Peer& peer) {
        peer.readUntil("\r\n\r\n");
        peer.send("HTTP/1.0 200 Connection established\r\n");
        const std::string lines = [] {
            std::string out;
            while (out.size() < 8192) {
                out += "X-Filler: " + std::string(50, 'x') + "\r\n";
            }
            return out;
        }();
        // About 1 MB unless the client hangs up first.
        for (int i = 0; i < 128; ++i) {
            peer.send(lines);
        }
        peer.waitClosed();
    });
    Mailvane m;
    throughProxy(m, proxy.port(), "mail.example.com");
    expectFirewallFailure(m, "firewall reply too long");
    EXPECT_EQ(proxy.received(), "CONNECT mail.example.com:25 HTTP/1.0\r\n\r\n");
}

TEST(Injection, HeaderLineOfASinglePeriodDoesNotEndTheData) {
    for (const std::string& headers :
         {std::string("X-A: 1\r\n.\r\nMAIL FROM:<evil@attacker.example>"),
          std::string("\r\nTo: ann@example.com\r\n.\r\nNOOP\r\n")}) {
        SCOPED_TRACE(headers);
        ScriptedServer server(acceptEverything);
        Mailvane m;
        sound(m, server.port());
        m.put_OtherHeaders(headers);
        ASSERT_NO_THROW(m.Send());
        const std::string wire = server.received();
        // The data ends once, after the body; the period line went out doubled.
        EXPECT_EQ(wire.find("\r\n.\r\n"), wire.rfind("\r\n.\r\n")) << wire;
        EXPECT_EQ(wire.substr(wire.size() - 13), "\r\n\r\n.\r\nQUIT\r\n") << wire;
        EXPECT_NE(wire.find("\r\n..\r\n"), std::string::npos) << wire;
    }
}

TEST(Injection, AttachmentNameWithLineBreaksStaysInItsParameter) {
    mailvane::testing::TempDir dir;
    const auto path = dir.path() / "plan\r\nBcc: hidden@example.com\r\nX-Injected: \"yes\".txt";
    mailvane::testing::writeFile(path, "Section 1\r\n");
    ScriptedServer server(acceptEverything);
    Mailvane m;
    sound(m, server.port());
    m.AddAttachment(path.string());
    ASSERT_NO_THROW(m.Send());
    const std::string wire = server.received();
    EXPECT_EQ(wire.find("\r\nBcc:"), std::string::npos) << wire;
    EXPECT_EQ(wire.find("\r\nX-Injected:"), std::string::npos) << wire;
    EXPECT_NE(wire.find("filename=\"plan  Bcc: hidden@example.com  X-Injected: \\\"yes\\\".txt\""),
              std::string::npos)
        << wire;
}
