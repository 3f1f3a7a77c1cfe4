// Reading the project list, the selected project and the project counts from Desktop.mdb.
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <exception>

namespace brevant::store {

namespace {

void showLoadError(long number, const QString& description) {
    ui::message(QCoreApplication::translate("brevant::store::ProjectListLoad",
                                            "Error loading projects: %1 %2")
                    .arg(QString::number(number), description),
                ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::store::ProjectListLoad", "System Error"));
}

int fieldIndex(const db::Recordset& rs, const QString& name) {
    for (int i = 0; i < rs.fieldCount(); ++i) {
        if (rs.fieldName(i).compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    throw db::DbError(db::errors::ItemNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to "
                                     "the requested name or ordinal."));
}

long countOf(db::Connection& connection, const QString& sql) {
    db::Recordset rs;
    rs.open(sql, connection, db::Recordset::Cursor::Static);
    const long n = rs.eof() ? 0 : rs.field(QStringLiteral("count")).toLongLong();
    rs.close();
    return n;
}

} // namespace

QString bidDateText(const QVariant& value) {
    if (value.isNull()) {
        return {};
    }
    QDate day;
    if (value.typeId() == QMetaType::QDateTime) {
        day = value.toDateTime().date();
    } else if (value.typeId() == QMetaType::QDate) {
        day = value.toDate();
    } else {
        return bidDateText(value.toString());
    }
    if (day.year() == 1900) {
        return QStringLiteral("No Date Set");
    }
    if (!day.isValid()) {
        return {};
    }
    return QString::asprintf("%02d/%02d/%04d", day.month(), day.day(), day.year());
}

LoadResult loadProjects(db::Connection& connection, Filter filter, const SortState& sort,
                        const std::function<void()>& perRow) {
    LoadResult result;
    try {
        db::Recordset rs;
        rs.open(projectsQuery(filter, sort), connection);
        const int jobId = fieldIndex(rs, QStringLiteral("Job_ID"));
        const int due = fieldIndex(rs, QStringLiteral("Due_Date"));
        const int name = fieldIndex(rs, QStringLiteral("Name"));
        const int assignment = fieldIndex(rs, QStringLiteral("Assignment"));
        const int isNew = fieldIndex(rs, QStringLiteral("New"));
        const int tracked = fieldIndex(rs, QStringLiteral("Tracked"));
        for (; !rs.eof(); rs.moveNext()) {
            ProjectRow row;
            row.jobId = rs.field(jobId).toInt();
            row.dateText = bidDateText(rs.field(due));
            row.name = rs.field(name).toString();
            row.assignment = rs.field(assignment).toString();
            row.icon = stateIcon(rs.field(isNew).toBool(), rs.field(tracked).toBool());
            result.rows.push_back(std::move(row));
            if (perRow) {
                perRow();
            }
        }
        rs.close();
    } catch (const db::DbError& e) {
        result.ok = false;
        showLoadError(e.number(), e.description());
    } catch (const std::exception& e) {
        result.ok = false;
        showLoadError(db::errors::Unspecified, QString::fromLocal8Bit(e.what()));
    }
    return result;
}

void selectProject(db::Connection& connection, db::Recordset& dbRecordset, int jobId) {
    if (dbRecordset.isOpen()) {
        dbRecordset.close();
    }
    dbRecordset.open(selectProjectSql(jobId), connection);
}

std::optional<int> selectedJobId(db::Recordset& dbRecordset) {
    if (!dbRecordset.isOpen() || dbRecordset.eof() || dbRecordset.bof()) {
        return std::nullopt;
    }
    const QVariant v = dbRecordset.field(QStringLiteral("JOB_ID"));
    if (v.isNull()) {
        return std::nullopt;
    }
    return v.toInt();
}

std::optional<int> currentStateIcon(db::Connection& connection, int jobId) {
    db::Recordset rs;
    rs.open(QStringLiteral("Select New, Tracked from [Projects] where [Job_ID] = ") +
                QString::number(jobId),
            connection, db::Recordset::Cursor::Static);
    if (rs.eof()) {
        return std::nullopt;
    }
    const int icon = stateIcon(rs.field(QStringLiteral("New")).toBool(),
                               rs.field(QStringLiteral("Tracked")).toBool());
    rs.close();
    return icon;
}

ProjectCounts countProjects(db::Connection& connection) {
    const QString base = QStringLiteral("Select Count([Job_ID]) as [count] from [Projects]");
    ProjectCounts c;
    c.tracked = countOf(connection, base + QStringLiteral(" WHERE [Tracked] = TRUE"));
    c.fresh = countOf(connection, base + QStringLiteral(" WHERE [New] = TRUE"));
    c.viewed =
        countOf(connection, base + QStringLiteral(" WHERE [New] = FALSE AND [Tracked] = FALSE"));
    c.total = countOf(connection, base);
    return c;
}

} // namespace brevant::store
