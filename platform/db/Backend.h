#pragma once
// Internal to platform/db (no public header includes it): the engine under db::Connection.
// Connection translates each Jet statement for the backend's dialect() and hands it over with
// its bound values; Recordset, Transaction, the native queries and the schema go through
// Connection to here. Every failure throws DbError with its Condition set.
//
// SqliteBackend (sqlite/) is the default; PgBackend (pg/) serves PostgreSQL stores.
#include "platform/db/Connection.h"
#include "platform/db/JetTranslator.h"
#include "platform/db/StoreLocator.h"
#include "platform/db/TextIndex.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

namespace brevant::db {

// One query's result, read in full. Values are as Recordset hands them out: Null a null
// QVariant, Date columns QDateTime (StoredDateReader; a text that is no date stays text), YesNo
// columns bool, whole numbers qlonglong, other numbers double, text QString.
struct QueryResult {
    QStringList names;
    std::vector<QVariantList> rows;
};

class Backend {
public:
    virtual ~Backend() = default; // closes the store

    // The SQL the translator writes for this engine.
    virtual Dialect dialect() const = 0;
    // The store as opened: the file's path, or the locator described without its password.
    virtual QString storeName() const = 0;
    // The name of who writes (Connection::estimator) and the workstation a session speaks for.
    virtual QString estimator() = 0;
    virtual void setWorkstation(const QString& id) = 0;
    // The column kinds (Date, YesNo, Number) of every table, for the translator.
    virtual JetSchema readSchema() = 0;

    // One translated statement; the rows an INSERT, UPDATE or DELETE changed (0 for SELECT).
    virtual int execute(const TranslatedStatement& statement) = 0;
    // The same for an INSERT that a unique key may refuse (translated with unlessDuplicate):
    // nullopt when it did, without an error and without ending the transaction. PostgreSQL's
    // text carries ON CONFLICT DO NOTHING, so there no row changed means the row was there.
    virtual std::optional<int> executeUnlessDuplicate(const TranslatedStatement& statement) = 0;
    virtual QueryResult query(const TranslatedStatement& statement) = 0;

    // The engine's own text, untranslated; may hold several statements.
    virtual void executeNative(const QString& text) = 0;
    // One native statement with params bound to its placeholders in order (?1.. / $1..);
    // values as the engine stores them (qlonglong, double, QString, Null).
    virtual std::vector<QVariantList> queryNative(const QString& text,
                                                  const QVariantList& params) = 0;
    // A table or view of this name (any case) exists.
    virtual bool tableExists(const QString& name) = 0;

    // The text index (TextIndex.h) in the engine's own terms.
    virtual void ensureTextIndex(const TextIndex& index) = 0;
    virtual std::vector<qint64> searchTextIndex(const TextIndex& index,
                                                const QStringList& words) = 0;

    // SQLite: BEGIN IMMEDIATE, so a busy store fails at the start and not halfway.
    virtual void begin() = 0;
    virtual void commit() = 0;
    // Never throws; nothing happens when no transaction is open.
    virtual void rollback() noexcept = 0;
    // False once the engine ended the transaction by itself (disk full, I/O error, ...).
    virtual bool inTransaction() const = 0;
    // Inside a transaction: the per-project lock (PostgreSQL: pg_advisory_xact_lock).
    virtual void lockProject(qint64 jobId) = 0;
    // A store-wide lock held by this connection until it closes; false at once when another
    // connection holds it. name is a short word naming the lock.
    virtual bool tryLockStore(int key, const QString& name) = 0;

    // The Desktop tables and indexes, existing ones left alone.
    virtual void createSchema() = 0;
    // Adds what later releases added (Change_History, the takeoff tables, Plans.Revision) to a
    // store that lacks it; cheap when nothing is missing. True when it changed the store (the
    // column kinds are read again).
    virtual bool upgradeSchema() = 0;
};

// Opens the PostgreSQL store the locator names. Until PostgreSQL support is built in, throws
// DbError "PostgreSQL store support is not built in".
std::unique_ptr<Backend> openPgBackend(const StoreLocator& locator, Connection::Mode mode);

} // namespace brevant::db
