// The local search box and the exports as the user drives them in the main window: typing
// filters the list and marks the words in the report panes, a filter or a cleared box brings
// the View filter back, and the File menu's exports write the list as shown and the calendar
// of the checked (or tagged) projects.
#include "ShellTestEnv.h"

#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::columnTexts;
using brevant::shell::test::ShellTestEnv;

namespace {

class SearchWindow : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = env_.createDatabase(); // created before the index existed, as an older database
        ShellTestEnv::execute(
            db_, {ShellTestEnv::insertProject(101, "BRIDGE DECK", "04/15/2027", true, false),
                  ShellTestEnv::insertProject(102, "ARMORY ROOF", "01/01/1900", false, true),
                  ShellTestEnv::insertProject(103, "CITY HALL ROOF", "06/30/2027", false, true),
                  ShellTestEnv::insertProject(104, "DAM REPAIR", "02/01/2027", false, false),
                  "Update [Projects] Set Notes = 'bid bond 10% - call Joe' where [JOB_ID] = 104",
                  "INSERT INTO Contacts (Job_ID, [Name], Contact, Type) VALUES (101, "
                  "'KESSLER MECHANICAL', 'Dana', 'MC')"});
        w_ = std::make_unique<frmMain>();
        w_->Form_Load();
        list_ = w_->findChild<QTreeWidget*>("ListView1");
        box_ = w_->findChild<QLineEdit*>("txtSearch");
        ASSERT_NE(box_, nullptr);
        ui_.clear();
    }
    void TearDown() override { w_.reset(); }

    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    QString db_;
    std::unique_ptr<frmMain> w_;
    QTreeWidget* list_ = nullptr;
    QLineEdit* box_ = nullptr;
};

TEST_F(SearchWindow, TypingFiltersTheListAndMarksTheWordsAndAFilterOrClearingRestoresIt) {
    w_->ShowFilter("TRACK");
    EXPECT_EQ(columnTexts(list_, 1), (QStringList{"CITY HALL ROOF", "ARMORY ROOF"}));

    box_->setText("joe"); // a note of an opened project: the search covers every project
    EXPECT_EQ(columnTexts(list_, 1), QStringList{"DAM REPAIR"});
    box_->setText("kessl");
    EXPECT_EQ(columnTexts(list_, 1), QStringList{"BRIDGE DECK"});
    box_->setText("roof");
    EXPECT_EQ(columnTexts(list_, 1), (QStringList{"CITY HALL ROOF", "ARMORY ROOF"}));
    // The first row is selected and the word found is marked (blue, bold) in its summary.
    auto* summary = w_->findChild<QTextEdit*>("Summary");
    const int at = summary->toPlainText().indexOf("ROOF");
    ASSERT_GE(at, 0);
    QTextCursor c(summary->document());
    c.setPosition(at + 1);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(Qt::blue));

    box_->setText("");
    EXPECT_EQ(columnTexts(list_, 1), (QStringList{"CITY HALL ROOF", "ARMORY ROOF"}));
    box_->setText("o'brien \"NEAR\" -");
    EXPECT_EQ(list_->topLevelItemCount(), 0);
    w_->ShowFilter("ALL");
    EXPECT_TRUE(box_->text().isEmpty());
    EXPECT_EQ(list_->topLevelItemCount(), 4);
    EXPECT_TRUE(ui_.shown().isEmpty());
}

TEST_F(SearchWindow, ExportProjectListWritesTheListAsShown) {
    box_->setText("roof");
    const QString path = env_.path("roofs.csv");
    ui_.answerPath(path);
    w_->findChild<QAction*>("mnuFileExportList")->trigger();
    EXPECT_EQ(read(path), "\xEF\xBB\xBF"
                          "BID DATE,TITLE,ASSIGN,PROJECT NUMBER,BID TIME,CITY,STATE,TYPE,ESTIMATED "
                          "COST,ESTIMATED COST END,TRACKED,NEW\r\n"
                          "2027-06-30,CITY HALL ROOF,,103,,,,HEAVY CONSTRUCTION,,,Yes,No\r\n"
                          ",ARMORY ROOF,,102,,,,HEAVY CONSTRUCTION,,,Yes,No\r\n");
    EXPECT_EQ(ui_.last().text, "2 project(s) were written to " + path + " ...");
    EXPECT_EQ(ui_.last().title, "System Message");

    ui_.answerPath(QString()); // Cancel writes nothing
    ui_.clear();
    w_->findChild<QAction*>("mnuFileExportList")->trigger();
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.shown()[0].kind, "saveFile");
}

TEST_F(SearchWindow, ExportBidCalendarTakesCheckedProjectsElseTaggedOnes) {
    const QString path = env_.path("bids.ics");
    ui_.answerPath(path);
    w_->findChild<QAction*>("mnuFileExportCalendar")->trigger();
    QByteArray ics = read(path);
    EXPECT_TRUE(ics.contains("UID:103-bid@brevant"));
    EXPECT_FALSE(ics.contains("UID:101-bid@brevant")); // not tagged
    EXPECT_EQ(ui_.last().text, "1 event(s) for 1 project(s) were written to " + path +
                                   "; 1 project(s) with no bid date set were left out ...");

    w_->FindProjectRow(101)->setCheckState(0, Qt::Checked);
    ui_.answerPath(path);
    w_->findChild<QAction*>("mnuFileExportCalendar")->trigger();
    ics = read(path);
    EXPECT_TRUE(ics.contains("UID:101-bid@brevant"));
    EXPECT_FALSE(ics.contains("UID:103-bid@brevant"));
}

} // namespace
