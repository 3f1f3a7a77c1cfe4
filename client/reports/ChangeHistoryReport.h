#pragma once
// The lasting change history of a project (table Change_History) as the Updates box shows it
// below the latest check's change log: "Earlier changes", newest first.
#include "reports/ReportRecord.h"

#include <QString>

namespace brevant::db {
class Connection;
}

namespace brevant::reports {

// "Select * from [Change_History] where [JobID] = " + n, newest first.
QString ChangeHistorySql(qint64 jobId);

// The name a changed project field goes by on screen ("Bid date" for Due_Date): the captions
// of the project list and the Details pane; an unknown column with its "_" as blanks.
QString HistoryFieldCaption(const QString& column);

// The RTF lines of the history (a fragment, no document around it); empty for no rows.
QString ChangeHistoryLines(const QList<Record>& history);

// The change log of the latest check (UpdatesRtf), then how many takeoff items are stale
// (measured on an earlier version of a sheet; nothing when none), then the history.
QString UpdatesWithHistoryRtf(const QList<Record>& updates, const QList<Record>& history,
                              int staleTakeoffItems = 0);

// The RTF lines saying how many takeoff items are stale; empty for none.
QString StaleTakeoffLines(int staleTakeoffItems);

// How many of the project's takeoff items are stale; 0 when the database has no takeoff yet.
int ReadStaleTakeoffItems(db::Connection& connection, qint64 jobId);

// The rows of the project's history; none when the database has no such table.
QList<Record> ReadChangeHistory(db::Connection& connection, qint64 jobId);

} // namespace brevant::reports
