#include "platform/db/pg/PgError.h"

#include <libpq-fe.h>

namespace brevant::db::pg {

Condition conditionOf(const QByteArray& s) {
    if (s == "23505")
        return Condition::UniqueViolation;
    if (s == "42P01")
        return Condition::UndefinedTable;
    if (s == "55P03")
        return Condition::LockTimeout;
    if (s == "40001")
        return Condition::SerializationFailure;
    if (s == "40P01")
        return Condition::Deadlock;
    if (s == "53100")
        return Condition::DiskFull;
    // Class 08 is the connection failing; 57P01-57P03 the server ending the session
    // (pg_terminate_backend, shutdown, not accepting connections).
    if (s.startsWith("08") || s == "57P01" || s == "57P02" || s == "57P03")
        return Condition::ConnectionLost;
    return Condition::Other;
}

long errorNumberOf(const QByteArray& s) {
    if (s.startsWith("23"))
        return errors::IntegrityViolation;
    if (s == "42501")
        return errors::PermissionDenied;
    // Syntax errors, unknown tables, columns and functions, and values a column refuses.
    if (s.startsWith("42") || s.startsWith("22"))
        return errors::CommandError;
    return errors::Unspecified;
}

PgFailure::PgFailure(const QByteArray& sqlState, Condition condition, const QString& description)
    : DbError(errorNumberOf(sqlState), description, condition), sqlState_(sqlState) {}

void raise(PGconn* conn, const PGresult* result) {
    QByteArray state;
    QString message;
    if (result) {
        state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        message = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    }
    if (message.isEmpty())
        message = QString::fromUtf8(conn ? PQerrorMessage(conn) : "No connection.").trimmed();
    Condition condition = conditionOf(state);
    // libpq reports a connection that broke under a statement without any SQLSTATE.
    if (condition == Condition::Other && (!conn || PQstatus(conn) == CONNECTION_BAD)) {
        condition = Condition::ConnectionLost;
        if (state.isEmpty())
            state = "08006";
    }
    throw PgFailure(state, condition, message);
}

} // namespace brevant::db::pg
