#pragma once
// A fresh Desktop.mdb with the schema in a temporary folder, opened by the connection string;
// or, for a test that runs on both engines, a fresh PostgreSQL store (PgScratch.h).
#include "PgScratch.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class DesktopDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        brevant::db::createDesktopDatabase(file());
        db.open(connectionString());
    }

    // Opens db on a fresh PostgreSQL store instead (its tables are made on first use); the test
    // is skipped with the reason (IsSkipped()) when there is no test cluster.
    void openPostgreSql() {
        QString why;
        if (!pgScratch.create(&why))
            GTEST_SKIP() << why.toStdString();
        db.close();
        db.open(pgScratch.locator());
    }

    QString folder() const { return dir.path(); }
    QString file() const { return dir.filePath(QStringLiteral("Desktop.mdb")); }
    QString connectionString() const {
        QString f = folder();
        f.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + f +
               QStringLiteral("\\Desktop.mdb;Persist Security Info=False");
    }

    // Every row of a query, each field as text (dates as stored text), joined by '|'.
    QStringList rows(const QString& sql, const QStringList& fields) {
        brevant::db::Recordset rs;
        rs.open(sql, db, brevant::db::Recordset::Cursor::Static);
        QStringList out;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList row;
            for (const QString& f : fields) {
                const QVariant v = rs.field(f);
                if (v.isNull())
                    row << QStringLiteral("<null>");
                else if (v.typeId() == QMetaType::QDateTime)
                    row << v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                else
                    row << v.toString();
            }
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }

    QVariant scalar(const QString& sql) {
        brevant::db::Recordset rs;
        rs.open(sql, db);
        return rs.eof() ? QVariant() : rs.field(0);
    }

    QTemporaryDir dir;
    pgtest::ScratchSchema pgScratch; // outlives db, which is closed first
    brevant::db::Connection db;
};

// A test body that runs once on each engine.
class BothEngines : public DesktopDb, public ::testing::WithParamInterface<brevant::db::Dialect> {
protected:
    void SetUp() override {
        DesktopDb::SetUp();
        if (GetParam() == brevant::db::Dialect::PostgreSql)
            openPostgreSql();
    }
    bool onPostgreSql() const { return GetParam() == brevant::db::Dialect::PostgreSql; }
};

inline std::string engineName(const ::testing::TestParamInfo<brevant::db::Dialect>& info) {
    return info.param == brevant::db::Dialect::PostgreSql ? "PostgreSql" : "Sqlite";
}

#define BREVANT_ON_BOTH_ENGINES(Suite)                                                             \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, Suite,                                                                            \
        ::testing::Values(brevant::db::Dialect::Sqlite, brevant::db::Dialect::PostgreSql),         \
        engineName)
