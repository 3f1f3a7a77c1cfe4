#pragma once
// The reports of a project as the main window, the print dialog and the project copy ask for
// them: each reads its rows from Desktop.mdb and returns the RTF text its box shows. Database
// errors propagate (db::DbError) to the command that asked.
#include "reports/ReportRecord.h"

#include <QDateTime>
#include <QString>

namespace brevant::db {
class Connection;
}

namespace brevant::reports {

// The queries the reports read.
QString BiddersSql(qint64 jobId);
QString ContactsSql(qint64 jobId);       // ordered by type, then name (screen and print)
QString ContactsByNameSql(qint64 jobId); // ordered by name only (full report)
QString AwardsSql(qint64 jobId);
QString UpdatesSql(qint64 jobId);
QString ProjectSql(qint64 jobId);

// The five report boxes of the selected project; project is the row the shared recordset
// holds.
QString DrawSummary(const Record& project);
QString SummaryNotes(const Record& project); // the notes box: the project's notes, Null empty
QString DrawBidders(db::Connection& connection, qint64 jobId);
QString DrawContacts(db::Connection& connection, qint64 jobId);
// The latest check's change log, then the project's lasting history ("Earlier changes").
QString DrawUpdates(db::Connection& connection, qint64 jobId);
QString DrawAwards(db::Connection& connection, qint64 jobId);

// Everything the main window shows for a selected project, in the order it is drawn.
struct ProjectPanes {
    QString summary;
    QString notes;
    QString bidders;
    QString contacts;
    QString updates;
    QString awards;
};
ProjectPanes DrawProjectPanes(db::Connection& connection, const Record& project);

// The print versions.
QString PrintSummary(const Record& project);
QString PrintBidders(db::Connection& connection, const Record& project);
QString PrintContacts(db::Connection& connection, const Record& project);

// The full report of one project (its own row is read here).
QString FullProjectReport(db::Connection& connection, qint64 jobId,
                          const QDateTime& now = QDateTime::currentDateTime());

} // namespace brevant::reports
