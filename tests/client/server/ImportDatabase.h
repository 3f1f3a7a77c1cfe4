#pragma once
// A client database for import tests: a fresh Desktop.mdb in the test's program folder, opened
// as the process-wide DbConnection, and a few readers for what the tests check.
#include "../shell/ShellTestEnv.h"
#include "platform/db/Recordset.h"

#include <QVariant>

namespace brevant::server::test {

inline void openClientDatabase(shell::test::ShellTestEnv& env) {
    const QString file = env.createDatabase();
    modResources::DbConnection = std::make_unique<db::Connection>();
    modResources::DbConnection->open(file);
}

// The first column of every row of the query.
inline QList<QVariant> column(const QString& sql) {
    QList<QVariant> out;
    db::Recordset rs;
    rs.open(sql, *modResources::DbConnection);
    while (!rs.eof()) {
        out << rs.field(0);
        rs.moveNext();
    }
    return out;
}

inline int count(const QString& table, const QString& where = QString()) {
    return column(QStringLiteral("SELECT Count(*) FROM ") + table +
                  (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
        .value(0)
        .toInt();
}

} // namespace brevant::server::test
