#pragma once
// Compacts Desktop.mdb at shutdown. The database must be closed by every user first.
//
// The compacted copy is written under the temporary name, checked, and renamed over the
// database in one step, so the database is never lost: on any failure it stays as it was and
// the error message is shown. A temporary file left by an interrupted run is removed first
// (or becomes the database when the database itself is missing).
#include <QString>
#include <functional>

namespace brevant::shell {

using StatusTextFunction = std::function<void(const QString&)>;

// Returns true when the database was compacted. Messages go through platform/ui.
bool CompactAndRepair(const QString& dataLocation, const QString& databaseName,
                      const QString& tempName, bool showDone,
                      const StatusTextFunction& setStatusText);

// The shutdown's form: the data folder is DataLocation, the status text the main window's.
bool CompactAndRepair(const QString& databaseName, const QString& tempName, bool showDone);

} // namespace brevant::shell
