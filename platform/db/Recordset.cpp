#include "platform/db/Recordset.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/StoredDateReader.h"

#include <sqlite3.h>

namespace brevant::db {

namespace {

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

void Recordset::open(const QString& jetSql, Connection& connection, Cursor cursor) {
    close();
    const TranslatedStatement t = connection.translate(jetSql);
    StatementRun run(connection, t);
    sqlite3_stmt* st = run.statement();
    const int n = sqlite3_column_count(st);
    QStringList names;
    std::vector<ColumnKind> kinds;
    for (int i = 0; i < n; ++i) {
        names << QString::fromUtf8(sqlite3_column_name(st, i));
        const char* decl = sqlite3_column_decltype(st, i);
        kinds.push_back(decl ? JetSchema::kindOfDeclaredType(QString::fromUtf8(decl))
                             : ColumnKind::Other);
    }
    std::vector<QVariantList> rows;
    StoredDateReader dates;
    while (run.step()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.push_back(columnValue(st, i, kinds[size_t(i)], dates));
        rows.push_back(std::move(row));
    }
    names_ = std::move(names);
    rows_ = std::move(rows);
    cursor_ = cursor;
    pos_ = 0;
    open_ = true;
}

void Recordset::close() {
    open_ = false;
    names_.clear();
    rows_.clear();
    pos_ = 0;
}

void Recordset::requireOpen() const {
    if (!open_)
        throw DbError(errors::ObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
}

bool Recordset::eof() const {
    requireOpen();
    return pos_ >= rows_.size();
}

bool Recordset::bof() const {
    requireOpen();
    return rows_.empty();
}

void Recordset::moveNext() {
    if (eof())
        throw DbError(errors::NoCurrentRecord,
                      QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                     "deleted. Requested operation requires a current record."));
    ++pos_;
}

void Recordset::moveFirst() {
    requireOpen();
    pos_ = 0;
}

int Recordset::recordCount() const {
    requireOpen();
    return cursor_ == Cursor::Static ? int(rows_.size()) : -1;
}

int Recordset::fieldCount() const {
    requireOpen();
    return int(names_.size());
}

QString Recordset::fieldName(int index) const {
    requireOpen();
    return names_.value(index);
}

int Recordset::indexOf(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Recordset::hasField(const QString& name) const {
    requireOpen();
    return indexOf(name) >= 0;
}

QVariant Recordset::field(const QString& name) const {
    requireOpen();
    const int i = indexOf(name);
    if (i < 0)
        throw DbError(errors::ItemNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the "
                                     "requested name or ordinal."));
    return field(i);
}

QVariant Recordset::field(int index) const {
    requireOpen();
    if (index < 0 || index >= names_.size())
        throw DbError(errors::ItemNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the "
                                     "requested name or ordinal."));
    if (pos_ >= rows_.size())
        throw DbError(errors::NoCurrentRecord,
                      QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                     "deleted. Requested operation requires a current record."));
    return rows_[pos_][index];
}

} // namespace brevant::db
