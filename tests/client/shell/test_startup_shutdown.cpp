// Start-up and shutdown of the client: the single-instance guard, the first-run database, the
// database-location fallback, the update reminder, the logon dialog, the close question while
// busy, and the column layout that survives a restart.
#include "ShellTestEnv.h"

#include "base/ProgramFolders.h"
#include "base/Settings.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/SingleInstance.h"
#include "shell/frmLogon.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

namespace {

int topLevelMainWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<frmMain*>(w) != nullptr;
    return n;
}

} // namespace

TEST(Startup, SecondCopyIsRefusedWithoutTouchingTheDatabase) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    SingleInstance first(base::ProgramFolder());
    ASSERT_TRUE(first.acquire());

    EXPECT_EQ(Main(), 0);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, QStringLiteral("A copy of Brevant Desktop is already running ..."));
    EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
    EXPECT_FALSE(QFileInfo::exists(env.work() + QStringLiteral("/Desktop.mdb")));
    EXPECT_EQ(modResources::DbConnection, nullptr);
    EXPECT_EQ(topLevelMainWindows(), 0);

    // The lock stays with the running copy.
    SingleInstance second(base::ProgramFolder());
    EXPECT_FALSE(second.acquire());
}

TEST(Startup, LockThatCannotBeTakenForAnotherReasonSaysWhy) {
    ShellTestEnv env;
    // The program folder cannot exist: a file stands where its parent folder should be.
    QFile blocker(env.path(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray home = qgetenv("BREVANT_HOME");
    qputenv("BREVANT_HOME", env.path(QStringLiteral("blocker/home")).toUtf8());
    ui::ScopedScriptedUi ui;
    const int code = Main();
    qputenv("BREVANT_HOME", home);

    EXPECT_NE(code, 0);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_NE(ui.last().text, AlreadyRunningText());
    EXPECT_TRUE(ui.last().text.startsWith(QStringLiteral("Brevant Desktop cannot start")))
        << qPrintable(ui.last().text);
    EXPECT_TRUE(ui.last().text.contains(env.path(QStringLiteral("blocker/home"))))
        << qPrintable(ui.last().text);
    EXPECT_TRUE(ui.last().text.contains(QStringLiteral("Not a directory"), Qt::CaseInsensitive))
        << qPrintable(ui.last().text);
    EXPECT_EQ(ui.last().title, QStringLiteral("System Error"));
    EXPECT_EQ(modResources::DbConnection, nullptr);
    EXPECT_EQ(topLevelMainWindows(), 0);
}

TEST(Startup, FirstRunCreatesTheDatabaseQuietly) {
    SQLITE_FILE_ONLY("the file made on the first run");
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    EXPECT_TRUE(ui.shown().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(env.work() + QStringLiteral("/Desktop.mdb")));
    ASSERT_NE(modResources::DbConnection, nullptr);
    EXPECT_TRUE(modResources::DbConnection->isOpen());
    EXPECT_EQ(modResources::DataLocation, env.work());
    EXPECT_EQ(modResources::CacheLocation, env.home());
}

TEST(Startup, MissingDatabaseFallsBackToWorkAndStoresIt) {
    SQLITE_FILE_ONLY("the file's folder");
    ShellTestEnv env;
    env.createDatabase();
    ShellTestEnv::execute(env.work() + QStringLiteral("/Desktop.mdb"),
                          {ShellTestEnv::insertProject(7, QStringLiteral("FALLBACK SCHOOL"),
                                                       QStringLiteral("05/06/2027"), true, false)});
    const QString elsewhere = env.path(QStringLiteral("elsewhere"));
    QDir().mkpath(elsewhere);
    WriteSetting(QStringLiteral("DATALOC"), elsewhere);

    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text,
              QStringLiteral("Database not found, using default location.  Go to Options-> "
                             "Program Preferences and verify the database location."));
    EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
    EXPECT_EQ(ui.last().icon, ui::Icon::Information);
    EXPECT_EQ(ReadSetting(QStringLiteral("DATALOC")), env.work());
    EXPECT_EQ(modResources::DataLocation, env.work());
    // The list shows the fallback database's project.
    auto* list = w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("FALLBACK SCHOOL"));
}

TEST(Startup, DatabaseLeftOnlyAsCompactionCopyIsRestoredNotReplaced) {
    SQLITE_FILE_ONLY("the copy an interrupted compaction leaves");
    ShellTestEnv env;
    const QString file = env.createDatabase();
    ShellTestEnv::execute(file,
                          {ShellTestEnv::insertProject(9, QStringLiteral("KEPT SCHOOL"),
                                                       QStringLiteral("05/06/2027"), true, false)});
    // What a compaction killed before its final rename leaves behind.
    ASSERT_TRUE(QFile::rename(file, env.work() + QStringLiteral("/#db1.mdb")));

    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    EXPECT_TRUE(ui.shown().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(env.work() + QStringLiteral("/#db1.mdb")));
    auto* list = w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("KEPT SCHOOL"));
}

TEST(Startup, DatabaseFoundUnderAnotherCaseIsOpenedWhereItIs) {
    SQLITE_FILE_ONLY("the file's name");
    ShellTestEnv env;
    const QString other = env.path(QStringLiteral("data"));
    env.createDatabase(other);
    QFile::rename(other + QStringLiteral("/Desktop.mdb"), other + QStringLiteral("/DESKTOP.MDB"));
    WriteSetting(QStringLiteral("DATALOC"), other);
    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    EXPECT_TRUE(ui.shown().isEmpty());
    EXPECT_EQ(modResources::DataLocation, other);
    EXPECT_EQ(ReadSetting(QStringLiteral("DATALOC")), other);
}

TEST(Startup, ReminderFollowsMessageLastUpdateAndInterval) {
    const QDate today(2027, 3, 10);
    EXPECT_TRUE(ReminderDue(true, today.addDays(-3), today, 2));
    EXPECT_FALSE(ReminderDue(true, today.addDays(-2), today, 2)); // not more than two days
    EXPECT_FALSE(ReminderDue(true, QDate(1970, 1, 1), today, 2)); // never updated
    EXPECT_FALSE(ReminderDue(false, today.addDays(-30), today, 2));
    EXPECT_EQ(ReminderText(QDate(2027, 3, 7)),
              QStringLiteral("Your last update was performed on 3/7/2027 - Be sure to update "
                             "projects in order to get updated information and addenda ..."));
    // The date in the default short form: no leading zeros, four-digit year.
    EXPECT_TRUE(ReminderText(QDate(2026, 12, 15)).contains(QStringLiteral(" on 12/15/2026 - ")));

    ShellTestEnv env;
    const QString threeDaysAgo =
        QDate::currentDate().addDays(-3).toString(QStringLiteral("MM/dd/yyyy"));
    struct Case {
        const char* message;
        QString lastUpdate;
        const char* days;
        bool shown;
    };
    const Case cases[] = {
        {"1", threeDaysAgo, "2", true},
        {"1", QStringLiteral("01/01/1970"), "2", false},
        {"0", threeDaysAgo, "2", false},
        {"1", threeDaysAgo, "5", false},
    };
    for (const Case& c : cases) {
        WriteSetting(QStringLiteral("MESSAGE"), QString::fromLatin1(c.message));
        WriteSetting(QStringLiteral("LASTUPDATE"), c.lastUpdate);
        WriteSetting(QStringLiteral("MESSAGEDAYS"), QString::fromLatin1(c.days));
        ui::ScopedScriptedUi ui;
        {
            frmMain w;
            w.Form_Load();
            w.Form_Unload();
        }
        const bool shown = !ui.shown().isEmpty() &&
                           ui.last().text.startsWith(QStringLiteral("Your last update was "
                                                                    "performed on "));
        EXPECT_EQ(shown, c.shown) << c.message << " " << qPrintable(c.lastUpdate) << " " << c.days;
        if (c.shown) {
            // The stored "mm/dd/yyyy" is read back and shown in the short form.
            EXPECT_EQ(ui.last().text, ReminderText(QDate::currentDate().addDays(-3)));
            EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
            EXPECT_EQ(ui.last().icon, ui::Icon::Information);
            EXPECT_EQ(ui.last().buttons, ui::Buttons::Ok);
        }
    }
}

TEST(Logon, EmptyPasswordCancelsAndKeepsTheCredentials) {
    ShellTestEnv env;
    modResources::UserName = QStringLiteral("estimator");
    modResources::Password = QStringLiteral("secret");
    {
        frmLogon logon;
        EXPECT_EQ(logon.findChild<QLineEdit*>(QStringLiteral("txtUserName"))->text(),
                  QStringLiteral("estimator"));
        auto* password = logon.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        logon.findChild<QLineEdit*>(QStringLiteral("txtUserName"))
            ->setText(QStringLiteral("someone"));
        password->clear();
        logon.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        EXPECT_FALSE(logon.isVisible());
    }
    EXPECT_TRUE(modResources::LogonCancelled);
    EXPECT_EQ(modResources::UserName, QStringLiteral("estimator"));
    EXPECT_EQ(modResources::Password, QStringLiteral("secret"));

    {
        frmLogon logon;
        logon.findChild<QLineEdit*>(QStringLiteral("txtUserName"))
            ->setText(QStringLiteral("someone"));
        logon.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral("pw"));
        logon.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    }
    EXPECT_FALSE(modResources::LogonCancelled);
    EXPECT_EQ(modResources::UserName, QStringLiteral("someone"));
    EXPECT_EQ(modResources::Password, QStringLiteral("pw"));

    {
        frmLogon logon;
        logon.show();
        brevant::shell::test::typeKey(&logon, Qt::Key_Escape);
    }
    EXPECT_TRUE(modResources::LogonCancelled);
    EXPECT_EQ(modResources::UserName, QStringLiteral("someone"));
}

TEST(Logon, HourglassGivesWayToTheArrowAndComesBack) {
    ShellTestEnv env;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        frmLogon logon;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        logon.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    }
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The title bar shows "Brevant Desktop - Connect" whole: the window is as wide as the title in
// the bar's (bold) font plus the bar's icon and three buttons, and cannot be made narrower.
TEST(Logon, TheWindowIsWideEnoughForItsWholeTitle) {
    ShellTestEnv env;
    frmLogon logon;
    logon.show();
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int title = QFontMetrics(font).horizontalAdvance(logon.windowTitle());
    const int bar = logon.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &logon);
    EXPECT_EQ(logon.windowTitle(), QStringLiteral("Brevant Desktop - Connect"));
    EXPECT_GE(logon.width(), title + 4 * bar) << "title " << title << ", bar " << bar;
    EXPECT_GE(logon.minimumWidth(), title + 4 * bar);
    logon.close();
}

TEST(Shutdown, ClosingWhileBusyAsksAndNoKeepsEverythingRunning) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    w.show();
    w.DocumentsBusy = true;
    ui.answerMessage(ui::Answer::No);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.DocumentsBusy);
    ASSERT_NE(modResources::DbConnection, nullptr);
    EXPECT_TRUE(modResources::DbConnection->isOpen());
    EXPECT_EQ(ui.last().text, QStringLiteral("System Currently Processing - Close Anyway? ..."));
    EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
    EXPECT_EQ(ui.last().icon, ui::Icon::Critical);
    EXPECT_EQ(ui.last().buttons, ui::Buttons::YesNo);

    ui.answerMessage(ui::Answer::Yes);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(modResources::DbConnection, nullptr);
}

TEST(Shutdown, IdleCloseAsksNothing) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    w.show();
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST(Shutdown, ColumnWidthsAreStoredPerCaptionAndReadBack) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    const int dpi = 96;
    {
        frmMain w;
        w.Form_Load();
        auto* list1 = w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        auto* list3 = w.findChild<QTreeWidget*>(QStringLiteral("ListView3"));
        auto* list4 = w.findChild<QTreeWidget*>(QStringLiteral("ListView4"));
        // Built-in widths first: "TITLE" 5000 twips.
        EXPECT_EQ(list1->columnWidth(1), store::twipsToPixels(5000, w.logicalDpiX()));
        list1->setColumnWidth(1, 300);
        list3->setColumnWidth(1, 120);
        list4->setColumnWidth(1, 210);
        w.setAttachmentViewMode(0);
        w.Form_Unload();
    }
    EXPECT_EQ(ReadSetting(QStringLiteral("TITLE")), QString::number(300 * 1440 / dpi));
    EXPECT_EQ(ReadSetting(QStringLiteral("SPEC DESC.")), QString::number(120 * 1440 / dpi));
    EXPECT_EQ(ReadSetting(QStringLiteral("A_SPEC DESC.")), QString::number(210 * 1440 / dpi));
    EXPECT_EQ(ReadSetting(QStringLiteral("BID DATE")), QString::number(117 * 1440 / dpi));
    EXPECT_EQ(ReadSetting(QStringLiteral("ATTACHLIST")), QStringLiteral("0"));
    // Shutdown compacted the database into place and left no temporary copy.
    EXPECT_TRUE(QFileInfo::exists(env.work() + QStringLiteral("/Desktop.mdb")));
    EXPECT_FALSE(QFileInfo::exists(env.work() + QStringLiteral("/#db1.mdb")));

    frmMain again;
    again.Form_Load();
    EXPECT_EQ(again.findChild<QTreeWidget*>(QStringLiteral("ListView1"))->columnWidth(1), 300);
    EXPECT_EQ(again.findChild<QTreeWidget*>(QStringLiteral("ListView3"))->columnWidth(1), 120);
    EXPECT_EQ(again.findChild<QTreeWidget*>(QStringLiteral("ListView4"))->columnWidth(1), 210);
    EXPECT_EQ(again.attachmentViewMode(), 0);
}
