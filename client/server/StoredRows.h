#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace brevant::db {
class Connection;
}

namespace brevant::server {

// One project's rows of a child table (its sections, sheets or contacts) as the merge found
// them, so that the merge writes only what changed: a statement per row that already holds
// the received values costs a round trip to a server store for nothing.
//
// Keys compare as the store's case-insensitive text does, or more loosely (compatibility
// forms and full case folding): a row the store's key would match is always among the rows
// this finds alike, so "nothing to write" is never said of a row the store would change.
class StoredRows {
public:
    // Reads the rows `select` names; its first `keyColumns` columns are the key, the rest the
    // values, in the order the callers give them.
    void load(db::Connection& c, const QString& select, int keyColumns);

    // True when a row with exactly this key is stored and every row whose key compares alike
    // already holds `values` as the merge writes them (an empty text is written as NULL): the
    // UPDATE would change nothing, and no INSERT follows it. A key with an empty part matches
    // nothing, as its NULL does in the statement.
    bool unchanged(const QStringList& key, const QStringList& values) const;

    // The values of the row with exactly this key, when there is one.
    std::optional<QVariantList> exact(const QStringList& key) const;

    // After an UPDATE of this key wrote `values`.
    void updated(const QStringList& key, const QStringList& values);
    // After an INSERT of a new row.
    void inserted(const QStringList& key, const QStringList& values);

private:
    struct Row {
        QStringList key;
        QStringList folded;
        QVariantList values;
        bool known = true; // false once a write may have changed it unseen
    };
    static QStringList fold(const QStringList& key);
    static QVariant written(const QString& value);

    QList<Row> rows_;
};

} // namespace brevant::server
