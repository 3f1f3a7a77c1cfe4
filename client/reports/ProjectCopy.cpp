#include "reports/ProjectCopy.h"

#include "base/MainWindow.h"
#include "platform/richtext/RtfText.h"
#include "platform/ui/Ui.h"
#include "reports/ProjectReports.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace brevant::reports {

namespace fs = std::filesystem;

namespace {

// A failure of one step, with the reason the user reads.
struct CopyFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

fs::path pathOf(const QString& s) {
    return fs::path(s.toStdString());
}

QString textOf(const fs::path& p) {
    return QString::fromStdString(p.string());
}

[[noreturn]] void fail(const QString& what, const fs::path& p, const std::error_code& ec) {
    throw CopyFailure(QStringLiteral("%1 %2 (%3)")
                          .arg(what, textOf(p), QString::fromStdString(ec.message()))
                          .toStdString());
}

// One file, written under a temporary name beside the target and renamed over it.
void copyFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::path temp = to;
    temp += ".brevant-copy";
    fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        fs::remove(temp, ec);
        fail(QCoreApplication::translate("brevant::reports::ProjectCopy", "Cannot copy the file"),
             from, ec);
    }
    fs::rename(temp, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        fail(
            QCoreApplication::translate("brevant::reports::ProjectCopy", "Cannot replace the file"),
            to, ec);
    }
}

void copyTree(const fs::path& from, const fs::path& to, const CopyHooks& hooks) {
    std::error_code ec;
    if (!fs::is_directory(to)) {
        fs::create_directory(to, ec);
        if (ec)
            fail(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                             "Cannot create the folder"),
                 to, ec);
    }
    fs::directory_iterator it(from, ec);
    if (ec)
        fail(QCoreApplication::translate("brevant::reports::ProjectCopy", "Cannot read the folder"),
             from, ec);
    for (const fs::directory_entry& entry : it) {
        const fs::path target = to / entry.path().filename();
        if (entry.is_directory(ec))
            copyTree(entry.path(), target, hooks);
        else if (entry.is_regular_file(ec))
            copyFile(entry.path(), target);
        if (hooks.yield)
            hooks.yield();
    }
}

bool isInside(const fs::path& candidate, const fs::path& folder) {
    std::error_code ec;
    const fs::path c = fs::weakly_canonical(candidate, ec);
    const fs::path f = fs::weakly_canonical(folder, ec);
    auto ci = c.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++ci) {
        if (fi->empty())
            continue; // the trailing separator of a folder path
        if (ci == c.end() || *ci != *fi)
            return false;
    }
    return true;
}

void message(const QString& text, ui::Icon icon, const QString& title) {
    ui::message(text, ui::Buttons::Ok, icon, title);
}

} // namespace

QString NormalizedCopyLocation(const QString& location) {
    QString s = location.trimmed();
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (s.size() > 1 && s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return s;
}

CopyOutcome CopyProject(db::Connection& connection, const QString& cacheRoot, qint64 jobId,
                        const QString& location, const CopyHooks& hooks) {
    CopyOutcome outcome;
    outcome.location = location;
    auto status = [&](const QString& text) {
        if (hooks.status)
            hooks.status(text);
    };
    status(QCoreApplication::translate("brevant::reports::ProjectCopy", "Checking Folders ..."));
    const QString key = QString::number(jobId);
    const fs::path source = pathOf(cacheRoot) / key.toStdString();
    std::error_code ec;
    if (cacheRoot.isEmpty() || !fs::is_directory(source, ec)) {
        status(QString());
        message(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                            "Nothing to copy for this project ..."),
                ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::reports::ProjectCopy", "System Message"));
        return outcome;
    }
    const QString root = NormalizedCopyLocation(location);
    if (root.isEmpty()) {
        status(QString());
        message(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                            "Please enter the location to copy the project to ..."),
                ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::reports::ProjectCopy", "System Message"));
        return outcome;
    }
    const fs::path destination = pathOf(root) / key.toStdString();
    if (isInside(destination, source)) {
        status(QString());
        message(QCoreApplication::translate(
                    "brevant::reports::ProjectCopy",
                    "The copy location is inside this project's own cache folder "
                    "-- Please choose another location ..."),
                ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::reports::ProjectCopy", "System Message"));
        return outcome;
    }

    base::SetStatusText(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                                    "Copying Project Files -- Please Wait ..."));
    if (hooks.setCopying)
        hooks.setCopying(true);
    if (hooks.yield)
        hooks.yield();
    QString failure;
    try {
        if (!fs::is_directory(pathOf(root), ec)) {
            fs::create_directory(pathOf(root), ec); // one level, as the user named it
            if (ec)
                fail(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                                 "Cannot create the folder"),
                     pathOf(root), ec);
        }
        outcome.location = root;
        status(QCoreApplication::translate("brevant::reports::ProjectCopy", "Copying Files ..."));
        copyTree(source, destination, hooks);
        const fs::path reportPath = destination / (key + ".rtf").toStdString();
        QSaveFile report(textOf(reportPath));
        if (!report.open(QIODevice::WriteOnly))
            throw CopyFailure(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                                          "Cannot write the report %1 (%2)")
                                  .arg(textOf(reportPath), report.errorString())
                                  .toStdString());
        report.write(richtext::toRtfBytes(FullProjectReport(connection, jobId)));
        if (!report.commit())
            throw CopyFailure(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                                          "Cannot write the report %1 (%2)")
                                  .arg(textOf(reportPath), report.errorString())
                                  .toStdString());
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    }
    if (hooks.setCopying)
        hooks.setCopying(false);
    status(QString());
    base::SetStatusText(QString());
    if (!failure.isEmpty()) {
        message(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                            "The project could not be copied - %1 ...")
                    .arg(failure),
                ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::reports::ProjectCopy", "System Error"));
        return outcome;
    }
    outcome.copied = true;
    message(QCoreApplication::translate("brevant::reports::ProjectCopy",
                                        "Project copied successfully ..."),
            ui::Icon::Information,
            QCoreApplication::translate("brevant::reports::ProjectCopy", "System Message"));
    if (hooks.yield)
        hooks.yield();
    return outcome;
}

} // namespace brevant::reports
