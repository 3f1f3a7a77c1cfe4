#pragma once
// A connection to the project store shaped like the ADO connection the client code uses: open
// by a store locator (the Jet connection string or a path for the SQLite file Desktop.mdb; a
// libpq connection string, URI or service name for PostgreSQL), execute one Jet SQL statement
// at a time (each commits on its own unless a Transaction is open), close. Errors throw
// DbError. A connection is used by one thread at a time.
//
// The connection is a handle over an engine (Backend.h, internal to platform/db): it keeps the
// column kinds and the translations for the engine's dialect; the engine runs them.
#include "platform/db/JetTranslator.h"
#include "platform/db/StoreLocator.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace brevant::db {

class Backend;

// Work of which a store allows one at a time, whoever runs it.
enum class StoreLock {
    UpdateCheck = 1, // the window-less check for updates
};

class Connection {
public:
    enum class Mode {
        ReadWrite, // the store must exist ("Could not find file ...")
        Create,    // an SQLite file is created empty when missing (first run, before the schema)
    };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // connection: any text StoreLocator::parse takes. For a file: names are looked up without
    // regard to case; write-ahead logging, synchronous=NORMAL.
    void open(const QString& connection, Mode mode = Mode::ReadWrite);
    void open(const StoreLocator& locator, Mode mode = Mode::ReadWrite);

    // Read-only, for a server that runs statements it did not write (SQLite files only): only
    // SELECT, only reading the named tables and only calling the named SQL functions (names
    // compared without regard to case) is allowed; anything else fails with
    // errors::PermissionDenied.
    void openReadOnly(const QString& connection, const QStringList& allowedTables,
                      const QStringList& allowedFunctions = queryFunctions());

    // The SQL functions a translated query needs: the translator's own, matching, text, number,
    // date and aggregate functions. Not included: anything that reads or leaks the process or
    // its files (load_extension, fts3_tokenizer, ...), formatting, blobs and randomness.
    static QStringList queryFunctions();

    bool isOpen() const { return backend_ != nullptr; }
    void close();
    // The engine's dialect (Sqlite while closed).
    Dialect dialect() const;

    // Runs one Jet statement; returns the number of rows an INSERT/UPDATE/DELETE affected
    // (0 for a SELECT).
    int execute(const QString& jetSql);
    // The same, but a row that a unique key refuses gives nullopt instead of an error (the
    // statement has no effect and a transaction goes on): for adding what may be there already.
    std::optional<int> executeUnlessDuplicate(const QString& jetSql);

    // Takes a store-wide lock that lasts until the connection closes (or its process ends):
    // false at once when another connection, on this workstation or another, holds it.
    bool tryLockStore(StoreLock lock);

    // Runs the engine's own text (schema, maintenance) without translation; may hold several
    // statements.
    void executeNative(const QString& nativeSql);

    // Who writes through this connection: the store login on PostgreSQL (current_user), this
    // computer's login name on an SQLite file. Found_By columns record it.
    QString estimator();
    // Names the workstation this connection speaks for, so the firm store shows this PC's own
    // document cache (Plans.Local, Specs.Local); an SQLite file is one PC and needs none.
    void setWorkstation(const QString& id);

    // The store actually opened: the file's path, or the locator without its password.
    const QString& path() const { return path_; }
    const JetSchema& schema() const { return schema_; }
    // Re-reads the column kinds after the tables changed behind the translator's back.
    void reloadSchema();

    // The engine, for platform/db's own parts (Backend.h is internal); throws when closed.
    Backend& backend() const;

private:
    friend class Recordset;

    TranslatedStatement translate(const QString& jetSql, bool unlessDuplicate = false);
    void attach(std::unique_ptr<Backend> backend);

    std::unique_ptr<Backend> backend_;
    QString path_;
    QString estimator_; // read once
    JetSchema schema_;
    JetTranslationCache translations_; // of schema_
};

} // namespace brevant::db
