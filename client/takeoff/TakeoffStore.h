#pragma once
// A project's takeoff in the project store (SQLite file or PostgreSQL, through platform/db):
// items, marks and scales are saved whole, replacing what was stored, in one transaction with
// the project's lock held. Nothing is written into the documents. Errors throw db::DbError.
#include "takeoff/TakeoffData.h"

#include <map>

namespace brevant::db {
class Connection;
}

namespace brevant::takeoff {

// The stored takeoff of the project with its documents' current revisions. Rows a program
// could not have written (an unknown kind or unit, bad points, more points than a mark takes,
// a mark of no item) are left out.
TakeoffData loadTakeoff(db::Connection& connection, qint64 jobId);

// Replaces the project's stored items, marks and scales by data's (revisions are the Plans
// table's and are not written).
void saveTakeoff(db::Connection& connection, qint64 jobId, const TakeoffData& data);

// Removes everything of the project's takeoff, snapshots included, inside the caller's
// transaction (deleting a project).
void deleteTakeoff(db::Connection& connection, qint64 jobId);

// The current revision of each of the project's documents, by case-folded file name.
QHash<QString, int> loadRevisions(db::Connection& connection, qint64 jobId);

// How many of the project's takeoff items have a mark measured on an earlier revision of its
// document than the current one.
int countStaleItems(db::Connection& connection, qint64 jobId);
// The same for every project with stale items, by Job_ID, read with two queries.
std::map<qint64, int> countStaleItemsByProject(db::Connection& connection);

// Marks and scales as stored: "x y;x y;..." with the shortest text that reads back the same
// number; nullopt for text that is not that, or holds more than kMaxPointsPerMark points.
QString pointsText(const QList<QPointF>& points);
std::optional<QList<QPointF>> pointsFromText(const QString& text);

// A text literal of a statement in the client's dialect.
QString sqlText(const QString& text);
// A number literal that reads back the same double.
QString sqlNumber(double value);

} // namespace brevant::takeoff
