#pragma once
// The project list of the main window without its widgets: the columns of the five list views,
// the filter and sort state that give the list's query, the rows read from the database, and
// the list commands (mark tagged / opened, delete, notes). frmMain holds the QTreeWidgets and
// forwards to these functions; everything here runs headless.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace brevant::db {
class Connection;
class Recordset;
} // namespace brevant::db

namespace brevant::store {

// ---- Columns -------------------------------------------------------------------------------

struct ListColumn {
    QString listView; // "ListView1" ... "ListView5"
    QString caption;  // also the settings key of the stored width
    int builtInWidth; // twips
};

// Every column of the five list views, in set-up order (ListView1's three first).
const std::vector<ListColumn>& listColumns();
// The columns of one list view, in order.
std::vector<ListColumn> columnsOf(const QString& listView);
// The width to use for a column, in twips: the stored setting named by the caption, or the
// built-in width when the setting is empty or not a positive whole number.
int columnWidth(const ListColumn& column);
// The view mode of the attachment list (setting ATTACHLIST, default 3 = report view).
int attachListViewMode();
// Widths are kept in twips (1/1440 inch); on screen they are pixels.
int twipsToPixels(int twips, double logicalDpi = 96.0);
int pixelsToTwips(int pixels, double logicalDpi = 96.0);

// ---- Filter and sort -----------------------------------------------------------------------

enum class Filter { All, New, Track, View };
// "ALL", "NEW", "TRACK", "VIEW".
QString filterName(Filter filter);
// The filter for one of those names (any case); All for anything else.
Filter filterFromName(const QString& name);

// Header icons of ListView1.
enum SortIcon { NoSortIcon = 0, SortDescending = 1, SortAscending = 2 };

// Which ListView1 header carries the sort arrow. Starts on "BID DATE", descending.
class SortState {
public:
    SortState() = default;
    SortState(const QString& caption, SortIcon icon);

    // A header click: the sorted column flips its direction; another column becomes the sorted
    // one, ascending. Captions that are not ListView1 columns are ignored.
    void clickHeader(const QString& caption);

    const QString& caption() const { return caption_; }
    SortIcon icon() const { return icon_; }
    // The icon the given header shows (1, 2 or 0).
    int headerIcon(const QString& caption) const;
    // "DUE_DATE", "NAME" or "ASSIGNMENT".
    QString key() const;
    // "DESC" for icon 1, "ASC" otherwise.
    QString order() const;

private:
    QString caption_ = QStringLiteral("BID DATE");
    SortIcon icon_ = SortDescending;
};

// The sort key of a ListView1 caption (upper-cased first), empty for an unknown caption.
QString sortKeyOf(const QString& caption);
// The list query: "Select * from [projects] ... Order By [" + key + "] " + order.
QString projectsQuery(Filter filter, const SortState& sort);

// ---- Rows ----------------------------------------------------------------------------------

// Small icons of ListView1's rows.
enum RowIcon {
    IconUnchanged = 14, // the update merge found nothing new to log
    IconChanged = 15,   // the update merge logged new rows
    IconTagged = 23,
    IconNew = 24,
    IconOpened = 25,
};
int stateIcon(bool isNew, bool tracked);
inline bool isChangeMarker(int icon) {
    return icon == IconChanged || icon == IconUnchanged;
}

// A stored date as the list shows it: "mm/dd/yyyy", "No Date Set" for any day of 1900, the
// empty text for an empty value. Accepts the stored ISO form and "m/d/yyyy [h:mm:ss AM]";
// text it cannot read is returned unchanged.
QString bidDateText(const QString& storedDate);
// The same for a value read from a recordset (a date, a stored date text or Null).
QString bidDateText(const QVariant& value);

struct ProjectRow {
    int jobId = 0;         // the row's tag
    QString dateText;      // first column
    QString name;          // "TITLE"
    QString assignment;    // "ASSIGN", empty when Null
    int icon = IconOpened; // 24 new, 23 tagged, 25 opened
};

struct LoadResult {
    std::vector<ProjectRow> rows; // in the query's order; what was read before a failure
    bool ok = true;               // false after a failure (the message was shown)
};

// Reads the rows of the list with one query. A failure shows "Error loading projects: " +
// number + " " + description ("System Error", exclamation) and returns the rows read so far.
// perRow (optional) runs after each row is read, for yielding to the event loop.
LoadResult loadProjects(db::Connection& connection, Filter filter, const SortState& sort,
                        const std::function<void()>& perRow = {});

// ---- The selected project ------------------------------------------------------------------

// "Select * from [Projects] where [JOB_ID] = " + n
QString selectProjectSql(int jobId);
// Makes the project current: closes the shared recordset when open and reopens it on the
// project's row.
void selectProject(db::Connection& connection, db::Recordset& dbRecordset, int jobId);
// The JOB_ID of the row the shared recordset holds; nullopt when it holds none.
std::optional<int> selectedJobId(db::Recordset& dbRecordset);
// The state icon of a project read afresh ("Select New, Tracked from [Projects] where
// [Job_ID] = " + n), for a row whose change marker is reset on click; nullopt when the project
// is gone.
std::optional<int> currentStateIcon(db::Connection& connection, int jobId);

// ---- List commands -------------------------------------------------------------------------

// Marks each checked project tagged ("Update [Projects] set [Tracked] = TRUE, [NEW] = FALSE
// where [JOB_ID] = " + n), in order. After each project rowDone(jobId, 23) runs: the form sets
// the row's icon, clears its check box and yields. The list is not reloaded, so rows that no
// longer match the filter stay. A failing statement shows its error ("System Error") and stops.
// Returns the number of projects marked.
int markTagged(db::Connection& connection, const std::vector<int>& checkedJobIds,
               const std::function<void(int jobId, int icon)>& rowDone = {});
// The same with "[Tracked] = FALSE, [NEW] = FALSE" and icon 25.
int markOpened(db::Connection& connection, const std::vector<int>& checkedJobIds,
               const std::function<void(int jobId, int icon)>& rowDone = {});

// What the delete command needs from the main window; every member may be left empty.
struct DeleteHooks {
    std::function<void(const QString&)> setStatusText;
    std::function<void()> showWait;        // frmWait
    std::function<void()> closeWait;       // CloseWaitForm
    std::function<void()> yield;           // processEvents
    std::function<void()> reload;          // LoadProjects(checked filter, quiet = false)
    std::function<void(bool)> busyPointer; // hourglass on / off
};

// "Delete Selected Project(s)": refuses with a message when nothing is checked, asks "Are you
// sure want to delete the selected record(s)?", then for each checked project runs the
// seven-statement cascade and removes its cache folder, reloads the list and clears the status
// text. Returns true when projects were deleted (the list was reloaded through hooks.reload).
bool deleteProjects(db::Connection& connection, const QString& cacheLocation,
                    const std::vector<int>& checkedJobIds, const DeleteHooks& hooks = {});

// Removes the cache folder of one project (cacheLocation/<jobId>, with its "plans" and "specs"
// folders, names matched without regard to case) and everything under it. Failures are
// ignored; an empty cache location removes nothing. Returns true when the folder is gone.
bool removeProjectCache(const QString& cacheLocation, int jobId);

// Saves the notes box of the selected project: "Update [Projects] Set Notes = '" + notes with
// every "'" doubled + "' where [JOB_ID] = " + n. Without a selected project nothing happens;
// a failure shows number + " " + description + " - Please try again later ..." ("System
// Error", exclamation). Returns true when the statement ran.
bool saveNotes(db::Connection& connection, std::optional<int> selectedJobId, const QString& notes);
QString saveNotesSql(int jobId, const QString& notes);

// The new text of a row whose bid date the update merge changed (ShowChangedBidDate): "No
// Date Set" for a day of 1900, else "mm/dd/yyyy". The form finds the row by its tag and shows
// it in bold.
QString changedBidDateText(const QString& dateText);

// "1 project", "212 projects": a list's count as its caption shows it; one and many are
// (translated) texts with %1 where the count goes.
QString countText(qint64 count, const QString& one, const QString& many);
QString projectCountText(qint64 count);

// What the empty project list says when the database holds no project yet.
QString emptyProjectListText();

// ---- Counts for the Preferences statistics -------------------------------------------------

struct ProjectCounts {
    long tracked = 0;
    long fresh = 0; // New
    long viewed = 0;
    long total = 0;
};
ProjectCounts countProjects(db::Connection& connection);

} // namespace brevant::store
