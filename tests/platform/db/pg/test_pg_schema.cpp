// The Desktop tables on PostgreSQL: created on first use and brought forward, the same tables,
// columns and keys as on SQLite, the service's odd values kept and read back as SQLite gives
// them, text compared without regard to case, and the Jet functions.
#include "PgFixture.h"

#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/db/pg/PgColumns.h"
#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/sqlite/SqliteBackend.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>

using brevant::db::Condition;
using brevant::db::Connection;
using brevant::db::Recordset;
using brevant::db::pg::ColumnCatalog;
using brevant::db::pg::Params;
using brevant::db::pg::PgFailure;
using brevant::db::pg::Session;
using brevant::db::pg::ValueKind;

namespace {

class PgSchema : public pgtest::ScratchDatabase {
protected:
    void SetUp() override {
        ScratchDatabase::SetUp();
        if (IsSkipped())
            return;
        s.open(locator());
    }
    void TearDown() override {
        s.close();
        ScratchDatabase::TearDown();
    }

    // Every row of a query through the column catalogue, values as the recordsets give them.
    std::vector<QVariantList> read(const QByteArray& sql) {
        const auto r = s.run(sql, {});
        const auto columns = catalog.describe(s, r);
        brevant::db::StoredDateReader dates;
        std::vector<QVariantList> rows;
        for (int row = 0; row < r.rows(); ++row) {
            QVariantList values;
            for (int c = 0; c < r.columns(); ++c)
                values << (r.isNull(row, c) ? QVariant()
                                            : brevant::db::pg::decodeValue(columns[size_t(c)].kind,
                                                                           r.text(row, c), dates));
            rows.push_back(values);
        }
        return rows;
    }

    Session s;
    ColumnCatalog catalog;
};

TEST_F(PgSchema, IsCreatedOnFirstUseAndFoundOnTheNext) {
    EXPECT_EQ(brevant::db::pg::ensureDesktopSchema(s), 0);
    s.run("INSERT INTO projects (job_id) VALUES (1)");
    Session other;
    other.open(locator());
    EXPECT_EQ(brevant::db::pg::ensureDesktopSchema(other), brevant::db::pg::desktopSchemaVersion());
    EXPECT_EQ(other.run("SELECT count(*) FROM projects", {}).text(0, 0), "1");
}

TEST_F(PgSchema, AnOlderStoreIsBroughtForwardKeepingItsRows) {
    EXPECT_EQ(brevant::db::pg::ensureDesktopSchema(s, 1), 0);
    s.run("INSERT INTO projects (job_id, name) VALUES (7, 'KEPT')");
    s.run("INSERT INTO plans (jobid, file) VALUES (7, 'PLAN001')");
    EXPECT_EQ(s.run("SELECT to_regclass('change_history') IS NULL", {}).text(0, 0), "t");
    EXPECT_EQ(brevant::db::pg::ensureDesktopSchema(s), 1);
    EXPECT_EQ(s.run("SELECT name FROM projects", {}).text(0, 0), "KEPT");
    // The sheets stored before revisions existed are at revision 0.
    EXPECT_EQ(s.run("SELECT revision FROM plans WHERE file = 'PLAN001'", {}).text(0, 0), "0");
    s.run("INSERT INTO change_history (jobid, what) VALUES (7, 'NAME')");
    EXPECT_EQ(s.run("SELECT change_id FROM change_history", {}).text(0, 0), "1");
}

TEST_F(PgSchema, AStoreBeforeTheTakeoffGetsItsTablesAndSheetRevisions) {
    EXPECT_EQ(brevant::db::pg::ensureDesktopSchema(s, 2), 0);
    s.run("INSERT INTO plans (jobid, file) VALUES (7, 'A-101.PDF')");
    EXPECT_EQ(s.run("SELECT to_regclass('takeoff_marks') IS NULL", {}).text(0, 0), "t");
    EXPECT_EQ(brevant::db::pg::ensureDesktopSchema(s), 2);
    EXPECT_EQ(s.run("SELECT revision FROM plans", {}).text(0, 0), "0");
    s.run("INSERT INTO takeoff_marks (jobid, mark_id, item_id) VALUES (7, 1, 1)");
    EXPECT_EQ(s.run("SELECT revision FROM takeoff_marks", {}).text(0, 0), "0");
    EXPECT_EQ(brevant::db::pg::desktopColumnSpelling(u"PLANS", u"revision"),
              QStringLiteral("Revision"));
}

TEST_F(PgSchema, ANewerStoreIsRefused) {
    brevant::db::pg::ensureDesktopSchema(s);
    s.run("UPDATE brevant_schema SET version = version + 1");
    EXPECT_THROW(brevant::db::pg::ensureDesktopSchema(s), brevant::db::DbError);
    EXPECT_FALSE(s.inTransaction());
}

// The desktop database for a locator naming a server store (the service's export into a firm
// store) is its tables on the server, and no file anywhere.
TEST_F(PgSchema, ADesktopDatabaseForAServerLocatorIsMadeOnTheServer) {
    QTemporaryDir cwd;
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(cwd.path()));
    EXPECT_NO_THROW(brevant::db::createDesktopDatabase(locator()));
    QDir::setCurrent(old);
    EXPECT_EQ(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(brevant::db::pg::storedDesktopSchemaVersion(s),
              brevant::db::pg::desktopSchemaVersion());
}

// A fresh Desktop.mdb made by the SQLite side, for comparing with.
class BothSchemas : public PgSchema {
protected:
    void SetUp() override {
        PgSchema::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(dir.isValid());
        brevant::db::createDesktopDatabase(dir.filePath(QStringLiteral("Desktop.mdb")));
        lite.open(dir.filePath(QStringLiteral("Desktop.mdb")));
        brevant::db::pg::ensureDesktopSchema(s);
    }

    QStringList liteRows(const QByteArray& sql) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(
            sqlite3_prepare_v2(brevant::db::sqliteHandle(lite), sql.constData(), -1, &st, nullptr),
            SQLITE_OK);
        QStringList out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            out << row.join(QLatin1Char('|'));
        }
        sqlite3_finalize(st);
        return out;
    }
    QStringList pgRows(const QByteArray& sql) {
        const auto r = s.run(sql, {});
        QStringList out;
        for (int row = 0; row < r.rows(); ++row) {
            QStringList values;
            for (int c = 0; c < r.columns(); ++c)
                values << QString::fromUtf8(r.text(row, c));
            out << values.join(QLatin1Char('|'));
        }
        return out;
    }

    QTemporaryDir dir;
    Connection lite;
};

TEST_F(BothSchemas, HaveTheSameTablesColumnsKindsDefaultsAndIndexes) {
    // table.column kind default not-null, in column order, with the SQLite types' names.
    QStringList expected;
    for (const QString& table : liteRows("SELECT name FROM sqlite_master WHERE type = 'table' "
                                         "AND name NOT LIKE 'sqlite_%' ORDER BY lower(name)")) {
        for (const QString& c :
             liteRows(QStringLiteral("SELECT name, type, dflt_value, \"notnull\", pk FROM "
                                     "pragma_table_info('%1') ORDER BY cid")
                          .arg(table)
                          .toUtf8())) {
            const QStringList f = c.split(QLatin1Char('|'));
            const bool pk = f[4] == QLatin1String("1");
            expected << QStringLiteral("%1.%2 %3 %4 %5")
                            .arg(table.toLower(), f[0].toLower(),
                                 pk ? QStringLiteral("IDENTITY") : f[1], f[2],
                                 pk ? QStringLiteral("1") : f[3]);
        }
    }
    // Projects, Plans and Specs keep their rows in <name>_shared beneath a view of the name
    // (compared below); what belongs to one reader has tables of its own.
    const QStringList actual = pgRows(
        "SELECT regexp_replace(table_name, '_shared$', '') || '.' || column_name || ' ' || "
        "CASE WHEN is_identity = 'YES' THEN 'IDENTITY' "
        "     WHEN domain_name = 'jet_text' THEN 'TEXT' "
        "     WHEN domain_name = 'jet_date' THEN 'DATETIME' "
        "     WHEN domain_name = 'jet_numeric' THEN 'NUMERIC' "
        "     WHEN domain_name = 'jet_yesno' THEN 'BOOLEAN' "
        "     WHEN data_type = 'bigint' THEN 'INTEGER' ELSE data_type END || ' ' || "
        "coalesce(column_default, '') || ' ' || CASE WHEN is_nullable = 'NO' THEN 1 ELSE 0 END "
        "FROM information_schema.columns c WHERE table_schema = current_schema() "
        "AND table_name NOT IN ('brevant_schema', 'project_readers', 'workstation_documents', "
        "'brevant_attachment_content') "
        // Only the firm store keeps attached files' bytes, named by this column.
        "AND (table_name, column_name) <> ('attachments', 'content') "
        "AND (SELECT table_type FROM information_schema.tables t WHERE t.table_schema = "
        "c.table_schema AND t.table_name = c.table_name) = 'BASE TABLE' "
        "ORDER BY regexp_replace(table_name, '_shared$', ''), ordinal_position");
    EXPECT_EQ(actual, expected);

    QStringList expectedIndexes;
    for (const QString& i : liteRows("SELECT name, tbl_name FROM sqlite_master WHERE type = "
                                     "'index' AND sql IS NOT NULL ORDER BY lower(name)")) {
        const QStringList f = i.split(QLatin1Char('|'));
        const QStringList unique =
            liteRows(QStringLiteral("SELECT \"unique\" FROM pragma_index_list('%1') WHERE "
                                    "name = '%2'")
                         .arg(f[1], f[0])
                         .toUtf8());
        const QStringList columns =
            liteRows(QStringLiteral("SELECT lower(name) FROM pragma_index_info('%1') ORDER BY "
                                    "seqno")
                         .arg(f[0])
                         .toUtf8());
        expectedIndexes << QStringLiteral("%1 %2 %3 %4")
                               .arg(f[0].toLower(), f[1].toLower(),
                                    unique.value(0) == QLatin1String("1") ? "true" : "false",
                                    columns.join(QLatin1Char(',')));
    }
    EXPECT_EQ(pgRows("SELECT ic.relname || ' ' || regexp_replace(tc.relname, '_shared$', '') || "
                     "' ' || ix.indisunique || ' ' || "
                     "(SELECT string_agg(a.attname, ',' ORDER BY k.ord) FROM unnest(ix.indkey) "
                     "WITH ORDINALITY k(attnum, ord) JOIN pg_attribute a ON a.attrelid = "
                     "ix.indrelid AND a.attnum = k.attnum) "
                     "FROM pg_index ix JOIN pg_class ic ON ic.oid = ix.indexrelid "
                     "JOIN pg_class tc ON tc.oid = ix.indrelid "
                     "WHERE NOT ix.indisprimary AND ic.relname <> 'attachments_content' AND "
                     "tc.relnamespace = "
                     "current_schema()::regnamespace ORDER BY ic.relname"),
              expectedIndexes);
}

// The program reads and writes Projects, Plans and Specs through views: each shows every
// column of its stored table, in order and of the same type.
TEST_F(PgSchema, TheReaderViewsShowEveryColumnOfTheirTables) {
    brevant::db::pg::ensureDesktopSchema(s);
    for (const char* table : {"projects", "plans", "specs"}) {
        const QByteArray columns =
            "SELECT string_agg(column_name || ':' || coalesce(domain_name, data_type), ',' ORDER "
            "BY ordinal_position) FROM information_schema.columns WHERE table_schema = "
            "current_schema() AND table_name = $1";
        const QByteArray view = s.run(columns, Params{QByteArray(table)}).text(0, 0).toByteArray();
        EXPECT_FALSE(view.isEmpty());
        EXPECT_EQ(view,
                  s.run(columns, Params{QByteArray(table) + "_shared"}).text(0, 0).toByteArray())
            << table;
    }
}

TEST_F(BothSchemas, TheServicesOddValuesAreKeptAndReadBackAsOnSQLite) {
    // Numbers, non-numbers and non-dates as the service sends them, in every kind of column.
    const QStringList costs = {"1500000", "TBD",      "3.0", "12.5",
                               " 12 ",    "+5",       ".5",  "1e5",
                               "0x10",    "555-1234", "-7",  "99999999999999999999"};
    const QStringList dates = {"2026-12-15 14:00:00", "SOON", "1900-01-01 00:00:00", "",
                               "12/15/2026"};
    for (int i = 0; i < costs.size(); ++i) {
        const QString date = dates[i % dates.size()];
        const QString yes = QString::number(i % 2);
        lite.executeNative(QStringLiteral("INSERT INTO Projects (Job_ID, \"Estimated Cost\", "
                                          "Pre_Bid_Date, Mandatory) VALUES (%1, '%2', '%3', %4)")
                               .arg(i)
                               .arg(costs[i], date, yes));
        s.run("INSERT INTO projects (job_id, \"estimated cost\", pre_bid_date, mandatory) "
              "VALUES ($1, $2, $3, $4)",
              Params{QByteArray::number(i), costs[i].toUtf8(), date.toUtf8(), yes.toUtf8()});
    }
    Recordset rs;
    rs.open(QStringLiteral("Select * from [Projects] order by [Job_ID]"), lite);
    const auto pg = read("SELECT * FROM projects ORDER BY job_id");
    const auto described = catalog.describe(s, s.run("SELECT * FROM projects", {}));
    ASSERT_EQ(int(described.size()), rs.fieldCount());
    for (int c = 0; c < rs.fieldCount(); ++c)
        EXPECT_EQ(described[size_t(c)].name, rs.fieldName(c));
    size_t row = 0;
    for (; !rs.eof(); rs.moveNext(), ++row) {
        ASSERT_LT(row, pg.size());
        for (int c = 0; c < rs.fieldCount(); ++c) {
            const QVariant want = rs.field(c);
            const QVariant got = pg[row].value(c);
            EXPECT_EQ(got.typeId(), want.typeId())
                << rs.fieldName(c).toStdString() << " of row " << row << ": "
                << got.toString().toStdString() << " / " << want.toString().toStdString();
            EXPECT_EQ(got, want) << rs.fieldName(c).toStdString() << " of row " << row;
        }
    }
    EXPECT_EQ(row, pg.size());

    // Sorted by the number column both ways: Nulls, numbers by value, then texts.
    for (const char* direction : {"ASC", "DESC"}) {
        const QByteArray d(direction);
        const QByteArray pgOrder =
            d == "ASC" ? "c IS NULL DESC, jet_number(c) ASC NULLS LAST, c ASC NULLS FIRST"
                       : "c IS NULL ASC, jet_number(c) DESC NULLS FIRST, c DESC NULLS LAST";
        EXPECT_EQ(
            pgRows("SELECT job_id FROM (SELECT job_id, \"estimated cost\" AS c FROM "
                   "projects) p ORDER BY " +
                   pgOrder + ", job_id"),
            liteRows("SELECT Job_ID FROM Projects ORDER BY \"Estimated Cost\" " + d + ", Job_ID"))
            << direction;
    }
}

TEST_F(PgSchema, TextComparesAndIsUniqueWithoutRegardToCase) {
    brevant::db::pg::ensureDesktopSchema(s);
    s.run("INSERT INTO plans (jobid, file) VALUES (1, 'A-101.PDF')");
    try {
        s.run("INSERT INTO plans (jobid, file) VALUES ($1, $2)",
              Params{QByteArray("1"), QByteArray("a-101.pdf")});
        ADD_FAILURE() << "a sheet differing only in case was stored twice";
    } catch (const PgFailure& e) {
        EXPECT_EQ(e.condition(), Condition::UniqueViolation);
    }
    s.run("INSERT INTO projects (job_id, name) VALUES (1, 'O''BRIEN HALL'), (2, 'école'), "
          "(3, 'b'), (4, 'A'), (5, 'C')");
    const auto matches = [&](const char* name) {
        return s.run("SELECT count(*) FROM projects WHERE name = $1", Params{QByteArray(name)})
            .text(0, 0)
            .toInt();
    };
    EXPECT_EQ(matches("o'brien hall"), 1);
    EXPECT_EQ(matches("ÉCOLE"), 1); // every letter folds, not only ASCII ...
    EXPECT_EQ(matches("ecole"), 0); // ... but accents still count
    EXPECT_EQ(s.run("SELECT string_agg(name, ',' ORDER BY name) FROM projects "
                    "WHERE job_id >= 3",
                    {})
                  .text(0, 0),
              "A,b,C");
    s.run("INSERT INTO specs (jobid, spec) VALUES (1, 'ADD-1'), (1, 'toc'), (1, '03 30 00')");
    // The function's result keeps the column's collation.
    EXPECT_EQ(s.run("SELECT count(*) FROM specs WHERE jet_left(spec, $1) = 'add'",
                    Params{QByteArray("3")})
                  .text(0, 0),
              "1");
    EXPECT_EQ(s.run("SELECT count(*) FROM specs WHERE jet_left(spec, 3) <> 'ADD' AND "
                    "jet_left(spec, 3) <> 'TOC'",
                    {})
                  .text(0, 0),
              "1");
}

TEST_F(BothSchemas, JetFunctionsGiveWhatTheSQLiteOnesGive) {
    const QStringList texts = {"2026-12-15 14:05:09",
                               "2027-01-01 00:00:00",
                               "1900-01-01 00:00:00",
                               "2024-02-29 23:59:59",
                               "2026-01-04 08:00:00",
                               "12/15/2026 2:05:09 PM",
                               "1/3/26",
                               "12/31/2026 12:00 AM",
                               "SOON",
                               "Ünïcödé"};
    const QStringList intervals = {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s", "x"};
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(brevant::db::sqliteHandle(lite), "SELECT jet_datepart(?1, ?2)", -1,
                                 &st, nullptr),
              SQLITE_OK);
    for (const QString& text : texts) {
        for (const QString& interval : intervals) {
            sqlite3_reset(st);
            const QByteArray i = interval.toUtf8(), t = text.toUtf8();
            sqlite3_bind_text(st, 1, i.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, t.constData(), -1, SQLITE_TRANSIENT);
            const bool liteOk = sqlite3_step(st) == SQLITE_ROW;
            const QString want = liteOk ? QString::number(sqlite3_column_int(st, 0)) : "error";
            QString got;
            try {
                got = QString::fromUtf8(
                    s.run("SELECT jet_datepart($1, $2)", Params{i, t}).text(0, 0));
            } catch (const PgFailure&) {
                got = QStringLiteral("error");
            }
            EXPECT_EQ(got, want) << interval.toStdString() << " of " << text.toStdString();
        }
    }
    sqlite3_finalize(st);

    for (const char* n : {"0", "3", "100", "-1"}) {
        for (const char* f : {"jet_left", "jet_right"}) {
            const QByteArray sql = QByteArray("SELECT ") + f + "('Ünïcödé', " + n + ")";
            const QStringList want = [&] {
                sqlite3_stmt* q = nullptr;
                sqlite3_prepare_v2(brevant::db::sqliteHandle(lite), sql.constData(), -1, &q,
                                   nullptr);
                const bool ok = sqlite3_step(q) == SQLITE_ROW;
                QStringList out{
                    ok ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)))
                       : QStringLiteral("error")};
                sqlite3_finalize(q);
                return out;
            }();
            QStringList got;
            try {
                got = pgRows(sql);
            } catch (const PgFailure&) {
                got = QStringList{QStringLiteral("error")};
            }
            EXPECT_EQ(got, want) << sql.constData();
        }
    }
    EXPECT_TRUE(s.run("SELECT jet_left(NULL, 2)", {}).isNull(0, 0));
    EXPECT_TRUE(s.run("SELECT jet_datepart('yyyy', NULL)", {}).isNull(0, 0));
}

} // namespace
