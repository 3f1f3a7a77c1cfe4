#pragma once
// What a PostgreSQL failure means to the rest of platform/db: its SQLSTATE read as a portable
// condition and as an error number of the kind the client shows, and the DbError thrown for it.
#include "platform/db/DbError.h"

#include <QByteArray>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace brevant::db::pg {

// SQLSTATE to condition: 23505, 42P01, 55P03, 40001, 40P01, 53100 and a lost connection (class
// 08, the server ending the session) have theirs; any other failure is Condition::Other.
Condition conditionOf(const QByteArray& sqlState);
long errorNumberOf(const QByteArray& sqlState);

// A DbError that also keeps the SQLSTATE it came from.
class PgFailure : public DbError {
public:
    PgFailure(const QByteArray& sqlState, Condition condition, const QString& description);
    const QByteArray& sqlState() const { return sqlState_; }

private:
    QByteArray sqlState_;
};

// The failure a result reports (its SQLSTATE and primary message); with no result, or a result
// without SQLSTATE, the connection's own message, as a lost connection when it is gone.
[[noreturn]] void raise(PGconn* conn, const PGresult* result);

} // namespace brevant::db::pg
