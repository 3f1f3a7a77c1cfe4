#pragma once
// Compaction of a closed database without ever putting it at risk: the compacted copy is
// written under a temporary name, checked, then renamed over the original in one step.
#include <QString>

namespace brevant::db {

// Writes a compacted copy of the database at sourcePath into destPath, which must not exist.
// Fails (DbError) when the database is still open elsewhere or the copy does not check out;
// on failure no destPath is left behind and sourcePath is untouched.
void compactInto(const QString& sourcePath, const QString& destPath);

// Renames replacement over target atomically and makes the rename durable.
void replaceFile(const QString& replacement, const QString& target);

enum class CompactionRecovery { Nothing, RemovedTemporary, RestoredDatabase };

// Deals with what an interrupted compaction left: a temporary file next to the database is
// removed; a temporary file without a database becomes the database (databasePath).
CompactionRecovery recoverInterruptedCompaction(const QString& databasePath,
                                                const QString& tempPath);

} // namespace brevant::db
