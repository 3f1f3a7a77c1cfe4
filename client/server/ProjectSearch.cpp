#include "server/ProjectSearch.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "reports/ReportFormat.h"
#include "server/ListingDocument.h"
#include "server/ListingImport.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

namespace brevant::server {

using reports::shortDateFormat;

QString QuoteSqlText(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

namespace {

const QString kInSections = QStringLiteral(
    " [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] WHERE ");

} // namespace

QString LocaleShortDate(const QDate& date) {
    return QLocale().toString(date, shortDateFormat());
}

std::optional<QDate> ParseDateText(const QString& text) {
    const QString t = text.trimmed();
    for (const QString& format : {shortDateFormat(), QStringLiteral("M/d/yyyy"),
                                  QStringLiteral("yyyy-MM-dd"), QStringLiteral("M/d/yy")}) {
        QDate d = QLocale().toDate(t, format);
        if (!d.isValid())
            d = QDate::fromString(t, format);
        if (d.isValid()) {
            if (!format.contains(QLatin1String("yyyy")))
                d = d.addYears(d.year() < 1950 ? 100 : 0); // "3/1/27" is 2027
            return d;
        }
    }
    return std::nullopt;
}

QString TidyCsiList(const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char(',')))
        t.remove(0, 1);
    if (t.endsWith(QLatin1Char(',')))
        t.chop(1);
    return t.trimmed();
}

QString BuildSearchClause(const SearchCriteria& c, const QDate& today) {
    QString clause;
    if (!c.jobName.isEmpty())
        clause += QStringLiteral(" [Job Information].[Name] LIKE '%") + QuoteSqlText(c.jobName) +
                  QStringLiteral("%' AND ");
    if (!c.scope.isEmpty())
        clause += QStringLiteral(" [Job Information].[Description] LIKE '%") +
                  QuoteSqlText(c.scope) + QStringLiteral("%' AND ");
    // Quoted all the same: a date is checked before a search, but the clause takes any text.
    const QString start = QuoteSqlText(c.bidStart), end = QuoteSqlText(c.bidEnd);
    if (!start.isEmpty() && !end.isEmpty())
        clause += QStringLiteral(" [Job Information].[Due_Date] BETWEEN '") + start +
                  QStringLiteral(" 12:00:00 AM' AND '") + end +
                  QStringLiteral(" 11:59:59 PM' AND ");
    else if (!start.isEmpty())
        clause += QStringLiteral(" [Job Information].[Due_Date] >= '") + start +
                  QStringLiteral(" 12:00:00 AM' AND ");
    else if (!end.isEmpty())
        clause += QStringLiteral(" [Job Information].[Due_Date] <= '") + end +
                  QStringLiteral(" 11:59:59 PM' AND ");
    // The range and the list exclude each other: a range box in use empties the list.
    const QString from = QuoteSqlText(c.csiFrom), to = QuoteSqlText(c.csiTo);
    if (!from.isEmpty() && !to.isEmpty())
        clause += kInSections + QStringLiteral("[Jobs Detail].[Section] BETWEEN '") + from +
                  QStringLiteral("' AND '") + to + QStringLiteral("') AND ");
    else if (!from.isEmpty())
        clause += kInSections + QStringLiteral("[Jobs Detail].[Section] >= '") + from +
                  QStringLiteral("') AND ");
    else if (!to.isEmpty())
        clause += kInSections + QStringLiteral("[Jobs Detail].[Section] <= '") + to +
                  QStringLiteral("') AND ");
    else if (!c.csiList.isEmpty()) {
        QStringList pieces = c.csiList.split(QLatin1Char(','));
        for (QString& p : pieces)
            p = QuoteSqlText(p);
        clause += kInSections + QStringLiteral("(SECTION = '") +
                  pieces.join(QStringLiteral("' OR SECTION = '")) + QStringLiteral("')) AND ");
    }
    if (clause.isEmpty()) {
        ui::message(
            QCoreApplication::translate("brevant::server::ProjectSearch",
                                        "Must specify at least one criteria to perform a search."),
            ui::Buttons::Ok, ui::Icon::Exclamation,
            QCoreApplication::translate("brevant::server::ProjectSearch", "System Message"));
        return QString();
    }
    return QStringLiteral("WHERE ") + clause + QStringLiteral(" (Due_Date >= '") +
           LocaleShortDate(today) +
           QStringLiteral("' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY Due_Date");
}

QList<SavedSearchEntry> LoadSavedSearches(db::Connection& connection) {
    QList<SavedSearchEntry> entries;
    db::Recordset rs;
    rs.open(QStringLiteral("Select [SEARCH_ID], [SEARCH_NAME] from [CUSTOM_SEARCH]"), connection);
    while (!rs.eof()) {
        const int id = rs.field(0).toInt();
        entries.append(
            {rs.field(1).toString() + QStringLiteral(" (") + QString::number(id) + QLatin1Char(')'),
             id});
        rs.moveNext();
    }
    rs.close();
    if (entries.isEmpty())
        entries.append({QCoreApplication::translate("brevant::server::ProjectSearch",
                                                    "No Searches to Display ..."),
                        NoSearchesSentinel});
    else
        entries.prepend({QCoreApplication::translate("brevant::server::ProjectSearch",
                                                     "Choose an existing search ..."),
                         ChooseSearchSentinel});
    return entries;
}

std::optional<SearchCriteria> ReadSavedSearch(db::Connection& connection, int searchId) {
    db::Recordset rs;
    rs.open(QStringLiteral("Select Date1, Date2, CSI1, CSI2, CSI, [Desc], [Name] FROM "
                           "[Custom_Search] where [Search_ID] = ") +
                QString::number(searchId),
            connection);
    if (rs.eof())
        return std::nullopt;
    SearchCriteria c;
    c.bidStart = rs.field(0).toString();
    c.bidEnd = rs.field(1).toString();
    c.csiFrom = rs.field(2).toString();
    c.csiTo = rs.field(3).toString();
    c.csiList = rs.field(4).toString();
    c.scope = rs.field(5).toString();
    c.jobName = rs.field(6).toString();
    rs.close();
    return c;
}

void InsertSavedSearch(db::Connection& connection, const QString& name, const SearchCriteria& c) {
    const QStringList values = {QuoteSqlText(name),     QuoteSqlText(c.jobName),
                                QuoteSqlText(c.scope),  QuoteSqlText(c.bidStart),
                                QuoteSqlText(c.bidEnd), QuoteSqlText(c.csiFrom),
                                QuoteSqlText(c.csiTo),  QuoteSqlText(c.csiList)};
    connection.execute(QStringLiteral("INSERT INTO CUSTOM_SEARCH ( Search_Name, Name, [Desc], "
                                      "Date1, Date2, CSI1, CSI2, CSI) VALUES ('") +
                       values.join(QStringLiteral("','")) + QStringLiteral("')"));
}

void DeleteSavedSearch(db::Connection& connection, int searchId) {
    connection.execute(QStringLiteral("DELETE FROM [Custom_Search] where Search_ID = ") +
                       QString::number(searchId));
}

SearchResults ReadSearchResults(const QByteArray& reply, db::Connection& connection,
                                const std::function<void()>& yield) {
    SearchResults out;
    ListingDocument doc;
    if (!ParseListingDocument(reply, doc, &out.parseReason)) {
        out.status = SearchResults::Status::ParseError;
        return out;
    }
    if (!doc.hasJob) {
        out.status = SearchResults::Status::NoProjects;
        return out;
    }
    for (const ListingProject& p : doc.projects) {
        FoundProject f;
        f.jobIdText = p.field(QStringLiteral("Job_ID")).trimmed();
        bool ok = false;
        f.jobId = f.jobIdText.toInt(&ok);
        // A project without a usable number could never be imported.
        if (ok && f.jobId > 0 && CountLocalProject(connection, f.jobId) == 0) {
            f.name = p.field(QStringLiteral("Name"));
            f.city = p.field(QStringLiteral("City")).toUpper();
            f.state = p.field(QStringLiteral("State")).toUpper();
            f.dueDate = p.field(QStringLiteral("Due_Date"));
            out.rows.append(std::move(f));
        }
        if (yield)
            yield();
    }
    out.status =
        out.rows.isEmpty() ? SearchResults::Status::NoNewProjects : SearchResults::Status::Rows;
    return out;
}

void ShowSearchResultMessage(const SearchResults& results) {
    switch (results.status) {
    case SearchResults::Status::ParseError:
        ui::message(QCoreApplication::translate("brevant::server::ProjectSearch",
                                                "Error parsing results.\r\n") +
                        results.parseReason,
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::server::ProjectSearch", "System Error"));
        break;
    case SearchResults::Status::NoProjects:
        ui::message(
            QCoreApplication::translate("brevant::server::ProjectSearch",
                                        "No projects were returned."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::server::ProjectSearch", "System Message"));
        break;
    case SearchResults::Status::NoNewProjects:
        ui::message(
            QCoreApplication::translate("brevant::server::ProjectSearch",
                                        "No new projects were returned."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::server::ProjectSearch", "System Message"));
        break;
    case SearchResults::Status::Rows:
        break;
    }
}

} // namespace brevant::server
