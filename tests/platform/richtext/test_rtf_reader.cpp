// The reader on the RTF the reports write, on RTF from elsewhere, and on broken input.
#include "platform/richtext/RtfDocument.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

using namespace brevant::richtext;

namespace {

struct TextRun {
    QString text;
    RtfCharFormat format;
};

// Collects what the reader delivers; "\n" stands for a paragraph end.
class Recorder : public RtfSink {
public:
    void text(const QString& t, const RtfCharFormat& f) override {
        runs.push_back({t, f});
        all += t;
    }
    void paragraph() override {
        all += u'\n';
        runs.push_back({QStringLiteral("\n"), {}});
    }
    QList<TextRun> runs;
    QString all;
};

Recorder read(const QString& rtf) {
    Recorder r;
    readRtf(rtf, r);
    return r;
}

const TextRun* findRun(const Recorder& r, const QString& text) {
    for (const TextRun& run : r.runs)
        if (run.text.contains(text))
            return &run;
    return nullptr;
}

const QString kHead = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Verdana;}{\\f1\\fnil Verdana;}{\\f2\\fmodern\\fprq1\\fcharset0 Courier New;}}"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red10\\green20\\blue30;}");

TEST(RtfDocument, ManyRunsInOneParagraphAreOneEdit) {
    // Bold and plain alternating thousands of times in a single paragraph, as a marked report
    // line can: the document hears of it once, not once per run (each of which relaid it out).
    QString rtf = kHead + "\\pard\\f0\\fs16 ";
    for (int i = 0; i < 2000; ++i)
        rtf += QString("\\b a%1\\b0  b ").arg(i);
    rtf += "\\par}";
    QTextDocument doc;
    doc.setTextWidth(600);
    doc.documentLayout(); // laid out as in a report box
    int changes = 0;
    QObject::connect(&doc, &QTextDocument::contentsChange, [&](int, int, int) { ++changes; });
    setRtf(doc, rtf);
    EXPECT_LE(changes, 5); // clearing and the one edit; 4,000 runs were 4,000 changes
    EXPECT_GE(changes, 1);
    EXPECT_EQ(doc.blockCount(), 2);
    EXPECT_TRUE(doc.toPlainText().startsWith("a0 b a1 b a2"));
    // Every run keeps its own format.
    int bold = 0, runs = 0;
    for (auto it = doc.firstBlock().begin(); !it.atEnd(); ++it, ++runs)
        bold += it.fragment().charFormat().fontWeight() == QFont::Bold ? 1 : 0;
    EXPECT_EQ(runs, 4000);
    EXPECT_EQ(bold, 2000);
    EXPECT_FALSE(doc.isUndoAvailable());
}

} // namespace

TEST(RtfReader, ReportTextWithBoldRunsFontsAndColours) {
    const Recorder r = read(
        kHead + "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 PROJECT NAME:\\b0  School Roof "
                "\\par \\b \\par PROJECT INFORMATION: \\par \\tab BREVANT ID:\\b0  42 \\par }");
    EXPECT_EQ(r.all, "PROJECT NAME: School Roof \n\nPROJECT INFORMATION: \n\tBREVANT ID: 42 \n");
    const TextRun* label = findRun(r, "PROJECT NAME:");
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->format.bold);
    EXPECT_EQ(label->format.family, "Verdana");
    EXPECT_EQ(label->format.halfPoints, 16);
    EXPECT_EQ(label->format.color, QColor(0, 0, 0));
    const TextRun* value = findRun(r, "School Roof");
    ASSERT_TRUE(value);
    EXPECT_FALSE(value->format.bold);
    EXPECT_EQ(value->text, " School Roof ");
}

TEST(RtfReader, TrademarkHeadingUnderlineSizeAndAutoColour) {
    const Recorder r = read(kHead + "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 \\ul\\fs32 Brevant "
                                    "Desktop \\cf0\\f1\\'99\\f0  - FULL\\ulnone\\b0\\par "
                                    "\\cf2\\f2\\fs14 mono\\par}");
    EXPECT_EQ(r.all, QString("Brevant Desktop \u2122 - FULL\nmono\n"));
    const TextRun* tm = findRun(r, QString(QChar(0x2122)));
    ASSERT_TRUE(tm);
    EXPECT_FALSE(tm->format.color.isValid()); // \cf0 is the automatic colour
    EXPECT_TRUE(tm->format.underline);
    EXPECT_EQ(tm->format.halfPoints, 32);
    const TextRun* mono = findRun(r, "mono");
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->format.family, "Courier New");
    EXPECT_EQ(mono->format.halfPoints, 14);
    EXPECT_EQ(mono->format.color, QColor(10, 20, 30));
    EXPECT_FALSE(mono->format.underline);
    EXPECT_FALSE(mono->format.bold);
}

TEST(RtfReader, GroupsRestoreFormattingAndPlainResets) {
    const Recorder r = read("{\\rtf1 a{\\b b{\\ul c}d}e\\b\\ul f\\plain g}");
    EXPECT_EQ(r.all, "abcdefg");
    EXPECT_FALSE(findRun(r, "a")->format.bold);
    EXPECT_TRUE(findRun(r, "b")->format.bold);
    EXPECT_TRUE(findRun(r, "c")->format.underline);
    EXPECT_FALSE(findRun(r, "d")->format.underline);
    EXPECT_FALSE(findRun(r, "e")->format.bold);
    EXPECT_TRUE(findRun(r, "f")->format.bold && findRun(r, "f")->format.underline);
    EXPECT_FALSE(findRun(r, "g")->format.bold || findRun(r, "g")->format.underline);
}

TEST(RtfReader, SkipsDestinationsAndUnknownWords) {
    const Recorder r =
        read("{\\rtf1{\\*\\generator Writer 1.0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
             "\\pard\\plain\\qc\\widctlpar\\frobnicate42 x{\\*\\unknowndest y}{\\pict\\bin3 }}}} z"
             "\\~\\_\\-\\emdash\\lquote q\\rquote}");
    EXPECT_EQ(r.all, QString("x z\u00a0\u2011\u2014\u2018q\u2019"));
}

TEST(RtfReader, EscapesAndCodePage1252) {
    const Recorder r = read("{\\rtf1 \\\\ \\{ \\} \\'e9\\'80\\'9c\\'41 \\u8364?\\uc2\\u9731\\'aa"
                            "\\'bbX\\uc0\\u-3 Y}");
    EXPECT_EQ(r.all, QString("\\ { } \u00e9\u20ac\u0153A \u20ac\u2603X\ufffdY"));
}

TEST(RtfReader, LineEndsInSourceAreNotTextButEscapedOnesAreParagraphs) {
    const Recorder r = read("{\\rtf1 one\r\ntwo\\\nthree\\line four}");
    EXPECT_EQ(r.all, QString("onetwo\nthree\u2028four"));
}

TEST(RtfReader, MalformedInputEndsWithoutFault) {
    // Each of these must come back, with whatever text is readable.
    const QStringList inputs = {
        "}}}}abc{{{",
        "{\\rtf1 abc\\'",
        "{\\rtf1 abc\\'4",
        "{\\rtf1 abc\\'zz",
        "{\\rtf1 abc\\",
        "{\\rtf1 \\fs99999999999999999999999999 big\\f-99999999999999999 \\cf2147483648 x}",
        "{\\rtf1 \\u99999999999 \\u-99999999999 \\uc99999999 a b c}",
        "{\\rtf1 \\bin99999999999 hidden",
        "{\\colortbl \\red999\\green-5\\blue;;;}{\\fonttbl{\\f99999999999 X;}} t",
        QString(5000, u'{') + "deep" + QString(3, u'}'),
        QString("\\") + QString(100, u'a') + "1 tail",
        "{\\*",
        "{\\fonttbl",
        "\\'",
        "",
    };
    for (const QString& in : inputs) {
        Recorder r;
        readRtf(in, r);
        SUCCEED() << in.left(40).toStdString();
    }
    EXPECT_EQ(read("}}}}abc{{{").all, "abc");
    EXPECT_EQ(read("{\\rtf1 abc\\'").all, "abc");
    EXPECT_EQ(read("{\\rtf1 abc\\'4").all, "abc");
    EXPECT_EQ(read(QString(5000, u'{') + "deep").all, "deep");
    EXPECT_EQ(read(QString("\\") + QString(100, u'a') + "1 tail").all, "tail");
    const Recorder huge =
        read("{\\rtf1 \\fs99999999999999999999999999 big\\f-99999999999999999 x}");
    EXPECT_EQ(huge.all, "bigx");
    EXPECT_EQ(findRun(huge, "big")->format.halfPoints, 3276);
    const Recorder colours = read("{\\rtf1{\\colortbl ;\\red999\\green-5\\blue7;}\\cf1 t}");
    EXPECT_EQ(findRun(colours, "t")->format.color, QColor(255, 0, 7));
}

TEST(RtfReader, DeepNestingKeepsTheFormatOfTheDeepestKeptGroup) {
    QString in = "{\\rtf1 ";
    for (int i = 0; i < 2000; ++i)
        in += "{\\b ";
    in += "x";
    for (int i = 0; i < 2000; ++i)
        in += "}";
    in += "y}";
    const Recorder r = read(in);
    EXPECT_EQ(r.all, "xy");
    EXPECT_TRUE(findRun(r, "x")->format.bold);
    EXPECT_FALSE(findRun(r, "y")->format.bold);
}

TEST(RtfText, EscapedValuesReadBackUnchanged) {
    const QString value = QString("a\\b{c}d \\par \u00e9\u2122\u20ac\u4e2d\U0001F600 'q'|p");
    const QString escaped = rtfEscape(value);
    EXPECT_EQ(escaped, QString("a\\\\b\\{c\\}d \\\\par \\'e9\\'99\\'80\\u20013?\\u-10179?"
                               "\\u-8704? 'q'|p"));
    EXPECT_EQ(read("{\\rtf1\\uc1 " + escaped + "}").all, value);
    const QByteArray bytes = toRtfBytes(QString("x\u00e9{"));
    EXPECT_EQ(bytes, QByteArray("x\\'e9{"));
}

TEST(RtfText, AppendingAfterAControlWordKeepsTheTextWhole) {
    auto appended = [](QString rtf, const QString& piece) {
        rtfAppend(rtf, piece);
        return rtf;
    };
    EXPECT_EQ(appended("\\b0\\par", "12/08/2026"), "\\b0\\par 12/08/2026");
    EXPECT_EQ(appended("\\fs16", "Bid"), "\\fs16 Bid");
    EXPECT_EQ(appended("\\li-5", "-2"), "\\li-5 -2");
    EXPECT_EQ(appended("\\par", " x"), "\\par  x");
    // No blank where the word is ended already or the piece cannot continue it.
    EXPECT_EQ(appended("\\par ", "12"), "\\par 12");
    EXPECT_EQ(appended("\\par", "\\tab"), "\\par\\tab");
    EXPECT_EQ(appended("\\par", "(x)"), "\\par(x)");
    // An escaped backslash, a hex escape and plain text are no control words.
    EXPECT_EQ(appended("a\\\\par", "1"), "a\\\\par1");
    EXPECT_EQ(appended("\\'99", "1"), "\\'991");
    EXPECT_EQ(appended("par", "1"), "par1");
    EXPECT_EQ(appended("", "1"), "1");

    QTextDocument doc;
    QString rtf = "{\\rtf1 \\b Earlier\\b0\\par";
    rtfAppend(rtf, QStringLiteral("12/08/2026 Bid date"));
    setRtf(doc, rtf + "}");
    EXPECT_EQ(doc.toPlainText(), "Earlier\n12/08/2026 Bid date");
}

TEST(RtfDocument, SetRtfReplacesTheDocumentWithFormattedBlocks) {
    QTextDocument doc;
    doc.setPlainText("old text");
    setRtf(doc, kHead + "\\pard\\cf1\\b\\f0\\fs16 Head\\b0  body\\par\\ul under\\ulnone\\par}");
    EXPECT_EQ(doc.toPlainText(), "Head body\nunder\n");
    const QTextBlock first = doc.firstBlock();
    const QTextFragment head = first.begin().fragment();
    EXPECT_EQ(head.text(), "Head");
    EXPECT_EQ(head.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(head.charFormat().fontFamilies().toStringList(), QStringList{"Verdana"});
    EXPECT_DOUBLE_EQ(head.charFormat().fontPointSize(), 8.0);
    EXPECT_EQ(head.charFormat().foreground().color(), QColor(0, 0, 0));
    const QTextFragment body = (++first.begin()).fragment();
    EXPECT_EQ(body.text(), " body");
    EXPECT_EQ(body.charFormat().fontWeight(), QFont::Normal);
    EXPECT_TRUE(first.next().begin().fragment().charFormat().fontUnderline());
    EXPECT_FALSE(doc.isUndoAvailable());
}
