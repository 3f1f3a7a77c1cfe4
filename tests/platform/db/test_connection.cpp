// Opening Desktop.mdb the ways the client and the local service do, and the read-only mode.
#include "DbFixture.h"

#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "platform/db/sqlite/SqliteBackend.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

using brevant::db::Connection;
using brevant::db::DbError;
using brevant::db::Recordset;
namespace errors = brevant::db::errors;

namespace {

TEST(DataSource, ConnectionStringAndPathsMapToTheFile) {
    EXPECT_EQ(brevant::db::dataSourcePath(
                  "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/u/Work\\Desktop.mdb;Persist "
                  "Security Info=False"),
              "/home/u/Work/Desktop.mdb");
    EXPECT_EQ(brevant::db::dataSourcePath("/data/\\Desktop.mdb"), "/data/Desktop.mdb");
    EXPECT_EQ(brevant::db::dataSourcePath("data source=\"/a b/x.mdb\""), "/a b/x.mdb");
}

TEST(DataSource, NamesAreFoundWithoutRegardToCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Work"));
    QFile f(dir.filePath("Work/Desktop.mdb"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(brevant::db::resolveCaseInsensitive(dir.path() + "/WORK/desktop.MDB"),
              dir.filePath("Work/Desktop.mdb"));
    // Missing names keep the spelling given, so they can be created as such.
    EXPECT_EQ(brevant::db::resolveCaseInsensitive(dir.path() + "/work/New/Desktop.mdb"),
              dir.path() + "/Work/New/Desktop.mdb");
}

TEST_F(DesktopDb, OpensByConnectionStringInAnyCaseAndUsesWal) {
    db.close();
    QString cs = connectionString();
    cs.replace("Desktop.mdb", "desktop.MDB");
    db.open(cs);
    EXPECT_EQ(db.path(), file());
    Recordset rs;
    EXPECT_EQ(db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (1,'A','B')"), 1);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(brevant::db::sqliteHandle(db), "PRAGMA journal_mode", -1, &st, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "wal");
    sqlite3_finalize(st);
}

TEST(ConnectionOpen, MissingFileFailsAndCreatesNothing) {
    QTemporaryDir dir;
    Connection c;
    try {
        c.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.path() + "\\Desktop.mdb;");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), errors::Unspecified);
        EXPECT_EQ(e.description(), "Could not find file '" + dir.path() + "/Desktop.mdb'.");
    }
    EXPECT_FALSE(c.isOpen());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_THROW(c.execute("Select * from [Projects]"), DbError);
}

TEST_F(DesktopDb, SchemaDefaultsAndKeys) {
    db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (7,'A')");
    db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (7,'P1','D',1)");
    db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (7,'S1','D')");
    EXPECT_EQ(rows("Select * from [Projects]", {"New", "Tracked"}), QStringList{"true|false"});
    EXPECT_EQ(rows("Select * from [Plans]", {"Local"}), QStringList{"false"});
    EXPECT_EQ(rows("Select * from [Specs]", {"Local"}), QStringList{"false"});
    EXPECT_THROW(db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (7,'again')"), DbError);
    // The same sheet may exist in two projects.
    EXPECT_EQ(
        db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (8,'P1','D',1)"),
        1);
    // Running the schema again on an existing file changes nothing.
    brevant::db::createDesktopSchema(db);
    EXPECT_EQ(scalar("SELECT Count(*) FROM Plans").toInt(), 2);
}

class ReadOnlyServer : public DesktopDb {
protected:
    void SetUp() override {
        DesktopDb::SetUp();
        db.executeNative(
            "CREATE TABLE \"Job Information\" (Job_ID INTEGER, Name TEXT, Due_Date DATETIME);"
            "CREATE TABLE \"Jobs Detail\" (JOBID INTEGER, Section TEXT);"
            "INSERT INTO \"Job Information\" VALUES (1, 'ROOF', '2026-12-10 00:00:00');"
            "INSERT INTO \"Jobs Detail\" VALUES (1, '07500');");
        db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (7,'SECRET')");
        db.close();
        ro.openReadOnly(file(), {"Job Information", "jobs detail"});
    }
    void expectDenied(const QString& sql) {
        try {
            Recordset rs;
            rs.open(sql, ro);
            ADD_FAILURE() << "allowed: " << sql.toStdString();
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), errors::PermissionDenied)
                << sql.toStdString() << ": " << e.description().toStdString();
        }
    }
    Connection ro;
};

TEST_F(ReadOnlyServer, AllowsSelectOnTheNamedTablesOnly) {
    Recordset rs;
    rs.open(
        "SELECT * FROM [Job Information] WHERE [Job Information].Job_ID IN (SELECT DISTINCT JOBID "
        "AS Job_ID FROM [Jobs Detail] WHERE [Jobs Detail].[Section] BETWEEN '07000' AND '07999') "
        "AND (Due_Date >= '12/8/2026' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY Due_Date",
        ro, Recordset::Cursor::Static);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.field("Name").toString(), "ROOF");

    expectDenied("SELECT * FROM [Projects]");
    expectDenied("SELECT * FROM [Job Information] WHERE Job_ID IN (SELECT Job_ID FROM Projects)");
    expectDenied("SELECT * FROM sqlite_master");
    expectDenied("UPDATE [Job Information] SET Name = 'X'");
    expectDenied("DELETE FROM [Jobs Detail]");
    expectDenied("INSERT INTO [Jobs Detail] (JOBID) VALUES (2)");
    EXPECT_THROW(ro.execute("DELETE FROM [Jobs Detail]"), DbError);
    Recordset left;
    left.open("SELECT Count(*) FROM [Jobs Detail]", ro);
    EXPECT_EQ(left.field(0).toInt(), 1);
}

TEST_F(ReadOnlyServer, AllowsOnlyTheFunctionsAQueryNeeds) {
    Recordset rs;
    rs.open("SELECT ucase(left(Name, 2)) & lcase(mid(Name, 3, 2)), len(Name), "
            "datepart(m, Due_Date), chr(65), max(Job_ID), date(Due_Date), trim(' x ') "
            "FROM [Job Information] WHERE Name LIKE '%oo%'",
            ro);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field(0).toString(), "ROof");
    EXPECT_EQ(rs.field(1).toInt(), 4);
    EXPECT_EQ(rs.field(2).toInt(), 12);
    EXPECT_EQ(rs.field(3).toString(), "A");
    rs.close();
    // fts3_tokenizer('simple') hands out a pointer; the others read files, the build or
    // randomness, or format without bound.
    for (const char* call :
         {"fts3_tokenizer('simple')", "sqlite_version()", "randomblob(8)", "printf('%d', 1)",
          "load_extension('x')", "zeroblob(10)", "typeof(Name)", "hex(Name)", "quote(Name)"})
        expectDenied(QString("SELECT %1 FROM [Job Information]").arg(call));
}

} // namespace

namespace {

TEST(DesktopDatabase, CreatedWholeAndCompletedWhenTablesAreMissing) {
    QTemporaryDir dir;
    brevant::db::createDesktopDatabase(dir.filePath("Desktop.mdb"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"Desktop.mdb"});
    {
        Connection c;
        c.open(dir.filePath("Desktop.mdb"));
        c.executeNative("DROP TABLE Awards;");
        EXPECT_THROW(c.execute("Select * from [Awards]"), DbError);
    }
    // An existing file (found in any case) only gets what it lacks.
    brevant::db::createDesktopDatabase(dir.filePath("DESKTOP.MDB"));
    Connection c;
    c.open(dir.filePath("Desktop.mdb"));
    EXPECT_EQ(c.execute("INSERT INTO Awards (JobID, [Name], [Bid]) VALUES (1,'A',2)"), 1);
}

TEST(DesktopDatabase, ADatabaseFromBeforeSheetRevisionsGetsTheColumnAtZero) {
    QTemporaryDir dir;
    brevant::db::createDesktopDatabase(dir.filePath("Desktop.mdb"));
    Connection c;
    c.open(dir.filePath("Desktop.mdb"));
    c.executeNative("ALTER TABLE Plans DROP COLUMN Revision;");
    c.execute("INSERT INTO Plans (JobID, File, [Size]) VALUES (1, 'PLAN001', 10)");
    brevant::db::upgradeDesktopSchema(c);
    EXPECT_EQ(c.execute("UPDATE Plans SET Revision = Revision + 1 WHERE Revision = 0"), 1);
    c.execute("INSERT INTO Plans (JobID, File) VALUES (1, 'PLAN002')");
    brevant::db::upgradeDesktopSchema(c); // once is enough: nothing more to add
    brevant::db::Recordset rs;
    rs.open("SELECT File, Revision FROM Plans ORDER BY File", c);
    EXPECT_EQ(rs.field(1).toInt(), 1);
    rs.moveNext();
    EXPECT_EQ(rs.field(1).toInt(), 0);
}

} // namespace

namespace {

// Whether SQLite still reads an unknown double-quoted name as a text, in statements (DML) or
// in schema text (DDL).
std::pair<int, int> doubleQuotedTextAllowed(sqlite3* db) {
    int dml = -1;
    int ddl = -1;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, -1, &dml);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, -1, &ddl);
    return {dml, ddl};
}

} // namespace

TEST_F(DesktopDb, MistypedColumnNamesFailInsteadOfMatchingNothing) {
    db.execute("Insert into [Projects] ([Job_ID], [Name]) values (7, 'DEPOT')");
    for (const QString& sql :
         {QStringLiteral("Select * from [Projects] where [Nmae] = 'DEPOT'"),
          QStringLiteral("Select [Job_ID] from [Projects] where [Nmae] = 'x'"),
          QStringLiteral("Select * from [Projects] Order By [Due_Dtae] DESC")}) {
        Recordset rs;
        EXPECT_THROW(rs.open(sql, db), DbError) << qPrintable(sql);
    }
    EXPECT_THROW(db.execute("Update [Projects] Set Notes = 'x' where [JOBID] = 7"), DbError);
    EXPECT_THROW(
        db.execute("dELETE * from [Attachments] where [Filenme] = 'a.doc' AND [JOBID] = 7"),
        DbError);
    // Schema text takes names only, too.
    EXPECT_THROW(db.executeNative("CREATE INDEX Mistyped ON Projects(\"Nmae\")"), DbError);
    // Double quotes in Jet text are still text, and a bracketed name that exists still works.
    EXPECT_EQ(scalar("Select Count(*) from [Projects] where [Name] = \"DEPOT\"").toInt(), 1);

    // Every way of opening the file turns the fallback off.
    EXPECT_EQ(doubleQuotedTextAllowed(brevant::db::sqliteHandle(db)), std::make_pair(0, 0));
    db.close();
    Connection reader;
    reader.openReadOnly(file(), {"Projects"});
    EXPECT_EQ(doubleQuotedTextAllowed(brevant::db::sqliteHandle(reader)), std::make_pair(0, 0));
}

namespace {

TEST_F(DesktopDb, AddingWhatAUniqueKeyHoldsIsNoErrorAndKeepsTheTransaction) {
    brevant::db::Transaction t(db);
    const QString sheet = "INSERT INTO Plans (JobID, File, Description) VALUES (4,'A1','FIRST')";
    EXPECT_EQ(db.executeUnlessDuplicate(sheet), std::optional<int>(1));
    // The same key again: nothing written, no error, the first row as it was.
    EXPECT_EQ(db.executeUnlessDuplicate(
                  "INSERT INTO Plans (JobID, File, Description) VALUES (4,'A1','SECOND')"),
              std::nullopt);
    EXPECT_EQ(db.executeUnlessDuplicate(sheet), std::nullopt);
    EXPECT_EQ(db.executeUnlessDuplicate(
                  "INSERT INTO Plans (JobID, File, Description) VALUES (4,'A2','OTHER')"),
              std::optional<int>(1));
    // Any other failure is still an error.
    EXPECT_THROW(db.executeUnlessDuplicate("INSERT INTO Plans (JobID, Fiel) VALUES (4,'A3')"),
                 DbError);
    t.commit();
    Recordset rs;
    rs.open("SELECT Description FROM Plans WHERE JobID=4 ORDER BY File", db);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << rs.field(0).toString();
    EXPECT_EQ(rows, QStringList({"FIRST", "OTHER"}));
}

} // namespace
