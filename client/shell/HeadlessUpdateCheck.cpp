#include "shell/HeadlessUpdateCheck.h"

#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ConsoleUi.h"
#include "platform/ui/TerminalText.h"
#include "server/UpdateCheck.h"
#include "shell/Startup.h"
#include "shell/UpdateNotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <algorithm>
#include <optional>

namespace brevant::shell {

namespace {

QList<int> trackedProjects(db::Connection& c) {
    QList<int> ids;
    db::Recordset rs;
    rs.open(QStringLiteral("Select Job_ID from [Projects] where [Tracked] = true Order By "
                           "[Job_ID]"),
            c);
    while (!rs.eof()) {
        ids << rs.field(0).toInt();
        rs.moveNext();
    }
    return ids;
}

QString projectName(db::Connection& c, int id) {
    db::Recordset rs;
    rs.open(QStringLiteral("Select [Name] from [Projects] where [Job_ID] = %1").arg(id), c);
    return rs.eof() ? QString() : rs.field(0).toString();
}

} // namespace

QString OutcomeLine(const QString& name, const server::ProjectMergeOutcome& o) {
    QString line = QString::number(o.jobId);
    if (!name.isEmpty())
        line += QLatin1Char(' ') + ui::escapeForTerminal(name);
    QStringList found;
    if (!o.logged.isEmpty())
        found << QStringLiteral("%1 new").arg(o.logged.size());
    if (o.fieldsChanged > 0)
        found << QStringLiteral("%1 field%2 changed")
                     .arg(o.fieldsChanged)
                     .arg(o.fieldsChanged == 1 ? "" : "s");
    return line + QStringLiteral(": ") +
           (found.isEmpty() ? QStringLiteral("no changes") : found.join(QStringLiteral(", ")));
}

std::optional<QList<int>> parseJobList(const QString& text) {
    QList<int> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
        if (!ids.contains(id))
            ids << id;
    }
    if (ids.isEmpty())
        return std::nullopt;
    return ids;
}

int RunHeadlessUpdateCheck(const HeadlessCheckOptions& options, QTextStream& out,
                           QTextStream& err) {
    ui::ScopedConsoleUi console(err);
    if (options.user.isEmpty() || options.password.isEmpty()) {
        err << "A user name (--user) and a password (--password-file, BREVANT_PASSWORD or "
               "standard input) are needed."
            << Qt::endl;
        return 2;
    }
    if (!InitializeApplication())
        return 1;
    modResources::UserName = options.user;
    modResources::Password = options.password;
    db::Connection& c = *modResources::DbConnection;
    // One check at a time per store: two checks merging the same projects would only wait on
    // each other's locks and fetch every update twice.
    try {
        if (!c.tryLockStore(db::StoreLock::UpdateCheck)) {
            out << "Another check is running on this project store; nothing was checked."
                << Qt::endl;
            return kAnotherCheckRunning;
        }
    } catch (const db::DbError& e) {
        err << "Error locking the project store: " << e.number() << ' '
            << ui::escapeForTerminal(e.description()) << Qt::endl;
        return 1;
    }

    QList<int> ids = options.jobs;
    try {
        if (options.tracked)
            ids = trackedProjects(c);
    } catch (const db::DbError& e) {
        err << "Error reading the projects: " << e.number() << ' '
            << ui::escapeForTerminal(e.description()) << Qt::endl;
        return 1;
    }
    if (ids.isEmpty()) {
        out << "No projects to check." << Qt::endl;
        return 0;
    }
    QStringList argument;
    for (int id : ids)
        argument << QString::number(id);

    server::ServerConnection connection(server::RequestKind::ProjectUpdate);
    QEventLoop loop;
    bool ended = false;
    std::optional<server::MergeSummary> result;
    auto done = [&](const server::MergeSummary* summary) {
        if (summary)
            result = *summary;
        ended = true;
        loop.quit();
    };
    server::PendingUpdateArgument = argument.join(QLatin1Char(','));
    const server::ServerConnection::Open open =
        server::RequestProjectUpdates(connection, server::PendingUpdateArgument, done);
    if (open != server::ServerConnection::Open::Connecting &&
        open != server::ServerConnection::Open::Sent) {
        server::PendingUpdateArgument.clear();
        return 1;
    }
    server::WriteLastUpdate();
    if (!ended)
        loop.exec();
    if (!result)
        return 1;

    int code = result->problems.isEmpty() ? 0 : 1;
    QList<ChangedProject> changed;
    for (int id : ids) {
        const auto merged =
            std::find_if(result->merged.begin(), result->merged.end(),
                         [id](const server::ProjectMergeOutcome& o) { return o.jobId == id; });
        if (merged != result->merged.end()) {
            const QString name = projectName(c, id);
            out << OutcomeLine(name, *merged) << Qt::endl;
            if (!merged->logged.isEmpty() || merged->fieldsChanged > 0)
                changed.append({id, name});
        } else {
            out << id << ": not updated" << Qt::endl;
            code = 1;
        }
    }
    out.flush();
    if (options.notify)
        NotifyChangedProjects(changed, options.tracked, QDBusConnection::sessionBus(),
                              kUpdateNoticeWaitMs, QCoreApplication::applicationFilePath(),
                              DetachedLauncher(), err);
    return code;
}

} // namespace brevant::shell
