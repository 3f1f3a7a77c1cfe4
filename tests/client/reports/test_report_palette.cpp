// The report panes under a dark colour scheme: the reports' ordinary text takes the pane's text
// colour from the palette (light on dark), while a colour the RTF names for a run stays. Checked
// on what the pane actually paints, not only on its formats.
#include "shell/ShellTestEnv.h"

#include "platform/ui/ScriptedUi.h"
#include "reports/ReportDisplay.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace brevant;
using brevant::shell::test::ShellTestEnv;

namespace {

const QColor kDarkBase(35, 35, 40);
const QColor kLightText(235, 235, 235);

struct Ink {
    int black = 0; // darker than the dark base: text painted black
    int light = 0; // the palette's light text
    int red = 0;
};

Ink inkOf(QWidget* viewport) {
    const QImage image = viewport->grab().toImage();
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 20 && c.green() < 20 && c.blue() < 20)
                ++ink.black;
            else if (c.lightness() > 170)
                ++ink.light;
            else if (c.red() > 150 && c.green() < 60 && c.blue() < 60)
                ++ink.red;
        }
    return ink;
}

// The foreground a run of the document carries at the word's first character.
QBrush foregroundAt(QTextDocument* doc, const QString& word) {
    QTextCursor found = doc->find(word);
    EXPECT_FALSE(found.isNull()) << word.toStdString();
    QTextCursor at(doc);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat().foreground();
}

class DarkPalette : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = QApplication::palette();
        QPalette dark;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, kDarkBase);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, kLightText);
        QApplication::setPalette(dark);
    }
    void TearDown() override { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

TEST_F(DarkPalette, TheDetailsPaneShowsItsTextLightOnDark) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    ShellTestEnv::execute(
        env.createDatabase(),
        {ShellTestEnv::insertProject(101, "ALPHA BRIDGE", "04/15/2027", true, false),
         "Update [Projects] Set [City] = 'AUSTIN', [State] = 'TX' where "
         "[JOB_ID] = 101"});
    shell::frmMain w;
    w.Form_Load();
    w.resize(1100, 760);
    auto* summary = w.findChild<QTextEdit*>("Summary");
    ASSERT_TRUE(summary);
    ASSERT_TRUE(summary->toPlainText().contains("ALPHA BRIDGE"));
    EXPECT_EQ(foregroundAt(summary->document(), "ALPHA BRIDGE").style(), Qt::NoBrush)
        << "the ordinary text names no colour of its own";
    const Ink ink = inkOf(summary->viewport());
    EXPECT_EQ(ink.black, 0) << "text painted black on the dark pane";
    EXPECT_GT(ink.light, 100) << "no light text on the dark pane";
}

TEST_F(DarkPalette, AColourTheRtfNamesForARunStays) {
    QTextEdit pane;
    pane.resize(500, 200);
    reports::ShowReport(*pane.document(),
                        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Verdana;}}{\\colortbl ;\\red0\\green0"
                        "\\blue0;\\red200\\green0\\blue0;}\\pard\\cf1\\f0\\fs32 ORDINARY "
                        "\\cf2 WARNING\\cf0  AUTOMATIC\\par}");
    EXPECT_EQ(foregroundAt(pane.document(), "ORDINARY").style(), Qt::NoBrush);
    EXPECT_EQ(foregroundAt(pane.document(), "AUTOMATIC").style(), Qt::NoBrush);
    EXPECT_EQ(foregroundAt(pane.document(), "WARNING").color(), QColor(200, 0, 0));
    const Ink ink = inkOf(pane.viewport());
    EXPECT_EQ(ink.black, 0);
    EXPECT_GT(ink.light, 50);
    EXPECT_GT(ink.red, 20) << "the named colour was not painted";
}

} // namespace
