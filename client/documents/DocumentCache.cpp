#include "documents/DocumentCache.h"

#include "base/MainWindow.h"
#include "platform/db/Connection.h"
#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <filesystem>
#include <harlix/ComError.h>
#include <harlix/miscStuff.h>

namespace brevant::documents {

namespace fs = std::filesystem;

namespace {

QString existingFile(const QString& path) {
    const QString resolved = db::resolveCaseInsensitive(path);
    return QFileInfo(resolved).isFile() ? resolved : QString();
}

// The attachment file names of a project, upper-cased.
QSet<QString> attachmentNames(db::Connection& connection, int jobId) {
    QSet<QString> names;
    db::Recordset rs;
    rs.open(QStringLiteral("Select FileName FROM [Attachments] where [JobID] = ") +
                QString::number(jobId),
            connection);
    while (!rs.eof()) {
        names.insert(rs.field(QStringLiteral("FileName")).toString().toUpper());
        rs.moveNext();
    }
    rs.close();
    return names;
}

// Removes a sub-folder (or a link standing where it is) with everything in it.
void removeSubFolder(const fs::path& projectFolder, const QString& name) {
    const fs::path folder =
        db::resolveCaseInsensitive(
            QString::fromStdString((projectFolder / name.toStdString()).string()))
            .toStdString();
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder, ec)))
        fs::remove_all(folder, ec); // removes a link itself, never what it points to
}

} // namespace

QString ProjectCacheFolder(const QString& cacheLocation, int jobId) {
    return db::resolveCaseInsensitive(QDir::cleanPath(cacheLocation) + QLatin1Char('/') +
                                      QString::number(jobId));
}

QString PlanSetFile(const QString& cacheLocation, int jobId) {
    return existingFile(ProjectCacheFolder(cacheLocation, jobId) +
                        QStringLiteral("/PLANS/PLAN.SVD"));
}

QString PlanPageDocument(const QString& cacheLocation, int jobId, const QString& pageFile) {
    if (pageFile.isEmpty() || existingFile(ProjectCacheFolder(cacheLocation, jobId) +
                                           QStringLiteral("/PLANS/") + pageFile)
                                  .isEmpty())
        return {};
    return PlanSetFile(cacheLocation, jobId);
}

QString SectionDocument(const QString& cacheLocation, int jobId, const QString& spec) {
    if (spec.isEmpty())
        return {};
    return existingFile(ProjectCacheFolder(cacheLocation, jobId) + QStringLiteral("/SPECS/") +
                        spec + QStringLiteral(".svd"));
}

bool OpenDocumentFile(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    try {
        // Opened, never run: the cache may sit on a file system that marks every file
        // executable. (The parameter "1" of the shell's Open has no place on xdg-open's line.)
        harlix::miscStuff().OpenDocument(0, info.fileName().toStdString(),
                                         info.absolutePath().toStdString());
        return true;
    } catch (const harlix::ComError& e) {
        ui::message(
            QString::number(e.number()) + QLatin1Char(' ') +
                QString::fromStdString(e.description()),
            ui::Buttons::Ok, ui::Icon::Critical,
            QCoreApplication::translate("brevant::documents::DocumentCache", "System Error"));
        return false;
    }
}

void ClearProjectCache(db::Connection& connection, const QString& cacheLocation, int jobId) {
    const QString job = QString::number(jobId);
    if (!cacheLocation.isEmpty()) {
        const fs::path folder = ProjectCacheFolder(cacheLocation, jobId).toStdString();
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(folder, ec);
        if (fs::is_symlink(status)) {
            fs::remove(folder, ec); // a link in place of the folder: only the link goes
        } else if (fs::is_directory(status)) {
            removeSubFolder(folder, QStringLiteral("PLANS"));
            removeSubFolder(folder, QStringLiteral("SPECS"));
            const QSet<QString> keep = attachmentNames(connection, jobId);
            for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
                const fs::file_status s = it->symlink_status(ec);
                if (fs::is_directory(s))
                    continue; // the folder of another program or the user's: left alone
                if (keep.contains(QString::fromStdString(it->path().filename().string()).toUpper()))
                    continue;
                std::error_code one;
                fs::remove(it->path(), one);
            }
            fs::remove(folder, ec); // only when it is empty now
        }
    }
    connection.execute(QStringLiteral("Update [Plans] Set [Local] = 0 Where [JobID] = ") + job);
    connection.execute(QStringLiteral("Update [Specs] Set [Local] = 0 Where [JobID] = ") + job);
}

void ClearCacheCommand(db::Connection& connection, const QString& cacheLocation,
                       const std::function<void(bool)>& hourglass) {
    base::MainWindow* window = base::mainWindow();
    auto pointer = [&](bool busy) {
        if (hourglass)
            hourglass(busy);
    };
    pointer(true);
    const std::vector<int> jobs = window ? window->checkedJobIds() : std::vector<int>{};
    if (jobs.empty()) {
        pointer(false);
        ui::message(
            QCoreApplication::translate("brevant::documents::DocumentCache",
                                        "No project(s) selected ..."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::documents::DocumentCache", "System Message"));
        return;
    }
    base::SetStatusText(
        QCoreApplication::translate("brevant::documents::DocumentCache",
                                    "Clearing Cache for Selected Projects - Please Wait ..."));
    base::ShowWaitForm();
    try {
        for (int job : jobs) {
            ClearProjectCache(connection, cacheLocation, job);
            QCoreApplication::processEvents();
        }
    } catch (const db::DbError& e) {
        ui::message(
            QString::number(e.number()) + QLatin1Char(' ') + e.description(), ui::Buttons::Ok,
            ui::Icon::Critical,
            QCoreApplication::translate("brevant::documents::DocumentCache", "System Error"));
    }
    window->loadProjects(window->currentFilter(), false);
    pointer(false);
    base::CloseWaitForm();
    base::SetStatusText(QString());
}

} // namespace brevant::documents
