#include "documents/PlaceDocuments.h"

#include "base/MainWindow.h"
#include "documents/DocumentLists.h"
#include "platform/archive/ArchiveError.h"
#include "platform/archive/EntryName.h"
#include "platform/archive/ZipReader.h"
#include "platform/db/Connection.h"
#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "store/SqlValue.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <optional>

namespace brevant::documents {

namespace fs = std::filesystem;

namespace {

// Disables the main window's commands for the placement and enables them on every way out.
struct CommandsDisabled {
    CommandsDisabled() {
        if (auto* w = base::mainWindow())
            w->enableCommands(false);
    }
    ~CommandsDisabled() {
        if (auto* w = base::mainWindow())
            w->enableCommands(true);
    }
};

// The sub-folder in the spelling the program gives, or the existing one in any case.
QString subFolder(const QString& projectFolder, const QString& name) {
    const QString path = db::resolveCaseInsensitive(projectFolder + QLatin1Char('/') + name);
    if (!QFileInfo(path).isDir() && !QDir().mkdir(path))
        throw archive::ArchiveError("cannot create the folder " + path.toStdString());
    return path;
}

void markRow(DocumentViews& views, int list, const QString& tag) {
    const int row = findRowByTag(views, list, tag);
    if (row < 0)
        return;
    views.showRow(list, row);
    views.setIcon(list, row, CachedIcon);
}

// The free bytes where the project folder is (or would be) created.
std::uint64_t freeBytes(const QString& projectFolder) {
    fs::path p = fs::path(projectFolder.toStdString());
    std::error_code ec;
    while (!p.empty() && !fs::exists(p, ec))
        p = p.parent_path();
    const fs::space_info info = fs::space(p.empty() ? fs::path(".") : p, ec);
    return ec ? 0 : info.available;
}

// Why the archive must not be placed, or an empty text.
QString checkEntries(const archive::ZipReader& zip, const QString& projectFolder) {
    std::uint64_t total = 0;
    for (std::int64_t i = 0; i < zip.entryCount(); ++i) {
        const std::string name = zip.entryName(i);
        if (!archive::isSafeEntryName(name))
            return QCoreApplication::translate(
                       "brevant::documents::PlaceDocuments",
                       "the entry \"%1\" would be written outside the project folder")
                .arg(QString::fromStdString(name));
        const std::uint64_t size = zip.entrySize(i);
        if (size > MaxEntryBytes)
            return QCoreApplication::translate("brevant::documents::PlaceDocuments",
                                               "the entry \"%1\" is larger than 4 GB")
                .arg(QString::fromStdString(name));
        total += size;
    }
    if (total > freeBytes(projectFolder))
        return QCoreApplication::translate(
                   "brevant::documents::PlaceDocuments",
                   "the documents (%1 bytes) do not fit on the cache's disk")
            .arg(total);
    return {};
}

// The revision a plan page's entry comment gives ("Revision=N", N of at most nine digits);
// nullopt for anything else, which is what archives without revisions have.
std::optional<int> entryRevision(const std::string& comment) {
    static const QRegularExpression form(QStringLiteral("^Revision=([0-9]{1,9})$"));
    const QRegularExpressionMatch m = form.match(QString::fromStdString(comment));
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
}

// A placed page that is a later drawing than the stored revision leaves the revision current,
// with the Change_History row an update check writes for it; true when it was raised.
bool raiseRevision(db::Connection& connection, const QString& job, const QString& file,
                   int revision) {
    const QString where = QStringLiteral(" FROM Plans WHERE JobID = ") + job +
                          QStringLiteral(" AND File = '") + store::SqlEscape(file) +
                          QLatin1Char('\'');
    db::Recordset rs;
    rs.open(QStringLiteral("Select Revision, Description") + where, connection);
    if (rs.eof())
        return false;
    const int stored = rs.field(0).toInt();
    const QString description = rs.field(1).toString();
    rs.close();
    if (stored >= revision)
        return false;
    connection.execute(QStringLiteral("UPDATE Plans SET Revision = ") + QString::number(revision) +
                       QStringLiteral(" WHERE JobID = ") + job + QStringLiteral(" AND File = '") +
                       store::SqlEscape(file) + QLatin1Char('\''));
    auto value = [&](int r) -> QString {
        return store::SqlValue(file.toUpper() + QStringLiteral(" - ") + description +
                                   QStringLiteral(" (REVISION %1)").arg(r),
                               false);
    };
    connection.execute(
        QStringLiteral("INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value, "
                       "Found_By) VALUES (") +
        job + QLatin1Char(',') +
        store::SqlValue(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), false) +
        QStringLiteral(",'PLAN PAGE',") + value(stored) + QLatin1Char(',') + value(revision) +
        QLatin1Char(',') + store::SqlValue(connection.estimator(), false) + QLatin1Char(')'));
    return true;
}

} // namespace

bool isPlanEntry(const QString& name) {
    static const QRegularExpression page(QStringLiteral("^PLAN[0-9]{3}"));
    return page.match(name.left(7)).hasMatch() ||
           name.compare(QLatin1String("PLAN.SVD"), Qt::CaseInsensitive) == 0;
}

QString specOfEntry(const QString& name) {
    if (!name.contains(QLatin1String(".SVD"), Qt::CaseInsensitive))
        return {};
    return name.left(name.indexOf(QLatin1Char('.'))).trimmed();
}

PlaceOutcome PlaceDocuments(const PlaceRequest& request, db::Connection& connection,
                            DocumentViews& views) {
    PlaceOutcome out;
    if (!QFileInfo::exists(request.archivePath)) {
        out.result = PlaceResult::Missing;
        out.reason = QCoreApplication::translate("brevant::documents::PlaceDocuments",
                                                 "the archive does not exist");
        return out;
    }
    const CommandsDisabled disabled;
    const QString job = QString::number(request.jobId);
    try {
        const archive::ZipReader zip(fs::path(request.archivePath.toStdString()));
        out.reason = checkEntries(zip, request.projectFolder);
        if (!out.reason.isEmpty()) {
            out.result = PlaceResult::Refused;
            return out;
        }
        const QString project = db::resolveCaseInsensitive(request.projectFolder);
        if (!QFileInfo(project).isDir() && !QDir().mkdir(project))
            throw archive::ArchiveError("cannot create the folder " + project.toStdString());
        if (zip.entryCount() == 0) {
            ui::message(QCoreApplication::translate(
                            "brevant::documents::PlaceDocuments",
                            "These documents are no longer available - Please contact us via email "
                            "at %1 with any questions concerning this project ...")
                            .arg(request.supportEmail),
                        ui::Buttons::Ok, ui::Icon::Information,
                        QCoreApplication::translate("brevant::documents::PlaceDocuments",
                                                    "System Message"));
        }
        for (std::int64_t i = 0; i < zip.entryCount(); ++i) {
            const QString name = QString::fromStdString(zip.entryName(i));
            if (isPlanEntry(name)) {
                views.showList(PlanList);
                zip.extract(i, subFolder(project, QStringLiteral("PLANS")).toStdString(),
                            MaxEntryBytes);
                ++out.placed;
                connection.execute(
                    QStringLiteral("Update [Plans] Set [Local] = True WHERE [JobID] = ") + job +
                    QStringLiteral(" AND [File] = '") + store::SqlEscape(name) + QLatin1Char('\''));
                markRow(views, PlanList, name);
                if (const auto revision = entryRevision(zip.entryComment(i));
                    revision && raiseRevision(connection, job, name, *revision))
                    out.revised.append(name);
                continue;
            }
            zip.extract(i, subFolder(project, QStringLiteral("SPECS")).toStdString(),
                        MaxEntryBytes);
            ++out.placed;
            const QString spec = specOfEntry(name);
            if (spec.isEmpty())
                continue; // a page image of a document
            const int list =
                name.left(3).toUpper() == QLatin1String("ADD") ? AddendaList : SpecList;
            views.showList(list);
            connection.execute(
                QStringLiteral("Update [Specs] Set [Local] = True WHERE [JobID] = ") + job +
                QStringLiteral(" AND [Spec] = '") + store::SqlEscape(spec) + QLatin1Char('\''));
            markRow(views, list, spec);
        }
    } catch (const archive::ArchiveError& e) {
        out.result = PlaceResult::Failed;
        out.reason = QString::fromUtf8(e.what());
        return out;
    } catch (const db::DbError& e) {
        out.result = PlaceResult::Failed;
        out.reason = e.description();
        return out;
    }
    QFile::remove(request.archivePath);
    out.result = PlaceResult::Placed;
    return out;
}

} // namespace brevant::documents
