#include "store/LocalSearch.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/NativeQuery.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace brevant::store {

namespace {

const QString kIndex = QStringLiteral("Project_Search");

// One index row per source row. Its rowid is the source row's rowid times 8 plus the table's
// number, so a trigger finds the row to replace without a scan. Compaction copies tables with
// VACUUM INTO, which keeps row ids, so the numbers stay valid across compactions.
struct Source {
    int kind;
    const char* table;
    const char* job;     // the table's project key column
    const char* text;    // the indexed text of one row, in terms of a row alias "r"
    const char* columns; // the columns whose change re-indexes the row
};

const Source kSources[] = {
    {0, "Projects", "Job_ID",
     "coalesce(r.Name,'')||' '||coalesce(r.Description,'')||' '||coalesce(r.City,'')||' '||"
     "coalesce(r.State,'')||' '||coalesce(r.Notes,'')",
     "Job_ID, Name, Description, City, State, Notes"},
    {1, "Specs", "JobID", "coalesce(r.Spec,'')||' '||coalesce(r.Description,'')",
     "JobID, Spec, Description"},
    {2, "Contacts", "Job_ID",
     "coalesce(r.Name,'')||' '||coalesce(r.Contact,'')||' '||coalesce(r.City,'')||' '||"
     "coalesce(r.State,'')",
     "Job_ID, Name, Contact, City, State"},
    {3, "Awards", "JobID",
     "coalesce(r.Name,'')||' '||coalesce(r.Contact,'')||' '||coalesce(r.Comment,'')",
     "JobID, Name, Contact, Comment"},
    {4, "Attachments", "JobID", "coalesce(r.FileName,'')||' '||coalesce(r.Description,'')",
     "JobID, FileName, Description"},
};

QString rowText(const Source& s, const QString& alias) {
    return QString::fromLatin1(s.text).replace(QStringLiteral("r."), alias + QLatin1Char('.'));
}

QString insertFor(const Source& s, const QString& alias) {
    return QStringLiteral("INSERT INTO %1(rowid, job, body) VALUES (%2.rowid*8+%3, %2.%4, %5);")
        .arg(kIndex, alias)
        .arg(s.kind)
        .arg(QLatin1String(s.job), rowText(s, alias));
}

QString deleteFor(const Source& s) {
    return QStringLiteral("DELETE FROM %1 WHERE rowid = old.rowid*8+%2;").arg(kIndex).arg(s.kind);
}

QString triggersSql() {
    QString sql;
    for (const Source& s : kSources) {
        const QString t = QLatin1String(s.table);
        const QString name = kIndex + QLatin1Char('_') + t;
        sql +=
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_ai AFTER INSERT ON %2 BEGIN %3 END;\n")
                .arg(name, t, insertFor(s, QStringLiteral("new")));
        sql +=
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_ad AFTER DELETE ON %2 BEGIN %3 END;\n")
                .arg(name, t, deleteFor(s));
        sql +=
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_au AFTER UPDATE OF %2 ON %3 BEGIN %4 "
                           "%5 END;\n")
                .arg(name, QLatin1String(s.columns), t, deleteFor(s),
                     insertFor(s, QStringLiteral("new")));
    }
    return sql;
}

QString fillSql() {
    QString sql = QStringLiteral("DELETE FROM %1;\n").arg(kIndex);
    for (const Source& s : kSources) {
        sql +=
            QStringLiteral("INSERT INTO %1(rowid, job, body) SELECT r.rowid*8+%2, r.%3, %4 "
                           "FROM %5 r;\n")
                .arg(kIndex)
                .arg(s.kind)
                .arg(QLatin1String(s.job), rowText(s, QStringLiteral("r")), QLatin1String(s.table));
    }
    return sql;
}

long long countOf(db::Connection& connection, const QString& sql) {
    const auto rows = db::queryNative(connection, sql);
    return rows.empty() ? 0 : rows.front().value(0).toLongLong();
}

bool inStep(db::Connection& connection) {
    long long sources = 0;
    for (const Source& s : kSources)
        sources += countOf(connection,
                           QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(s.table)));
    return sources == countOf(connection, QStringLiteral("SELECT count(*) FROM %1").arg(kIndex));
}

bool hasSearchChar(const QString& word) {
    for (const QChar c : word)
        if (c.isLetterOrNumber())
            return true;
    return false;
}

} // namespace

void ensureSearchIndex(db::Connection& connection) {
    const bool exists = db::tableExists(connection, kIndex);
    if (exists && inStep(connection)) {
        connection.executeNative(triggersSql());
        return;
    }
    // One transaction: a start that is cut short leaves no half-built index behind.
    QString sql = QStringLiteral("BEGIN;\n");
    if (!exists)
        sql += QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(job UNINDEXED, body, "
                              "tokenize = 'unicode61 remove_diacritics 2', prefix = '2 3');\n")
                   .arg(kIndex);
    sql += triggersSql() + fillSql() + QStringLiteral("COMMIT;\n");
    try {
        connection.executeNative(sql);
    } catch (...) {
        try {
            connection.executeNative(QStringLiteral("ROLLBACK;"));
        } catch (...) {
        }
        throw;
    }
}

QStringList searchWords(const QString& typed) {
    QStringList words;
    for (const QString& piece :
         typed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (hasSearchChar(piece))
            words.append(piece);
    return words;
}

QString searchMatchExpression(const QString& typed) {
    QStringList terms;
    for (QString word : searchWords(typed))
        terms.append(QLatin1Char('"') + word.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                     QStringLiteral("\"*"));
    return terms.join(QLatin1Char(' '));
}

std::vector<int> searchJobIds(db::Connection& connection, const QString& typed) {
    std::vector<int> ids;
    const QString match = searchMatchExpression(typed);
    if (match.isEmpty())
        return ids;
    for (const auto& row : db::queryNative(
             connection,
             QStringLiteral("SELECT DISTINCT job FROM %1 WHERE %1 MATCH ?1").arg(kIndex), {match}))
        ids.push_back(row.value(0).toInt());
    return ids;
}

LoadResult searchProjects(db::Connection& connection, const QString& typed, const SortState& sort) {
    LoadResult result;
    const QString match = searchMatchExpression(typed);
    if (match.isEmpty())
        return result;
    // The sort key comes from a fixed set of column names, never from the user.
    const QString sql =
        QStringLiteral("SELECT Job_ID, Due_Date, Name, Assignment, New, Tracked FROM Projects "
                       "WHERE Job_ID IN (SELECT job FROM %1 WHERE %1 MATCH ?1) "
                       "ORDER BY [%2] %3")
            .arg(kIndex, sort.key(), sort.order());
    try {
        for (const auto& r : db::queryNative(connection, sql, {match})) {
            ProjectRow row;
            row.jobId = r.value(0).toInt();
            row.dateText = bidDateText(r.value(1).toString());
            row.name = r.value(2).toString();
            row.assignment = r.value(3).toString();
            row.icon = stateIcon(r.value(4).toLongLong() != 0, r.value(5).toLongLong() != 0);
            result.rows.push_back(std::move(row));
        }
    } catch (const db::DbError& e) {
        result.ok = false;
        ui::message(QCoreApplication::translate("brevant::store::LocalSearch",
                                                "Error loading projects: %1 %2")
                        .arg(QString::number(e.number()), e.description()),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::store::LocalSearch", "System Error"));
    }
    return result;
}

} // namespace brevant::store
