#pragma once
// SQLite result codes in the terms DbError carries (internal to platform/db).
#include "platform/db/DbError.h"

#include <QString>

struct sqlite3;

namespace brevant::db {

// The number shown to the user for an SQLite result code (primary or extended).
long errorNumberFor(int sqliteCode);

// The portable condition of an SQLite failure. "No such table" has no code of its own; it is
// an SQLITE_ERROR told apart by SQLite's message.
Condition conditionFor(int sqliteCode, const QString& message);

// The error for a failed call: number, message and condition from the code and the text.
DbError sqliteError(int sqliteCode, const QString& message);
// The same with the connection's last message.
DbError sqliteError(int sqliteCode, sqlite3* db);

} // namespace brevant::db
