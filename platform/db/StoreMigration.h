#pragma once
// Moving a firm's projects across: every Desktop table of a Desktop.mdb copied into a firm store
// on PostgreSQL with COPY, in one transaction, so the target holds all of it or (cancelled,
// failed, killed) none of it. The source is opened read-only and read in one snapshot.
//
// An empty target takes every row as it is, autonumbers included; the identity columns then
// continue past the copied numbers. A target that holds rows is refused unless merging; when
// it already holds every row of the source the migration has nothing to do (whether merging or
// not), so running it twice is harmless.
//
// Merging adds the rows the target does not have yet. A row is "there" when the target holds
// one with the same key, compared as the firm store compares (text without regard to case):
// the table's unique key (Projects: Job_ID; Plans: JobID and File), otherwise all its columns
// but the autonumber. A row whose key is there with other values is a conflict: the target's
// row stays as it is (it is the firm's, maybe newer) and the conflict is counted. Autonumbers
// of added rows are kept when free in the target, otherwise the next free ones are given.
//
// The bytes of the attached files go along (in the same transaction) for every copied
// Attachments row that does not name a content yet: the file in the row's folder, else in the
// project's folder under MigrationOptions::attachmentFolder.
#include "platform/db/StoreLocator.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

namespace brevant::db {

struct MigrationProgress {
    QString table;         // the Desktop spelling ("Projects")
    qint64 tableDone = 0;  // rows of the table read so far
    qint64 tableTotal = 0; // rows of the table in the source
    qint64 done = 0;       // rows of all tables read so far
    qint64 total = 0;      // rows of all tables in the source
};

struct MigrationOptions {
    bool merge = false;
    // Called every ProgressStep rows and at the end of each table, on the calling thread.
    std::function<void(const MigrationProgress&)> progress;
    // Set (from any thread) to stop: the target is left as it was.
    const std::atomic<bool>* cancel = nullptr;
    // The workstation the source file was on: the plan sheets and sections it says are
    // downloaded are recorded as in that workstation's cache (empty: the unnamed one).
    QString workstation;

    // Where the attached files were kept when a row's own folder (Path) no longer holds its
    // file: the cache location, whose <project number>/ folders hold them.
    QString attachmentFolder;

    static constexpr int ProgressStep = 500;
};

struct MigrationTableCount {
    QString table;
    qint64 source = 0;    // rows in the source
    qint64 copied = 0;    // rows added to the target (to be added, when it was refused)
    qint64 present = 0;   // rows the target had already and kept
    qint64 conflicts = 0; // of those, rows whose key the target holds with other values
};

struct MigrationResult {
    enum class Outcome {
        Copied,         // committed
        NothingToDo,    // the target held every row already; nothing changed
        TargetNotEmpty, // refused (not merging): the target holds rows; nothing changed
        Cancelled,      // nothing changed
    };
    Outcome outcome = Outcome::Copied;
    std::vector<MigrationTableCount> tables; // every Desktop table, in schema order
    // Tables of the source that are no Desktop tables (such as the local search index, which
    // the firm store builds itself): not copied.
    QStringList skippedTables;
    QString target; // the target as described (without a password)
    // Attached files whose bytes were put into the firm store (AttachmentContent), so they
    // open on every PC; and those that could not be, each "path: reason" (their rows are
    // copied all the same and open only where the file is).
    qint64 filesCarried = 0;
    QStringList filesNotCarried;

    qint64 copied() const;
    qint64 conflicts() const;
};

// source: a Desktop.mdb (path or Jet connection string); target: a PostgreSQL store, whose
// Desktop tables are created when missing. Throws DbError when either cannot be opened, the
// source holds a value the firm store cannot keep (named by table, row and column), or the
// server refuses; the target is then left as it was.
MigrationResult migrateStore(const StoreLocator& source, const StoreLocator& target,
                             const MigrationOptions& options = {});

} // namespace brevant::db
