// The program itself with the store options, as a firm's script runs it: --migrate-store copies
// this computer's projects into a firm store (and says so, table by table), refuses a filled one
// without --merge, has nothing to do the second time; --store points a window-less command at
// another store, and a password in it is used but never written or shown.
#include "ShellTestEnv.h"

#include "PgScratch.h"
#include "shell/MigrateStore.h"

#include <QTest>
#include <QThread>

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using brevant::shell::test::ShellTestEnv;

namespace {

struct Outcome {
    int code = -1;
    QString out, err;
};

class StoreCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (!scratch_.create(&why))
            GTEST_SKIP() << why.toStdString();
        db_ = env_.createDatabase();
        ShellTestEnv::execute(
            db_, {ShellTestEnv::insertProject(7, "POOL", "04/15/2027 1:30:00 PM", false, true),
                  ShellTestEnv::insertProject(8, "GYM", "01/01/1900", false, true),
                  "Insert into Plans (JobID, File) values (7, 'A1.PDF')"});
    }

    Outcome run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(BREVANT_EXE), args);
        EXPECT_TRUE(p.waitForFinished(300000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    // Every file of the test's program folder and settings that holds text.
    bool anyFileHolds(const QByteArray& text) {
        QDirIterator it(env_.path(QString()), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(text))
                return true;
        }
        return false;
    }

    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    pgtest::ScratchSchema scratch_;
    ShellTestEnv env_;
    QString db_;
};

TEST_F(StoreCommandLine, MigratesThenHasNothingToDoThenRefusesOrMerges) {
    SQLITE_FILE_ONLY("the migration's source is this computer's Desktop.mdb");
    const QString target = scratch_.locator();
    Outcome r = run({"--migrate-store", target});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains("Projects: 2 of 2 rows copied")) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains("Plans: 1 of 1 rows copied")) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains("100% (3 of 3 rows)")) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains("3 rows were copied")) << qPrintable(r.out);

    r = run({"--migrate-store", target});
    EXPECT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains("Nothing to do")) << qPrintable(r.out);

    ShellTestEnv::execute(db_,
                          {ShellTestEnv::insertProject(9, "TRACK", "03/01/2027", true, false)});
    r = run({"--migrate-store", target});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains("--merge")) << qPrintable(r.err);
    r = run({"--migrate-store", target, "--merge"});
    EXPECT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains("Projects: 1 of 3 rows copied, 2 there already"))
        << qPrintable(r.out);

    // Not a PostgreSQL store, or no command for --store: refused before anything is opened.
    EXPECT_EQ(run({"--migrate-store", env_.path("other.mdb")}).code, 2);
    EXPECT_EQ(run({"--store", target}).code, 2);
}

TEST_F(StoreCommandLine, StoreOptionPointsACommandElsewhereAndKeepsItsPasswordToItself) {
    SQLITE_FILE_ONLY("it points from this computer's file to another store");
    ASSERT_EQ(run({"--migrate-store", scratch_.locator()}).code, 0);
    // Only the firm store learns of project 11; this computer's file does not have it.
    {
        brevant::db::Connection c;
        c.open(scratch_.locator());
        c.execute("Insert into Projects (Job_ID, Name, Tracked) values (11, 'FIRM ONLY', TRUE)");
    }
    const QString csv = env_.path("firm.csv");
    const QString locator = scratch_.locator() + " password=s3cr3t-pw";
    Outcome r = run({"--export-list", csv, "--store", locator});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(read(csv).contains("FIRM ONLY"));
    EXPECT_FALSE(r.out.contains("s3cr3t") || r.err.contains("s3cr3t"));
    EXPECT_FALSE(anyFileHolds("s3cr3t")) << "the password was written down";

    // Without --store the same command reads the settings' store again.
    r = run({"--export-list", csv});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_FALSE(read(csv).contains("FIRM ONLY"));

    // A file store named by --store that is not there is an error, not a new empty database.
    const QString missing = env_.path("nowhere/Desktop.mdb");
    EXPECT_EQ(run({"--export-calendar", env_.path("bids.ics"), "--store", missing}).code, 1);
    EXPECT_FALSE(QFile::exists(missing));
}

// The File menu's migration: off the window's thread, progress and the end reported on it; a
// cancel leaves the firm store empty.
TEST_F(StoreCommandLine, WindowMigrationWorksOffTheWindowThreadAndReportsOnIt) {
    SQLITE_FILE_ONLY("the migration's source is this computer's Desktop.mdb");
    const auto source = brevant::db::StoreLocator::parse(db_);
    const auto target = brevant::db::StoreLocator::parse(scratch_.locator());
    QObject context;
    auto cancel = std::make_shared<std::atomic<bool>>(true);
    std::optional<brevant::shell::MigrationRun> ended;
    auto done = [&ended](const brevant::shell::MigrationRun& r) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        ended = r;
    };
    brevant::shell::StartMigration(&context, source, target, false, cancel, {}, done);
    QTRY_VERIFY_WITH_TIMEOUT(ended.has_value(), 300000);
    ASSERT_TRUE(ended->result) << qPrintable(ended->failure);
    EXPECT_EQ(ended->result->outcome, brevant::db::MigrationResult::Outcome::Cancelled);

    ended.reset();
    *cancel = false;
    bool progressOnWindowThread = true;
    qint64 lastDone = 0;
    brevant::shell::StartMigration(
        &context, source, target, false, cancel,
        [&](const brevant::db::MigrationProgress& p) {
            progressOnWindowThread =
                progressOnWindowThread && QThread::currentThread() == qApp->thread();
            lastDone = p.done;
        },
        done);
    QTRY_VERIFY_WITH_TIMEOUT(ended.has_value(), 300000);
    ASSERT_TRUE(ended->result) << qPrintable(ended->failure);
    EXPECT_EQ(ended->result->outcome, brevant::db::MigrationResult::Outcome::Copied);
    EXPECT_EQ(ended->result->copied(), 3);
    EXPECT_EQ(lastDone, 3);
    EXPECT_TRUE(progressOnWindowThread);
}

} // namespace
