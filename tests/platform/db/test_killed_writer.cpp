// A writer killed with SIGKILL in the middle of a statement-at-a-time workload leaves a
// consistent file in which every statement it finished is still there.
#include "DbFixture.h"

#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts the writer, lets it report `complete` finished projects, then kills it at once.
// Returns the Job_IDs it reported.
std::vector<long> runAndKill(const QString& file, long firstId, int complete) {
    int out[2];
    if (pipe(out) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const QByteArray path = file.toLocal8Bit();
        const std::string first = std::to_string(firstId);
        execl(DB_KILL_WRITER, DB_KILL_WRITER, path.constData(), first.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* in = fdopen(out[0], "r");
    std::vector<long> done;
    char line[64];
    while (int(done.size()) < complete && fgets(line, sizeof line, in)) {
        long id = 0;
        if (std::sscanf(line, "done %ld", &id) == 1)
            done.push_back(id);
    }
    // Kill between statements of the next project, at a point that varies from run to run.
    usleep(useconds_t(300 * (complete % 7)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    fclose(in);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "writer ended by itself";
    return done;
}

TEST_F(DesktopDb, KilledWriterLeavesAConsistentFile) {
    db.close();
    long firstId = 1000;
    std::vector<long> reported;
    for (int complete : {3, 17, 40}) {
        const std::vector<long> done = runAndKill(file(), firstId, complete);
        ASSERT_EQ(int(done.size()), complete);
        reported.insert(reported.end(), done.begin(), done.end());
        firstId += 1000;

        brevant::db::Connection c;
        c.open(file());
        brevant::db::Recordset rs;
        rs.open("SELECT Count(*) FROM Projects", c);
        ASSERT_TRUE(rs.field(0).isValid());
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(c.nativeHandle(), "PRAGMA integrity_check", -1, &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
        sqlite3_finalize(st);

        // Everything reported finished is there in full.
        for (long id : reported) {
            rs.open(QStringLiteral("Select Count(*) AS n FROM [Specs] where [JobID] = %1").arg(id),
                    c);
            EXPECT_EQ(rs.field("n").toInt(), 20) << id;
            rs.open(
                QStringLiteral("Select New, Tracked from [Projects] where [Job_ID] = %1").arg(id),
                c);
            ASSERT_FALSE(rs.eof()) << id;
            EXPECT_TRUE(rs.field("Tracked").toBool()) << id;
        }
        // At most the one project in progress was cut short, and only by whole statements.
        rs.open("SELECT Count(*) FROM Projects", c);
        const int projects = rs.field(0).toInt();
        EXPECT_GE(projects, int(reported.size()));
        EXPECT_LE(projects, int(reported.size()) + 3);
        rs.open("SELECT Count(*) FROM Specs", c);
        const int specs = rs.field(0).toInt();
        EXPECT_GE(specs, 20 * int(reported.size()));
        EXPECT_LE(specs, 20 * projects);
    }
}

} // namespace
