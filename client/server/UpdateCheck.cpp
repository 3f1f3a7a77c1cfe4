#include "server/UpdateCheck.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "server/ServerSession.h"
#include "shell/MainWindow.h"
#include "shell/modResources.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <QFile>

namespace brevant::server {

QString PendingUpdateArgument;

namespace {

// The main window as the update command leaves it when it ends, whichever way.
void releaseMainWindow() {
    PendingUpdateArgument.clear();
    if (shell::MainWindow* w = shell::mainWindow()) {
        w->setUpdateBusy(false);
        w->closeWaitForm();
        w->setStatusText(QString());
        w->enableCommands(true);
    }
    Hourglass(false);
}

void showRow(const ProjectMergeOutcome& outcome) {
    shell::MainWindow* w = shell::mainWindow();
    if (!w)
        return;
    w->setProjectRowIcon(outcome.jobId,
                         outcome.changed ? store::IconChanged : store::IconUnchanged);
    if (!outcome.changedBidDate.isEmpty())
        w->showChangedBidDate(outcome.jobId, outcome.changedBidDate);
    // Only the selected project's views show merged data; every other project is drawn
    // afresh when it is selected.
    if (w->selectedJobId() == outcome.jobId)
        w->refreshSelectedProject();
}

} // namespace

MergeSummary MergeProjectUpdates(const QString& path) {
    MergeSummary summary;
    const ReadResult read = readProjectDocumentFile(path);
    if (!read.document) {
        ui::message(QStringLiteral("Error parsing results.\r\n") + read.error, ui::Buttons::Ok,
                    ui::Icon::Critical, QStringLiteral("System Error"));
    } else if (!read.document->hasJobElement) {
        ui::message(QStringLiteral("No data was received."), ui::Buttons::Ok, ui::Icon::Information,
                    QStringLiteral("System Message"));
    } else if (!modResources::DbConnection || !modResources::DbConnection->isOpen()) {
        summary.problems.append({QStringLiteral("all"), QStringLiteral("no database is open")});
    } else {
        MergeHooks hooks;
        hooks.projectMerged = showRow;
        hooks.yield = [] { QCoreApplication::processEvents(); };
        try {
            summary = mergeUpdateDocument(*modResources::DbConnection, *read.document,
                                          QDateTime::currentDateTime(), hooks);
        } catch (const db::DbError& e) {
            summary.problems.append({QStringLiteral("all"),
                                     QStringLiteral("%1 %2").arg(e.number()).arg(e.description())});
        }
    }
    QFile::remove(path);
    releaseMainWindow();
    if (!summary.problems.isEmpty())
        ui::message(mergeProblemsText(summary.problems), ui::Buttons::Ok, ui::Icon::Exclamation,
                    QStringLiteral("System Error"));
    return summary;
}

} // namespace brevant::server
