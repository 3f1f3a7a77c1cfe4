// Sending to aiosmtpd: what it stores is exactly what was meant, recipients come from lists with
// display names, quoted commas and comments, a multipart message reads back part by part in
// Python's email package, and AUTH LOGIN is accepted or refused.
#include "../net/support/TestPeers.h"
#include "SessionFixture.h"
#include "SmtpSink.h"
#include "net/Base64.h"

#include <gtest/gtest.h>

using namespace mailvane;
using mailvane::testing::SmtpSink;
using Lines = std::vector<std::string>;

namespace {

class RealServer : public mailvane::testing::SessionFixture {};

std::string wrapped(const std::string& base64) {
    std::string out;
    for (std::size_t i = 0; i < base64.size(); i += 76) {
        out += base64.substr(i, 76) + "\r\n";
    }
    return out;
}

} // namespace

TEST_F(RealServer, RecipientListsWithDisplayNamesQuotedCommasAndComments) {
    SmtpSink sink;
    ASSERT_TRUE(sink.up());
    auto message = simpleMessage();
    message.sendTo = "Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>";
    message.cc = "(team (lead)) carol@example.com";
    message.bcc = "Dave <dave@example.com>";
    message.bodyText = "Hello,\r\n.leading period\r\n..two\r\nend\r\n";
    const net::Status s = send(settingsFor(sink.port()), message);
    ASSERT_TRUE(s.ok()) << s.code << " " << s.text;

    EXPECT_EQ(sink.envelope(), (Lines{"sender@example.com", "ann@example.com", "john@example.com",
                                      "carol@example.com", "dave@example.com"}));
    EXPECT_EQ(sink.stored(), "To: Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>\r\n"
                             "From: Sender <sender@example.com>\r\nSubject: Hello\r\n"
                             "Cc: (team (lead)) carol@example.com\r\n\r\n" +
                                 message.bodyText + "\r\n");
    const Lines parsed = sink.parse();
    EXPECT_EQ(parsed,
              (Lines{"To: Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>",
                     "Cc: (team (lead)) carol@example.com", "From: Sender <sender@example.com>",
                     "Subject: Hello", "part text/plain -"}));
    // The email package hands text back with plain line feeds.
    EXPECT_EQ(sink.partBytes(1), "Hello,\n.leading period\n..two\nend\n\n");
}

TEST_F(RealServer, MultipartMessageReadsBackPartByPart) {
    SmtpSink sink;
    ASSERT_TRUE(sink.up());
    mailvane::testing::TempDir dir;
    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary += static_cast<char>((i * 7 + i / 256) & 0xFF);
    }
    // A text part whose lines start with periods, one of them right at a file block boundary.
    const std::string head = "--BOUNDARY\r\nContent-Type: text/plain\r\n\r\n";
    std::string parts = head + "Plans attached.\r\n.hidden\r\n";
    while (parts.size() < 16384 - 160) {
        parts += std::string(70, 'p') + "\r\n";
    }
    parts += std::string(16384 - parts.size() - 2, 'q') + "\r\n.at boundary\r\n.\r\n";
    const std::string text = parts.substr(head.size());
    parts += "--BOUNDARY\r\nContent-Type: application/octet-stream; name=\"plan.bin\"\r\n"
             "Content-Transfer-Encoding: base64\r\n"
             "Content-Disposition: attachment; filename=\"plan.bin\"\r\n\r\n" +
             wrapped(net::base64Encode(binary)) + "--BOUNDARY--\r\n";
    ASSERT_EQ(parts.substr(16384, 1), ".") << "the test wants a period as a block's first byte";
    mailvane::testing::writeFile(dir.path() / "parts.txt", parts);

    auto message = simpleMessage();
    message.headers =
        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"BOUNDARY\"\r\n";
    message.bodyText = "This is a multi-part message in MIME format.\r\n\r\n";
    message.bodyFile = (dir.path() / "parts.txt").string();
    const net::Status s = send(settingsFor(sink.port()), message);
    ASSERT_TRUE(s.ok()) << s.code << " " << s.text;

    EXPECT_EQ(sink.parse(),
              (Lines{"To: rcpt@example.com", "From: Sender <sender@example.com>", "Subject: Hello",
                     "part text/plain -", "part application/octet-stream plan.bin"}));
    std::string lf = text.substr(0, text.size() - 2);
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
        lf.erase(at, 1);
    }
    EXPECT_EQ(sink.partBytes(1), lf);
    EXPECT_EQ(sink.partBytes(2), binary);
    // Transfer counts the file's own bytes, ending at its size.
    int last = 0;
    for (const auto& e : host.events) {
        if (e.kind == "transfer") {
            last = e.code;
        }
    }
    EXPECT_EQ(last, static_cast<int>(parts.size()));
}

TEST_F(RealServer, MissingBodyFileFailsWith302) {
    SmtpSink sink;
    ASSERT_TRUE(sink.up());
    auto message = simpleMessage();
    message.bodyFile = "/nonexistent/parts.txt";
    const net::Status s = send(settingsFor(sink.port()), message);
    EXPECT_EQ(s.code, 302);
    EXPECT_EQ(s.text, "Can't open file for reading.");
    EXPECT_FALSE(std::filesystem::exists(sink.message()));
}

TEST_F(RealServer, AuthLoginAcceptedAndRefused) {
    SmtpSink sink("mailer", "s3cret:pw");
    ASSERT_TRUE(sink.up());
    auto settings = settingsFor(sink.port());
    settings.loginUser = "mailer";
    settings.loginPassword = "s3cret:pw";
    ASSERT_TRUE(send(settings, simpleMessage()).ok());
    const Lines sent = host.lines("trail0");
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ((Lines{sent[1], sent[2], sent[3]}),
              (Lines{"AUTH LOGIN", net::base64Encode("mailer"), net::base64Encode("s3cret:pw")}));
    EXPECT_TRUE(std::filesystem::exists(sink.message()));

    host.events.clear();
    settings.loginPassword = "wrong";
    const net::Status refused = send(settings, simpleMessage());
    EXPECT_EQ(refused.code, 161);
    EXPECT_EQ(refused.text.substr(0, 4), "535 ");
    EXPECT_EQ(session.lastReply(), refused.text);
    EXPECT_FALSE(std::filesystem::exists(sink.message(2)));

    // Without a login the server refuses the transaction itself.
    settings.loginUser.clear();
    EXPECT_EQ(send(settings, simpleMessage()).code, 161);
}

// "<CR>.<CR><LF>" ends the data at a server that takes a bare CR as a line end, and what follows
// runs as commands. Bare CRs and LFs in the headers and the body reach the server as CRLF, so
// the message arrives whole and holds no bare CR.
TEST_F(RealServer, BareCrAndLfArriveAsCrLfAndTheMessageIsNotCut) {
    SmtpSink sink;
    ASSERT_TRUE(sink.up());
    auto message = simpleMessage();
    message.headers = "X-Note: one\rX-Other: two\n";
    message.bodyText = "before\r.\r\nMAIL FROM:<smuggled@example.com>\r\nmiddle\n.\nend\r";
    const net::Status s = send(settingsFor(sink.port()), message);
    ASSERT_TRUE(s.ok()) << s.code << " " << s.text;
    EXPECT_EQ(sink.envelope(), (Lines{"sender@example.com", "rcpt@example.com"}));
    const std::string stored = sink.stored();
    EXPECT_EQ(stored, "To: rcpt@example.com\r\nFrom: Sender <sender@example.com>\r\n"
                      "Subject: Hello\r\nX-Note: one\r\nX-Other: two\r\n\r\n"
                      "before\r\n.\r\nMAIL FROM:<smuggled@example.com>\r\nmiddle\r\n.\r\nend\r\n"
                      "\r\n");
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r') {
            ASSERT_TRUE(i + 1 < stored.size() && stored[i + 1] == '\n') << "bare CR at " << i;
        }
        if (stored[i] == '\n') {
            ASSERT_TRUE(i > 0 && stored[i - 1] == '\r') << "bare LF at " << i;
        }
    }
}
