#pragma once
// Queries in the engine's own SQL with bound parameters, for the few features that need SQL
// the Jet dialect cannot say (full-text MATCH). Values come back as the engine stores them:
// integers as qlonglong, reals as double, text as QString, Null as a null QVariant.
#include <QString>
#include <QVariant>
#include <vector>

namespace brevant::db {

class Connection;

// Runs one native statement with params bound to its placeholders (SQLite ?1, ?2, ...;
// PostgreSQL $1, $2, ...) in order and returns every row. Throws DbError on failure.
std::vector<QVariantList> queryNative(Connection& connection, const QString& nativeSql,
                                      const QVariantList& params = {});

// True when the store has a table, view or virtual table of this name (any case).
bool tableExists(Connection& connection, const QString& name);

} // namespace brevant::db
