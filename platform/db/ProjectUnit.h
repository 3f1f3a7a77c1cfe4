#pragma once
// One unit of work on one project of a store that several estimators share: importing it,
// merging an update into it, deleting it, attaching or removing one of its documents. The unit
// is one transaction (READ COMMITTED on PostgreSQL) whose first statement takes the project's
// lock, so two clients never interleave their rows of one project and every check inside sees
// what the other committed before the lock was granted.
#include <QtGlobal>
#include <functional>

namespace brevant::db {

class Connection;

// How often a unit is run in all when the store fails it for a serialization failure or a
// deadlock; both leave nothing behind, so running it again from the start is safe.
constexpr int kProjectUnitAttempts = 3;

// How long a unit waits for a project's lock (or SQLite's write lock) before it gives up.
constexpr int kProjectLockWaitMs = 5000;

// Runs work inside the unit and commits it. work starts from what it reads inside (it may run
// again after a serialization failure or a deadlock). Throws DbError:
// - LockTimeout when another connection held the project past the lock wait, with a message
//   saying so;
// - ConnectionLost at once, never run again: the commit may have reached the store, and a
//   replay could store the unit twice; the caller reads the project again and tells the user;
// - whatever work throws, after the rollback.
void runProjectUnit(Connection& connection, qint64 jobId, const std::function<void()>& work);

// The message of the LockTimeout that runProjectUnit throws.
QString projectBusyText(qint64 jobId);

} // namespace brevant::db
