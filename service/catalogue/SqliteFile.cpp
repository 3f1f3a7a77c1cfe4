#include "service/catalogue/SqliteFile.h"

#include <sqlite3.h>

namespace brevant::service {

SqliteFile::SqliteFile(const QString& path) {
    const QByteArray name = path.toUtf8();
    if (sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString why = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString("no memory");
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(("cannot open " + path + ": " + why).toStdString());
    }
    sqlite3_busy_timeout(db_, 5000);
}

SqliteFile::~SqliteFile() {
    sqlite3_close(db_);
}

void SqliteFile::fail(const QString& what) const {
    throw SqliteError((what + ": " + QString::fromUtf8(sqlite3_errmsg(db_))).toStdString());
}

void SqliteFile::exec(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString why = QString::fromUtf8(message ? message : "error");
        sqlite3_free(message);
        throw SqliteError((sql.left(80) + ": " + why).toStdString());
    }
}

SqliteFile::Statement::Statement(SqliteFile& db, const QString& sql) : db_(db) {
    if (sqlite3_prepare_v2(db.db_, sql.toUtf8().constData(), -1, &stmt_, nullptr) != SQLITE_OK)
        db.fail(sql.left(80));
}

SqliteFile::Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

SqliteFile::Statement& SqliteFile::Statement::bind(int index, const QVariant& value) {
    int rc;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
               value.typeId() == QMetaType::Bool) {
        rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
    } else {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text(stmt_, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        db_.fail("bind");
    return *this;
}

bool SqliteFile::Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        db_.fail("step");
    return false;
}

void SqliteFile::Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

qint64 SqliteFile::Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QString SqliteFile::Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? QString::fromUtf8(p) : QString();
}

} // namespace brevant::service
