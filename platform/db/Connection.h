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

    // Read-only, for a server that runs statements it did not write: only SELECT, and only
    // reading the named tables (names compared without regard to case), is allowed; anything
    // else fails with errors::PermissionDenied.
    void openReadOnly(const QString& connection, const QStringList& allowedTables);

    bool isOpen() const { return db_ != nullptr; }
    void close();

    // Runs one Jet statement; returns the number of rows an INSERT/UPDATE/DELETE affected
    // (0 for a SELECT).
    int execute(const QString& jetSql);

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

    void openFile(const QString& connection, int flags, bool create);
    void requireOpen() const;
    sqlite3_stmt* prepare(const TranslatedStatement& t);
    [[noreturn]] void raise(int rc) const;
    void clearCache();

    sqlite3* db_ = nullptr;
    QString path_;
    JetSchema schema_;
    QHash<QByteArray, sqlite3_stmt*> cache_;
    QSet<QString> allowedTables_;
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
    sqlite3_stmt* statement() const { return stmt_; }

private:
    Connection& c_;
    sqlite3_stmt* stmt_;
};

} // namespace brevant::db
