#pragma once
// The PostgreSQL engine under db::Connection (internal to platform/db): one libpq session, the
// Desktop schema created on first use, values read back as the SQLite engine gives them.
//
// A statement that fails inside a transaction ends it (PostgreSQL refuses every later statement
// of a failed transaction): it is rolled back at once, so inTransaction() turns false as it does
// when SQLite ends a transaction by itself, and Transaction::active() tells the caller.
#include "platform/db/Backend.h"
#include "platform/db/pg/PgColumns.h"
#include "platform/db/pg/PgSession.h"

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

private:
    // Runs one statement; a failure inside a transaction rolls it back before it is thrown.
    Result run(const QByteArray& sql, const Params& params);

    Session session_;
    ColumnCatalog catalog_;
    QString name_;
};

} // namespace brevant::db::pg
