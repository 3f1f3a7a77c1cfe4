// frmFind without a server: the exact clause for each criterion and their combinations, the
// field editing rules, the saved searches in Custom_Search, and the logon's refusal of "|".
#include "ExchangeTestEnv.h"
#include "ImportDatabase.h"
#include "platform/ui/ScriptedUi.h"
#include "server/ProjectSearch.h"
#include "server/frmFind.h"
#include "shell/frmLogon.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

const QDate kToday(2027, 3, 1);
const QString kTail =
    QStringLiteral(" (Due_Date >= '3/1/2027' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY "
                   "Due_Date");
const QString kIn = QStringLiteral(
    " [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] WHERE ");

QString clause(const SearchCriteria& c) {
    return BuildSearchClause(c, kToday);
}

TEST(SearchClause, EachCriterionAlone) {
    ui::ScopedScriptedUi ui;
    SearchCriteria c;
    c.jobName = QStringLiteral("Children's Hospital");
    EXPECT_EQ(clause(c),
              "WHERE  [Job Information].[Name] LIKE '%Children''s Hospital%' AND " + kTail);
    c = {};
    c.scope = QStringLiteral("roof");
    EXPECT_EQ(clause(c), "WHERE  [Job Information].[Description] LIKE '%roof%' AND " + kTail);
    c = {};
    c.bidStart = QStringLiteral("3/1/2027");
    EXPECT_EQ(clause(c),
              "WHERE  [Job Information].[Due_Date] >= '3/1/2027 12:00:00 AM' AND " + kTail);
    c = {};
    c.bidEnd = QStringLiteral("4/1/2027");
    EXPECT_EQ(clause(c),
              "WHERE  [Job Information].[Due_Date] <= '4/1/2027 11:59:59 PM' AND " + kTail);
    c = {};
    c.csiFrom = QStringLiteral("07000");
    EXPECT_EQ(clause(c), "WHERE " + kIn + "[Jobs Detail].[Section] >= '07000') AND " + kTail);
    c = {};
    c.csiTo = QStringLiteral("0'9");
    EXPECT_EQ(clause(c), "WHERE " + kIn + "[Jobs Detail].[Section] <= '0''9') AND " + kTail);
    c = {};
    c.csiList = QStringLiteral("0100,0200");
    EXPECT_EQ(clause(c), "WHERE " + kIn + "(SECTION = '0100' OR SECTION = '0200')) AND " + kTail);
    EXPECT_TRUE(ui.shown().isEmpty());

    EXPECT_EQ(clause(SearchCriteria{}), QString());
    EXPECT_EQ(ui.last().text,
              QStringLiteral("Must specify at least one criteria to perform a search."));
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
}

TEST(SearchClause, CombinationsInTheirFixedOrder) {
    SearchCriteria c;
    c.csiFrom = QStringLiteral("07000");
    c.csiTo = QStringLiteral("07999");
    c.bidStart = QStringLiteral("3/1/2027");
    c.bidEnd = QStringLiteral("3/31/2027");
    c.scope = QStringLiteral("O'Hare");
    c.jobName = QStringLiteral("School");
    c.csiList = QStringLiteral("99999"); // the range wins: the list box is emptied by it
    EXPECT_EQ(clause(c), "WHERE  [Job Information].[Name] LIKE '%School%' AND  "
                         "[Job Information].[Description] LIKE '%O''Hare%' AND  "
                         "[Job Information].[Due_Date] BETWEEN '3/1/2027 12:00:00 AM' AND "
                         "'3/31/2027 11:59:59 PM' AND " +
                             kIn + "[Jobs Detail].[Section] BETWEEN '07000' AND '07999') AND " +
                             kTail);
    c = {};
    c.jobName = QStringLiteral("a");
    c.csiList = QStringLiteral("01'1, 02");
    EXPECT_EQ(clause(c), "WHERE  [Job Information].[Name] LIKE '%a%' AND " + kIn +
                             "(SECTION = '01''1' OR SECTION = ' 02')) AND " + kTail);
}

TEST(SearchClause, DatesAndTheSectionList) {
    EXPECT_EQ(LocaleShortDate(QDate(2027, 12, 5)), QStringLiteral("12/5/2027"));
    EXPECT_EQ(ParseDateText(QStringLiteral("12/5/2027")), QDate(2027, 12, 5));
    EXPECT_EQ(ParseDateText(QStringLiteral("2027-12-05")), QDate(2027, 12, 5));
    EXPECT_FALSE(ParseDateText(QStringLiteral("13/45/2027")));
    EXPECT_FALSE(ParseDateText(QStringLiteral("tomorrow")));
    EXPECT_EQ(TidyCsiList(QStringLiteral(" ,0100,0200, ")), QStringLiteral("0100,0200"));
    EXPECT_EQ(TidyCsiList(QStringLiteral("0100 , 0200")), QStringLiteral("0100 , 0200"));
    EXPECT_EQ(QuoteSqlText(QStringLiteral("a'b''")), QStringLiteral("a''b''''"));
}

class SearchDialog : public ::testing::Test {
protected:
    void SetUp() override {
        test::openClientDatabase(env);
        find.LoadSavedSearches(); // the dialog was made before the database was open
    }
    QLineEdit* edit(const char* name) { return find.findChild<QLineEdit*>(QLatin1String(name)); }
    QComboBox* combo() { return find.findChild<QComboBox*>(QStringLiteral("Combo1")); }
    shell::test::ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    std::unique_ptr<frmFind> holder;
    frmFind& find = *(holder = std::make_unique<frmFind>());
};

TEST_F(SearchDialog, FieldEditing) {
    edit("txtJobName")->setText(QStringLiteral("  School  "));
    EXPECT_TRUE(find.txtJobName_LostFocus());
    EXPECT_EQ(edit("txtJobName")->text(), QStringLiteral("School"));

    edit("txtBidDate_0")->setText(QStringLiteral(" 2/30/2027 "));
    EXPECT_FALSE(find.txtBidDate_LostFocus(0));
    EXPECT_EQ(ui.last().text, QStringLiteral("You have entered an invalid date."));
    edit("txtBidDate_0")->setText(QStringLiteral("3/2/2027"));
    EXPECT_TRUE(find.txtBidDate_LostFocus(0));
    edit("txtBidDate_1")->setText(QStringLiteral("3/1/2027"));
    EXPECT_FALSE(find.txtBidDate_LostFocus(1));
    EXPECT_EQ(ui.last().text, QStringLiteral("When using a date range, the second date must come "
                                             "after the first date."));
    edit("txtBidDate_1")->setText(QStringLiteral("3/2/2027")); // equal dates are fine
    EXPECT_TRUE(find.txtBidDate_LostFocus(1));

    edit("txtCSVCSI")->setText(QStringLiteral(" ,0100,0200, "));
    EXPECT_TRUE(find.txtCSVCSI_LostFocus());
    EXPECT_EQ(edit("txtCSVCSI")->text(), QStringLiteral("0100,0200"));
    EXPECT_FALSE(edit("txtCSI_0")->isEnabled());
    EXPECT_FALSE(edit("txtCSI_1")->isEnabled());
    EXPECT_EQ(edit("txtCSI_0")->palette().color(QPalette::Base),
              find.palette().color(QPalette::Window));

    // Emptying the list enables the range; typing a range empties and disables the list.
    edit("txtCSVCSI")->clear();
    EXPECT_TRUE(edit("txtCSI_0")->isEnabled());
    EXPECT_EQ(edit("txtCSI_0")->palette().color(QPalette::Base),
              find.palette().color(QPalette::Base));
    edit("txtCSVCSI")->setText(QStringLiteral("0100"));
    edit("txtCSVCSI")->clear();
    edit("txtCSI_1")->setText(QStringLiteral("0900"));
    EXPECT_FALSE(edit("txtCSVCSI")->isEnabled());
    EXPECT_TRUE(edit("txtCSVCSI")->text().isEmpty());
    edit("txtCSI_1")->clear();
    EXPECT_TRUE(edit("txtCSVCSI")->isEnabled());
}

// The same checks reached the way a user reaches them: by moving the keyboard focus.
TEST_F(SearchDialog, LeavingABoxWithABadDateBringsTheFocusBack) {
    find.show();
    QApplication::setActiveWindow(&find);
    ASSERT_TRUE(test::waitUntil([&] { return find.isActiveWindow(); }, 10000));
    QLineEdit* date = edit("txtBidDate_0");
    QLineEdit* name = edit("txtJobName");
    date->setFocus();
    ASSERT_TRUE(test::waitUntil([&] { return date->hasFocus(); }, 10000));
    date->setText(QStringLiteral(" 2/30/2027 "));
    name->setFocus();
    // Told once, and the focus goes back to the date with its text trimmed.
    ASSERT_TRUE(test::waitUntil([&] { return !ui.shown().isEmpty() && date->hasFocus(); }, 10000));
    EXPECT_EQ(ui.last().text, QStringLiteral("You have entered an invalid date."));
    EXPECT_EQ(date->text(), QStringLiteral("2/30/2027"));

    // A good date lets the focus go; leaving the name box trims it.
    ui.clear();
    date->setText(QStringLiteral("3/2/2027"));
    name->setFocus();
    ASSERT_TRUE(test::waitUntil([&] { return name->hasFocus(); }, 10000));
    name->setText(QStringLiteral("  School  "));
    date->setFocus();
    ASSERT_TRUE(test::waitUntil([&] { return date->hasFocus(); }, 10000));
    EXPECT_EQ(name->text(), QStringLiteral("School"));
    EXPECT_TRUE(ui.shown().isEmpty());
}

// Alt+S and Alt+V run their buttons with the focus still in the box, which is never left:
// the dates are checked all the same, and nothing is searched or saved.
TEST_F(SearchDialog, TheAcceleratorsCheckTheDatesTheFocusNeverLeft) {
    modResources::UserName = QStringLiteral("anna");
    modResources::Password = QStringLiteral("pw");
    find.show();
    QApplication::setActiveWindow(&find);
    ASSERT_TRUE(test::waitUntil([&] { return find.isActiveWindow(); }, 10000));
    QLineEdit* date = edit("txtBidDate_1");
    date->setFocus();
    ASSERT_TRUE(test::waitUntil([&] { return date->hasFocus(); }, 10000));
    date->setText(QStringLiteral("1'1"));
    // What an accelerator does: the button runs and the focus stays where it was.
    for (const char* button : {"Command1", "Command3"}) {
        ui.clear();
        find.findChild<QPushButton*>(QLatin1String(button))->click();
        ASSERT_EQ(ui.shown().size(), 1) << button;
        EXPECT_EQ(ui.last().text, QStringLiteral("You have entered an invalid date."));
        EXPECT_FALSE(find.Busy);
        EXPECT_TRUE(date->hasFocus());
        EXPECT_EQ(date->text(), QStringLiteral("1'1")) << "kept to be put right";
    }
    // A reversed range is caught the same way, on the second box.
    edit("txtBidDate_0")->setText(QStringLiteral("3/2/2027"));
    date->setText(QStringLiteral("3/1/2027"));
    ui.clear();
    find.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, QStringLiteral("When using a date range, the second date must come "
                                             "after the first date."));
    EXPECT_EQ(test::count("Custom_Search"), 0);
    modResources::UserName.clear();
    modResources::Password.clear();
}

TEST_F(SearchDialog, RangesHaveTheirOwnLabelsAndTabGoesStartThenEnd) {
    QStringList labels;
    for (const QLabel* l : find.findChildren<QLabel*>())
        labels << l->text();
    for (const char* text :
         {"Bid Date Range Start", "Bid Date Range End", "CSI Range Start", "CSI Range End"})
        EXPECT_EQ(labels.count(QLatin1String(text)), 1) << text;
    EXPECT_EQ(labels.count(QStringLiteral("<-->")), 2);

    find.show();
    QApplication::setActiveWindow(&find);
    ASSERT_TRUE(test::waitUntil([&] { return find.isActiveWindow(); }, 10000));
    edit("txtScope")->setFocus();
    ASSERT_TRUE(test::waitUntil([&] { return edit("txtScope")->hasFocus(); }, 10000));
    for (const char* next : {"txtBidDate_0", "txtBidDate_1", "txtCSI_0", "txtCSI_1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(test::waitUntil([&] { return edit(next)->hasFocus(); }, 10000))
            << next << " after "
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none")
                   .toStdString();
    }
}

// A saved criterion goes into the statement quoted, whatever it holds.
TEST_F(SearchDialog, SavedCriteriaAreAlwaysQuoted) {
    SearchCriteria c;
    c.bidStart = QStringLiteral("1'1");
    c.bidEnd = QStringLiteral("2'2");
    c.jobName = QStringLiteral("O'Hare");
    ASSERT_NO_THROW(InsertSavedSearch(*modResources::DbConnection, QStringLiteral("n"), c));
    find.LoadSavedSearches();
    const std::optional<SearchCriteria> back =
        ReadSavedSearch(*modResources::DbConnection, combo()->itemData(1).toInt());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bidStart, c.bidStart);
    EXPECT_EQ(back->bidEnd, c.bidEnd);
    EXPECT_EQ(back->jobName, c.jobName);
}

TEST_F(SearchDialog, SavedSearchesAreSavedSelectedAndDeleted) {
    EXPECT_EQ(combo()->count(), 1);
    EXPECT_EQ(combo()->itemText(0), QStringLiteral("No Searches to Display ..."));
    EXPECT_EQ(combo()->itemData(0).toInt(), 9999);

    // An empty name, "Try Again?" Yes, then a name.
    edit("txtJobName")->setText(QStringLiteral("Children's"));
    edit("txtBidDate_0")->setText(QStringLiteral("3/1/2027"));
    edit("txtCSVCSI")->setText(QStringLiteral("0100,02'00"));
    ui.answerMessage(ui::Answer::Yes);
    ui.answerInput(QStringLiteral("   "));
    ui.answerMessage(ui::Answer::Yes);
    ui.answerInput(QStringLiteral(" Roofs | East "));
    find.SaveSearch();
    ASSERT_EQ(combo()->count(), 2);
    EXPECT_EQ(combo()->itemText(0), QStringLiteral("Choose an existing search ..."));
    EXPECT_EQ(combo()->itemData(0).toInt(), 9998);
    const int id = combo()->itemData(1).toInt();
    EXPECT_EQ(combo()->itemText(1), QStringLiteral("Roofs | East (%1)").arg(id));
    EXPECT_EQ(ui.shown()[2].text, QStringLiteral("You must enter a search name -- Try Again?"));
    EXPECT_EQ(ui.shown()[1].title, QStringLiteral("Save Search"));
    EXPECT_TRUE(edit("txtJobName")->text().isEmpty()); // the sentinel is selected again

    combo()->setCurrentIndex(1);
    EXPECT_EQ(edit("txtJobName")->text(), QStringLiteral("Children's"));
    EXPECT_EQ(edit("txtBidDate_0")->text(), QStringLiteral("3/1/2027"));
    EXPECT_EQ(edit("txtCSVCSI")->text(), QStringLiteral("0100,02'00"));
    EXPECT_TRUE(edit("txtScope")->text().isEmpty());

    // An empty name and "No": nothing saved.
    ui.answerMessage(ui::Answer::Yes);
    ui.answerInput(QString());
    ui.answerMessage(ui::Answer::No);
    find.SaveSearch();
    EXPECT_EQ(test::count("Custom_Search"), 1);

    combo()->setCurrentIndex(1);
    ui.answerMessage(ui::Answer::No);
    find.DeleteSearch();
    EXPECT_EQ(test::count("Custom_Search"), 1);
    combo()->setCurrentIndex(1);
    ui.answerMessage(ui::Answer::Yes);
    find.DeleteSearch();
    EXPECT_EQ(ui.last().text,
              QStringLiteral("Are you sure you wish to delete the currently selected search?"));
    EXPECT_EQ(test::count("Custom_Search"), 0);
    EXPECT_EQ(combo()->itemData(0).toInt(), 9999);
    EXPECT_TRUE(edit("txtJobName")->text().isEmpty());
}

TEST(Logon, RefusesABarInNameOrPassword) {
    shell::test::ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    for (const auto& [user, password] : {std::pair{"an|na", "pw"}, std::pair{"anna", "p|w"}}) {
        shell::frmLogon logon;
        logon.findChild<QLineEdit*>(QStringLiteral("txtUserName"))->setText(user);
        logon.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(password);
        logon.cmdOK_Click();
        EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
        EXPECT_TRUE(ui.last().text.contains(QStringLiteral("\"|\"")));
        EXPECT_TRUE(modResources::UserName.isEmpty());
        EXPECT_EQ(logon.result(), 0);
    }
}

} // namespace
} // namespace brevant::server
