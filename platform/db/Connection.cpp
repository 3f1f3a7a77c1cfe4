#include "platform/db/Connection.h"

#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/JetFunctions.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace brevant::db {

namespace {

// Prepared statements kept per connection; the client's statement shapes number a few dozen.
constexpr int kCacheLimit = 128;

} // namespace

int Connection::authorize(void* data, int action, const char* a1, const char* a2, const char*,
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

void disableDoubleQuotedText(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

Connection::~Connection() {
    close();
}

void Connection::open(const QString& connection, Mode mode) {
    openFile(connection, SQLITE_OPEN_READWRITE | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0),
             mode == Mode::Create);
    try {
        // WAL keeps a statement-at-a-time workload fast and a killed writer harmless.
        executeNative(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"));
    } catch (...) {
        close();
        throw;
    }
}

void Connection::openReadOnly(const QString& connection, const QStringList& allowedTables,
                              const QStringList& allowedFunctions) {
    openFile(connection, SQLITE_OPEN_READONLY, false);
    readOnlyRules_ = {};
    for (const QString& t : allowedTables)
        readOnlyRules_.tables.insert(t.toLower());
    for (const QString& f : allowedFunctions)
        readOnlyRules_.functions.insert(f.toLower());
    readOnly_ = true;
    sqlite3_set_authorizer(db_, authorize, &readOnlyRules_);
}

void Connection::openFile(const QString& connection, int flags, bool create) {
    close();
    const QString wanted = dataSourcePath(connection);
    const QString file = resolveCaseInsensitive(wanted);
    if (!create && !QFileInfo(file).isFile())
        throw DbError(errors::Unspecified, QStringLiteral("Could not find file '%1'.").arg(wanted));
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(file.toUtf8().constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw DbError(errors::Unspecified,
                      QStringLiteral("Could not open file '%1': %2").arg(wanted, msg), rc);
    }
    db_ = db;
    path_ = file;
    readOnly_ = false;
    sqlite3_extended_result_codes(db_, 1);
    disableDoubleQuotedText(db_);
    sqlite3_busy_timeout(db_, 5000);
    registerJetFunctions(db_);
    try {
        reloadSchema();
    } catch (...) {
        close();
        throw;
    }
}

void Connection::close() {
    clearCache();
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    readOnly_ = false;
    schema_.clear();
    translations_.clear();
}

void Connection::clearCache() {
    for (sqlite3_stmt* s : std::as_const(cache_))
        sqlite3_finalize(s);
    cache_.clear();
}

void Connection::requireOpen() const {
    if (!db_)
        throw DbError(errors::ObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
}

void Connection::raise(int rc) const {
    const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
    // A function the authorizer refuses comes back as a plain error; it is a refusal all the
    // same.
    if (readOnly_ && message.startsWith(QLatin1String("not authorized")))
        throw DbError(errors::PermissionDenied, message, SQLITE_AUTH);
    throw DbError(errorNumberFor(rc), message, rc);
}

void Connection::reloadSchema() {
    requireOpen();
    schema_.clear();
    translations_.clear();
    // Read before any authorizer applies to the caller's statements.
    auto* saved = readOnly_ ? &readOnlyRules_ : nullptr;
    if (saved)
        sqlite3_set_authorizer(db_, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db_,
                                "SELECT m.name, p.name, p.type FROM sqlite_master AS m, "
                                "pragma_table_info(m.name) AS p WHERE m.type = 'table'",
                                -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const auto text = [&](int i) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            };
            const ColumnKind kind = JetSchema::kindOfDeclaredType(text(2));
            if (kind != ColumnKind::Other)
                schema_.setKind(text(0), text(1), kind);
        }
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    if (saved)
        sqlite3_set_authorizer(db_, authorize, saved);
    if (rc != SQLITE_OK)
        raise(rc);
}

sqlite3_stmt* Connection::prepare(const TranslatedStatement& t) {
    requireOpen();
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

StatementRun::StatementRun(Connection& c, const TranslatedStatement& t)
    : c_(c), stmt_(c.prepare(t)) {}

StatementRun::~StatementRun() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int StatementRun::finish() {
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    return rc;
}

bool StatementRun::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    c_.raise(rc);
}

int Connection::runToEnd(const QString& jetSql, int* changed) {
    requireOpen();
    const TranslatedStatement t = translate(jetSql);
    StatementRun run(*this, t);
    const int rc = run.finish();
    *changed =
        rc == SQLITE_DONE && t.verb != TranslatedStatement::Verb::Select ? sqlite3_changes(db_) : 0;
    return rc;
}

int Connection::execute(const QString& jetSql) {
    int changed = 0;
    const int rc = runToEnd(jetSql, &changed);
    if (rc != SQLITE_DONE)
        raise(rc);
    return changed;
}

std::optional<int> Connection::executeUnlessDuplicate(const QString& jetSql) {
    int changed = 0;
    const int rc = runToEnd(jetSql, &changed);
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return std::nullopt;
    if (rc != SQLITE_DONE)
        raise(rc);
    return changed;
}

void Connection::executeNative(const QString& sqliteSql) {
    requireOpen();
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sqliteSql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(err);
        throw DbError(errorNumberFor(rc), msg, rc);
    }
    // Table definitions may have changed; statements and column kinds are re-read.
    clearCache();
    reloadSchema();
}

} // namespace brevant::db
