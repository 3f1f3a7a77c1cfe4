#include "platform/db/ProjectUnit.h"

#include "platform/db/DbError.h"
#include "platform/db/Transaction.h"

#include <QCoreApplication>

namespace brevant::db {

QString projectBusyText(qint64 jobId) {
    return QCoreApplication::translate("brevant::db::ProjectUnit",
                                       "Project %1 is being changed by another estimator; "
                                       "nothing was changed here. Try again in a moment.")
        .arg(jobId);
}

void runProjectUnit(Connection& connection, qint64 jobId, const std::function<void()>& work) {
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction transaction(connection);
            transaction.lockProject(jobId);
            work();
            transaction.commit();
            return;
        } catch (const DbError& e) {
            const Condition c = e.condition();
            if ((c == Condition::SerializationFailure || c == Condition::Deadlock) &&
                attempt < kProjectUnitAttempts)
                continue;
            if (c == Condition::LockTimeout)
                throw DbError(e.number(), projectBusyText(jobId), c, e.nativeCode());
            throw;
        }
    }
}

} // namespace brevant::db
