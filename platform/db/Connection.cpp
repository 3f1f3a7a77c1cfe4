#include "platform/db/Connection.h"

#include "platform/db/Backend.h"
#include "platform/db/DbError.h"
#include "platform/db/sqlite/SqliteBackend.h"

namespace brevant::db {

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

QStringList Connection::queryFunctions() {
    return {// what the translator writes for left, right, datepart, chr, ucase, lcase, len, mid
            "jet_left", "jet_right", "jet_datepart", "char", "upper", "lower", "length", "substr",
            "substring",
            // matching and plain text, numbers and Null
            "like", "trim", "ltrim", "rtrim", "instr", "abs", "round", "coalesce", "ifnull",
            "nullif",
            // dates
            "date", "time", "datetime", "julianday", "strftime",
            // aggregates
            "count", "min", "max", "sum", "total", "avg"};
}

void Connection::open(const QString& connection, Mode mode) {
    open(StoreLocator::parse(connection), mode);
}

void Connection::open(const StoreLocator& locator, Mode mode) {
    close();
    if (locator.kind() == StoreLocator::Kind::SqliteFile)
        attach(SqliteBackend::open(locator.text(), mode));
    else
        attach(openPgBackend(locator, mode));
}

void Connection::openReadOnly(const QString& connection, const QStringList& allowedTables,
                              const QStringList& allowedFunctions) {
    close();
    attach(SqliteBackend::openReadOnly(connection, allowedTables, allowedFunctions));
}

void Connection::attach(std::unique_ptr<Backend> backend) {
    backend_ = std::move(backend);
    path_ = backend_->storeName();
    estimator_.clear();
    try {
        reloadSchema();
    } catch (...) {
        close();
        throw;
    }
}

void Connection::close() {
    backend_.reset();
    path_.clear();
    estimator_.clear();
    schema_.clear();
    translations_.clear();
}

QString Connection::estimator() {
    if (estimator_.isEmpty())
        estimator_ = backend().estimator();
    return estimator_;
}

void Connection::setWorkstation(const QString& id) {
    backend().setWorkstation(id);
}

Dialect Connection::dialect() const {
    return backend_ ? backend_->dialect() : Dialect::Sqlite;
}

bool Connection::tryLockStore(StoreLock lock) {
    switch (lock) {
    case StoreLock::UpdateCheck:
        return backend().tryLockStore(int(lock), QStringLiteral("update-check"));
    }
    return false;
}

Backend& Connection::backend() const {
    if (!backend_)
        throw DbError(errors::ObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    return *backend_;
}

void Connection::reloadSchema() {
    Backend& b = backend();
    schema_.clear();
    translations_.clear();
    schema_ = b.readSchema();
}

TranslatedStatement Connection::translate(const QString& jetSql, bool unlessDuplicate) {
    return translations_.translate(jetSql, schema_, {dialect(), unlessDuplicate});
}

int Connection::execute(const QString& jetSql) {
    Backend& b = backend();
    return b.execute(translate(jetSql));
}

std::optional<int> Connection::executeUnlessDuplicate(const QString& jetSql) {
    Backend& b = backend();
    return b.executeUnlessDuplicate(translate(jetSql, true));
}

void Connection::executeNative(const QString& nativeSql) {
    backend().executeNative(nativeSql);
    // Table definitions may have changed; column kinds are read again.
    reloadSchema();
}

} // namespace brevant::db
