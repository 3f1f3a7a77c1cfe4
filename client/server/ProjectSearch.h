#pragma once
// The project search without its dialog: the criteria and the WHERE clause sent to the server,
// the field checks, the saved searches in Custom_Search, and reading the reply into the rows
// the import dialog offers.
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace brevant::db {
class Connection;
}

namespace brevant::server {

struct SearchCriteria {
    QString jobName;  // txtJobName
    QString scope;    // txtScope
    QString bidStart; // txtBidDate(0)
    QString bidEnd;   // txtBidDate(1)
    QString csiFrom;  // txtCSI(0)
    QString csiTo;    // txtCSI(1)
    QString csiList;  // txtCSVCSI (only used while both range boxes are empty)
};

// Every "'" doubled.
QString QuoteSqlText(const QString& text);

// The short date form of the user's locale with a four-digit year.
QString LocaleShortDate(const QDate& date);
// The date typed in the locale's short form, m/d/yyyy or yyyy-mm-dd; nothing otherwise.
std::optional<QDate> ParseDateText(const QString& text);
// The list box's text after leaving it: trimmed, one leading and one trailing comma removed,
// trimmed again.
QString TidyCsiList(const QString& text);

// The WHERE clause for the criteria, or an empty text when no criterion is set (after the
// message "Must specify at least one criteria to perform a search.").
QString BuildSearchClause(const SearchCriteria& criteria, const QDate& today);

// Saved searches.
struct SavedSearchEntry {
    QString text;
    int itemData = 0; // Search_ID, or the sentinels 9998 / 9999
};
constexpr int ChooseSearchSentinel = 9998;
constexpr int NoSearchesSentinel = 9999;
QList<SavedSearchEntry> LoadSavedSearches(db::Connection& connection);
std::optional<SearchCriteria> ReadSavedSearch(db::Connection& connection, int searchId);
void InsertSavedSearch(db::Connection& connection, const QString& name,
                       const SearchCriteria& criteria);
void DeleteSavedSearch(db::Connection& connection, int searchId);

// One project of a search reply that is not stored locally yet.
struct FoundProject {
    int jobId = 0;
    QString jobIdText;
    QString name, city, state, dueDate; // city and state upper-cased
};

struct SearchResults {
    enum class Status { ParseError, NoProjects, NoNewProjects, Rows };
    Status status = Status::NoProjects;
    QString parseReason;
    QList<FoundProject> rows;
};
// Reads the reply (from memory) and keeps the projects CountLocalProject does not know. yield
// runs after each project.
SearchResults ReadSearchResults(const QByteArray& reply, db::Connection& connection,
                                const std::function<void()>& yield = {});
// Shows the message a result calls for ("Error parsing results." CR LF reason, "No projects
// were returned.", "No new projects were returned."); nothing for rows.
void ShowSearchResultMessage(const SearchResults& results);

} // namespace brevant::server
