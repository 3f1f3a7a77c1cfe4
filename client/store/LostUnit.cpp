#include "store/LostUnit.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <QCoreApplication>

namespace brevant::store {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("brevant::store::LostUnit", text);
}

// "project 12345 (NAME)" as stored now, or that it is not stored.
QString storedProject(db::Connection& connection, int jobId) {
    db::Recordset rs;
    rs.open(QStringLiteral("Select [Name] from [Projects] where [Job_ID] = %1").arg(jobId),
            connection);
    if (rs.eof())
        return tr("project %1 (it is not in the store now)").arg(jobId);
    const QString name = rs.field(0).toString().trimmed();
    return name.isEmpty() ? tr("project %1").arg(jobId)
                          : tr("project %1 (%2)").arg(jobId).arg(name);
}

} // namespace

QString lostUnitText(db::Connection& connection, const QList<int>& jobIds) {
    QStringList named;
    QString unreadable;
    for (int jobId : jobIds) {
        try {
            named << storedProject(connection, jobId);
        } catch (const db::DbError& e) {
            named << tr("project %1").arg(jobId);
            unreadable = e.description();
        }
    }
    const QString projects = named.join(QStringLiteral(", "));
    QString text =
        tr("The connection to the project store broke while %1 was being saved. The change may or "
           "may not have been saved: the store did not answer, so this program cannot tell, and "
           "it was not sent again so that nothing is stored twice.")
            .arg(projects);
    if (unreadable.isEmpty())
        text += QLatin1Char(' ') +
                tr("The project has been read again from the store and is shown as it is stored "
                   "now; check it and make the change again if it is missing ...");
    else
        text += QLatin1Char(' ') +
                tr("The store cannot be read again to find out (%1); check the project once it "
                   "can ...")
                    .arg(unreadable);
    return text;
}

QString storeFailureText(db::Connection& connection, const db::DbError& error,
                         const QList<int>& jobIds) {
    if (error.condition() == db::Condition::ConnectionLost)
        return lostUnitText(connection, jobIds);
    return QStringLiteral("%1 %2").arg(error.number()).arg(error.description());
}

} // namespace brevant::store
