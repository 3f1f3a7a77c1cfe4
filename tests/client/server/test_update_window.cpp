// "Check for Updates on Selected Project(s)" driven through the main window against
// brevant-service: the database holds the service's catalogue as an import leaves it, and each
// check moves the asked projects on by one generation on the service's side.
#include "ExchangeTestEnv.h"
#include "SearchDriver.h"
#include "UpdateFixture.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "server/ServerSession.h"
#include "server/UpdateCheck.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::server::test;
using brevant::service::test::ServiceProcess;

namespace {

constexpr int kUnset = 210024; // the catalogue project whose bid date is not set (checked below)

// A client whose database and service start from the same catalogue.
class UpdateWindow : public shell::test::ShellTestEnv {
public:
    // exported false: the client starts with an empty database and the service's catalogue.
    explicit UpdateWindow(const QStringList& serviceOptions = {}, bool exported = true) {
        const QString store = createDatabase();
        if (exported)
            exportCatalogue(data_.path(), store);
        service = std::make_unique<ServiceProcess>(serviceOptions, data_.path());
        ExchangeTestEnv::pointTo(service->port);
        modResources::UserName = "test";
        modResources::Password = "secret";
        window = std::make_unique<shell::frmMain>();
        window->Form_Load();
        ui.clear();
    }
    ~UpdateWindow() { window.reset(); }

    QTreeWidget* list() const { return window->findChild<QTreeWidget*>("ListView1"); }
    QTreeWidgetItem* row(int id) const { return window->FindProjectRow(id); }
    int icon(int id) const { return row(id)->data(0, Qt::UserRole + 1).toInt(); }
    void tick(const QList<int>& ids) {
        for (int id : ids)
            row(id)->setCheckState(0, Qt::Checked);
    }
    void select(int id) { list()->setCurrentItem(row(id)); }

    // Runs the command from the menu and waits until it has ended.
    void check() {
        window->findChild<QAction*>("mnuList_Update")->trigger();
        ASSERT_TRUE(waitUntil([&] { return !window->UpdateBusy; }, 60000));
    }
    bool commandsEnabled() const {
        return list()->isEnabled() &&
               window->findChild<QAction*>("Toolbar1_Button13")->isEnabled() &&
               window->findChild<QMenu*>("mnuList")->menuAction()->isEnabled();
    }

    QStringList column(const QString& sql) {
        db::Recordset rs;
        rs.open(sql, *modResources::DbConnection);
        QStringList out;
        while (!rs.eof()) {
            out << rs.field(0).toString();
            rs.moveNext();
        }
        return out;
    }
    QStringList updates(int id) {
        return column(QString("Select [Update] from [Updates] where [JobID] = %1").arg(id));
    }
    QStringList history(int id) { return historyRows(*modResources::DbConnection, id); }

    QTemporaryDir data_;
    std::unique_ptr<ServiceProcess> service;
    std::unique_ptr<shell::frmMain> window;
    ui::ScopedScriptedUi ui;
};

class UpdateWindowTest : public ::testing::Test {};

TEST_F(UpdateWindowTest, TwoChecksKeepTheLatestLogAndTheWholeHistory) {
    UpdateWindow w;
    ASSERT_TRUE(w.service->started()) << w.service->errorText().toStdString();
    ASSERT_EQ(w.row(kUnset)->text(0), "No Date Set");
    w.select(210001);
    w.tick({210001, kUnset});
    WriteSetting("LASTUPDATE", "01/01/2020");
    w.check();
    ASSERT_EQ(messages(w.ui),
              QStringList{"Are you sure want to check for updates on the selected record(s)?"});
    EXPECT_EQ(w.ui.shown()[0].title, "System Prompt");
    EXPECT_EQ(ReadSetting("LASTUPDATE"), QDate::currentDate().toString("MM/dd/yyyy"));
    EXPECT_TRUE(w.commandsEnabled());
    EXPECT_TRUE(server::PendingUpdateArgument.isEmpty());

    // Generation 1: a new bid date, a new section and a new bidder for each.
    const QStringList first = w.updates(kUnset);
    ASSERT_EQ(first.size(), 3) << first.join("\n").toStdString();
    EXPECT_TRUE(first[0].startsWith("BID DATE CHANGED FROM No Date Set TO "))
        << first[0].toStdString();
    EXPECT_TRUE(first[1].startsWith("SPECIFICATION ADDED - NEW VALUE: "));
    EXPECT_TRUE(first[2].startsWith("CONTACT ADDED - NEW VALUE: ") &&
                first[2].endsWith(" - BIDDER"));
    EXPECT_EQ(w.updates(210001).size(), 3);
    EXPECT_EQ(w.icon(210001), 15);
    EXPECT_EQ(w.icon(kUnset), 15);
    EXPECT_NE(w.row(kUnset)->text(0), "No Date Set");
    EXPECT_TRUE(w.row(kUnset)->font(0).bold());
    EXPECT_FALSE(w.row(210002)->font(0).bold());
    // The selected project's views show what was merged.
    auto* updatesBox = w.window->findChild<QTextEdit*>("Updates");
    EXPECT_TRUE(updatesBox->toPlainText().contains(w.updates(210001)[1]))
        << updatesBox->toPlainText().toStdString();
    EXPECT_TRUE(updatesBox->toPlainText().contains("Earlier changes"));
    const QStringList firstHistory = w.history(kUnset);

    // Generation 2: a plan page and a low bidder; the description edited (not logged).
    w.ui.clear();
    w.tick({210001, kUnset});
    w.check();
    const QStringList second = w.updates(kUnset);
    ASSERT_EQ(second.size(), 2) << second.join("\n").toStdString();
    EXPECT_TRUE(second[0].startsWith("PLAN PAGE ADDED: "));
    EXPECT_TRUE(second[1].startsWith("AWARDS / LOW BIDDER(S) ADDED - "));
    for (const QString& row : second)
        EXPECT_FALSE(first.contains(row));
    // The history keeps the first check's rows and adds the second's, with old and new values.
    const QStringList history = w.history(kUnset);
    EXPECT_EQ(history.mid(0, firstHistory.size()), firstHistory);
    EXPECT_TRUE(firstHistory.first().startsWith("Due_Date|No Date Set|"));
    bool description = false;
    for (const QString& h : history.mid(firstHistory.size()))
        description = description || h.startsWith("Description|");
    EXPECT_TRUE(description) << history.join("\n").toStdString();
    EXPECT_EQ(history.size(), firstHistory.size() + 3);
    // Clicking the row puts its state icon back.
    w.list()->setCurrentItem(w.row(kUnset));
    Q_EMIT w.list()->itemClicked(w.row(kUnset), 0);
    EXPECT_EQ(w.icon(kUnset), 24);
}

// The whole way an estimator goes: find projects, import two, check them twice.
TEST_F(UpdateWindowTest, SearchImportAndTwoChecks) {
    UpdateWindow w({}, false);
    ASSERT_TRUE(w.service->started()) << w.service->errorText().toStdString();
    ASSERT_EQ(w.list()->topLevelItemCount(), 0);
    // One search by name for each project (the second on the connection the first left open).
    server::frmFind find(w.window.get());
    for (int id : {210001, kUnset}) {
        db::Connection catalogue;
        catalogue.openReadOnly(w.service->dataDir() + "/catalogue.db", {"Job Information"});
        db::Recordset rs;
        rs.open(QString("SELECT Name FROM [Job Information] WHERE Job_ID=%1").arg(id), catalogue);
        ASSERT_FALSE(rs.eof());
        type(find, "txtJobName", rs.field(0).toString());
        whenTrackShown([&](server::frmTrack& t) {
            QTreeWidget* list = listOf(t);
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                if (list->topLevelItem(i)->data(0, Qt::UserRole).toInt() == id)
                    list->topLevelItem(i)->setCheckState(0, Qt::Checked);
            }
            t.ImportProjects();
            ASSERT_TRUE(waitUntil([&] { return !t.Busy; }));
        });
        ASSERT_TRUE(runSearch(find));
    }
    find.close();
    ASSERT_EQ(w.column("SELECT Job_ID FROM Projects ORDER BY Job_ID"),
              QStringList({"210001", QString::number(kUnset)}));
    ASSERT_NE(w.row(kUnset), nullptr); // the list was reloaded after the import
    EXPECT_EQ(w.row(kUnset)->text(0), "No Date Set");

    w.ui.clear();
    w.tick({210001, kUnset});
    w.check();
    const QStringList first = w.updates(kUnset);
    ASSERT_EQ(first.size(), 3) << messages(w.ui).join('|').toStdString();
    EXPECT_TRUE(first[0].startsWith("BID DATE CHANGED FROM No Date Set TO "));
    const QStringList firstHistory = w.history(kUnset);
    w.tick({210001, kUnset});
    w.check();
    const QStringList second = w.updates(kUnset);
    ASSERT_EQ(second.size(), 2);
    for (const QString& row : first)
        EXPECT_FALSE(second.contains(row)); // the log holds the latest check only ...
    const QStringList history = w.history(kUnset);
    EXPECT_EQ(history.mid(0, firstHistory.size()), firstHistory); // ... the history both
    EXPECT_GT(history.size(), firstHistory.size());
    EXPECT_EQ(w.icon(kUnset), 15);
}

TEST_F(UpdateWindowTest, NothingTickedIsToldAndDecliningStillNotesTheCheck) {
    UpdateWindow w;
    ASSERT_TRUE(w.service->started());
    WriteSetting("LASTUPDATE", "01/01/2020");
    w.check();
    ASSERT_EQ(w.ui.shown().size(), 1);
    EXPECT_EQ(w.ui.last().text, "No projects selected to update ...");
    EXPECT_EQ(w.ui.last().title, "System Message");
    EXPECT_EQ(w.ui.last().icon, ui::Icon::Information);
    EXPECT_EQ(ReadSetting("LASTUPDATE"), "01/01/2020");
    EXPECT_TRUE(w.commandsEnabled());

    w.ui.clear();
    w.tick({210002});
    w.ui.answerMessage(ui::Answer::No);
    w.check();
    EXPECT_EQ(ReadSetting("LASTUPDATE"), QDate::currentDate().toString("MM/dd/yyyy"));
    EXPECT_TRUE(w.updates(210002).isEmpty());
    EXPECT_TRUE(w.commandsEnabled());
    EXPECT_FALSE(w.window->findChild<QWidget*>("frmWait") &&
                 w.window->findChild<QWidget*>("frmWait")->isVisible());

    // A cancelled logon ends the command without a request and without LASTUPDATE.
    WriteSetting("LASTUPDATE", "01/01/2020");
    modResources::Password.clear();
    server::exchangeEnvironment().showLogon = [] { modResources::LogonCancelled = true; };
    w.check();
    EXPECT_EQ(ReadSetting("LASTUPDATE"), "01/01/2020");
    EXPECT_TRUE(w.commandsEnabled());
}

TEST_F(UpdateWindowTest, RefusedWhileDocumentsAreRetrieved) {
    UpdateWindow w;
    w.tick({210002});
    w.window->DocumentsBusy = true;
    w.window->findChild<QAction*>("mnuList_Update")->trigger();
    ASSERT_EQ(w.ui.shown().size(), 1);
    EXPECT_TRUE(w.ui.last().text.startsWith("Documents are being retrieved"));
    EXPECT_FALSE(w.window->UpdateBusy);
    EXPECT_TRUE(w.commandsEnabled());
}

struct Failure {
    QStringList serviceOptions;
    QString message;
    bool lastUpdate; // written: the request had gone out
};

TEST_F(UpdateWindowTest, EveryFailureEndsWithTheCommandsBack) {
    const Failure failures[] = {
        {{"--broken-xml", "--fault-kind", "3"}, "Error parsing results.\r\n", true},
        {{"--hostile-names", "--fault-kind", "3"},
         "Error un-packing project update file ...",
         true},
        {{"--empty-archive", "--fault-kind", "3"},
         "Error un-packing project update file ...",
         true},
        {{"--http-status", "500"}, "Error downloading project update file ...", true},
        {{"--drop-after", "3", "--fault-kind", "3"}, "Error communicating with server - ", true},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.serviceOptions.join(' ').toStdString());
        UpdateWindow w(f.serviceOptions);
        ASSERT_TRUE(w.service->started());
        w.tick({210003});
        WriteSetting("LASTUPDATE", "01/01/2020");
        w.check();
        const QStringList shown = messages(w.ui);
        ASSERT_EQ(shown.size(), 2) << shown.join("\n").toStdString();
        EXPECT_TRUE(shown[1].startsWith(f.message)) << shown[1].toStdString();
        EXPECT_TRUE(w.updates(210003).isEmpty());
        EXPECT_TRUE(w.commandsEnabled());
        EXPECT_FALSE(w.window->UpdateBusy);
        EXPECT_TRUE(server::PendingUpdateArgument.isEmpty());
        EXPECT_EQ(ReadSetting("LASTUPDATE") != "01/01/2020", f.lastUpdate);
        EXPECT_EQ(w.icon(210003), 24);
        // Nothing landed outside the program folder.
        EXPECT_FALSE(QFile::exists("/tmp/brevant-hostile-x"));
        EXPECT_FALSE(QFile::exists(w.home() + "/../x"));
    }
    // A refusal shows the service's text.
    UpdateWindow w;
    modResources::Password = "wrong";
    w.tick({210003});
    w.check();
    const QStringList shown = messages(w.ui);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], "Invalid user name or password -- Please check them and try again ...");
    EXPECT_TRUE(w.commandsEnabled());
}

TEST_F(UpdateWindowTest, IconsTellWhetherAnythingNewWasLogged) {
    UpdateWindow w;
    const QString doc = w.home() + "/update-hand";
    QFile f(doc);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // 210005 with its stored values only; 210006 with a section it does not have.
    f.write("<?xml version=\"1.0\"?><Jobs><Job Job_ID=\"210005\"><Project/><Specs/><Plans/>"
            "<Contacts/><Awards/></Job><Job Job_ID=\"210006\"><Project/><Specs><Spec "
            "Name=\"99999\" Description=\"Brand new\"/></Specs><Plans/><Contacts/><Awards/>"
            "</Job></Jobs>");
    f.close();
    w.window->UpdateBusy = true;
    server::MergeProjectUpdates(doc);
    EXPECT_EQ(w.icon(210005), 14);
    EXPECT_EQ(w.icon(210006), 15);
    EXPECT_EQ(w.icon(210007), 24);
    EXPECT_FALSE(w.window->UpdateBusy);
    EXPECT_FALSE(QFile::exists(doc));
}

// The window-less check, as the program runs it from a timer, leaves what the menu leaves.
TEST_F(UpdateWindowTest, CommandLineCheckMatchesTheWindowsCommand) {
    const QList<int> ids = {210001, kUnset};
    QMap<int, QStringList> windowRows;
    {
        UpdateWindow w;
        w.tick(ids);
        w.check();
        for (int id : ids)
            windowRows[id] = w.updates(id) + w.history(id);
    }
    UpdateWindow w;
    w.window.reset();
    shell::CloseDatabase();
    shell::test::ShellTestEnv::execute(
        w.store(), {"Update [Projects] set [Tracked] = TRUE where [Job_ID] in (210001, "
                    "210024)"});
    QProcess brevant;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("BREVANT_PASSWORD");
    brevant.setProcessEnvironment(env);
    brevant.start(BREVANT_EXE, {"--check-updates", "--tracked", "--user", "test"});
    ASSERT_TRUE(brevant.waitForStarted());
    brevant.write("secret\n");
    brevant.closeWriteChannel();
    ASSERT_TRUE(brevant.waitForFinished(120000));
    const QString out = QString::fromUtf8(brevant.readAllStandardOutput());
    EXPECT_EQ(brevant.exitCode(), 0) << brevant.readAllStandardError().toStdString();
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("210001 ") && lines[0].contains(": 3 new, "))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("210024 ")) << lines[1].toStdString();

    modResources::DbConnection = std::make_unique<db::Connection>();
    modResources::DbConnection->open(w.store());
    for (int id : ids) {
        EXPECT_EQ(w.updates(id) + w.history(id), windowRows[id]) << id;
    }

    // A wrong password fails with its reason and a non-zero status.
    brevant.setProcessEnvironment([&] {
        QProcessEnvironment e = env;
        e.insert("BREVANT_PASSWORD", "wrong");
        return e;
    }());
    brevant.start(BREVANT_EXE, {"--check-updates", "--jobs", "210001", "--user", "test"});
    ASSERT_TRUE(brevant.waitForFinished(120000));
    EXPECT_EQ(brevant.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(brevant.readAllStandardError()).contains("Invalid user name"));
    // Neither --tracked nor --jobs: a usage error.
    brevant.start(BREVANT_EXE, {"--check-updates", "--user", "test"});
    ASSERT_TRUE(brevant.waitForFinished(60000));
    EXPECT_EQ(brevant.exitCode(), 2);
}

QString statusText(const shell::frmMain& window) {
    return window.findChild<QLabel*>("Panel1")->text();
}

// The check ends saying what it found and stays on the rows it changed.
TEST_F(UpdateWindowTest, StatusCountsTheCheckAndTheWindowStaysOnTheChangedRows) {
    UpdateWindow w;
    ASSERT_TRUE(w.service->started()) << w.service->errorText().toStdString();
    // Far down the list, away from the project on screen.
    QList<int> ids;
    for (int i = 0; i < w.list()->topLevelItemCount(); ++i)
        ids << w.list()->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    ASSERT_GE(ids.size(), 40);
    w.select(ids[0]);
    w.tick({ids[30], ids[35]});
    w.check();
    EXPECT_EQ(statusText(*w.window), "2 checked, 2 changed");
    EXPECT_EQ(w.list()->currentItem(), w.row(ids[30]));
    EXPECT_EQ(w.window->selectedJobId(), ids[30]);
    EXPECT_EQ(w.icon(ids[30]), 15) << "made current, it keeps its update marker";
    auto* updatesBox = w.window->findChild<QTextEdit*>("Updates");
    EXPECT_TRUE(updatesBox->toPlainText().contains(w.updates(ids[30]).value(0)));

    // A project on screen that changed stays the current one.
    w.select(ids[35]);
    w.tick({ids[30], ids[35]});
    w.check();
    EXPECT_EQ(w.list()->currentItem(), w.row(ids[35]));
}

// The update reply is held by the service until the test lets it go.
class HeldUpdate {
public:
    QString gate() const { return dir_.filePath("go"); }
    void release() {
        QFile f(gate());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QStringList options() const { return {"--fault-kind", "3", "--hold-until", gate()}; }

private:
    QTemporaryDir dir_;
};

TEST_F(UpdateWindowTest, CancelWhileWaitingMergesNothingAndGivesTheWindowBack) {
    HeldUpdate held;
    UpdateWindow w(held.options());
    ASSERT_TRUE(w.service->started()) << w.service->errorText().toStdString();
    const QString before = w.column("Select Description from Projects where Job_ID = 210001")[0];
    w.tick({210001});
    w.window->findChild<QAction*>("mnuList_Update")->trigger();
    ASSERT_TRUE(w.window->UpdateBusy);
    QWidget* wait = nullptr;
    for (QWidget* candidate : w.window->findChildren<QWidget*>("frmWait"))
        wait = candidate->isVisible() ? candidate : wait;
    ASSERT_NE(wait, nullptr);
    auto* cancel = wait->findChild<QPushButton*>("cmdCancel");
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(cancel->isVisible());
    cancel->click();
    EXPECT_FALSE(w.window->UpdateBusy);
    EXPECT_TRUE(w.commandsEnabled());
    EXPECT_EQ(statusText(*w.window), server::UpdateCancelledText());
    EXPECT_TRUE(server::PendingUpdateArgument.isEmpty());
    EXPECT_TRUE(w.updates(210001).isEmpty());
    EXPECT_EQ(w.column("Select Description from Projects where Job_ID = 210001")[0], before);

    // The window is whole again: the next check runs to its end.
    held.release();
    w.ui.clear();
    w.tick({210001});
    w.check();
    EXPECT_EQ(messages(w.ui),
              QStringList{"Are you sure want to check for updates on the selected record(s)?"});
    EXPECT_FALSE(w.updates(210001).isEmpty());
    EXPECT_EQ(statusText(*w.window), "1 checked, 1 changed");
}

} // namespace
