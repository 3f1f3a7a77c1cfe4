// A merge killed with SIGKILL at any statement leaves every project either fully merged or
// exactly as it was. The helper stops after each statement until the test lets it go on, so
// the kill lands at a known point inside a project's transaction, with no timing involved.
#include "UpdateFixture.h"

#include "PgScratch.h"
#include "platform/db/StoreMigration.h"
#include "platform/db/sqlite/SqliteBackend.h"
#include "service/catalogue/Catalogue.h"
#include "service/export/DesktopExport.h"
#include "service/listing/ListingDocument.h"

#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace brevant;
using namespace brevant::server;

namespace {

const QList<int> kIds = {210001, 210002, 210003, 210004};
const char* const kNow = "2027-03-02T07:30:00";

// Everything stored about one project, in a fixed order (row ids left out).
QString projectState(db::Connection& c, int id) {
    const QStringList queries = {
        "Select * from Projects where Job_ID = %1",
        "Select Spec, Description from Specs where JobID = %1 order by Spec",
        "Select File, Description, [Size] from Plans where JobID = %1 order by File",
        "Select * from Contacts where Job_ID = %1 order by Name, [Type]",
        "Select * from Awards where JobID = %1 order by Name",
        "Select [Update], Added from Updates where JobID = %1 order by [Update]",
        "Select Found, What, Old_Value, New_Value from Change_History where JobID = %1 "
        "order by What, New_Value",
    };
    QString out;
    for (const QString& q : queries) {
        db::Recordset rs;
        rs.open(q.arg(id), c);
        while (!rs.eof()) {
            for (int i = 0; i < rs.fieldCount(); ++i)
                out += rs.field(i).toString() + '\t';
            out += '\n';
            rs.moveNext();
        }
        out += "--\n";
    }
    return out;
}

struct HelperRun {
    QList<int> merged;      // projects the helper reported committed
    QList<int> projectEnds; // statement count at each commit (a full run)
    bool killed = false;
    bool finished = false;
    bool lockSeen = false; // what probe said just before the kill
};

// Runs the helper on file (or a firm store's locator); kills it while it waits after statement
// killAt (0: never), after asking probe, when given, what it sees at that moment.
HelperRun runHelper(const QString& file, const QString& document, int killAt,
                    const std::function<bool()>& probe = {}) {
    HelperRun run;
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
        return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
            close(fd);
        const QByteArray a = file.toLocal8Bit(), b = document.toLocal8Bit();
        execl(UPDATE_KILL_MERGER, UPDATE_KILL_MERGER, a.constData(), b.constData(), kNow, nullptr);
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    FILE* in = fdopen(fromChild[0], "r");
    char line[128];
    int statement = 0;
    while (fgets(line, sizeof line, in)) {
        int n = 0;
        if (std::sscanf(line, "statement %d", &n) == 1) {
            statement = n;
            if (n == killAt) {
                // The helper is blocked in its read, inside the project's transaction.
                if (probe)
                    run.lockSeen = probe();
                kill(pid, SIGKILL);
                run.killed = true;
                break;
            }
            if (write(toChild[1], "g", 1) != 1)
                break;
        } else if (std::sscanf(line, "merged %d", &n) == 1) {
            run.merged << n;
            run.projectEnds << statement;
        } else if (std::strncmp(line, "finished", 8) == 0) {
            run.finished = true;
        }
    }
    close(toChild[1]);
    fclose(in);
    int status = 0;
    waitpid(pid, &status, 0);
    if (run.killed)
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    else
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return run;
}

class KilledMerge : public ::testing::Test {
protected:
    void SetUp() override {
        service::Catalogue catalogue(dir.filePath("service"), 11, 12, QDate(2027, 3, 1));
        original = dir.filePath("original.mdb");
        service::exportDesktopDatabase(catalogue, original);
        QVector<const service::Project*> projects;
        for (int id : kIds) {
            catalogue.advance(id);
            projects << catalogue.find(id);
        }
        document = dir.filePath("update-000001");
        QFile f(document);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(service::writeListingDocument(projects, service::ListingKind::Update));
        f.close();

        db::Connection c;
        c.open(original);
        db::upgradeDesktopSchema(c);
        for (int id : kIds)
            before[id] = projectState(c, id);
    }

    QString copyOfOriginal(const QString& name) {
        const QString path = dir.filePath(name);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(original, path));
        return path;
    }

    QTemporaryDir dir;
    QString original, document;
    QMap<int, QString> before, after;
};

TEST_F(KilledMerge, EveryProjectIsFullyMergedOrUntouched) {
    SQLITE_FILE_ONLY("a writer killed part-way through");
    // A run to the end gives the merged state and where each project's statements end.
    const QString full = copyOfOriginal("full.mdb");
    const HelperRun complete = runHelper(full, document, 0);
    ASSERT_TRUE(complete.finished);
    ASSERT_EQ(complete.merged, kIds);
    {
        db::Connection c;
        c.open(full);
        for (int id : kIds) {
            after[id] = projectState(c, id);
            ASSERT_NE(after[id], before[id]) << id;
        }
    }
    const QList<int>& ends = complete.projectEnds;
    // The first statement, inside the first project, its last statement before the commit,
    // the first of the second project, and inside the third.
    const QList<int> killPoints = {1, ends[0] / 2, ends[0], ends[0] + 1, (ends[1] + ends[2]) / 2};
    for (int k : killPoints) {
        SCOPED_TRACE(k);
        const QString file = copyOfOriginal(QString("killed-%1.mdb").arg(k));
        const HelperRun run = runHelper(file, document, k);
        ASSERT_TRUE(run.killed);
        db::Connection c;
        c.open(file);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(brevant::db::sqliteHandle(c), "PRAGMA integrity_check", -1,
                                     &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
        sqlite3_finalize(st);
        int mergedCount = 0;
        for (int id : kIds) {
            const QString state = projectState(c, id);
            if (run.merged.contains(id)) {
                EXPECT_EQ(state, after[id]) << id;
                ++mergedCount;
            } else {
                EXPECT_EQ(state, before[id]) << id;
            }
        }
        int expected = 0;
        while (expected < ends.size() && ends[expected] < k)
            ++expected;
        EXPECT_EQ(mergedCount, expected);
    }
}

// The advisory lock of one project, as pg_locks shows it: held (granted) by some session.
bool projectLockHeld(pgtest::ScratchSchema& store, int id) {
    return store.admin()
               .run("SELECT 1 FROM pg_locks WHERE locktype = 'advisory' AND granted AND "
                    "objid = $1::bigint AND objsubid = 1",
                    {QByteArray::number(id)})
               .rows() > 0;
}

TEST_F(KilledMerge, OnAFirmStoreTheOtherClientsNextCheckCompletesIt) {
    pgtest::ScratchSchema killed, reference;
    QString why;
    if (!killed.create(&why) || !reference.create(&why))
        GTEST_SKIP() << why.toStdString();
    for (pgtest::ScratchSchema* s : {&killed, &reference})
        db::migrateStore(db::StoreLocator::parse(original), db::StoreLocator::parse(s->locator()));

    // Uninterrupted: one merge, and a second that finds nothing new.
    const HelperRun once = runHelper(reference.locator(), document, 0);
    ASSERT_TRUE(once.finished);
    ASSERT_EQ(once.merged, kIds);
    QMap<int, QString> firmBefore, firmAfter, firmTwice;
    {
        db::Connection c, r;
        c.open(killed.locator());
        r.open(reference.locator());
        for (int id : kIds) {
            firmBefore[id] = projectState(c, id);
            firmAfter[id] = projectState(r, id);
            ASSERT_NE(firmAfter[id], firmBefore[id]) << id;
        }
    }
    ASSERT_TRUE(runHelper(reference.locator(), document, 0).finished);
    {
        db::Connection r;
        r.open(reference.locator());
        for (int id : kIds)
            firmTwice[id] = projectState(r, id);
    }

    // Killed inside the second project's unit, which holds that project's lock.
    const int killAt = once.projectEnds[0] + 2;
    ASSERT_LT(killAt, once.projectEnds[1]);
    HelperRun cut;
    {
        // The check of the lock runs while the helper waits at killAt, before the kill.
        const QString probe = killed.locator();
        cut = runHelper(probe, document, killAt, [&] { return projectLockHeld(killed, kIds[1]); });
    }
    ASSERT_TRUE(cut.killed);
    EXPECT_TRUE(cut.lockSeen);
    EXPECT_EQ(cut.merged, QList<int>{kIds[0]});
    // The server ends the dead client's session, and its transaction with it.
    while (projectLockHeld(killed, kIds[1]))
        std::this_thread::yield();
    {
        db::Connection c;
        c.open(killed.locator());
        for (int id : kIds)
            EXPECT_EQ(projectState(c, id), cut.merged.contains(id) ? firmAfter[id] : firmBefore[id])
                << id;
    }

    // The other client's next check merges what is left.
    const HelperRun next = runHelper(killed.locator(), document, 0);
    ASSERT_TRUE(next.finished);
    db::Connection c;
    c.open(killed.locator());
    for (int id : kIds)
        EXPECT_EQ(projectState(c, id), cut.merged.contains(id) ? firmTwice[id] : firmAfter[id])
            << id;
}

} // namespace
