#include "store/ProjectDelete.h"

#include "platform/db/AttachmentContent.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/ProjectUnit.h"
#include "store/Attachments.h"
#include "takeoff/TakeoffStore.h"

namespace brevant::store {

void DeleteProjectRecords(db::Connection& connection, int jobId) {
    // A database from before the history table gets it first, so the cascade's list is whole.
    if (connection.isOpen())
        db::upgradeDesktopSchema(connection);
    const QString n = QString::number(jobId);
    // The whole cascade is one unit under the project's lock, so a merge or an import of the
    // same project on another workstation waits instead of leaving rows of a deleted project.
    db::runProjectUnit(connection, jobId, [&] {
        connection.execute(QStringLiteral("Delete FROM [Plans] Where [JobID] = ") + n);
        connection.execute(QStringLiteral("Delete FROM [Specs] Where [JobID] = ") + n);
        connection.execute(QStringLiteral("Delete FROM [Projects] Where [Job_ID] = ") + n);
        connection.execute(QStringLiteral("Delete FROM [Contacts] Where [Job_ID] = ") + n);
        // A firm store's attached bytes go with the last row that names them.
        const bool firm = db::storesAttachmentContent(connection);
        const QStringList contents =
            firm ? ProjectAttachmentContents(connection, jobId) : QStringList();
        connection.execute(QStringLiteral("Delete FROM [Attachments] Where [JobID] = ") + n);
        if (firm)
            db::dropUnreferencedContent(connection, contents);
        connection.execute(QStringLiteral("Delete FROM [Updates] Where [JobID] = ") + n);
        connection.execute(QStringLiteral("Delete FROM [Awards] Where [JobID] = ") + n);
        // The lasting history, so that a project imported again under the number starts clean.
        connection.execute(QStringLiteral("Delete FROM [Change_History] Where [JobID] = ") + n);
        // Its takeoff too: measurements of another project's sheets must not meet a new one.
        takeoff::deleteTakeoff(connection, jobId);
    });
}

} // namespace brevant::store
