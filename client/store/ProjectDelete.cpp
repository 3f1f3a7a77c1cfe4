#include "store/ProjectDelete.h"

#include "platform/db/Connection.h"

namespace brevant::store {

void DeleteProjectRecords(db::Connection& connection, int jobId) {
    const QString n = QString::number(jobId);
    connection.execute(QStringLiteral("Delete FROM [Plans] Where [JobID] = ") + n);
    connection.execute(QStringLiteral("Delete FROM [Specs] Where [JobID] = ") + n);
    connection.execute(QStringLiteral("Delete FROM [Projects] Where [Job_ID] = ") + n);
    connection.execute(QStringLiteral("Delete FROM [Contacts] Where [Job_ID] = ") + n);
    connection.execute(QStringLiteral("Delete FROM [Attachments] Where [JobID] = ") + n);
    connection.execute(QStringLiteral("Delete FROM [Updates] Where [JobID] = ") + n);
    connection.execute(QStringLiteral("Delete FROM [Awards] Where [JobID] = ") + n);
}

} // namespace brevant::store
