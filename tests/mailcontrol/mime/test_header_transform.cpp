// Folding, Japanese encoded words and the Shift_JIS to ISO-2022-JP conversion.
#include "mime/HeaderTransform.h"
#include "mime/Iso2022Jp.h"

#include <gtest/gtest.h>

using namespace mailvane::mime;

TEST(HeaderFolding, BreaksAfterTheWidthAtTheNextSeparator) {
    EXPECT_EQ(foldHeader("aaaaaaa, bbbbbbb, ccccccc", 10), "aaaaaaa, bbbbbbb,\r\n\t ccccccc");
    EXPECT_EQ(foldHeader("aaaaaaa, bbbbbbb, ccccccc", 0), "aaaaaaa, bbbbbbb, ccccccc");
    // A blank at the break is replaced by the break.
    EXPECT_EQ(foldHeader("aaaaaaaaaa bbbbbbbbbb cc", 10), "aaaaaaaaaa\r\n\tbbbbbbbbbb\r\n\tcc");
    // Line breaks in the value become blanks (and may then be break points).
    EXPECT_EQ(foldHeader("one\r\ntwo", 72), "one  two");
    EXPECT_EQ(foldHeader("aaaaaaaaaa\nb", 5), "aaaaaaaaaa\r\n\tb");
    // A separator that ends the value ends it: a comma stays, a blank goes.
    EXPECT_EQ(foldHeader("aaaaaaaaaa,", 5), "aaaaaaaaaa,");
    EXPECT_EQ(foldHeader("aaaaaaaaaa ", 5), "aaaaaaaaaa");
    EXPECT_EQ(foldHeader("short", 72), "short");
}

TEST(Iso2022Jp, DoubleByteRunsAreWrappedInEscapes) {
    // "あ" (82 A0) and "亜" (88 9F) and "漢" (8A BF)
    EXPECT_EQ(shiftJisToIso2022Jp("\x82\xa0"), "\x1b$B\x24\x22\x1b(B");
    EXPECT_EQ(shiftJisToIso2022Jp("a\x88\x9f\x8a\xbf"
                                  "b"),
              "a\x1b$B\x30\x21\x34\x41\x1b(Bb");
    EXPECT_EQ(shiftJisToIso2022Jp("\xe0\x40"), "\x1b$B\x5f\x21\x1b(B");
    EXPECT_EQ(shiftJisToIso2022Jp("plain"), "plain");
    // A lead byte at the very end has no trail: it passes as a single byte.
    EXPECT_EQ(shiftJisToIso2022Jp("x\x82"), "x\x82");
}

TEST(Iso2022Jp, HalfWidthKatakanaBecomeFullWidthWithMarksMerged) {
    // ｶ -> カ, ｶﾞ -> ガ, ﾊﾟ -> パ, ｳﾞ -> ヴ, ｱﾞ -> ア + ゛ (no combined form)
    EXPECT_EQ(shiftJisToIso2022Jp("\xb6"), "\x1b$B\x25\x2b\x1b(B");
    EXPECT_EQ(shiftJisToIso2022Jp("\xb6\xde"), "\x1b$B\x25\x2c\x1b(B");
    EXPECT_EQ(shiftJisToIso2022Jp("\xca\xdf"), "\x1b$B\x25\x51\x1b(B");
    EXPECT_EQ(shiftJisToIso2022Jp("\xb3\xde"), "\x1b$B\x25\x74\x1b(B");
    EXPECT_EQ(shiftJisToIso2022Jp("\xb1\xde"), "\x1b$B\x25\x22\x21\x2b\x1b(B");
}

TEST(JapaneseHeaders, QuotedEightBitTextBecomesAnEncodedWord) {
    // "山田" <yamada@example.jp>
    const std::string value = "\"\x8e\x52\x93\x63\" <yamada@example.jp>";
    EXPECT_EQ(transformAddressHeader(value, 0, true),
              "\"=?ISO-2022-JP?B?GyRCOzNFRBsoQg==?=\" <yamada@example.jp>");
    EXPECT_EQ(transformAddressHeader(value, 0, false), value);
    // Once the value holds 8-bit text, every quoted stretch is encoded, a plain one too; the
    // text outside quotes is copied.
    EXPECT_EQ(transformAddressHeader("\"Tanaka\" <t@example.jp>, " + value, 0, true),
              "\"=?ISO-2022-JP?B?VGFuYWth?=\" <t@example.jp>, "
              "\"=?ISO-2022-JP?B?GyRCOzNFRBsoQg==?=\" <yamada@example.jp>");
    // Without 8-bit bytes nothing is encoded.
    EXPECT_EQ(transformAddressHeader("\"Plain\" <p@example.jp>", 0, true),
              "\"Plain\" <p@example.jp>");
}

TEST(JapaneseHeaders, SubjectWordsAreEncodedAndLongOnesSplit) {
    EXPECT_EQ(transformSubject("Re: \x8e\x52\x93\x63", 72, true),
              "Re: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?=");
    // 20 double-byte characters with a width of 50: 10 bytes per encoded word.
    std::string long20;
    for (int i = 0; i < 20; ++i)
        long20 += "\x82\xa0";
    const std::string out = transformSubject(long20, 50, true);
    std::size_t words = 0;
    for (std::size_t at = 0; (at = out.find("=?ISO-2022-JP?B?", at)) != std::string::npos; ++at)
        ++words;
    EXPECT_EQ(words, 4u);
    EXPECT_EQ(out.find("\r\n\t") != std::string::npos, true);
    // Not Japanese mode: folded like any header.
    EXPECT_EQ(transformSubject("aaaaaaaaaa bbbbbbbbbb", 10, false), "aaaaaaaaaa\r\n\tbbbbbbbbbb");
}
