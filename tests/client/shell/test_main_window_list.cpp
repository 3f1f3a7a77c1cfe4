// The project list as the user drives it in the main window: sorting by the headers, the
// "No Date Set" row, the change markers, marking, deleting with the cache folders and the notes.
#include "ShellTestEnv.h"

#include "base/Settings.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::columnTexts;
using brevant::shell::test::ShellTestEnv;

namespace {

// A main window over a database with five projects.
class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = env_.createDatabase();
        ShellTestEnv::execute(
            db_, {ShellTestEnv::insertProject(101, QStringLiteral("BRIDGE DECK"),
                                              QStringLiteral("04/15/2027"), true, false),
                  ShellTestEnv::insertProject(102, QStringLiteral("ARMORY ROOF"),
                                              QStringLiteral("01/01/1900"), true, false),
                  ShellTestEnv::insertProject(103, QStringLiteral("CITY HALL"),
                                              QStringLiteral("06/30/2027"), false, true),
                  ShellTestEnv::insertProject(104, QStringLiteral("DAM REPAIR"),
                                              QStringLiteral("02/01/2027"), false, false),
                  ShellTestEnv::insertProject(105, QStringLiteral("ELM SCHOOL"),
                                              QStringLiteral("05/20/2027"), true, false)});
        w_ = std::make_unique<frmMain>();
        w_->Form_Load();
        list_ = w_->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        ui_.clear();
    }
    void TearDown() override { w_.reset(); }

    void clickHeader(const QString& caption) {
        const QTreeWidgetItem* header = list_->headerItem();
        for (int i = 0; i < list_->columnCount(); ++i) {
            if (header->text(i) == caption) {
                Q_EMIT list_->header()->sectionClicked(i);
                return;
            }
        }
        FAIL() << "no header " << qPrintable(caption);
    }
    int headerIcon(int column) const {
        return list_->headerItem()->data(column, Qt::UserRole).toInt();
    }
    QTreeWidgetItem* row(int jobId) const { return w_->FindProjectRow(jobId); }
    int rowIcon(int jobId) const { return row(jobId)->data(0, Qt::UserRole + 1).toInt(); }
    QVariant stored(const QString& sql) const {
        db::Recordset rs;
        rs.open(sql, *modResources::DbConnection);
        return rs.eof() ? QVariant() : rs.field(0);
    }

    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    QString db_;
    std::unique_ptr<frmMain> w_;
    QTreeWidget* list_ = nullptr;
};

} // namespace

TEST_F(ListWindow, DefaultOrderIsLatestBidDateFirstWithNoDateSetLast) {
    EXPECT_EQ(columnTexts(list_, 0),
              (QStringList{"06/30/2027", "05/20/2027", "04/15/2027", "02/01/2027", "No Date Set"}));
    EXPECT_EQ(headerIcon(0), 1);
    EXPECT_EQ(headerIcon(1), 0);
    EXPECT_EQ(rowIcon(101), 24);
    EXPECT_EQ(rowIcon(103), 23);
    EXPECT_EQ(rowIcon(104), 25);
    // The first row is selected and is the current project.
    EXPECT_EQ(list_->currentItem(), list_->topLevelItem(0));
    EXPECT_EQ(w_->selectedJobId(), std::optional<int>(103));
    EXPECT_EQ(w_->findChild<QGroupBox*>(QStringLiteral("Frame1"))->title(),
              QStringLiteral("CITY HALL"));
}

TEST_F(ListWindow, TitleSortsAscendingThenDescendingThenBidDateAscending) {
    clickHeader(QStringLiteral("TITLE"));
    EXPECT_EQ(columnTexts(list_, 1),
              (QStringList{"ARMORY ROOF", "BRIDGE DECK", "CITY HALL", "DAM REPAIR", "ELM SCHOOL"}));
    EXPECT_EQ(headerIcon(0), 0);
    EXPECT_EQ(headerIcon(1), 2);

    clickHeader(QStringLiteral("TITLE"));
    EXPECT_EQ(columnTexts(list_, 1),
              (QStringList{"ELM SCHOOL", "DAM REPAIR", "CITY HALL", "BRIDGE DECK", "ARMORY ROOF"}));
    EXPECT_EQ(headerIcon(1), 1);

    clickHeader(QStringLiteral("BID DATE"));
    EXPECT_EQ(columnTexts(list_, 0),
              (QStringList{"No Date Set", "02/01/2027", "04/15/2027", "05/20/2027", "06/30/2027"}));
    EXPECT_EQ(headerIcon(0), 2);
    EXPECT_EQ(headerIcon(1), 0);
    EXPECT_EQ(w_->selectedJobId(), std::optional<int>(102));
}

TEST_F(ListWindow, SortKeepsTheFilterOfTheCheckedEntry) {
    w_->findChild<QAction*>(QStringLiteral("mnuListNewRec"))->trigger();
    EXPECT_EQ(list_->topLevelItemCount(), 3);
    clickHeader(QStringLiteral("TITLE"));
    EXPECT_EQ(columnTexts(list_, 1), (QStringList{"ARMORY ROOF", "BRIDGE DECK", "ELM SCHOOL"}));
    EXPECT_TRUE(w_->findChild<QAction*>(QStringLiteral("mnuListNewRec"))->isChecked());
    EXPECT_FALSE(w_->findChild<QAction*>(QStringLiteral("mnuListAllRec"))->isChecked());
}

TEST_F(ListWindow, FiltersShowTheirProjectsAndAnEmptyResultClearsTheDetail) {
    w_->ShowFilter(QStringLiteral("TRACK"));
    EXPECT_EQ(columnTexts(list_, 1), QStringList{"CITY HALL"});
    w_->ShowFilter(QStringLiteral("VIEW"));
    EXPECT_EQ(columnTexts(list_, 1), QStringList{"DAM REPAIR"});

    ShellTestEnv::execute(
        db_, {QStringLiteral("Update [Projects] set [New] = FALSE, [Tracked] = TRUE")});
    w_->ShowFilter(QStringLiteral("NEW"));
    EXPECT_EQ(list_->topLevelItemCount(), 0);
    EXPECT_TRUE(w_->findChild<QGroupBox*>(QStringLiteral("Frame1"))->title().isEmpty());
    EXPECT_TRUE(w_->findChild<QPlainTextEdit*>(QStringLiteral("Text2"))->toPlainText().isEmpty());
    EXPECT_TRUE(ui_.shown().isEmpty());
}

TEST_F(ListWindow, MarkingTaggedUnderTheNewFilterKeepsTheRowUntilReload) {
    w_->ShowFilter(QStringLiteral("NEW"));
    ASSERT_EQ(list_->topLevelItemCount(), 3);
    row(105)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(frmMain::AnyChecked(list_));
    w_->findChild<QAction*>(QStringLiteral("mnuListTrack"))->trigger();

    EXPECT_EQ(list_->topLevelItemCount(), 3);
    EXPECT_EQ(rowIcon(105), 23);
    EXPECT_EQ(row(105)->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(frmMain::AnyChecked(list_));
    EXPECT_EQ(
        stored(QStringLiteral("Select [Tracked] from [Projects] where [Job_ID] = 105")).toBool(),
        true);
    EXPECT_EQ(stored(QStringLiteral("Select [New] from [Projects] where [Job_ID] = 105")).toBool(),
              false);
    EXPECT_EQ(rowIcon(101), 24); // unchecked rows are left alone

    w_->ShowFilter(QStringLiteral("NEW"));
    EXPECT_EQ(list_->topLevelItemCount(), 2);
}

TEST_F(ListWindow, MarkingOpenedClearsBothFlags) {
    row(103)->setCheckState(0, Qt::Checked);
    w_->MarkOpened();
    EXPECT_EQ(rowIcon(103), 25);
    EXPECT_EQ(
        stored(QStringLiteral("Select [Tracked] from [Projects] where [Job_ID] = 103")).toBool(),
        false);
}

TEST_F(ListWindow, CheckAllAndUncheckAll) {
    w_->findChild<QAction*>(QStringLiteral("mnuListMark"))->trigger();
    EXPECT_EQ(w_->checkedJobIds(), (std::vector<int>{103, 105, 101, 104, 102}));
    w_->findChild<QAction*>(QStringLiteral("mnuListRemove"))->trigger();
    EXPECT_TRUE(w_->checkedJobIds().empty());
}

TEST_F(ListWindow, ChangeMarkerIsResetOnClickWithoutChangingTheFlags) {
    w_->setProjectRowIcon(101, 15);
    w_->setProjectRowIcon(104, 14);
    EXPECT_EQ(rowIcon(101), 15);
    w_->ListView1_ItemClick(row(101));
    EXPECT_EQ(rowIcon(101), 24);
    EXPECT_EQ(w_->selectedJobId(), std::optional<int>(101));
    EXPECT_EQ(stored(QStringLiteral("Select [New] from [Projects] where [Job_ID] = 101")).toBool(),
              true);
    EXPECT_EQ(rowIcon(104), 14); // other rows keep theirs until clicked
}

TEST_F(ListWindow, ChangedBidDateIsShownInBold) {
    w_->showChangedBidDate(104, QStringLiteral("7/4/2027"));
    EXPECT_EQ(row(104)->text(0), QStringLiteral("07/04/2027"));
    EXPECT_TRUE(row(104)->font(0).bold());
    w_->showChangedBidDate(101, QStringLiteral("1/1/1900"));
    EXPECT_EQ(row(101)->text(0), QStringLiteral("No Date Set"));
    w_->showChangedBidDate(999, QStringLiteral("7/4/2027")); // no such row: nothing happens
}

TEST_F(ListWindow, NotesAreStoredExactlyAsTypedApostrophesIncluded) {
    w_->ListView1_ItemClick(row(104));
    auto* notes = w_->findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    notes->setFocus();
    brevant::shell::test::typeText(notes, QStringLiteral("O'Brien's | bid"));
    EXPECT_EQ(
        stored(QStringLiteral("Select [Notes] from [Projects] where [Job_ID] = 104")).toString(),
        QStringLiteral("O'Brien's | bid"));
    EXPECT_TRUE(ui_.shown().isEmpty());

    // Selecting the project again shows the stored notes without writing them back.
    w_->ListView1_ItemClick(row(101));
    EXPECT_TRUE(notes->toPlainText().isEmpty());
    w_->ListView1_ItemClick(row(104));
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("O'Brien's | bid"));
}

TEST_F(ListWindow, NotesChangedByAnotherEstimatorAreShownBesideOnesOwnAndBothKept) {
    w_->ListView1_ItemClick(row(104));
    auto* notes = w_->findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    notes->setFocus();
    brevant::shell::test::typeText(notes, QStringLiteral("call"));
    // Another estimator's workstation writes the project's notes meanwhile.
    ShellTestEnv::execute(db_, {QStringLiteral("Update [Projects] Set Notes = 'bond ready' "
                                               "where [JOB_ID] = 104")});
    QString theirsShown, mineShown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        theirsShown = dialog->findChild<QPlainTextEdit*>("txtTheirs")->toPlainText();
        mineShown = dialog->findChild<QPlainTextEdit*>("txtMine")->toPlainText();
        dialog->findChild<QPushButton*>("cmdBoth")->click();
    });
    brevant::shell::test::typeText(notes, QStringLiteral("!"));
    EXPECT_EQ(theirsShown, QStringLiteral("bond ready"));
    EXPECT_EQ(mineShown, QStringLiteral("call!"));
    const QString both = QStringLiteral("bond ready\n--------\ncall!");
    EXPECT_EQ(
        stored(QStringLiteral("Select [Notes] from [Projects] where [Job_ID] = 104")).toString(),
        both);
    EXPECT_EQ(notes->toPlainText(), both);
    // Typing goes on over what was kept, with no second question.
    brevant::shell::test::typeText(notes, QStringLiteral("?"));
    EXPECT_EQ(
        stored(QStringLiteral("Select [Notes] from [Projects] where [Job_ID] = 104")).toString(),
        both + QStringLiteral("?"));
}

TEST_F(ListWindow, AnEmptyListLeavesNoHiddenProjectToEditOrShow) {
    ShellTestEnv::execute(
        db_, {QStringLiteral("Update [Projects] Set Notes = 'bid bond 10% - call Joe' where "
                             "[JOB_ID] = 105"),
              QStringLiteral("INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], "
                             "[Bid], [Awarded], [Fax], [Extension], [Email]) VALUES (105, "
                             "'LOW BIDDER CO', 'Lo', '8', NULL, 850000, 0, NULL, NULL, NULL)")});
    w_->ListView1_ItemClick(row(105));
    auto* notes = w_->findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    auto* awards = w_->findChild<QTextEdit*>(QStringLiteral("Awards"));
    ASSERT_EQ(notes->toPlainText(), QStringLiteral("bid bond 10% - call Joe"));
    ASSERT_TRUE(awards->toPlainText().contains(QStringLiteral("LOW BIDDER CO")));

    // No project is opened only: the list empties while 105 was the current project.
    ShellTestEnv::execute(db_, {QStringLiteral("Update [Projects] set [New] = TRUE")});
    w_->ShowFilter(QStringLiteral("VIEW"));
    ASSERT_EQ(list_->topLevelItemCount(), 0);
    EXPECT_TRUE(awards->toPlainText().isEmpty());
    EXPECT_FALSE(notes->isEnabled());
    brevant::shell::test::typeText(notes, QStringLiteral("x"));
    notes->setPlainText(QStringLiteral("x")); // even a change made past the keyboard
    EXPECT_EQ(
        stored(QStringLiteral("Select [Notes] from [Projects] where [Job_ID] = 105")).toString(),
        QStringLiteral("bid bond 10% - call Joe"));
    EXPECT_TRUE(ui_.shown().isEmpty());

    // With projects listed again the box is editable and shows the current project's notes.
    w_->ShowFilter(QStringLiteral("ALL"));
    w_->ListView1_ItemClick(row(105));
    EXPECT_TRUE(notes->isEnabled());
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("bid bond 10% - call Joe"));
    EXPECT_TRUE(awards->toPlainText().contains(QStringLiteral("LOW BIDDER CO")));
}

TEST_F(ListWindow, DeletingRemovesRowsAndTheWholeCacheFolderExtraSubfoldersIncluded) {
    const QString cache = env_.path(QStringLiteral("cache"));
    modResources::CacheLocation = cache;
    const QString project = cache + QStringLiteral("/104");
    for (const char* sub : {"/plans", "/specs", "/extra"})
        QDir().mkpath(project + QLatin1String(sub));
    auto touch = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    };
    touch(project + QStringLiteral("/plans/PLAN001.SVD"));
    touch(project + QStringLiteral("/specs/01000.SVD"));
    touch(project + QStringLiteral("/quote.xls"));
    touch(project + QStringLiteral("/extra/keep.txt"));
    ShellTestEnv::execute(
        db_, {QStringLiteral("Insert into [Plans] ([JobID], [File]) values (104, 'PLAN001.SVD')"),
              QStringLiteral("Insert into [Specs] ([JobID], [Spec]) values (104, '01000')")});

    row(104)->setCheckState(0, Qt::Checked);
    ui_.answerMessage(ui::Answer::Yes);
    w_->findChild<QAction*>(QStringLiteral("Toolbar1_Button11"))->trigger();

    ASSERT_FALSE(ui_.shown().isEmpty());
    EXPECT_EQ(ui_.shown().first().text,
              QStringLiteral("Are you sure want to delete the selected record(s)?"));
    EXPECT_EQ(ui_.shown().first().title, QStringLiteral("System Prompt"));
    EXPECT_EQ(w_->FindProjectRow(104), nullptr);
    EXPECT_EQ(list_->topLevelItemCount(), 4);
    EXPECT_FALSE(
        stored(QStringLiteral("Select [Job_ID] from [Projects] where [Job_ID] = 104")).isValid());
    EXPECT_FALSE(
        stored(QStringLiteral("Select [JobID] from [Plans] where [JobID] = 104")).isValid());
    EXPECT_FALSE(
        stored(QStringLiteral("Select [JobID] from [Specs] where [JobID] = 104")).isValid());
    EXPECT_FALSE(QFileInfo::exists(project + QStringLiteral("/plans")));
    EXPECT_FALSE(QFileInfo::exists(project + QStringLiteral("/specs")));
    EXPECT_FALSE(QFileInfo::exists(project + QStringLiteral("/quote.xls")));
    // Nothing of a deleted project is left behind, not even what a deeper folder held.
    EXPECT_FALSE(QFileInfo::exists(project));
    EXPECT_TRUE(QFileInfo::exists(cache));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ListWindow, DeletingWithNothingCheckedOrDeclinedChangesNothing) {
    w_->DeleteSelectedProjects();
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, QStringLiteral("No projects selected for deletion ..."));
    row(101)->setCheckState(0, Qt::Checked);
    ui_.answerMessage(ui::Answer::No);
    w_->DeleteSelectedProjects();
    EXPECT_EQ(list_->topLevelItemCount(), 5);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ListWindow, RefreshReadsTheListAgainAndKeepsTheCurrentProject) {
    list_->setCurrentItem(row(104));
    ASSERT_EQ(w_->selectedJobId(), std::optional<int>(104));
    // Another program (a window-less update check, say) adds a project meanwhile.
    ShellTestEnv::execute(db_,
                          {ShellTestEnv::insertProject(106, QStringLiteral("FIRE STATION"),
                                                       QStringLiteral("03/03/2027"), true, false)});
    ASSERT_EQ(row(106), nullptr);
    w_->show();
    QApplication::setActiveWindow(w_.get());
    list_->setFocus();
    QTest::keyClick(list_, Qt::Key_F5);
    EXPECT_NE(row(106), nullptr);
    EXPECT_EQ(list_->topLevelItemCount(), 6);
    EXPECT_EQ(w_->selectedJobId(), std::optional<int>(104));
    EXPECT_EQ(list_->currentItem(), row(104));
}

TEST_F(ListWindow, DeleteKeyOnTheListDeletesTheCheckedProjectsOnly) {
    w_->show();
    QApplication::setActiveWindow(w_.get());
    // In the notes, Delete edits the text and deletes no project.
    auto* notes = w_->findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    notes->setFocus();
    QTest::keyClick(notes, Qt::Key_Delete);
    EXPECT_TRUE(ui_.shown().isEmpty());
    // On the list it is the delete command: with nothing checked it says so.
    list_->setFocus();
    QTest::keyClick(list_, Qt::Key_Delete);
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(list_->topLevelItemCount(), 5);
}

// With no program for RTF files (the desktop's opener finds no handler and exits 3) the listing
// report shows in the program's own read-only window, and no error is reported.
TEST_F(ListWindow, JobListingReportWithoutAnRtfProgramShowsInTheProgramsOwnWindow) {
    const QString bin = env_.path(QStringLiteral("bin"));
    QDir().mkpath(bin);
    QFile opener(bin + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nexit 3\n");
    opener.close();
    opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + oldPath);
    w_->mnuListJobList_Click();
    qputenv("PATH", oldPath);

    EXPECT_TRUE(ui_.shown().isEmpty()) << qPrintable(ui_.last().text);
    auto* view = w_->findChild<QWidget*>(QStringLiteral("frmReportView"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    auto* box = view->findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isReadOnly());
    const QString first = list_->topLevelItem(0)->text(1);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(box->toPlainText().contains(first)) << qPrintable(box->toPlainText());
    EXPECT_TRUE(box->toPlainText().contains(QStringLiteral("CURRENT PROJECT LIST REPORT")));
}

// --show-projects (a click on the update check's notice): those rows checked, the first named
// of them current and on screen; numbers not in the list are passed over.
TEST_F(ListWindow, ShowProjectsChecksTheirRowsAndShowsTheFirstNamed) {
    w_->ShowProjects({104, 999, 102});
    for (int id : {101, 102, 103, 104, 105})
        EXPECT_EQ(row(id)->checkState(0), id == 102 || id == 104 ? Qt::Checked : Qt::Unchecked)
            << id;
    EXPECT_EQ(list_->currentItem(), row(104));
    EXPECT_EQ(w_->findChild<QGroupBox*>(QStringLiteral("Frame1"))->title(), "DAM REPAIR");
    // None of them listed: nothing changes.
    w_->ShowProjects({999});
    EXPECT_EQ(list_->currentItem(), row(104));
}
