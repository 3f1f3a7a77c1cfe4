// SQLite's own text on the backend: native statements and queries, the tables and their
// column kinds.
#include "platform/db/sqlite/SqliteBackend.h"

#include "platform/db/sqlite/SqliteErrors.h"
#include "platform/db/sqlite/SqliteTextIndex.h"

#include <sqlite3.h>

namespace brevant::db {

namespace {

struct Finalizer {
    sqlite3_stmt* stmt = nullptr;
    ~Finalizer() { sqlite3_finalize(stmt); }
};

void bind(sqlite3* db, sqlite3_stmt* stmt, int index, const QVariant& v) {
    int rc = SQLITE_OK;
    if (v.isNull()) {
        rc = sqlite3_bind_null(stmt, index);
    } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
               v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool) {
        rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
    } else if (v.typeId() == QMetaType::Double) {
        rc = sqlite3_bind_double(stmt, index, v.toDouble());
    } else {
        const QByteArray text = v.toString().toUtf8();
        rc = sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()),
                               SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        throw sqliteError(rc, db);
}

QVariant column(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_NULL:
        return QVariant();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)));
    }
    }
}

} // namespace

void SqliteBackend::executeNative(const QString& text) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, text.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(err);
        throw sqliteError(rc, msg);
    }
    // Table definitions may have changed; the statements are prepared again.
    clearCache();
}

std::vector<QVariantList> SqliteBackend::queryNative(const QString& text,
                                                     const QVariantList& params) {
    Finalizer f;
    const QByteArray sql = text.toUtf8();
    int rc =
        sqlite3_prepare_v2(db_, sql.constData(), static_cast<int>(sql.size()), &f.stmt, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(rc, db_);
    for (int i = 0; i < params.size(); ++i)
        bind(db_, f.stmt, i + 1, params[i]);
    std::vector<QVariantList> rows;
    const int columns = sqlite3_column_count(f.stmt);
    while ((rc = sqlite3_step(f.stmt)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(column(f.stmt, i));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        throw sqliteError(rc, db_);
    return rows;
}

bool SqliteBackend::tableExists(const QString& name) {
    return !queryNative(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN "
                                       "('table','view') AND name = ?1 COLLATE NOCASE"),
                        {name})
                .empty();
}

void SqliteBackend::ensureTextIndex(const TextIndex& index) {
    sqlite::ensureFts5Index(*this, index);
}

std::vector<qint64> SqliteBackend::searchTextIndex(const TextIndex& index,
                                                   const QStringList& words) {
    return sqlite::searchFts5Index(*this, index, words);
}

JetSchema SqliteBackend::readSchema() {
    JetSchema schema;
    // Read before any authorizer applies to the caller's statements.
    if (readOnly_)
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
                schema.setKind(text(0), text(1), kind);
        }
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    if (readOnly_)
        sqlite3_set_authorizer(db_, authorize, &readOnlyRules_);
    if (rc != SQLITE_OK)
        raise(rc);
    return schema;
}

} // namespace brevant::db
