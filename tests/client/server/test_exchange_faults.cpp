// The exchange when the service misbehaves on purpose: replies in small or dripping pieces, a
// reply that never ends or drips below the slowest rate kept, a dropped connection, broken XML,
// empty and hostile archives (names that leave the folder or name a file of the program), HTTP
// errors and a slow download.
#include "ImportDatabase.h"
#include "SearchDriver.h"
#include "base/Settings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

using namespace test;

struct ImportRun {
    int offeredBefore = -1, offeredAfter = -1;
    QList<int> progress;
    bool barVisibleAfter = true;
    bool controlsEnabledAfter = false;
    bool busyAfter = true;
};

// Searches the sections 01000-01999 and imports the first project offered (or all of them).
ImportRun searchAndImportFirst(ExchangeTestEnv& env, bool all = false) {
    ImportRun run;
    frmFind find;
    type(find, "txtCSI_0", "01000");
    type(find, "txtCSI_1", "01999");
    whenTrackShown([&](frmTrack& t) {
        run.offeredBefore = offeredIds(t).size();
        listOf(t)->topLevelItem(0)->setCheckState(0, Qt::Checked);
        if (all)
            t.selectAll(true);
        auto* bar = t.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { run.progress << v; });
        t.ImportProjects();
        waitUntil([&] { return !t.Busy; }, 60000);
        run.busyAfter = t.Busy;
        run.offeredAfter = offeredIds(t).size();
        run.barVisibleAfter = bar->isVisible();
        run.controlsEnabledAfter =
            t.findChild<QPushButton*>(QStringLiteral("Command2"))->isEnabled() &&
            listOf(t)->isEnabled();
    });
    EXPECT_TRUE(runSearch(find));
    (void)env;
    return run;
}

class Faults : public ::testing::Test {
protected:
    std::unique_ptr<ExchangeTestEnv> env;
    std::unique_ptr<RecordingMainWindow> main;
    void start(const QStringList& options) {
        main.reset();
        env.reset();
        env = std::make_unique<ExchangeTestEnv>(options);
        ASSERT_TRUE(env->service.started()) << env->service.errorText().toStdString();
        openClientDatabase(*env);
        main = std::make_unique<RecordingMainWindow>();
    }
    void TearDown() override {
        main.reset();
        env.reset();
    }
    QStringList shownMessages() const { return messages(env->ui); }
};

TEST_F(Faults, SmallAndDrippingPiecesAreJoined) {
    start({"--chunk", "700", "--chunk-delay", "1"});
    ImportRun run = searchAndImportFirst(*env);
    EXPECT_EQ(shownMessages(), QStringList());
    EXPECT_EQ(count("Projects"), 1);
    EXPECT_EQ(run.offeredAfter, run.offeredBefore - 1);

    // The listing reply one byte at a time.
    start({"--chunk", "1", "--chunk-delay", "2", "--fault-kind", "2"});
    run = searchAndImportFirst(*env);
    EXPECT_EQ(shownMessages(), QStringList());
    EXPECT_EQ(count("Projects"), 1);
}

// A reply that never ends, and one dripping a byte every 100 ms: the drip restarts the idle
// time-out each time but is far below the slowest reply kept, so both end through the same
// error path.
TEST_F(Faults, RepliesThatNeverEndOrDripTimeOut) {
    const std::pair<QStringList, QString> cases[] = {
        {{"--no-terminator", "--fault-kind", "1"},
         "Error communicating with server - 10060 Connection timed out (no answer from the "
         "server for 1 seconds)"},
        {{"--chunk", "1", "--chunk-delay", "100", "--fault-kind", "1"},
         "Error communicating with server - 10060 Connection timed out (the server sent less "
         "than 2 KB a second)"}};
    for (const auto& [options, expected] : cases) {
        start(options);
        WriteSetting(QStringLiteral("SERVERTIMEOUT"), QStringLiteral("1"));
        frmFind find;
        type(find, "txtJobName", "School");
        ASSERT_TRUE(runSearch(find));
        EXPECT_EQ(shownMessages(), QStringList{expected});
        EXPECT_EQ(env->ui.last().title, QStringLiteral("System Error"));
        EXPECT_EQ(env->ui.last().icon, ui::Icon::Critical);
        EXPECT_FALSE(find.WireletFind->control().connected());
        EXPECT_TRUE(find.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
        EXPECT_TRUE(find.findChild<QLabel*>(QStringLiteral("lblStatus"))->text().isEmpty());
    }
}

TEST_F(Faults, ADroppedConnectionIsACommunicationError) {
    start({"--drop-after", "40", "--fault-kind", "1"});
    frmFind find;
    type(find, "txtBidDate_0", "1/1/2027");
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(shownMessages(),
              QStringList{"Error communicating with server - 10054 Connection reset by peer"});
    EXPECT_FALSE(find.Busy);

    // The listing connection dropped: the dialog keeps its rows and can be used again.
    start({"--drop-after", "10", "--fault-kind", "2"});
    const ImportRun run = searchAndImportFirst(*env);
    EXPECT_EQ(shownMessages(),
              QStringList{"Error communicating with server - 10054 Connection reset by peer"});
    EXPECT_EQ(run.offeredAfter, run.offeredBefore);
    EXPECT_TRUE(run.controlsEnabledAfter);
    EXPECT_EQ(count("Projects"), 0);
}

TEST_F(Faults, BrokenXmlInSearchAndListing) {
    start({"--broken-xml", "--fault-kind", "1"});
    frmFind find;
    type(find, "txtJobName", "School");
    ASSERT_TRUE(runSearch(find));
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_TRUE(shownMessages()[0].startsWith("Error parsing results.\r\n"));
    EXPECT_EQ(env->ui.last().title, QStringLiteral("System Error"));

    start({"--broken-xml", "--fault-kind", "2"});
    const ImportRun run = searchAndImportFirst(*env);
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_TRUE(shownMessages()[0].startsWith("Error parsing results ...\r\n"));
    EXPECT_EQ(count("Projects"), 0);
    EXPECT_EQ(run.offeredAfter, run.offeredBefore); // nothing was imported, nothing removed
    EXPECT_FALSE(run.busyAfter);
    EXPECT_TRUE(QDir(env->home()).entryList({"listing-*"}, QDir::Files).isEmpty());
}

TEST_F(Faults, EmptyAndHostileArchivesAreNotUnpacked) {
    for (const char* fault : {"--empty-archive", "--hostile-names"}) {
        start({fault});
        const ImportRun run = searchAndImportFirst(*env);
        EXPECT_EQ(shownMessages(), QStringList{"Error un-packing project listing file ..."})
            << fault;
        EXPECT_EQ(env->ui.last().icon, ui::Icon::Critical);
        EXPECT_FALSE(run.barVisibleAfter);
        EXPECT_TRUE(run.controlsEnabledAfter);
        EXPECT_EQ(count("Projects"), 0);
        // Nothing written outside the program folder; the archive stays in Download, and the
        // folder made for unpacking it is gone.
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/brevant-hostile-x")));
        EXPECT_FALSE(QFile::exists(env->path(QStringLiteral("x"))));
        EXPECT_FALSE(QFile::exists(env->home() + QStringLiteral("/x")));
        EXPECT_EQ(QDir(env->home() + "/Download").entryList(QDir::Files).size(), 1);
        EXPECT_TRUE(
            QDir(env->home() + "/Download").entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }
}

// The listing archive's entry is named like the database the client keeps in its program
// folder (in another case): the import reads it from a folder of its own, the database stays,
// and neither the archive nor the unpacked document is left in "Download".
TEST_F(Faults, AListingEntryNamedLikeTheDatabaseReplacesNothing) {
    SQLITE_FILE_ONLY("an archive entry named like the database file");
    main.reset();
    env.reset();
    env = std::make_unique<ExchangeTestEnv>(QStringList{"--entry-name", "desktop.MDB"});
    ASSERT_TRUE(env->service.started()) << env->service.errorText().toStdString();
    const QString database = env->createDatabase(env->home());
    modResources::DbConnection = std::make_unique<db::Connection>();
    modResources::DbConnection->open(database);
    main = std::make_unique<RecordingMainWindow>();
    for (const char* name : {"brevant.lock", "current.rtf"}) {
        QFile f(env->home() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kept");
    }

    const ImportRun run = searchAndImportFirst(*env);
    EXPECT_EQ(shownMessages(), QStringList());
    EXPECT_EQ(run.offeredAfter, run.offeredBefore - 1);
    modResources::DbConnection.reset();
    ASSERT_TRUE(QFile::exists(database));
    modResources::DbConnection = std::make_unique<db::Connection>();
    modResources::DbConnection->open(database);
    EXPECT_EQ(count("Projects"), 1);
    for (const char* name : {"brevant.lock", "current.rtf"}) {
        QFile f(env->home() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(f.readAll(), QByteArray("kept"));
    }
    EXPECT_EQ(QDir(env->home() + "/Download")
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(Faults, HttpErrorsAndASlowTransfer) {
    for (const char* status : {"404", "500"}) {
        start({"--http-status", status});
        const ImportRun run = searchAndImportFirst(*env);
        EXPECT_EQ(shownMessages(), QStringList{"Error downloading project listing file ..."});
        EXPECT_EQ(env->ui.last().icon, ui::Icon::Critical);
        EXPECT_FALSE(run.barVisibleAfter);
        EXPECT_FALSE(run.busyAfter);
        EXPECT_EQ(run.offeredAfter, run.offeredBefore);
        EXPECT_TRUE(QDir(env->home() + "/Download").entryList(QDir::Files).isEmpty());
    }

    start({"--http-slow", "3"});
    const ImportRun run = searchAndImportFirst(*env, true);
    EXPECT_EQ(shownMessages(), QStringList());
    EXPECT_EQ(count("Projects"), run.offeredBefore);
    ASSERT_GE(run.progress.size(), 3);
    EXPECT_TRUE(std::is_sorted(run.progress.begin(), run.progress.end()));
    EXPECT_LT(run.progress.first(), run.progress.last());
}

} // namespace
} // namespace brevant::server
