#pragma once
// The text index on PostgreSQL (internal to platform/db): a table of tsvectors, one per source
// row with a key, kept current by row triggers on the source tables. The words of a text are
// what is left after unaccent spells out accented letters and ligatures, lower case and every
// run of characters other than letters and digits made one blank, as SQLite's unicode61
// tokenizer splits them; the 'simple' configuration keeps them unstemmed.
#include "platform/db/TextIndex.h"

namespace brevant::db::pg {

class Session;

// Creates the unaccent extension when the database lacks it (a trusted extension: the
// database's CREATE privilege is enough), the index's functions, table and triggers, and fills
// it when it is new or out of step. Throws DbError saying so when the extension is missing and
// cannot be created.
void ensureTsIndex(Session& session, const TextIndex& index);
std::vector<qint64> searchTsIndex(Session& session, const TextIndex& index,
                                  const QStringList& words);

// Of one index row's text, at most this many characters (after unaccent) are indexed: a
// tsvector holds at most 1 MB, and a row the index cannot take would fail the row's own write.
constexpr int kIndexedTextLimit = 100000;

} // namespace brevant::db::pg
