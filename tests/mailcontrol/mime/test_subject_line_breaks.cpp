// Line breaks written into a Subject never survive as line breaks of their own: the only ones
// left are the folds the transformation inserts (CRLF followed by a tab).
#include "mime/HeaderTransform.h"

#include <gtest/gtest.h>

using namespace mailvane::mime;

namespace {

// Whether every CR or LF of the text is part of a CRLF TAB fold.
bool onlyFolds(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            return false;
        }
        if (text[i] == '\r') {
            if (text.compare(i, 3, "\r\n\t") != 0) {
                return false;
            }
            i += 2;
        }
    }
    return true;
}

} // namespace

TEST(SubjectLineBreaks, JapaneseWordsAndPlainWordsAlikeGetBlanks) {
    const std::string injected = "\x82\xa0 test\r\nBcc: hidden@example.com\r\nX-Injected: yes";
    for (int width : {0, 30, 50, 72, 200}) {
        SCOPED_TRACE(width);
        const std::string out = transformSubject(injected, width, true);
        EXPECT_TRUE(onlyFolds(out)) << ::testing::PrintToString(out);
        EXPECT_NE(out.find("Bcc: hidden@example.com"), std::string::npos) << out;
    }
    // The line break as the only separator between two 8-bit words.
    const std::string out = transformSubject("\x82\xa0\r\n\x82\xa2\n\x82\xa4\r", 72, true);
    EXPECT_TRUE(onlyFolds(out)) << ::testing::PrintToString(out);
    EXPECT_EQ(out, transformSubject("\x82\xa0  \x82\xa2 \x82\xa4 ", 72, true));
}

TEST(SubjectLineBreaks, SoundJapaneseSubjectIsUnchanged) {
    // What a Subject without line breaks becomes is not touched by the blanking.
    const std::string subject = "\x8c\xa9\x90\xcf\x8f\x91 for bid \x82\xa0\x82\xa2, plans";
    const std::string out = transformSubject(subject, 72, true);
    EXPECT_EQ(out, japaneseEncodedWord("\x8c\xa9\x90\xcf\x8f\x91") + " for bid " +
                       japaneseEncodedWord("\x82\xa0\x82\xa2") + ", plans");
}
