// What the main window's lists tell at a glance: the project count, the hint over an empty list,
// past-due bids set apart, the counts under the document lists, and the wait window over the
// main window with a Cancel that runs the work's own handler once.
#include "ShellTestEnv.h"

#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"
#include "store/BidDay.h"
#include "store/ProjectList.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

namespace {

QString day(int fromToday) {
    return QDate::currentDate().addDays(fromToday).toString(QStringLiteral("MM/dd/yyyy"));
}

TEST(PastDue, OnlyAKnownDayBeforeTodayHasPassed) {
    const QDate today(2027, 3, 2);
    EXPECT_TRUE(store::isPastDue("03/01/2027", today));
    EXPECT_TRUE(store::isPastDue("2027-03-01 14:00:00", today)); // as the database stores it
    EXPECT_TRUE(store::isPastDue("12/31/2026", today));
    EXPECT_FALSE(store::isPastDue("03/02/2027", today)) << "a bid due today is still open";
    EXPECT_FALSE(store::isPastDue("2027-03-02 23:59:00", today));
    EXPECT_FALSE(store::isPastDue("03/03/2027", today));
    EXPECT_FALSE(store::isPastDue("No Date Set", today));
    EXPECT_FALSE(store::isPastDue("01/01/1900", today)) << "the year 1900 means no date";
    EXPECT_FALSE(store::isPastDue("1900-01-01 00:00:00", today));
    EXPECT_FALSE(store::isPastDue("", today));
    EXPECT_FALSE(store::isPastDue("soon", today));
}

TEST(ListCounts, SingularAndPlural) {
    EXPECT_EQ(store::projectCountText(0), "0 projects");
    EXPECT_EQ(store::projectCountText(1), "1 project");
    EXPECT_EQ(store::projectCountText(212), "212 projects");
}

class CuesWindow : public ::testing::Test {
protected:
    void open(const QStringList& statements) {
        db_ = env_.createDatabase();
        ShellTestEnv::execute(db_, statements);
        w_ = std::make_unique<frmMain>();
        w_->Form_Load();
        ui_.clear();
    }
    void TearDown() override { w_.reset(); }
    QLabel* label(const char* name) const { return w_->findChild<QLabel*>(name); }
    // The wait window on screen (closed ones may linger until the event loop deletes them).
    QWidget* shownWait() const {
        for (QWidget* w : w_->findChildren<QWidget*>("frmWait")) {
            if (w->isVisible())
                return w;
        }
        return nullptr;
    }
    QTreeWidget* list() const { return w_->findChild<QTreeWidget*>("ListView1"); }

    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    QString db_;
    std::unique_ptr<frmMain> w_;
};

TEST_F(CuesWindow, EmptyListSaysWhatToDoAndTheCountFollowsTheList) {
    open({});
    ASSERT_NE(label("lblEmptyList"), nullptr);
    EXPECT_EQ(label("lblEmptyList")->text(),
              QString::fromUtf8("No projects yet \u2014 Find Projects (Ctrl+Shift+F) to search "
                                "the service"));
    EXPECT_FALSE(label("lblEmptyList")->isHidden());
    EXPECT_EQ(label("lblCount")->text(), "0 projects");
    EXPECT_EQ(label("lblCount")->parentWidget(), w_->statusBar());
    // The shortcut the hint names is the one that opens the search.
    EXPECT_EQ(w_->findChild<QAction*>("mnuFile_Find")->shortcut(), QKeySequence("Ctrl+Shift+F"));

    ShellTestEnv::execute(db_,
                          {ShellTestEnv::insertProject(101, "BRIDGE DECK", day(10), true, false),
                           ShellTestEnv::insertProject(102, "ARMORY ROOF", day(20), false, true)});
    w_->ShowFilter("ALL");
    EXPECT_TRUE(label("lblEmptyList")->isHidden());
    EXPECT_EQ(label("lblCount")->text(), "2 projects");

    // A view that shows nothing of a database that holds projects gets no "No projects yet".
    w_->ShowFilter("VIEW");
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(label("lblCount")->text(), "0 projects");
    EXPECT_TRUE(label("lblEmptyList")->isHidden());
    w_->ShowFilter("TRACK");
    EXPECT_EQ(label("lblCount")->text(), "1 project");

    // Deleting the last listed project empties the list: the count says so at once.
    w_->ShowFilter("ALL");
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        list()->topLevelItem(i)->setCheckState(0, Qt::Checked);
    ui_.answerMessage(ui::Answer::Yes);
    w_->DeleteSelectedProjects();
    EXPECT_EQ(label("lblCount")->text(), "0 projects");
    EXPECT_FALSE(label("lblEmptyList")->isHidden());
}

TEST_F(CuesWindow, PastDueBidsAreGreyItalicWithATip) {
    open({ShellTestEnv::insertProject(101, "BRIDGE DECK", day(-1), true, false),
          ShellTestEnv::insertProject(102, "ARMORY ROOF", "01/01/1900", true, false),
          ShellTestEnv::insertProject(103, "CITY HALL", day(0), false, true),
          ShellTestEnv::insertProject(104, "DAM REPAIR", day(30), false, false)});
    QTreeWidgetItem* past = w_->FindProjectRow(101);
    ASSERT_NE(past, nullptr);
    for (int c : {0, 1}) {
        EXPECT_TRUE(past->font(c).italic()) << c;
        EXPECT_EQ(past->toolTip(c), "Bid date has passed");
    }
    const QColor pastColour = past->foreground(1).color();
    for (int id : {102, 103, 104}) {
        QTreeWidgetItem* open = w_->FindProjectRow(id);
        EXPECT_FALSE(open->font(0).italic()) << id;
        EXPECT_TRUE(open->toolTip(0).isEmpty()) << id;
        EXPECT_NE(open->foreground(1).color(), pastColour) << id;
    }
    // An update that moves the bid date on makes the row an open bid again, still in bold.
    w_->ShowChangedBidDate(101, day(14));
    EXPECT_FALSE(past->font(0).italic());
    EXPECT_TRUE(past->font(0).bold());
    EXPECT_TRUE(past->toolTip(0).isEmpty());
}

TEST_F(CuesWindow, DocumentListsShowTheirCounts) {
    open({ShellTestEnv::insertProject(101, "BRIDGE DECK", day(10), true, false),
          "Insert into [Plans] ([JobID], [File], [Description], [Size]) values (101, 'PLAN001', "
          "'SITE', 10)",
          "Insert into [Plans] ([JobID], [File], [Description], [Size]) values (101, 'PLAN002', "
          "'FLOOR', 10)",
          "Insert into [Specs] ([JobID], [Spec], [Description]) values (101, '07 31 13', 'ROOF')",
          "Insert into [Specs] ([JobID], [Spec], [Description]) values (101, 'ADD01', 'ADDENDUM "
          "1')"});
    EXPECT_EQ(label("lblDocumentCount0")->text(), "2 sheets");
    EXPECT_EQ(label("lblDocumentCount1")->text(), "1 section");
    EXPECT_EQ(label("lblDocumentCount2")->text(), "1 addendum");
}

TEST_F(CuesWindow, WaitWindowSitsCentredOverTheMainWindowWithItsOwnCancel) {
    open({});
    w_->setGeometry(300, 200, 1000, 700);
    w_->show();
    int cancels = 0;
    w_->setWaitCancel([&] { ++cancels; });
    w_->showWaitForm();
    QWidget* wait = shownWait();
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->parentWidget(), w_.get());
    EXPECT_LE((wait->frameGeometry().center() - w_->frameGeometry().center()).manhattanLength(), 2);
    auto* cancel = wait->findChild<QPushButton*>("cmdCancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(cancel->isHidden());
    w_->setWaitProgress(30, 120);
    EXPECT_EQ(wait->findChild<QProgressBar*>("ProgressBar1")->value(), 30);
    cancel->click();
    cancel->click(); // disabled after the first
    EXPECT_EQ(cancels, 1);
    w_->closeWaitForm();

    // The next wait window, for work that cannot be cancelled, has no Cancel.
    w_->showWaitForm();
    QWidget* next = shownWait();
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->findChild<QPushButton*>("cmdCancel")->isHidden());
    w_->closeWaitForm();
}

} // namespace
