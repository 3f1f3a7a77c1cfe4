// Merges an update document into Desktop.mdb and stops after every statement until told to go
// on, so that the kill test can end it at an exact point of a project's merge. Protocol on
// stdout: "statement <n>" after each statement (then one byte is read from stdin before the
// merge goes on), "merged <Job_ID>" after each project's commit, "finished" at the end.
#include "platform/db/Connection.h"
#include "server/ProjectDocument.h"
#include "server/UpdateMerge.h"

#include <QDateTime>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: update_kill_merger <Desktop.mdb> <update document> <now>\n");
        return 2;
    }
    using namespace brevant;
    const server::ReadResult parsed =
        server::readProjectDocumentFile(QString::fromLocal8Bit(argv[2]));
    if (!parsed.document) {
        std::fprintf(stderr, "%s\n", qPrintable(parsed.error));
        return 1;
    }
    db::Connection c;
    c.open(QString::fromLocal8Bit(argv[1]));
    int statements = 0;
    server::MergeHooks hooks;
    hooks.afterStatement = [&] {
        std::printf("statement %d\n", ++statements);
        std::fflush(stdout);
        char go = 0;
        if (::read(STDIN_FILENO, &go, 1) != 1)
            _exit(3);
    };
    hooks.projectMerged = [](const server::ProjectMergeOutcome& o) {
        std::printf("merged %d\n", o.jobId);
        std::fflush(stdout);
    };
    const server::MergeSummary s = server::mergeUpdateDocument(
        c, *parsed.document, QDateTime::fromString(QString::fromLatin1(argv[3]), Qt::ISODate),
        hooks);
    std::printf("finished %d\n", int(s.problems.size()));
    return 0;
}
