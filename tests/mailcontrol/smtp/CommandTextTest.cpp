// Checking command texts before anything is sent, the envelope taken from unfolded values, and
// header values that keep their folds but lose every other line break.
#include "smtp/CommandText.h"
#include "../net/support/ScriptedServer.h"
#include "../net/support/TestPeers.h"
#include "SessionFixture.h"
#include "mime/HeaderTransform.h"
#include "smtp/AddressList.h"
#include "smtp/HeaderLineBreaks.h"

#include <gtest/gtest.h>

using namespace mailvane;
using namespace mailvane::smtp;
using Lines = std::vector<std::string>;

TEST(HeaderLineBreaks, FoldsAreKeptOrRemovedAndOtherBreaksBecomeBlanks) {
    EXPECT_EQ(unfoldHeaderValue("a@x,\r\n\tb@y,\r\n c@z"), "a@x,\tb@y, c@z");
    EXPECT_EQ(unfoldHeaderValue("a\r\nb\rc\nd\r\n"), "a\r\nb\rc\nd\r\n");
    EXPECT_EQ(headerValueOnWire("a@x,\r\n\tb@y,\r\n c@z"), "a@x,\r\n\tb@y,\r\n c@z");
    EXPECT_EQ(headerValueOnWire("Hi\r\nBcc: x\rY: 1\nZ: 2\r\n"), "Hi  Bcc: x Y: 1 Z: 2  ");
    // A fold needs its CR, its LF and a blank after them.
    EXPECT_EQ(headerValueOnWire("a\n\tb\r\tc"), "a \tb \tc");
    EXPECT_EQ(headerValueOnWire(std::string("plain\0text", 10)), std::string("plain\0text", 10));
}

TEST(HeaderLineBreaks, HeaderBlockBlanksBareBreaksAndKeepsFoldedValuesByteForByte) {
    MailMessage m;
    m.sendTo = mime::foldHeader("ann@example.com, bob@example.com, carol@example.com, "
                                "dave@example.com, erin@example.com",
                                40);
    m.from = "me@example.com";
    m.subject = "Hi\r\nBcc: hidden@example.com";
    m.replyTo = "r@example.com\n";
    m.messageDate = "today\r";
    m.cc = "c@example.com\r\nX-Injected: yes";
    m.headers = "X-Own: 1\r\nX-Two: 2\r\n";
    EXPECT_EQ(headerBlock(m),
              "To: ann@example.com, bob@example.com, carol@example.com,\r\n\t dave@example.com, "
              "erin@example.com\r\nFrom: me@example.com\r\nSubject: Hi  Bcc: hidden@example.com\r\n"
              "Reply-To: r@example.com \r\nDate: today \r\nCc: c@example.com  X-Injected: yes\r\n"
              "X-Own: 1\r\nX-Two: 2\r\n\r\n");
}

TEST(Envelope, AddressesOfFoldedListsAreThoseOfTheValueAsWritten) {
    const std::string lists[] = {
        "ann@example.com, bob@example.com, carol@example.com, dave@example.com",
        "Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>, (team) c@example.com",
        "<" + std::string(90, 'a') + "@example.com>, x@example.com",
    };
    for (const std::string& list : lists) {
        for (int width : {0, 5, 10, 20, 40, 72}) {
            SCOPED_TRACE(list + " @" + std::to_string(width));
            EXPECT_EQ(envelopeRecipients(mime::foldHeader(list, width)), splitAddressList(list));
        }
    }
    for (const std::string from : {"Estimator Name With Many Words <estimator@example.com>",
                                   "me@example.com", "<me@example.com>"}) {
        for (int width : {0, 5, 10, 20, 40, 72}) {
            SCOPED_TRACE(from + " @" + std::to_string(width));
            EXPECT_EQ(envelopeSenderCommand(mime::foldHeader(from, width)), mailFromCommand(from));
        }
    }
    // A fold inside brackets leaves its blank or tab in the address, on one line.
    EXPECT_EQ(envelopeRecipients("<aaa@example.com\r\n\tRCPT TO:evil@example.com>"),
              Lines{"aaa@example.com\tRCPT TO:evil@example.com"});
    EXPECT_EQ(envelopeSenderCommand("Me\r\n\t<me@example.com>"), "MAIL FROM:<me@example.com>");
}

TEST(CommandTexts, EachValueIsNamedWhenItWouldBreakACommand) {
    MailMessage m;
    m.from = "Me <me@example.com>";
    m.sendTo = "ann@example.com,\r\n\tbob@example.com";
    m.cc = "c@example.com";
    m.bcc = "d@example.com";
    EXPECT_TRUE(checkCommandTexts("client.test", "alice", "secret", m).ok());
    EXPECT_TRUE(checkCommandTexts("", "", "", m).ok());
    // A login is only sent with both parts, so only then is it checked.
    EXPECT_TRUE(checkCommandTexts("client.test", "al\nice", "", m).ok());

    const auto refused = [&](const std::string& greeting, const std::string& user,
                             const std::string& password, const MailMessage& message) {
        const net::Status s = checkCommandTexts(greeting, user, password, message);
        EXPECT_EQ(s.code, 167);
        return s.text;
    };
    EXPECT_EQ(refused("client.test\r\nMAIL FROM:<x@example.com>", "", "", m),
              "The greeting name (LocalHost) holds a line break or NUL character.");
    EXPECT_EQ(refused("client.test", "alice", std::string("se\0cret", 7), m),
              "The login name or password holds a line break or NUL character.");
    EXPECT_EQ(refused("client.test", "al\rice", "secret", m),
              "The login name or password holds a line break or NUL character.");
    MailMessage bad = m;
    bad.from = "<me@example.com\nRCPT TO:x@example.com>";
    EXPECT_EQ(refused("", "", "", bad), "The sender (From) holds a line break or NUL character.");
    bad = m;
    bad.sendTo = "ann@example.com, bob@example.com\r\nNOOP";
    EXPECT_EQ(refused("", "", "", bad), "A recipient (To) holds a line break or NUL character.");
    bad = m;
    bad.cc = std::string("c@example.com\0x", 15);
    EXPECT_EQ(refused("", "", "", bad), "A recipient (Cc) holds a line break or NUL character.");
    bad = m;
    bad.bcc = "<d@example.com\r>";
    EXPECT_EQ(refused("", "", "", bad), "A recipient (BCc) holds a line break or NUL character.");
    // Blanks and line breaks between entries are no part of any address.
    bad = m;
    bad.sendTo = "ann@example.com,\r\n bob@example.com\r\n";
    EXPECT_TRUE(checkCommandTexts("", "", "", bad).ok());
}

namespace {
class GuardedSession : public mailvane::testing::SessionFixture {};
} // namespace

TEST_F(GuardedSession, GreetingNameWithALineBreakSendsNothing) {
    mailvane::testing::ScriptedServer server([](mailvane::testing::Peer& peer) {
        peer.send("220 scripted\r\n");
        while (peer.readLine()) {
            peer.send("250 ok\r\n");
        }
    });
    auto settings = settingsFor(server.port());
    settings.greetingName = "127.0.0.1\r\nMAIL FROM:<spoof@attacker.example>";
    const net::Status s = send(settings, simpleMessage());
    EXPECT_EQ(s.code, 167);
    EXPECT_EQ(s.text, "The greeting name (LocalHost) holds a line break or NUL character.");
    EXPECT_TRUE(host.events.empty());
    EXPECT_FALSE(session.busy());
    mailvane::testing::portAccepts(server.port()); // the server's one connection
    EXPECT_EQ(server.received(), "");
}
