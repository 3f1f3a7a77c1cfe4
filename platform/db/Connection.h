#pragma once
// A connection to Desktop.mdb shaped like the ADO connection the client code uses: open by
// the Jet connection string (or a plain path), execute one Jet SQL statement at a time (each
// commits on its own), close. Errors throw DbError. A connection is used by one thread at a
// time (it keeps a cache of prepared statements).
#include "platform/db/JetTranslator.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace brevant::db {

// Turns off SQLite's fallback that reads an unknown double-quoted name as a text literal, in
// statements and in schema text, so that a mistyped column name fails instead of silently
// comparing with its own spelling. Every handle platform/db opens goes through it.
void disableDoubleQuotedText(sqlite3* db);

class Connection {
public:
    enum class Mode {
        ReadWrite, // the file must exist ("Could not find file ...")
        Create,    // created empty when missing (first run, before the schema is made)
    };

    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // connection: "Provider=...;Data Source=<folder>\Desktop.mdb;..." or a path. Names are
    // looked up without regard to case. Write-ahead logging, synchronous=NORMAL.
    void open(const QString& connection, Mode mode = Mode::ReadWrite);

    // Read-only, for a server that runs statements it did not write: only SELECT, only reading
    // the named tables and only calling the named SQL functions (names compared without regard
    // to case) is allowed; anything else fails with errors::PermissionDenied.
    void openReadOnly(const QString& connection, const QStringList& allowedTables,
                      const QStringList& allowedFunctions = queryFunctions());

    // The SQL functions a translated query needs: the translator's own, matching, text, number,
    // date and aggregate functions. Not included: anything that reads or leaks the process or
    // its files (load_extension, fts3_tokenizer, ...), formatting, blobs and randomness.
    static QStringList queryFunctions();

    bool isOpen() const { return db_ != nullptr; }
    void close();

    // Runs one Jet statement; returns the number of rows an INSERT/UPDATE/DELETE affected
    // (0 for a SELECT).
    int execute(const QString& jetSql);
    // The same, but a row that a unique key refuses gives nullopt instead of an error (the
    // statement has no effect and a transaction goes on): for adding what may be there already.
    std::optional<int> executeUnlessDuplicate(const QString& jetSql);

    // Runs native SQLite text (schema, maintenance) without translation; may hold several
    // statements.
    void executeNative(const QString& sqliteSql);

    // The file actually opened.
    const QString& path() const { return path_; }
    sqlite3* nativeHandle() const { return db_; }
    const JetSchema& schema() const { return schema_; }
    // Re-reads the column kinds after the tables changed behind the translator's back.
    void reloadSchema();

private:
    friend class Recordset;
    friend class StatementRun;

    static int authorize(void* data, int action, const char* a1, const char* a2, const char*,
                         const char*);
    void openFile(const QString& connection, int flags, bool create);
    void requireOpen() const;
    sqlite3_stmt* prepare(const TranslatedStatement& t);
    // Runs one Jet statement through all its rows; SQLITE_DONE (with the rows an INSERT, UPDATE
    // or DELETE changed) or the code it failed with, its message kept for raise().
    int runToEnd(const QString& jetSql, int* changed);
    TranslatedStatement translate(const QString& jetSql) {
        return translations_.translate(jetSql, schema_);
    }
    [[noreturn]] void raise(int rc) const;
    void clearCache();

    sqlite3* db_ = nullptr;
    QString path_;
    JetSchema schema_;
    QHash<QByteArray, sqlite3_stmt*> cache_;
    JetTranslationCache translations_; // of schema_
    struct ReadOnlyRules {
        QSet<QString> tables, functions; // lower case
    };
    ReadOnlyRules readOnlyRules_;
    bool readOnly_ = false;
};

// Runs a prepared, bound statement and resets it when done (internal to platform/db).
class StatementRun {
public:
    StatementRun(Connection& c, const TranslatedStatement& t);
    ~StatementRun();
    StatementRun(const StatementRun&) = delete;
    StatementRun& operator=(const StatementRun&) = delete;
    // Steps once; true while a row is available.
    bool step();
    // Steps through every row; SQLITE_DONE or the code of the failure (nothing thrown).
    int finish();
    sqlite3_stmt* statement() const { return stmt_; }

private:
    Connection& c_;
    sqlite3_stmt* stmt_;
};

} // namespace brevant::db
