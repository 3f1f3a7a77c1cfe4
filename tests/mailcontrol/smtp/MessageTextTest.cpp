// The header block after DATA and the dot-stuffing of body text and file blocks.
#include "smtp/MessageText.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ctime>

using mailvane::smtp::DotStuffer;
using mailvane::smtp::headerBlock;
using mailvane::smtp::mailDate;
using mailvane::smtp::MailMessage;
using mailvane::smtp::stampMessage;

TEST(HeaderBlock, GeneratedLinesInOrderWithoutBcc) {
    MailMessage m;
    m.sendTo = "a@x, b@y";
    m.from = "me@z";
    m.subject = "Hi";
    m.replyTo = "r@z";
    m.messageDate = "Tue, 8 Dec 2026 10:00:00 +0000";
    m.cc = "c@x";
    m.bcc = "secret@x";
    EXPECT_EQ(headerBlock(m), "To: a@x, b@y\r\nFrom: me@z\r\nSubject: Hi\r\nReply-To: r@z\r\n"
                              "Date: Tue, 8 Dec 2026 10:00:00 +0000\r\nCc: c@x\r\n\r\n");
}

TEST(HeaderBlock, EmptyFieldsAreLeftOutAndExtraHeadersEndWithOneLineEnd) {
    MailMessage m;
    m.sendTo = "a@x";
    m.from = "me@z";
    m.headers = "X-One: 1\r\nX-Two: 2\r\n\r\n\r\n";
    EXPECT_EQ(headerBlock(m), "To: a@x\r\nFrom: me@z\r\nX-One: 1\r\nX-Two: 2\r\n\r\n");
    m.headers = "X-One: 1\n";
    EXPECT_EQ(headerBlock(m), "To: a@x\r\nFrom: me@z\r\nX-One: 1\r\n\r\n");
}

TEST(HeaderBlock, JapaneseModeAddsTheCharsetUnlessTheHeadersHaveAContentType) {
    MailMessage m;
    m.sendTo = "a@x";
    m.from = "me@z";
    m.charsetMode = 1;
    EXPECT_EQ(headerBlock(m),
              "To: a@x\r\nFrom: me@z\r\nContent-Type: text/plain; charset=iso-2022-jp\r\n\r\n");
    m.headers = "Content-Type: multipart/mixed; boundary=\"b\"";
    EXPECT_EQ(headerBlock(m),
              "To: a@x\r\nFrom: me@z\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n");
}

TEST(HeaderBlock, HeadersStartingWithAnEmptyLineReplaceTheGeneratedOnes) {
    MailMessage m;
    m.sendTo = "a@x";
    m.from = "me@z";
    m.subject = "ignored";
    m.headers = "\r\nFrom: other@z\r\nSubject: mine\r\n";
    EXPECT_EQ(headerBlock(m), "From: other@z\r\nSubject: mine\r\n\r\n");
}

TEST(DotStuffing, PeriodsStartingALineAreDoubled) {
    EXPECT_EQ(DotStuffer().stuff(".\r\n"), "..\r\n");
    // A bare LF or CR is a line end too, and goes out as CRLF.
    EXPECT_EQ(DotStuffer().stuff("a.b\r\n.c\n..d\r.e"), "a.b\r\n..c\r\n...d\r\n..e");
}

TEST(DotStuffing, BareCrAndLfBecomeCrLfAlsoWhenSplitBetweenBlocks) {
    EXPECT_EQ(DotStuffer().stuff("x\r.\r\ny\n\rz\r\r\n"), "x\r\n..\r\ny\r\n\r\nz\r\n\r\n");
    for (const std::string second : {"\n.b", ".b"}) {
        DotStuffer stuffer;
        std::string out;
        stuffer.stuff("a\r", 2, out);
        stuffer.stuff(second.data(), second.size(), out);
        stuffer.finish(out);
        EXPECT_EQ(out, "a\r\n..b") << second;
    }
    DotStuffer stuffer;
    std::string out;
    stuffer.stuff("end\r", 4, out);
    stuffer.finish(out);
    EXPECT_EQ(out, "end\r\n");
}

TEST(DotStuffing, LineStateCarriesAcrossBlocks) {
    DotStuffer stuffer;
    std::string out;
    stuffer.stuff("abc\r\n", 5, out);
    stuffer.stuff(".x", 2, out);
    stuffer.stuff(".y\n", 3, out);
    stuffer.stuff(".", 1, out);
    EXPECT_EQ(out, "abc\r\n..x.y\r\n..");
}

namespace {

std::size_t countField(const std::string& block, const std::string& lowerName) {
    std::string lower;
    for (const char c : block)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t count = lower.rfind(lowerName, 0) == 0 ? 1 : 0;
    for (std::size_t at = 0; (at = lower.find("\r\n" + lowerName, at)) != std::string::npos; ++at)
        ++count;
    return count;
}

MailMessage plainMessage() {
    MailMessage m;
    m.sendTo = "a@x";
    m.from = "me@z";
    return m;
}

} // namespace

// The part after "@" is the host's name as far as an identifier may hold it.
TEST(MessageStamp, IdentifierNamesTheHost) {
    MailMessage named = plainMessage();
    stampMessage(named, "build host.example", std::time(nullptr));
    EXPECT_NE(headerBlock(named).find("@buildhost.example>\r\n"), std::string::npos)
        << headerBlock(named);
    MailMessage unnamed = plainMessage();
    stampMessage(unnamed, "", std::time(nullptr));
    EXPECT_NE(headerBlock(unnamed).find("\r\nMessage-ID: <"), std::string::npos);
    EXPECT_NE(headerBlock(unnamed).find("@localhost>\r\n"), std::string::npos);
}

TEST(MessageStamp, DateIsLocalTimeWithTheZoneOffset) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "America/Chicago", 1);
    tzset();
    EXPECT_EQ(mailDate(1796752624), "Tue, 08 Dec 2026 11:57:04 -0600");
    EXPECT_EQ(mailDate(1783000000), "Thu, 02 Jul 2026 08:46:40 -0500");
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    EXPECT_EQ(mailDate(1796752624), "Tue, 08 Dec 2026 23:27:04 +0530");
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(MessageStamp, WhatTheHostGivesIsKeptAndNotDuplicated) {
    MailMessage m = plainMessage();
    m.messageDate = "Mon, 7 Dec 2026 09:00:00 +0100";
    m.headers = "X-Mailer: test\r\nMessage-Id: <mine@host>\r\n";
    stampMessage(m, "h", std::time(nullptr));
    std::string block = headerBlock(m);
    EXPECT_NE(block.find("\r\nDate: Mon, 7 Dec 2026 09:00:00 +0100\r\n"), std::string::npos);
    EXPECT_EQ(countField(block, "date:"), 1u) << block;
    EXPECT_EQ(countField(block, "message-id:"), 1u) << block;
    EXPECT_NE(block.find("Message-Id: <mine@host>"), std::string::npos);

    // A Date line among the host's own headers counts as given too.
    MailMessage other = plainMessage();
    other.headers = "date: Mon, 7 Dec 2026 09:00:00 +0100";
    stampMessage(other, "h", std::time(nullptr));
    block = headerBlock(other);
    EXPECT_EQ(countField(block, "date:"), 1u) << block;
    EXPECT_EQ(countField(block, "message-id:"), 1u) << block;

    // Headers the host wrote in full are sent as given.
    MailMessage raw = plainMessage();
    raw.headers = "\r\nFrom: me@z\r\n";
    stampMessage(raw, "h", std::time(nullptr));
    EXPECT_EQ(headerBlock(raw), "From: me@z\r\n\r\n");
}
