#pragma once
// A full-text index over text columns of the store's tables, kept current by the store itself
// (triggers), so rows written by any code or any program are found at once. What a search
// finds is the same on every engine: each typed word must begin a word of one indexed row's
// text (accents and case ignored; a word with punctuation inside, such as "o'brien" or
// "re-roof", must match its pieces in that order). Where the engines still differ is written
// in docs/architecture.md.
//
// SQLite keeps an FTS5 table (sqlite/SqliteTextIndex.cpp); PostgreSQL a table of tsvectors
// over unaccent (pg/PgTextIndex.cpp), which needs the unaccent extension in the database.
#include <QString>
#include <QStringList>
#include <vector>

namespace brevant::db {

class Connection;

// One table whose rows the index covers: each row is indexed with its text columns joined by
// blanks and found by its key column.
struct TextIndexSource {
    QString table;       // as the program spells it ("Projects")
    QString key;         // the column a search returns ("Job_ID")
    QStringList columns; // the text columns, in order
};

struct TextIndex {
    QString name; // the index's own table ("Project_Search")
    std::vector<TextIndexSource> sources;
};

// Creates the index and its triggers when they are missing and fills it from the stored rows;
// rebuilds it when it is out of step with the tables (rows written while the triggers were
// missing). Cheap when all is in order; safe to call on every start. Throws DbError; on
// PostgreSQL with a clear reason when the unaccent extension is missing and may not be created.
void ensureTextIndex(Connection& connection, const TextIndex& index);

// The distinct keys of the rows whose text holds every word as a prefix, in no order. Rows
// with a Null key are never found. No words, no keys. The words are searched as text, never as
// query syntax.
std::vector<qint64> searchTextIndex(Connection& connection, const TextIndex& index,
                                    const QStringList& words);

} // namespace brevant::db
