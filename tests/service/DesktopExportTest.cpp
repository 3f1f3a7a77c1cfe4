// --export-desktop writes a client database the client can open: every project New, with its
// specifications, plans, contacts and awards, upper-cased where the client's import does so.
#include "../support/PgScratch.h"
#include "ServiceHarness.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

int count(brevant::db::Connection& db, const QString& sql) {
    brevant::db::Recordset rs;
    rs.open(sql, db);
    return rs.eof() ? -1 : rs.field(0).toInt();
}

TEST(DesktopExportTest, WritesEveryProjectIntoAClientDatabase) {
    QTemporaryDir dir;
    // Into a folder that does not exist yet, as the demo's fresh program folder.
    const QString path = dir.filePath("Work/Desktop.mdb");
    QProcess p;
    p.start(BREVANT_SERVICE_EXE, {"--data", dir.filePath("data"), "--projects", "40", "--seed", "3",
                                  "--today", "2027-03-01", "--export-desktop", path});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_TRUE(p.readAllStandardOutput().contains("wrote 40 projects"));

    brevant::db::Connection db;
    db.open(path);
    EXPECT_EQ(count(db, "Select Count([Job_ID]) as [count] from [Projects]"), 40);
    EXPECT_EQ(count(db, "Select Count([Job_ID]) as [count] from [Projects] WHERE [New] = TRUE"),
              40);
    EXPECT_GT(count(db, "SELECT Count(*) FROM Specs"), 40 * 6);
    EXPECT_GT(count(db, "SELECT Count(*) FROM Plans"), 40 * 3);
    EXPECT_GT(count(db, "SELECT Count(*) FROM Contacts WHERE Job_ID=210001"), 1);
    EXPECT_GT(count(db, "SELECT Count(*) FROM Awards"), 0);
    EXPECT_EQ(count(db, "SELECT Count(*) FROM Projects WHERE [Tracked] = TRUE"), 0);

    brevant::db::Recordset rs;
    rs.open("Select * from [Projects] where [JOB_ID] = 210001", db);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field("Name").toString(), rs.field("Name").toString().toUpper());
    EXPECT_TRUE(rs.field("Due_Date").toDateTime().isValid());
    rs.close();

    // Running it again replaces the projects instead of doubling them.
    QProcess again;
    again.start(BREVANT_SERVICE_EXE, {"--data", dir.filePath("data"), "--projects", "40", "--seed",
                                      "3", "--today", "2027-03-01", "--export-desktop", path});
    ASSERT_TRUE(again.waitForFinished(60000));
    EXPECT_EQ(again.exitCode(), 0);
    EXPECT_EQ(count(db, "Select Count([Job_ID]) as [count] from [Projects]"), 40);
}

// The demo's PostgreSQL store is filled the same way: the empty database gets the client's
// tables, then the same rows as the file.
TEST(DesktopExportTest, WritesTheSameProjectsIntoAnEmptyPostgreSqlStore) {
    QString why;
    pgtest::ScratchSchema schema;
    if (!schema.create(&why))
        GTEST_SKIP() << why.toStdString();
    QTemporaryDir dir;
    const QStringList common = {
        "--data",  dir.filePath("data"), "--projects",      "25", "--seed", "5",
        "--today", "2027-03-01",         "--export-desktop"};
    for (const QString& target : {dir.filePath("Desktop.mdb"), schema.locator()}) {
        QProcess p;
        p.start(BREVANT_SERVICE_EXE, common + QStringList{target});
        ASSERT_TRUE(p.waitForFinished(120000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    }
    brevant::db::Connection file, store;
    file.open(dir.filePath("Desktop.mdb"));
    store.open(schema.locator());
    EXPECT_EQ(store.dialect(), brevant::db::Dialect::PostgreSql);
    for (const char* sql :
         {"SELECT Count(*) FROM Projects", "SELECT Count(*) FROM Projects WHERE [New] = TRUE",
          "SELECT Count(*) FROM Specs", "SELECT Count(*) FROM Plans",
          "SELECT Count(*) FROM Contacts", "SELECT Count(*) FROM Awards"})
        EXPECT_EQ(count(store, sql), count(file, sql)) << sql;
    EXPECT_EQ(count(store, "SELECT Count(*) FROM Projects"), 25);
}

} // namespace
