#include "shell/FirstStep.h"

#include "base/Settings.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <QCoreApplication>

namespace brevant::shell {

FirstStep NextFirstStep(long projectCount, const QString& storedServerAddress) {
    if (projectCount > 0)
        return FirstStep::None;
    return storedServerAddress.trimmed().isEmpty() ? FirstStep::SetServer : FirstStep::FindProjects;
}

FirstStep CurrentFirstStep(db::Connection& connection) {
    long count = 0;
    try {
        db::Recordset rs;
        rs.open(QStringLiteral("Select Count([Job_ID]) as [count] from [Projects]"), connection,
                db::Recordset::Cursor::Static);
        count = rs.eof() ? 0 : rs.field(QStringLiteral("count")).toLongLong();
        rs.close();
    } catch (const db::DbError&) {
        return FirstStep::None;
    }
    return NextFirstStep(count, ReadSetting(QStringLiteral("SERVERADDR")));
}

QString FirstStepText(FirstStep step) {
    switch (step) {
    case FirstStep::SetServer:
        return QCoreApplication::translate(
            "brevant::shell::FirstStep",
            "Your project list is empty. First step: enter the address of "
            "the project service under Options -> Program Preferences "
            "(Service Connection); then find projects.");
    case FirstStep::FindProjects:
        return QCoreApplication::translate(
            "brevant::shell::FirstStep",
            "Your project list is empty. Next step: search the project "
            "service with File -> Find Projects (Online) and add the projects "
            "you bid on.");
    case FirstStep::None:
        break;
    }
    return QString();
}

QString FirstStepButton(FirstStep step) {
    switch (step) {
    case FirstStep::SetServer:
        return QCoreApplication::translate("brevant::shell::FirstStep", "Server Se&ttings ...");
    case FirstStep::FindProjects:
        return QCoreApplication::translate("brevant::shell::FirstStep", "Find Pro&jects ...");
    case FirstStep::None:
        break;
    }
    return QString();
}

} // namespace brevant::shell
