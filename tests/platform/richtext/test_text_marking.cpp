// Find and format on a shown document.
#include "platform/richtext/RtfDocument.h"
#include "platform/richtext/TextMarking.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace brevant::richtext;

namespace {

// The format at the character that starts at pos.
QTextCharFormat formatAt(QTextDocument& doc, int pos) {
    QTextCursor c(&doc);
    c.setPosition(pos + 1);
    return c.charFormat();
}

} // namespace

TEST(TextMarking, MarksEveryOccurrenceBlueAndBoldWithoutRegardToCase) {
    QTextDocument doc;
    setRtf(doc, "{\\rtf1{\\colortbl ;\\red0\\green0\\blue0;}\\cf1 roof Roof\\par ROOFING rof "
                "\\b roof\\b0\\par}");
    const QString text = doc.toPlainText();
    EXPECT_EQ(markText(doc, "roof", QColor(0, 0, 255), true), 4);
    for (int pos : {0, 5, 10, 22}) {
        const QTextCharFormat f = formatAt(doc, pos);
        EXPECT_EQ(f.foreground().color(), QColor(0, 0, 255)) << pos;
        EXPECT_EQ(f.fontWeight(), QFont::Bold) << pos;
    }
    // Text around the words keeps its colour and weight, and the text itself is unchanged.
    EXPECT_EQ(formatAt(doc, 4).foreground().color(), QColor(0, 0, 0));
    EXPECT_EQ(formatAt(doc, 18).fontWeight(), QFont::Normal);
    EXPECT_EQ(doc.toPlainText(), text);
}

TEST(TextMarking, EmptyOrAbsentWordsMarkNothing) {
    QTextDocument doc;
    setRtf(doc, "{\\rtf1 aaa}");
    EXPECT_EQ(markText(doc, "", Qt::blue, true), 0);
    EXPECT_EQ(markText(doc, "b", Qt::blue, true), 0);
    // Overlapping candidates are found one after the other, never twice.
    EXPECT_EQ(markText(doc, "aa", Qt::blue, true), 1);
}
