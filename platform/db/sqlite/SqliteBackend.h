#pragma once
// The SQLite engine under db::Connection: the file Desktop.mdb (internal to platform/db; tests
// and the local service include it for what only SQLite has: the handle, the read-only
// authorizer's rules, the progress handler).
#include "platform/db/Backend.h"

#include <QHash>
#include <QSet>

struct sqlite3;
struct sqlite3_stmt;

namespace brevant::db {

// Turns off SQLite's fallback that reads an unknown double-quoted name as a text literal, in
// statements and in schema text, so that a mistyped column name fails instead of silently
// comparing with its own spelling. Every handle platform/db opens goes through it.
void disableDoubleQuotedText(sqlite3* db);

class SqliteBackend final : public Backend {
public:
    // connection: a path or the Jet connection string.
    static std::unique_ptr<SqliteBackend> open(const QString& connection, Connection::Mode mode);
    // See Connection::openReadOnly.
    static std::unique_ptr<SqliteBackend> openReadOnly(const QString& connection,
                                                       const QStringList& allowedTables,
                                                       const QStringList& allowedFunctions);
    // Read-only at the file level only (SQLITE_OPEN_READONLY, no statement rules): for
    // platform/db's own reading of a whole store, which must not change it.
    static std::unique_ptr<SqliteBackend> openForReading(const QString& connection);
    ~SqliteBackend() override;

    sqlite3* handle() const { return db_; }

    Dialect dialect() const override { return Dialect::Sqlite; }
    QString storeName() const override { return path_; }
    QString estimator() override;
    void setWorkstation(const QString&) override {} // one file is one workstation
    JetSchema readSchema() override;
    int execute(const TranslatedStatement& statement) override;
    std::optional<int> executeUnlessDuplicate(const TranslatedStatement& statement) override;
    QueryResult query(const TranslatedStatement& statement) override;
    void executeNative(const QString& text) override;
    std::vector<QVariantList> queryNative(const QString& text, const QVariantList& params) override;
    bool tableExists(const QString& name) override;
    void ensureTextIndex(const TextIndex& index) override;
    std::vector<qint64> searchTextIndex(const TextIndex& index, const QStringList& words) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    bool inTransaction() const override;
    void lockProject(qint64) override {} // BEGIN IMMEDIATE already holds the one write lock
    bool tryLockStore(int key, const QString& name) override;
    void createSchema() override;
    bool upgradeSchema() override;

private:
    class Run;
    struct ReadOnlyRules {
        QSet<QString> tables, functions; // lower case
    };

    SqliteBackend(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}
    static std::unique_ptr<SqliteBackend> openFile(const QString& connection, int flags,
                                                   bool create);
    static int authorize(void* data, int action, const char* a1, const char* a2, const char*,
                         const char*);
    sqlite3_stmt* prepare(const TranslatedStatement& t);
    // Runs a statement through all its rows: SQLITE_DONE, or the code it failed with.
    int runToEnd(const TranslatedStatement& t, int* changed);
    [[noreturn]] void raise(int rc) const;
    void clearCache();
    // Transaction control straight to SQLite, keeping the prepared statements.
    void run(const char* sql);
    void runSchemaText(const char* text);
    // Whether the table (column nullptr) or the table's column exists.
    bool hasColumn(const char* table, const char* column) const;
    bool addMissingColumns(); // true when it added any

    sqlite3* db_;
    QString path_;
    QHash<QByteArray, sqlite3_stmt*> cache_;
    std::vector<int> lockFiles_; // descriptors holding tryLockStore's locks
    ReadOnlyRules readOnlyRules_;
    bool readOnly_ = false;
};

// The SQLite handle of a connection to an SQLite file; nullptr when it is closed or holds
// another engine.
sqlite3* sqliteHandle(const Connection& connection);

} // namespace brevant::db
