// The header block after DATA and the dot-stuffing of body text and file blocks.
#include "smtp/MessageText.h"

#include <gtest/gtest.h>

using mailvane::smtp::DotStuffer;
using mailvane::smtp::headerBlock;
using mailvane::smtp::MailMessage;

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
