#include "server/StoredRows.h"

#include "platform/db/Recordset.h"

namespace brevant::server {

QStringList StoredRows::fold(const QStringList& key) {
    QStringList out;
    out.reserve(key.size());
    for (const QString& part : key)
        out.append(part.normalized(QString::NormalizationForm_KC).toCaseFolded());
    return out;
}

QVariant StoredRows::written(const QString& value) {
    return value.isEmpty() ? QVariant() : QVariant(value);
}

void StoredRows::load(db::Connection& c, const QString& select, int keyColumns) {
    rows_.clear();
    db::Recordset rs;
    rs.open(select, c);
    for (; !rs.eof(); rs.moveNext()) {
        Row row;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const QVariant v = rs.field(i);
            if (i < keyColumns)
                row.key.append(v.toString());
            else
                row.values.append(v);
        }
        row.folded = fold(row.key);
        rows_.append(std::move(row));
    }
}

// An empty text is written as NULL, and "= NULL" matches no row.
static bool matchable(const QStringList& key) {
    for (const QString& part : key) {
        if (part.isEmpty())
            return false;
    }
    return true;
}

bool StoredRows::unchanged(const QStringList& key, const QStringList& values) const {
    if (!matchable(key))
        return false;
    const QStringList folded = fold(key);
    bool exactFound = false;
    for (const Row& row : rows_) {
        if (row.folded != folded)
            continue;
        exactFound = exactFound || row.key == key;
        if (!row.known || row.values.size() != values.size())
            return false;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QVariant& stored = row.values[i];
            const bool same = values[i].isEmpty()
                                  ? stored.isNull()
                                  : !stored.isNull() && stored.toString() == values[i];
            if (!same)
                return false;
        }
    }
    return exactFound;
}

std::optional<QVariantList> StoredRows::exact(const QStringList& key) const {
    if (!matchable(key))
        return std::nullopt;
    for (const Row& row : rows_) {
        if (row.key == key)
            return row.values;
    }
    return std::nullopt;
}

void StoredRows::updated(const QStringList& key, const QStringList& values) {
    const QStringList folded = fold(key);
    QVariantList now;
    for (const QString& v : values)
        now.append(written(v));
    // A row whose key is only alike may or may not be one the store's collation matched.
    for (Row& row : rows_) {
        if (row.key == key)
            row.values = now;
        else if (row.folded == folded)
            row.known = false;
    }
}

void StoredRows::inserted(const QStringList& key, const QStringList& values) {
    Row row{key, fold(key), {}, true};
    for (const QString& v : values)
        row.values.append(written(v));
    rows_.append(std::move(row));
}

} // namespace brevant::server
