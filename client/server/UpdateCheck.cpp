#include "server/UpdateCheck.h"

#include "base/MainWindow.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "server/ArchiveFetch.h"
#include "server/ServerSession.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <memory>

namespace brevant::server {

QString PendingUpdateArgument;

namespace {

// The main window as the update command leaves it when it ends, whichever way.
void releaseMainWindow() {
    PendingUpdateArgument.clear();
    if (base::MainWindow* w = base::mainWindow()) {
        w->setUpdateBusy(false);
        w->closeWaitForm();
        w->setStatusText(QString());
        w->enableCommands(true);
    }
    Hourglass(false);
}

void showRow(const ProjectMergeOutcome& outcome) {
    base::MainWindow* w = base::mainWindow();
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

QString UpdateCheckStatusText(const MergeSummary& summary) {
    QString text =
        QCoreApplication::translate("brevant::server::UpdateCheck", "%1 checked, %2 changed")
            .arg(summary.merged.size())
            .arg(changedProjects(summary).size());
    if (summary.notMerged > 0)
        text += QCoreApplication::translate("brevant::server::UpdateCheck",
                                            " -- cancelled, %1 not checked")
                    .arg(summary.notMerged);
    return text;
}

QString UpdateCancelledText() {
    return QCoreApplication::translate("brevant::server::UpdateCheck",
                                       "Update check cancelled -- nothing was changed");
}

MergeSummary MergeProjectUpdates(const QString& path, const std::function<bool()>& stop) {
    bool merged = false;
    MergeSummary summary;
    const ReadResult read = readProjectDocumentFile(path);
    if (!read.document) {
        ui::message(QCoreApplication::translate("brevant::server::UpdateCheck",
                                                "Error parsing results.\r\n") +
                        read.error,
                    ui::Buttons::Ok, ui::Icon::Critical,
                    QCoreApplication::translate("brevant::server::UpdateCheck", "System Error"));
    } else if (!read.document->hasJobElement) {
        ui::message(
            QCoreApplication::translate("brevant::server::UpdateCheck", "No data was received."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::server::UpdateCheck", "System Message"));
    } else if (!modResources::DbConnection || !modResources::DbConnection->isOpen()) {
        summary.problems.append(
            {QStringLiteral("all"),
             QCoreApplication::translate("brevant::server::UpdateCheck", "no database is open")});
    } else {
        MergeHooks hooks;
        hooks.projectMerged = showRow;
        // The wait window counts the projects; its Cancel is read between them.
        hooks.yield = [done = 0, total = qint64(read.document->projects.size())]() mutable {
            if (base::MainWindow* w = base::mainWindow())
                w->setWaitProgress(++done, total);
            QCoreApplication::processEvents();
        };
        hooks.stop = stop;
        try {
            summary = mergeUpdateDocument(*modResources::DbConnection, *read.document,
                                          QDateTime::currentDateTime(), hooks);
            merged = true;
        } catch (const db::DbError& e) {
            summary.problems.append({QStringLiteral("all"),
                                     QStringLiteral("%1 %2").arg(e.number()).arg(e.description())});
        }
    }
    QFile::remove(path);
    releaseMainWindow();
    if (merged) {
        // The window stays on what the check found.
        base::SetStatusText(UpdateCheckStatusText(summary));
        const std::vector<int> changed = changedProjects(summary);
        if (base::MainWindow* w = base::mainWindow(); w && !changed.empty())
            w->showChangedRows(changed);
    }
    if (!summary.problems.isEmpty())
        ui::message(mergeProblemsText(summary.problems), ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::server::UpdateCheck", "System Error"));
    return summary;
}

ServerConnection::Open RequestProjectUpdates(ServerConnection& connection, const QString& argument,
                                             std::function<void(const MergeSummary*)> done) {
    // This request's own cancel: a later check never sees it.
    auto cancelled = std::make_shared<bool>(false);
    connection.onReply = [done, cancelled](const QByteArray& reply) {
        base::SetStatusText(
            QCoreApplication::translate("brevant::server::UpdateCheck", "Processing ..."));
        FetchOptions options;
        options.cancelled = [cancelled] { return *cancelled; };
        options.progress = [](std::int64_t received, std::int64_t total) {
            if (base::MainWindow* w = base::mainWindow())
                w->setWaitProgress(received, total);
        };
        const FetchedArchive archive =
            FetchArchive(RequestKind::ProjectUpdate, QString::fromUtf8(reply), options);
        if (!archive.ok) {
            // The fetch showed its message; the window is released as after a refusal.
            releaseMainWindow();
            if (archive.cancelled)
                base::SetStatusText(UpdateCancelledText());
            if (done)
                done(nullptr);
            return;
        }
        const MergeSummary summary =
            MergeProjectUpdates(archive.unpackedPath, [cancelled] { return *cancelled; });
        if (done)
            done(&summary);
    };
    connection.onEnded = [done] {
        releaseMainWindow();
        if (done)
            done(nullptr);
    };
    const ServerConnection::Open opened = connection.OpenConnection(argument);
    if (opened == ServerConnection::Open::Connecting || opened == ServerConnection::Open::Sent) {
        if (base::MainWindow* w = base::mainWindow()) {
            QPointer<ServerConnection> alive(&connection);
            w->setWaitCancel([alive, cancelled, done] {
                *cancelled = true;
                // Still waiting for the reply: nothing has arrived, so nothing is changed.
                if (alive && alive->active()) {
                    alive->Disconnect();
                    releaseMainWindow();
                    base::SetStatusText(UpdateCancelledText());
                    if (done)
                        done(nullptr);
                }
            });
        }
    }
    return opened;
}

void WriteLastUpdate() {
    try {
        WriteSetting(QStringLiteral("LASTUPDATE"),
                     QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
    } catch (...) {
        // The reminder then shows an older date; nothing else depends on it.
    }
}

namespace {

// The command's own ending (step 9) for the exits before a request went out.
void endCheck() {
    Hourglass(false);
    if (base::MainWindow* w = base::mainWindow()) {
        w->setStatusText(QString());
        w->closeWaitForm();
        w->enableCommands(true);
        w->setUpdateBusy(false);
    }
}

} // namespace

void CheckForUpdates(ServerConnection& connection) {
    base::MainWindow* w = base::mainWindow();
    if (!w || w->updateBusy())
        return;
    if (w->documentsBusy()) {
        ui::message(QCoreApplication::translate(
                        "brevant::server::UpdateCheck",
                        "Documents are being retrieved -- Please wait until they have "
                        "arrived and check for updates again ..."),
                    ui::Buttons::Ok, ui::Icon::Information,
                    QCoreApplication::translate("brevant::server::UpdateCheck", "System Message"));
        return;
    }
    Hourglass(true);
    w->enableCommands(false);
    w->setStatusText(QCoreApplication::translate("brevant::server::UpdateCheck",
                                                 "Checking for Updates - Please Wait ..."));
    w->showWaitForm();
    w->setUpdateBusy(true);

    QString argument;
    for (int id : w->checkedJobIds())
        argument += QString::number(id) + QLatin1Char(',');
    if (argument.isEmpty()) {
        ui::message(QCoreApplication::translate("brevant::server::UpdateCheck",
                                                "No projects selected to update ..."),
                    ui::Buttons::Ok, ui::Icon::Information,
                    QCoreApplication::translate("brevant::server::UpdateCheck", "System Message"));
        endCheck();
        return;
    }
    if (ui::message(QCoreApplication::translate(
                        "brevant::server::UpdateCheck",
                        "Are you sure want to check for updates on the selected record(s)?"),
                    ui::Buttons::YesNo, ui::Icon::Question,
                    QCoreApplication::translate("brevant::server::UpdateCheck", "System Prompt")) !=
        ui::Answer::Yes) {
        WriteLastUpdate();
        endCheck();
        return;
    }
    if (!IsOnline()) {
        ui::message(
            QCoreApplication::translate("brevant::server::UpdateCheck",
                                        "Not Connected to Internet -- Please check your internet "
                                        "connection and try again ..."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::server::UpdateCheck", "System Message"));
        endCheck();
        return;
    }
    if (modResources::UserName.isEmpty() || modResources::Password.isEmpty()) {
        ShowLogon();
        if (modResources::LogonCancelled) {
            endCheck();
            return;
        }
        if (modResources::UserName.isEmpty() || modResources::Password.isEmpty()) {
            WriteLastUpdate();
            endCheck();
            return;
        }
    }
    Hourglass(true);
    argument.chop(1);
    PendingUpdateArgument = argument;
    switch (RequestProjectUpdates(connection, argument)) {
    case ServerConnection::Open::AlreadyConnected:
    case ServerConnection::Open::Connecting:
    case ServerConnection::Open::Sent:
        // The open exchange goes on; UpdateBusy stays set until it ends.
        WriteLastUpdate();
        w->setStatusText(QString());
        return;
    case ServerConnection::Open::NotOnline:
    case ServerConnection::Open::LogonCancelled:
    case ServerConnection::Open::Failed:
        PendingUpdateArgument.clear();
        endCheck();
        return;
    }
}

} // namespace brevant::server
