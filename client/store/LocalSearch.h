#pragma once
// Instant search over the local projects: a full-text index (platform/db's TextIndex, on either
// store) over what an estimator remembers of a project — its name, description, city and notes, its
// specification sections, contacts, awards and attachment descriptions — kept current by triggers,
// so a project imported, merged or deleted is found (or gone) at once.
#include "store/ProjectList.h"

#include <QString>
#include <QStringList>

namespace brevant::db {
class Connection;
}

namespace brevant::store {

// Creates the index and its triggers when they are missing and fills it from the stored rows
// (the first start on an existing database); rebuilds it when it is out of step with the
// tables. Safe to call on every start.
void ensureSearchIndex(db::Connection& connection);

// The words of what the user typed, in order: pieces between blanks that hold at least one
// letter or digit.
QStringList searchWords(const QString& typed);

// The Job_IDs of the projects with an indexed row (the project's own, one of its sections,
// contacts, awards or attachments) whose text holds every word as a prefix. Quotes, hyphens and
// the query languages' operators are searched as text.
std::vector<int> searchJobIds(db::Connection& connection, const QString& typed);

// Up to this many matching projects are read by their keys; more are picked from the whole list
// as it loads, so no statement carries more values than an engine takes (PostgreSQL: 65,535).
constexpr size_t kSearchKeysPerQuery = 500;

// The list rows of the matching projects, in the list's sort order. A failure shows the list's
// load error and returns what was read.
LoadResult searchProjects(db::Connection& connection, const QString& typed, const SortState& sort);

} // namespace brevant::store
