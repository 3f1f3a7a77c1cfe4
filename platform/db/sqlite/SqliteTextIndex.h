#pragma once
// The text index on SQLite (internal to platform/db): an FTS5 table with one row per source
// row, kept current by triggers.
#include "platform/db/TextIndex.h"

namespace brevant::db {

class Backend;

namespace sqlite {

void ensureFts5Index(Backend& backend, const TextIndex& index);
std::vector<qint64> searchFts5Index(Backend& backend, const TextIndex& index,
                                    const QStringList& words);

// The FTS5 query for the words: every word a quoted prefix term (a phrase of its pieces), all
// of them required. Quotes, hyphens and FTS5's own operators are searched as text. Empty when
// there are no words.
QString fts5MatchExpression(const QStringList& words);

} // namespace sqlite

} // namespace brevant::db
