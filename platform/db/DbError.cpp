#include "platform/db/DbError.h"

#include <sqlite3.h>

namespace brevant::db {

DbError::DbError(long number, const QString& description, int sqliteCode)
    : std::runtime_error(description.toStdString()), number_(number), description_(description),
      sqliteCode_(sqliteCode) {}

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

} // namespace brevant::db
