#pragma once
// Moving this computer's projects into the firm store (db::migrateStore), as the window-less
// --migrate-store and the File menu's command run it: the source is this computer's Desktop.mdb
// (or --store), the target a PostgreSQL store. What they print and show is made here.
#include "platform/db/StoreLocator.h"
#include "platform/db/StoreMigration.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace brevant::shell {

// Exit codes of --migrate-store.
enum MigrateExit {
    MigrateDone = 0,      // copied, or nothing to do
    MigrateFailed = 1,    // a store could not be opened or the copy failed; target unchanged
    MigrateUsage = 2,     // the command line was wrong
    MigrateRefused = 3,   // the target holds projects and --merge was not given
    MigrateCancelled = 4, // stopped; target unchanged
};

// One line per Desktop table with its counts ("Projects: 1,000 copied"), merging's
// "already there" and conflicts included.
QStringList MigrationCountLines(const db::MigrationResult& result);
// The closing sentence: what was done, nothing to do, refused (and what --merge would add) or
// cancelled.
QString MigrationSummary(const db::MigrationResult& result, const QString& source);
// The exit code of a result.
int MigrationExitCode(const db::MigrationResult& result);

// Runs the migration on the standard streams: progress lines (a line per table and every tenth
// of the rows) and the counts on out, failures on err. Never names a password.
int MigrateStoreCommand(const db::StoreLocator& source, const db::StoreLocator& target, bool merge,
                        QTextStream& out, QTextStream& err);

// The outcome of a migration run off the calling thread: the result, or the failure's text.
struct MigrationRun {
    std::optional<db::MigrationResult> result;
    QString failure;
};

// Runs the migration on a thread of its own and reports back on the application's thread:
// progress as it goes, then done once; neither once context is gone. Setting *cancel stops it
// with the target unchanged.
void StartMigration(QObject* context, const db::StoreLocator& source,
                    const db::StoreLocator& target, bool merge,
                    std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const db::MigrationProgress&)> progress,
                    std::function<void(const MigrationRun&)> done);

} // namespace brevant::shell
