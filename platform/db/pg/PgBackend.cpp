#include "platform/db/pg/PgBackend.h"

#include "platform/db/ProjectUnit.h"
#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/pg/PgTextIndex.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <chrono>
#include <thread>

namespace brevant::db {

std::unique_ptr<Backend> openPgBackend(const StoreLocator& locator, Connection::Mode) {
    // The database itself must exist (the program never creates one); its tables are created
    // on first use whatever the mode.
    return std::make_unique<pg::PgBackend>(locator);
}

namespace pg {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("brevant::db::PgBackend", text);
}

// The workstation a session speaks for (the store's brevant_workstation()).
const QByteArray kSetWorkstation = "SELECT set_config('brevant.workstation', $1, false)";

// Whether an INSERT goes into one of the per-reader views, whose trigger refuses a duplicate
// row with an error instead of the statement's ON CONFLICT clause.
bool insertsThroughView(const QByteArray& sql) {
    static const QRegularExpression target(
        QStringLiteral(R"re(^\s*INSERT\s+INTO\s+"?([A-Za-z_][A-Za-z0-9_]*)"?)re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = target.match(QString::fromUtf8(sql));
    return m.hasMatch() &&
           storedTableName(m.captured(1)).compare(m.captured(1), Qt::CaseInsensitive) != 0;
}

} // namespace

PgBackend::PgBackend(const StoreLocator& locator) : locator_(locator), name_(locator.describe()) {
    connect();
    ensureDesktopSchema(session_);
}

void PgBackend::connect() {
    session_.open(locator_.text(), locator_.passwordAllowed());
    // A project's lock is waited for as long as SQLite waits for its write lock.
    session_.run(QByteArrayView("SET lock_timeout = " + QByteArray::number(kProjectLockWaitMs)));
    // A session opened again speaks for the same workstation as the one it replaces.
    if (!workstation_.isEmpty())
        session_.run(kSetWorkstation, Params{workstation_.toUtf8()});
}

void PgBackend::ensureSession() {
    if (transactionBegun_) {
        if (session_.connected())
            return;
        throw PgFailure("08006", Condition::ConnectionLost,
                        tr("The connection to the project store was lost in the middle of a "
                           "change; it may or may not have been saved."));
    }
    if (session_.alive())
        return;
    QString why;
    for (int attempt = 1; attempt <= ReconnectAttempts; ++attempt) {
        // A restarting server takes a moment to accept sessions again.
        if (attempt > 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(500 * (attempt - 1)));
        try {
            connect();
        } catch (const DbError& e) {
            if (e.condition() != Condition::ConnectionLost)
                throw;
            why = e.description();
            continue;
        }
        ++reconnects_;
        catalog_.clear();
        // The old session's locks went with it; another workstation may have taken one since.
        const QList<int> held = std::exchange(storeLocks_, {});
        for (int key : held) {
            if (!tryLockStore(key, QString()))
                throw PgFailure("55P03", Condition::Other,
                                tr("The connection to the project store was lost, and meanwhile "
                                   "another workstation began the same work; it goes on there."));
        }
        return;
    }
    session_.close();
    throw PgFailure("08001", Condition::ConnectionLost,
                    tr("The connection to the project store %1 was lost and could not be made "
                       "again (%2). Nothing more was saved. Check the network, or ask the "
                       "administrator whether the server is running, then try again.")
                        .arg(name_, why));
}

Result PgBackend::run(const QByteArray& sql, const Params& params) {
    ensureSession();
    try {
        return session_.run(sql, params);
    } catch (const DbError&) {
        abandon();
        throw;
    }
}

void PgBackend::abandon() noexcept {
    // A dropped session's transaction stays "begun" until its owner ends it: a statement the
    // owner still sends must not reconnect and commit on its own.
    if (session_.isOpen() && !session_.connected())
        return;
    rollback();
}

QString PgBackend::estimator() {
    return QString::fromUtf8(run("SELECT current_user", Params{}).text(0, 0));
}

void PgBackend::setWorkstation(const QString& id) {
    // Session-wide (not local to a transaction): it holds for every later statement.
    run(kSetWorkstation, Params{id.toUtf8()});
    workstation_ = id;
}

JetSchema PgBackend::readSchema() {
    ensureSession();
    JetSchema schema;
    loadJetSchema(session_, schema);
    return schema;
}

int PgBackend::execute(const TranslatedStatement& statement) {
    return int(run(statement.sql, textParams(statement.params)).affected());
}

std::optional<int> PgBackend::executeUnlessDuplicate(const TranslatedStatement& statement) {
    // Translated with ON CONFLICT DO NOTHING: a refused row is no row. A view that inserts
    // through its own trigger (Projects, Plans, Specs) cannot take that clause for its table,
    // so its trigger's refusal comes as an error: taken back to a savepoint, it leaves the
    // transaction going, as a refused row does on SQLite.
    // Only those pay the savepoint's two round trips: a merge inserts thousands of rows.
    const bool inside = session_.inTransaction() && insertsThroughView(statement.sql);
    if (inside)
        session_.run(QByteArrayView("SAVEPOINT brevant_unless_duplicate"));
    try {
        const int n = int(session_.run(statement.sql, textParams(statement.params)).affected());
        if (inside)
            session_.run(QByteArrayView("RELEASE SAVEPOINT brevant_unless_duplicate"));
        if (n == 0)
            return std::nullopt;
        return n;
    } catch (const DbError& e) {
        if (e.condition() == Condition::UniqueViolation) {
            if (!inside)
                return std::nullopt;
            try {
                session_.run(QByteArrayView("ROLLBACK TO SAVEPOINT brevant_unless_duplicate"));
                session_.run(QByteArrayView("RELEASE SAVEPOINT brevant_unless_duplicate"));
                return std::nullopt;
            } catch (const DbError&) {
                // the session broke: as any failure below
            }
        }
        rollback();
        throw;
    }
}

QueryResult PgBackend::query(const TranslatedStatement& statement) {
    const Result r = run(statement.sql, textParams(statement.params));
    const std::vector<ColumnInfo> columns = catalog_.describe(session_, r);
    QueryResult out;
    for (const ColumnInfo& c : columns)
        out.names << c.name;
    out.rows.reserve(size_t(r.rows()));
    StoredDateReader dates;
    for (int row = 0; row < r.rows(); ++row) {
        QVariantList values;
        values.reserve(r.columns());
        for (int c = 0; c < r.columns(); ++c)
            values.push_back(r.isNull(row, c)
                                 ? QVariant()
                                 : decodeValue(columns[size_t(c)].kind, r.text(row, c), dates));
        out.rows.push_back(std::move(values));
    }
    return out;
}

void PgBackend::executeNative(const QString& text) {
    ensureSession();
    try {
        session_.run(QByteArrayView(text.toUtf8()));
    } catch (const DbError&) {
        abandon();
        throw;
    }
    catalog_.clear(); // the tables may have changed
}

std::vector<QVariantList> PgBackend::queryNative(const QString& text, const QVariantList& params) {
    const Result r = run(text.toUtf8(), textParams(params));
    std::vector<QVariantList> rows;
    rows.reserve(size_t(r.rows()));
    StoredDateReader unused;
    for (int row = 0; row < r.rows(); ++row) {
        QVariantList values;
        for (int c = 0; c < r.columns(); ++c)
            values.push_back(r.isNull(row, c)
                                 ? QVariant()
                                 : decodeValue(kindOfType(r.type(c)), r.text(row, c), unused));
        rows.push_back(std::move(values));
    }
    return rows;
}

bool PgBackend::tableExists(const QString& name) {
    return run("SELECT 1 FROM pg_class c WHERE lower(c.relname) = lower($1) AND "
               "c.relkind IN ('r', 'v', 'm', 'p', 'f') AND pg_table_is_visible(c.oid)",
               Params{name.toUtf8()})
               .rows() > 0;
}

void PgBackend::ensureTextIndex(const TextIndex& index) {
    ensureSession();
    ensureTsIndex(session_, index);
    catalog_.clear(); // the tables may have changed
}

std::vector<qint64> PgBackend::searchTextIndex(const TextIndex& index, const QStringList& words) {
    ensureSession();
    try {
        return searchTsIndex(session_, index, words);
    } catch (const DbError&) {
        abandon();
        throw;
    }
}

void PgBackend::begin() {
    ensureSession();
    session_.run("BEGIN", {});
    transactionBegun_ = true;
}

void PgBackend::commit() {
    // COMMIT of a failed transaction "succeeds" as a ROLLBACK; never let that pass for one.
    if (session_.inFailedTransaction()) {
        rollback();
        throw DbError(errors::Unspecified,
                      QStringLiteral("The transaction was ended by an earlier failure."));
    }
    try {
        run("COMMIT", {});
    } catch (const DbError&) {
        transactionBegun_ = false; // over, one way or the other
        throw;
    }
    transactionBegun_ = false;
}

void PgBackend::rollback() noexcept {
    transactionBegun_ = false;
    if (!session_.inTransaction())
        return;
    try {
        session_.run(QByteArrayView("ROLLBACK"));
    } catch (...) {
        // The session is gone; the server rolled back.
    }
}

bool PgBackend::inTransaction() const {
    return session_.inTransaction() && !session_.inFailedTransaction();
}

void PgBackend::lockProject(qint64 jobId) {
    // The one-key form; schema work locks with the two-key form, a space of its own.
    run("SELECT pg_advisory_xact_lock($1::bigint)", Params{QByteArray::number(jobId)});
}

bool PgBackend::tryLockStore(int key, const QString&) {
    // A session lock, in the two-key space the schema work uses (first key of its own): the
    // server lets it go when the session ends, however the process ended.
    const Result r = run("SELECT pg_try_advisory_lock(1112692322, $1::integer)",
                         Params{QByteArray::number(key)});
    const bool taken = r.rows() == 1 && r.text(0, 0) == QByteArrayView("t");
    if (taken && !storeLocks_.contains(key))
        storeLocks_.append(key);
    return taken;
}

void PgBackend::createSchema() {
    ensureSession();
    ensureDesktopSchema(session_);
    catalog_.clear();
}

bool PgBackend::upgradeSchema() {
    ensureSession();
    if (storedDesktopSchemaVersion(session_) >= desktopSchemaVersion())
        return false;
    ensureDesktopSchema(session_);
    catalog_.clear();
    return true;
}

} // namespace pg

} // namespace brevant::db
