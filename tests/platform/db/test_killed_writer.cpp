// A writer killed with SIGKILL in the middle of a statement-at-a-time workload leaves a
// consistent file in which every statement it finished is still there.
#include "DbFixture.h"

#include "platform/db/sqlite/SqliteBackend.h"

#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts the writer with go-aheads for `complete` + 1 projects, lets it report `complete`
// finished ones, then kills it at once: it is then inside the one project it may still start,
// or waiting for a go-ahead that never comes, however fast it runs. Returns the Job_IDs it
// reported.
std::vector<long> runAndKill(const QString& file, long firstId, int complete) {
    int out[2];
    int in[2];
    if (pipe(out) != 0 || pipe(in) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(in[0], STDIN_FILENO);
        close(out[0]);
        close(out[1]);
        close(in[0]);
        close(in[1]);
        const QByteArray path = file.toLocal8Bit();
        const std::string first = std::to_string(firstId);
        execl(DB_KILL_WRITER, DB_KILL_WRITER, path.constData(), first.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    close(in[0]);
    const std::string goAheads(size_t(complete) + 1, 'g');
    EXPECT_EQ(write(in[1], goAheads.data(), goAheads.size()), ssize_t(goAheads.size()));
    FILE* reports = fdopen(out[0], "r");
    std::vector<long> done;
    char line[64];
    while (int(done.size()) < complete && fgets(line, sizeof line, reports)) {
        long id = 0;
        if (std::sscanf(line, "done %ld", &id) == 1)
            done.push_back(id);
    }
    // Vary the point in the last project where the kill lands; nothing depends on where.
    usleep(useconds_t(300 * (complete % 7)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    fclose(reports);
    close(in[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "writer ended by itself";
    return done;
}

int count(brevant::db::Connection& c, const QString& sql) {
    brevant::db::Recordset rs;
    rs.open(sql, c);
    return rs.field(0).toInt();
}

TEST_F(DesktopDb, KilledWriterLeavesAConsistentFile) {
    db.close();
    long firstId = 1000;
    std::vector<long> reported;
    int extraRows = 0; // the projects in progress at each kill, whole or not
    int extraSpecs = 0;
    for (int complete : {3, 17, 40}) {
        const std::vector<long> done = runAndKill(file(), firstId, complete);
        ASSERT_EQ(int(done.size()), complete);
        reported.insert(reported.end(), done.begin(), done.end());

        brevant::db::Connection c;
        c.open(file());
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(brevant::db::sqliteHandle(c), "PRAGMA integrity_check", -1,
                                     &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
        sqlite3_finalize(st);

        // Everything reported finished is there in full.
        for (long id : reported) {
            EXPECT_EQ(
                count(c, QStringLiteral("Select Count(*) from [Specs] where [JobID] = %1").arg(id)),
                20)
                << id;
            EXPECT_EQ(count(c, QStringLiteral("Select Count(*) from [Projects] where [Job_ID] = "
                                              "%1 and [Tracked] = TRUE")
                                   .arg(id)),
                      1)
                << id;
        }
        // Beyond them at most the project that had its go-ahead, cut short only by whole
        // statements: its row comes first, then up to all of its sections.
        const long next = firstId + complete;
        const int beyond = count(c, QStringLiteral("Select Count(*) from [Projects] where "
                                                   "[Job_ID] >= %1 and [Job_ID] <> %2")
                                        .arg(firstId)
                                        .arg(next)) -
                           complete;
        EXPECT_EQ(beyond, 0);
        const int nextRow = count(
            c, QStringLiteral("Select Count(*) from [Projects] where [Job_ID] = %1").arg(next));
        const int nextSpecs =
            count(c, QStringLiteral("Select Count(*) from [Specs] where [JobID] = %1").arg(next));
        EXPECT_LE(nextSpecs, 20 * nextRow);
        extraRows += nextRow;
        extraSpecs += nextSpecs;
        EXPECT_EQ(count(c, QStringLiteral("Select Count(*) from [Projects]")),
                  int(reported.size()) + extraRows);
        EXPECT_EQ(count(c, QStringLiteral("Select Count(*) from [Specs]")),
                  20 * int(reported.size()) + extraSpecs);
        firstId += 1000;
    }
}

} // namespace
