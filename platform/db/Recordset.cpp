#include "platform/db/Recordset.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

namespace brevant::db {

void Recordset::open(const QString& jetSql, Connection& connection, Cursor cursor) {
    close();
    const TranslatedStatement t = connection.translate(jetSql);
    QueryResult result = connection.backend().query(t);
    names_ = std::move(result.names);
    rows_ = std::move(result.rows);
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
