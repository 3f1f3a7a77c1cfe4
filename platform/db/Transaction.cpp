#include "platform/db/Transaction.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

#include <sqlite3.h>

namespace brevant::db {

namespace {

// Straight to SQLite: executeNative would also drop the connection's prepared statements,
// which the statements inside the transaction are about to reuse.
void run(Connection& connection, const char* sql) {
    sqlite3* db = connection.nativeHandle();
    if (!db)
        throw DbError(errors::ObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(errorNumberFor(rc), QString::fromUtf8(sqlite3_errmsg(db)), rc);
}

} // namespace

Transaction::Transaction(Connection& connection) : connection_(connection) {
    // IMMEDIATE takes the write lock at once, so a busy database fails here and not halfway.
    run(connection_, "BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (open_)
        rollback();
}

bool Transaction::active() const {
    return open_ && connection_.isOpen() && sqlite3_get_autocommit(connection_.nativeHandle()) == 0;
}

void Transaction::commit() {
    if (!active()) {
        open_ = false;
        throw DbError(errors::Unspecified,
                      QStringLiteral("The transaction was ended by an earlier failure."));
    }
    run(connection_, "COMMIT");
    open_ = false;
}

void Transaction::rollback() {
    open_ = false;
    if (!connection_.isOpen() || sqlite3_get_autocommit(connection_.nativeHandle()) != 0)
        return;
    try {
        run(connection_, "ROLLBACK");
    } catch (...) {
        // SQLite rolls back by itself when the connection closes.
    }
}

} // namespace brevant::db
