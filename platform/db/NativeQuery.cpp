#include "platform/db/NativeQuery.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

#include <sqlite3.h>

namespace brevant::db {

namespace {

struct Finalizer {
    sqlite3_stmt* stmt = nullptr;
    ~Finalizer() { sqlite3_finalize(stmt); }
};

[[noreturn]] void fail(sqlite3* db, int rc) {
    throw DbError(errorNumberFor(rc), QString::fromUtf8(sqlite3_errmsg(db)), rc);
}

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
        fail(db, rc);
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

std::vector<QVariantList> queryNative(Connection& connection, const QString& sqliteSql,
                                      const QVariantList& params) {
    sqlite3* db = connection.nativeHandle();
    if (!db)
        throw DbError(errors::ObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    Finalizer f;
    const QByteArray sql = sqliteSql.toUtf8();
    int rc =
        sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &f.stmt, nullptr);
    if (rc != SQLITE_OK)
        fail(db, rc);
    for (int i = 0; i < params.size(); ++i)
        bind(db, f.stmt, i + 1, params[i]);
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
        fail(db, rc);
    return rows;
}

bool tableExists(Connection& connection, const QString& name) {
    return !queryNative(connection,
                        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN "
                                       "('table','view') AND name = ?1 COLLATE NOCASE"),
                        {name})
                .empty();
}

} // namespace brevant::db
