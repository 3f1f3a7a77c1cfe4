#pragma once
// What a PostgreSQL failure means to the rest of platform/db: its SQLSTATE read as a portable
// condition and as an error number of the kind the client shows, and the DbError thrown for it.
#include "platform/db/DbError.h"

#include <QByteArray>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace brevant::db::pg {

enum class Condition {
    None,
    UniqueViolation,      // 23505
    UndefinedTable,       // 42P01
    LockTimeout,          // 55P03 (lock_timeout, NOWAIT)
    SerializationFailure, // 40001
    Deadlock,             // 40P01
    ConnectionLost,       // class 08, the server shutting the session down, or no connection
    DiskFull,             // 53100
};

Condition conditionOf(const QByteArray& sqlState);
long errorNumberOf(const QByteArray& sqlState);

class PgFailure : public DbError {
public:
    PgFailure(const QByteArray& sqlState, Condition condition, const QString& description);
    const QByteArray& sqlState() const { return sqlState_; }
    Condition condition() const { return condition_; }

private:
    QByteArray sqlState_;
    Condition condition_;
};

// The failure a result reports (its SQLSTATE and primary message); with no result, or a result
// without SQLSTATE, the connection's own message, as a lost connection when it is gone.
[[noreturn]] void raise(PGconn* conn, const PGresult* result);

} // namespace brevant::db::pg
