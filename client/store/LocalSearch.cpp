#include "store/LocalSearch.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/TextIndex.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <unordered_set>

namespace brevant::store {

namespace {

// What an estimator remembers of a project, row by row.
const db::TextIndex& projectIndex() {
    static const db::TextIndex index{
        QStringLiteral("Project_Search"),
        {
            {QStringLiteral("Projects"),
             QStringLiteral("Job_ID"),
             {QStringLiteral("Name"), QStringLiteral("Description"), QStringLiteral("City"),
              QStringLiteral("State"), QStringLiteral("Notes")}},
            {QStringLiteral("Specs"),
             QStringLiteral("JobID"),
             {QStringLiteral("Spec"), QStringLiteral("Description")}},
            {QStringLiteral("Contacts"),
             QStringLiteral("Job_ID"),
             {QStringLiteral("Name"), QStringLiteral("Contact"), QStringLiteral("City"),
              QStringLiteral("State")}},
            {QStringLiteral("Awards"),
             QStringLiteral("JobID"),
             {QStringLiteral("Name"), QStringLiteral("Contact"), QStringLiteral("Comment")}},
            {QStringLiteral("Attachments"),
             QStringLiteral("JobID"),
             {QStringLiteral("FileName"), QStringLiteral("Description")}},
        }};
    return index;
}

bool hasSearchChar(const QString& word) {
    for (const QChar c : word)
        if (c.isLetterOrNumber())
            return true;
    return false;
}

void showLoadError(long number, const QString& description) {
    ui::message(
        QCoreApplication::translate("brevant::store::LocalSearch", "Error loading projects: %1 %2")
            .arg(QString::number(number), description),
        ui::Buttons::Ok, ui::Icon::Exclamation,
        QCoreApplication::translate("brevant::store::LocalSearch", "System Error"));
}

} // namespace

void ensureSearchIndex(db::Connection& connection) {
    db::ensureTextIndex(connection, projectIndex());
}

QStringList searchWords(const QString& typed) {
    QStringList words;
    for (const QString& piece :
         typed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (hasSearchChar(piece))
            words.append(piece);
    return words;
}

std::vector<int> searchJobIds(db::Connection& connection, const QString& typed) {
    std::vector<int> ids;
    for (const qint64 key : db::searchTextIndex(connection, projectIndex(), searchWords(typed)))
        ids.push_back(int(key));
    return ids;
}

LoadResult searchProjects(db::Connection& connection, const QString& typed, const SortState& sort) {
    LoadResult result;
    try {
        std::vector<int> ids = searchJobIds(connection, typed);
        if (ids.empty())
            return result;
        if (ids.size() > kSearchKeysPerQuery) {
            LoadResult all = loadProjects(connection, Filter::All, sort);
            const std::unordered_set<int> wanted(ids.begin(), ids.end());
            std::erase_if(all.rows, [&](const ProjectRow& r) { return !wanted.contains(r.jobId); });
            return all;
        }
        std::sort(ids.begin(), ids.end());
        QStringList list;
        list.reserve(qsizetype(ids.size()));
        for (const int id : ids)
            list << QString::number(id);
        // The sort key comes from a fixed set of column names, never from the user.
        db::Recordset rs;
        rs.open(QStringLiteral("Select Job_ID, Due_Date, Name, Assignment, New, Tracked from "
                               "[Projects] where [Job_ID] In (%1) Order By [%2] %3")
                    .arg(list.join(QLatin1Char(',')), sort.key(), sort.order()),
                connection);
        for (; !rs.eof(); rs.moveNext()) {
            ProjectRow row;
            row.jobId = rs.field(0).toInt();
            row.dateText = bidDateText(rs.field(1));
            row.name = rs.field(2).toString();
            row.assignment = rs.field(3).toString();
            row.icon = stateIcon(rs.field(4).toBool(), rs.field(5).toBool());
            result.rows.push_back(std::move(row));
        }
        rs.close();
    } catch (const db::DbError& e) {
        result.ok = false;
        showLoadError(e.number(), e.description());
    }
    return result;
}

} // namespace brevant::store
