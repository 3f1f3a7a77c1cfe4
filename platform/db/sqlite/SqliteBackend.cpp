#include "platform/db/sqlite/SqliteBackend.h"

#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/StoredDateReader.h"
#include "platform/db/sqlite/SqliteErrors.h"
#include "platform/db/sqlite/SqliteJetFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace brevant::db {

namespace {

// Prepared statements kept per connection; the client's statement shapes number a few dozen.
constexpr int kCacheLimit = 128;

QVariant columnValue(sqlite3_stmt* st, int i, ColumnKind kind, StoredDateReader& dates) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        if (kind == ColumnKind::YesNo)
            return sqlite3_column_int64(st, i) != 0;
        return qlonglong(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        if (kind == ColumnKind::YesNo)
            return sqlite3_column_double(st, i) != 0.0;
        return sqlite3_column_double(st, i);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                          sqlite3_column_bytes(st, i));
    default: {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        const int size = sqlite3_column_bytes(st, i);
        if (kind == ColumnKind::Date)
            return dates.read(QByteArrayView(text, size));
        return QString::fromUtf8(text, size);
    }
    }
}

} // namespace

// A prepared, bound statement, reset when done.
class SqliteBackend::Run {
public:
    Run(SqliteBackend& b, const TranslatedStatement& t) : b_(b), stmt_(b.prepare(t)) {}
    ~Run() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    // Steps once; true while a row is available.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        sqlite3_reset(stmt_);
        b_.raise(rc);
    }
    // Steps through every row; SQLITE_DONE or the code of the failure (nothing thrown).
    int finish() {
        int rc;
        while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        }
        return rc;
    }
    sqlite3_stmt* statement() const { return stmt_; }

private:
    SqliteBackend& b_;
    sqlite3_stmt* stmt_;
};

void disableDoubleQuotedText(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

sqlite3* sqliteHandle(const Connection& connection) {
    if (!connection.isOpen())
        return nullptr;
    const auto* b = dynamic_cast<const SqliteBackend*>(&connection.backend());
    return b ? b->handle() : nullptr;
}

int SqliteBackend::authorize(void* data, int action, const char* a1, const char* a2, const char*,
                             const char*) {
    const auto* rules = static_cast<const ReadOnlyRules*>(data);
    switch (action) {
    case SQLITE_SELECT:
        return SQLITE_OK;
    case SQLITE_FUNCTION: // a1 is unused, a2 the function's name
        return a2 && rules->functions.contains(QString::fromUtf8(a2).toLower()) ? SQLITE_OK
                                                                                : SQLITE_DENY;
    case SQLITE_READ:
        return rules->tables.contains(QString::fromUtf8(a1).toLower()) ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

std::unique_ptr<SqliteBackend> SqliteBackend::open(const QString& connection,
                                                   Connection::Mode mode) {
    const bool create = mode == Connection::Mode::Create;
    auto b =
        openFile(connection, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), create);
    // WAL keeps a statement-at-a-time workload fast and a killed writer harmless.
    b->executeNative(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"));
    return b;
}

std::unique_ptr<SqliteBackend> SqliteBackend::openReadOnly(const QString& connection,
                                                           const QStringList& allowedTables,
                                                           const QStringList& allowedFunctions) {
    auto b = openFile(connection, SQLITE_OPEN_READONLY, false);
    for (const QString& t : allowedTables)
        b->readOnlyRules_.tables.insert(t.toLower());
    for (const QString& f : allowedFunctions)
        b->readOnlyRules_.functions.insert(f.toLower());
    b->readOnly_ = true;
    sqlite3_set_authorizer(b->db_, authorize, &b->readOnlyRules_);
    return b;
}

std::unique_ptr<SqliteBackend> SqliteBackend::openForReading(const QString& connection) {
    auto b = openFile(connection, SQLITE_OPEN_READONLY, false);
    b->readOnly_ = true;
    return b;
}

std::unique_ptr<SqliteBackend> SqliteBackend::openFile(const QString& connection, int flags,
                                                       bool create) {
    const QString wanted = dataSourcePath(connection);
    const QString file = resolveCaseInsensitive(wanted);
    if (!create && !QFileInfo(file).isFile())
        throw DbError(errors::Unspecified, QStringLiteral("Could not find file '%1'.").arg(wanted),
                      Condition::Other);
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(file.toUtf8().constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw DbError(errors::Unspecified,
                      QStringLiteral("Could not open file '%1': %2").arg(wanted, msg),
                      conditionFor(rc, msg), rc);
    }
    std::unique_ptr<SqliteBackend> b(new SqliteBackend(db, file));
    sqlite3_extended_result_codes(db, 1);
    disableDoubleQuotedText(db);
    sqlite3_busy_timeout(db, kProjectLockWaitMs);
    registerJetFunctions(db);
    return b;
}

SqliteBackend::~SqliteBackend() {
    for (int fd : lockFiles_)
        ::close(fd); // and with it the lock
    clearCache();
    sqlite3_close_v2(db_);
}

bool SqliteBackend::tryLockStore(int, const QString& name) {
    // A lock on a file beside the store: the kernel lets it go when the process ends, however
    // it ended, so a killed check never blocks the next one.
    const QByteArray file = QFile::encodeName(path_ + QLatin1Char('.') + name + ".lock");
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw DbError(errors::Unspecified,
                      QStringLiteral("Cannot open the lock file %1: %2")
                          .arg(QFile::decodeName(file), QString::fromLocal8Bit(strerror(errno))),
                      Condition::Other, errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFiles_.push_back(fd);
    return true;
}

void SqliteBackend::clearCache() {
    for (sqlite3_stmt* s : std::as_const(cache_))
        sqlite3_finalize(s);
    cache_.clear();
}

void SqliteBackend::raise(int rc) const {
    const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
    // A function the authorizer refuses comes back as a plain error; it is a refusal all the
    // same.
    if (readOnly_ && message.startsWith(QLatin1String("not authorized")))
        throw DbError(errors::PermissionDenied, message, Condition::Other, SQLITE_AUTH);
    throw sqliteError(rc, message);
}

sqlite3_stmt* SqliteBackend::prepare(const TranslatedStatement& t) {
    sqlite3_stmt* st = cache_.value(t.sql, nullptr);
    if (!st) {
        const int rc = sqlite3_prepare_v3(db_, t.sql.constData(), int(t.sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &st, nullptr);
        if (rc != SQLITE_OK)
            raise(rc);
        if (cache_.size() >= kCacheLimit)
            clearCache();
        cache_.insert(t.sql, st);
    }
    for (int i = 0; i < t.params.size(); ++i) {
        const QVariant& v = t.params[i];
        int rc;
        if (v.isNull()) {
            rc = sqlite3_bind_null(st, i + 1);
        } else if (v.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(st, i + 1, v.toDouble());
        } else {
            const QByteArray text = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) {
            sqlite3_clear_bindings(st);
            raise(rc);
        }
    }
    return st;
}

int SqliteBackend::runToEnd(const TranslatedStatement& t, int* changed) {
    Run run(*this, t);
    const int rc = run.finish();
    *changed =
        rc == SQLITE_DONE && t.verb != TranslatedStatement::Verb::Select ? sqlite3_changes(db_) : 0;
    return rc;
}

int SqliteBackend::execute(const TranslatedStatement& statement) {
    int changed = 0;
    const int rc = runToEnd(statement, &changed);
    if (rc != SQLITE_DONE)
        raise(rc);
    return changed;
}

std::optional<int> SqliteBackend::executeUnlessDuplicate(const TranslatedStatement& statement) {
    int changed = 0;
    const int rc = runToEnd(statement, &changed);
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return std::nullopt;
    if (rc != SQLITE_DONE)
        raise(rc);
    return changed;
}

QueryResult SqliteBackend::query(const TranslatedStatement& statement) {
    Run run(*this, statement);
    sqlite3_stmt* st = run.statement();
    const int n = sqlite3_column_count(st);
    QueryResult result;
    std::vector<ColumnKind> kinds;
    for (int i = 0; i < n; ++i) {
        result.names << QString::fromUtf8(sqlite3_column_name(st, i));
        const char* decl = sqlite3_column_decltype(st, i);
        kinds.push_back(decl ? JetSchema::kindOfDeclaredType(QString::fromUtf8(decl))
                             : ColumnKind::Other);
    }
    StoredDateReader dates;
    while (run.step()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.push_back(columnValue(st, i, kinds[size_t(i)], dates));
        result.rows.push_back(std::move(row));
    }
    return result;
}

void SqliteBackend::run(const char* sql) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(rc, db_);
}

void SqliteBackend::begin() {
    run("BEGIN IMMEDIATE");
}

void SqliteBackend::commit() {
    run("COMMIT");
}

void SqliteBackend::rollback() noexcept {
    if (sqlite3_get_autocommit(db_) != 0)
        return;
    // A failure leaves nothing to do: SQLite rolls back by itself when the connection closes.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteBackend::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

QString SqliteBackend::estimator() {
    // The file is one computer's: its user is the one who finds changes.
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace brevant::db
