// A migration to be killed: migrates argv[1] into argv[2], writes "copying" to standard output
// at its first progress report of Specs (Projects and Plans are sent whole by then, and the
// COPY of Specs is under way) and waits there until standard input ends, which it never does
// before the test kills it.
#include "platform/db/DbError.h"
#include "platform/db/StoreMigration.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    brevant::db::MigrationOptions options;
    bool told = false;
    options.progress = [&told](const brevant::db::MigrationProgress& p) {
        if (told || p.table != QLatin1String("Specs"))
            return;
        told = true;
        std::fputs("copying\n", stdout);
        std::fflush(stdout);
        char c;
        while (read(STDIN_FILENO, &c, 1) > 0) {
        }
    };
    try {
        brevant::db::migrateStore(brevant::db::StoreLocator::parse(QString::fromLocal8Bit(argv[1])),
                                  brevant::db::StoreLocator::parse(QString::fromLocal8Bit(argv[2])),
                                  options);
    } catch (const brevant::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
