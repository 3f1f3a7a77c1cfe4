// The list commands on checked projects: mark tagged or opened, delete with the cache folders,
// and saving the notes of the selected project.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "store/LostUnit.h"
#include "store/ProjectDelete.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <exception>
#include <filesystem>
#include <system_error>

namespace brevant::store {

namespace {

void showError(long number, const QString& description, const QString& tail = {}) {
    ui::message(QString::number(number) + QLatin1Char(' ') + description + tail, ui::Buttons::Ok,
                ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::store::ProjectCommands", "System Error"));
}

int markAll(db::Connection& connection, const std::vector<int>& checkedJobIds, bool tracked,
            const std::function<void(int, int)>& rowDone) {
    const QString head = tracked
                             ? QStringLiteral("Update [Projects] set [Tracked] = TRUE, [NEW] = "
                                              "FALSE where [JOB_ID] = ")
                             : QStringLiteral("Update [Projects] set [Tracked] = FALSE, [NEW] = "
                                              "FALSE where [JOB_ID] = ");
    const int icon = tracked ? IconTagged : IconOpened;
    int done = 0;
    for (int jobId : checkedJobIds) {
        try {
            connection.execute(head + QString::number(jobId));
        } catch (const db::DbError& e) {
            showError(e.number(), e.description());
            break;
        }
        ++done;
        if (rowDone) {
            rowDone(jobId, icon);
        }
    }
    return done;
}

template <typename F> void call(const F& f) {
    if (f) {
        f();
    }
}

} // namespace

int markTagged(db::Connection& connection, const std::vector<int>& checkedJobIds,
               const std::function<void(int jobId, int icon)>& rowDone) {
    return markAll(connection, checkedJobIds, true, rowDone);
}

int markOpened(db::Connection& connection, const std::vector<int>& checkedJobIds,
               const std::function<void(int jobId, int icon)>& rowDone) {
    return markAll(connection, checkedJobIds, false, rowDone);
}

bool removeProjectCache(const QString& cacheLocation, int jobId) {
    namespace fs = std::filesystem;
    // An empty root would make the project folder a folder of the file system's root.
    if (cacheLocation.trimmed().isEmpty()) {
        return false;
    }
    const fs::path folder = fs::path(cacheLocation.toStdString()) / std::to_string(jobId);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(folder, ec))) {
        return true;
    }
    // Everything under the project's folder belongs to the project: its plans and specs, the
    // user's attachments, and anything else placed there. remove_all does not follow links.
    fs::remove_all(folder, ec);
    return !fs::exists(fs::symlink_status(folder, ec));
}

bool deleteProjects(db::Connection& connection, const QString& cacheLocation,
                    const std::vector<int>& checkedJobIds, const DeleteHooks& hooks) {
    auto pointer = [&](bool busy) {
        if (hooks.busyPointer) {
            hooks.busyPointer(busy);
        }
    };
    auto status = [&](const QString& text) {
        if (hooks.setStatusText) {
            hooks.setStatusText(text);
        }
    };
    pointer(true);
    status(QCoreApplication::translate("brevant::store::ProjectCommands",
                                       "Deleting Projects - Please Wait ..."));
    if (checkedJobIds.empty()) {
        ui::message(
            QCoreApplication::translate("brevant::store::ProjectCommands",
                                        "No projects selected for deletion ..."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::store::ProjectCommands", "System Message"));
        status(QString());
        pointer(false);
        return false;
    }
    call(hooks.showWait);
    if (ui::message(
            QCoreApplication::translate("brevant::store::ProjectCommands",
                                        "Are you sure want to delete the selected record(s)?"),
            ui::Buttons::YesNo, ui::Icon::Question,
            QCoreApplication::translate("brevant::store::ProjectCommands", "System Prompt")) !=
        ui::Answer::Yes) {
        status(QString());
        pointer(false);
        call(hooks.closeWait);
        return false;
    }
    bool deleted = false;
    for (int jobId : checkedJobIds) {
        try {
            DeleteProjectRecords(connection, jobId);
        } catch (const db::DbError& e) {
            // The project is whole again (one transaction; after a lost connection it may be
            // gone after all, which the text says); its files stay with it.
            if (e.condition() == db::Condition::ConnectionLost)
                ui::message(
                    lostUnitText(connection, {jobId}), ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::store::ProjectCommands", "System Error"));
            else
                showError(e.number(), e.description());
            break;
        }
        deleted = true;
        removeProjectCache(cacheLocation, jobId);
        call(hooks.yield);
    }
    call(hooks.reload);
    pointer(false);
    call(hooks.closeWait);
    status(QString());
    call(hooks.yield);
    return deleted;
}

bool saveNotes(db::Connection& connection, std::optional<int> selectedJobId, const QString& notes) {
    if (!selectedJobId) {
        return false;
    }
    try {
        connection.execute(saveNotesSql(*selectedJobId, notes));
    } catch (const db::DbError& e) {
        if (e.number() != db::errors::ItemNotFound) {
            showError(e.number(), e.description(),
                      QCoreApplication::translate("brevant::store::ProjectCommands",
                                                  " - Please try again later ..."));
        }
        return false;
    }
    return true;
}

} // namespace brevant::store
