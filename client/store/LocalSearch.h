#pragma once
// Instant search over the local projects: a full-text index (SQLite FTS5) over what an
// estimator remembers of a project — its name, description, city and notes, its specification
// sections, contacts, awards and attachment descriptions — kept current by triggers, so a
// project imported, merged or deleted is found (or gone) at once.
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

// The full-text query for what the user typed: every word a quoted prefix term, all of them
// required. Quotes, hyphens and the index's own operators are searched as text. Empty when
// nothing searchable was typed.
QString searchMatchExpression(const QString& typed);

// The Job_IDs of the projects whose indexed text holds every word (as a prefix).
std::vector<int> searchJobIds(db::Connection& connection, const QString& typed);

// The list rows of the matching projects, in the list's sort order. A failure shows the list's
// load error and returns what was read.
LoadResult searchProjects(db::Connection& connection, const QString& typed, const SortState& sort);

} // namespace brevant::store
