#pragma once
// The PostgreSQL engine under db::Connection (internal to platform/db): one libpq session, the
// Desktop schema created on first use, values read back as the SQLite engine gives them.
//
// A statement that fails inside a transaction ends it (PostgreSQL refuses every later statement
// of a failed transaction): it is rolled back at once, so inTransaction() turns false as it does
// when SQLite ends a transaction by itself, and Transaction::active() tells the caller.
//
// A session the server dropped (a restart, pg_terminate_backend, the network) is opened again
// by the next use outside a transaction, a few attempts at most. Inside one it is not: the
// transaction's work is gone or committed, nobody here knows which, so every statement fails
// with ConnectionLost until the caller ends the transaction and decides what to tell.
#include "platform/db/Backend.h"
#include "platform/db/pg/PgColumns.h"
#include "platform/db/pg/PgSession.h"

#include <QList>

namespace brevant::db::pg {

class PgBackend final : public Backend {
public:
    explicit PgBackend(const StoreLocator& locator);

    Dialect dialect() const override { return Dialect::PostgreSql; }
    QString storeName() const override { return name_; }
    QString estimator() override;
    void setWorkstation(const QString& id) override;
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
    void lockProject(qint64 jobId) override;
    bool tryLockStore(int key, const QString& name) override;

    void createSchema() override;
    bool upgradeSchema() override;

    Session& session() { return session_; }

    // How often the next use tries to open a dropped session again, in all, and how many times
    // it did so since this backend opened (for the tests and the logs).
    static constexpr int ReconnectAttempts = 3;
    int reconnects() const { return reconnects_; }

private:
    // Opens the session (again) and sets what every session of the program has.
    void connect();
    // Before a statement: a session the server dropped while idle is noticed (the server's
    // farewell is already waiting on the socket) and opened again, unless a transaction was
    // under way.
    void ensureSession();
    // Runs one statement; a failure inside a transaction rolls it back before it is thrown.
    Result run(const QByteArray& sql, const Params& params);
    // After a failure: rolls back, unless the session is gone (see ensureSession).
    void abandon() noexcept;

    Session session_;
    ColumnCatalog catalog_;
    StoreLocator locator_;
    QString name_;
    bool transactionBegun_ = false; // BEGIN sent, neither COMMIT nor ROLLBACK since
    QList<int> storeLocks_;         // session locks taken, taken again on a new session
    QString workstation_;           // set again on a new session
    int reconnects_ = 0;
};

} // namespace brevant::db::pg
