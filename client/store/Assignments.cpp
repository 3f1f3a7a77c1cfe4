#include "store/Assignments.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "store/AttachmentCommands.h"
#include "store/SqlValue.h"

#include <QCoreApplication>

namespace brevant::store {

namespace {

using ui::Answer;
using ui::Buttons;
using ui::Icon;

bool noneChecked(const AssignmentContext& c) {
    if (!c.checkedJobIds.empty() && c.connection)
        return false;
    ui::message("No projects are currently selected -- You must selected at least 1 project "
                "before continuing ...",
                Buttons::Ok, Icon::Exclamation,
                QCoreApplication::translate("brevant::store::Assignments", "System Message"));
    return true;
}

// Writes name (empty: clear) into every checked project, showing each in its row.
void apply(const AssignmentContext& c, const QString& name) {
    if (c.hourglass)
        c.hourglass(true);
    try {
        for (int jobId : c.checkedJobIds) {
            if (name.isEmpty())
                ClearAssignment(*c.connection, jobId);
            else
                SetAssignment(*c.connection, jobId, name);
            if (c.showAssignment)
                c.showAssignment(jobId, name);
        }
    } catch (const db::DbError& e) {
        if (c.hourglass)
            c.hourglass(false);
        ui::message(QString::number(e.number()) + " " + e.description(), Buttons::Ok,
                    Icon::Exclamation,
                    QCoreApplication::translate("brevant::store::Assignments", "System Error"));
        return;
    }
    if (c.hourglass)
        c.hourglass(false);
}

} // namespace

QString SetAssignmentSql(int jobId, const QString& name) {
    return "UPDATE Projects SET Projects.Assignment = '" + SqlEscape(name) +
           "' WHERE (((Projects.Job_ID)=" + QString::number(jobId) + "));";
}

QString ClearAssignmentSql(int jobId) {
    return "UPDATE Projects SET Projects.Assignment = '' WHERE (((Projects.Job_ID)=" +
           QString::number(jobId) + "));";
}

void SetAssignment(db::Connection& connection, int jobId, const QString& name) {
    connection.execute(SetAssignmentSql(jobId, name));
}

void ClearAssignment(db::Connection& connection, int jobId) {
    connection.execute(ClearAssignmentSql(jobId));
}

void SetAssignments(const AssignmentContext& c) {
    if (noneChecked(c))
        return;
    const QString name = c.askName ? c.askName() : QString();
    if (name == kDialogCancelled)
        return;
    if (ui::message(
            QCoreApplication::translate("brevant::store::Assignments",
                                        "Are you sure you want to add/update these projects?"),
            Buttons::YesNo, Icon::Question,
            QCoreApplication::translate("brevant::store::Assignments", "System Prompt")) !=
        Answer::Yes)
        return;
    apply(c, name);
}

void ClearAssignments(const AssignmentContext& c) {
    if (noneChecked(c))
        return;
    if (ui::message(QCoreApplication::translate(
                        "brevant::store::Assignments",
                        "Are you sure you want to clear the assignments the selected project(s)?"),
                    Buttons::YesNo, Icon::Question,
                    QCoreApplication::translate("brevant::store::Assignments", "System Prompt")) !=
        Answer::Yes)
        return;
    apply(c, QString());
}

} // namespace brevant::store
