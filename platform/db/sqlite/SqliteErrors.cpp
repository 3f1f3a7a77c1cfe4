#include "platform/db/sqlite/SqliteErrors.h"

#include <sqlite3.h>

namespace brevant::db {

long errorNumberFor(int sqliteCode) {
    switch (sqliteCode & 0xff) {
    case SQLITE_ERROR:
        return errors::CommandError;
    case SQLITE_CONSTRAINT:
        return errors::IntegrityViolation;
    case SQLITE_AUTH:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return errors::PermissionDenied;
    default:
        return errors::Unspecified;
    }
}

Condition conditionFor(int sqliteCode, const QString& message) {
    switch (sqliteCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return Condition::UniqueViolation;
    case SQLITE_BUSY_SNAPSHOT: // a reader's snapshot is older than the change it must write over
        return Condition::SerializationFailure;
    default:
        break;
    }
    switch (sqliteCode & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return Condition::None;
    case SQLITE_BUSY: // after the busy time-out the connection waits
        return Condition::LockTimeout;
    case SQLITE_FULL:
        return Condition::DiskFull;
    case SQLITE_ERROR:
        return message.startsWith(QLatin1String("no such table")) ? Condition::UndefinedTable
                                                                  : Condition::Other;
    default:
        return Condition::Other;
    }
}

DbError sqliteError(int sqliteCode, const QString& message) {
    return DbError(errorNumberFor(sqliteCode), message, conditionFor(sqliteCode, message),
                   sqliteCode);
}

DbError sqliteError(int sqliteCode, sqlite3* db) {
    return sqliteError(sqliteCode, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory"));
}

} // namespace brevant::db
