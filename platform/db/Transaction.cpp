#include "platform/db/Transaction.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

namespace brevant::db {

namespace {

DbError endedEarlier() {
    return DbError(errors::Unspecified,
                   QStringLiteral("The transaction was ended by an earlier failure."));
}

} // namespace

Transaction::Transaction(Connection& connection) : connection_(connection) {
    // SQLite: IMMEDIATE takes the write lock at once, so a busy database fails here and not
    // halfway. The prepared statements stay, for the statements inside to reuse.
    connection_.backend().begin();
}

Transaction::~Transaction() {
    if (open_)
        rollback();
}

bool Transaction::active() const {
    return open_ && connection_.isOpen() && connection_.backend().inTransaction();
}

void Transaction::lockProject(qint64 jobId) {
    if (!active())
        throw endedEarlier();
    connection_.backend().lockProject(jobId);
}

void Transaction::commit() {
    if (!active()) {
        open_ = false;
        throw endedEarlier();
    }
    connection_.backend().commit();
    open_ = false;
}

void Transaction::rollback() {
    open_ = false;
    if (connection_.isOpen())
        connection_.backend().rollback();
}

} // namespace brevant::db
