// Writes projects one statement at a time into an existing Desktop.mdb until it is killed.
// Before each project it waits for one byte on its standard input (the test's go-ahead), and
// after the project and its sections are written it prints "done <Job_ID>", so the test knows
// which projects were complete and which one at most can be in progress when it kills it.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: db_kill_writer <Desktop.mdb> <first Job_ID>\n");
        return 2;
    }
    try {
        brevant::db::Connection c;
        c.open(QString::fromLocal8Bit(argv[1]));
        for (long id = std::atol(argv[2]); std::getchar() != EOF; ++id) {
            const QString n = QString::number(id);
            c.execute("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name]) VALUES (" +
                      n + ",'SPRINGFIELD','IL','12/15/2026 2:00:00 PM','PROJECT " + n + "')");
            for (int s = 0; s < 20; ++s)
                c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + n + ",'0" +
                          QString::number(1000 + s) + "','SECTION " + QString::number(s) + "')");
            c.execute("Update [Projects] set [Tracked] = TRUE, [NEW] = FALSE where [JOB_ID] = " +
                      n);
            std::printf("done %ld\n", id);
            std::fflush(stdout);
        }
        return 0;
    } catch (const brevant::db::DbError& e) {
        std::fprintf(stderr, "%ld %s\n", e.number(), e.what());
        return 1;
    }
}
