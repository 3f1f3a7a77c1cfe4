#pragma once
// Native SQLite queries with bound parameters, for the few features that need SQL the Jet
// dialect cannot say (full-text MATCH). Values come back as SQLite stores them: integers as
// qlonglong, reals as double, text as QString, Null as a null QVariant.
#include <QString>
#include <QVariant>
#include <vector>

namespace brevant::db {

class Connection;

// Runs one native statement with ?1, ?2, ... bound to params in order and returns every row.
// Throws DbError on failure.
std::vector<QVariantList> queryNative(Connection& connection, const QString& sqliteSql,
                                      const QVariantList& params = {});

// True when the database has a table, view or virtual table of this name (any case).
bool tableExists(Connection& connection, const QString& name);

} // namespace brevant::db
