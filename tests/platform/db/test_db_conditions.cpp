// The portable condition each SQLite failure carries, provoked for real on Desktop.mdb files,
// and the transaction's project lock.
#include "DbFixture.h"

#include "platform/db/DbError.h"
#include "platform/db/Transaction.h"
#include "platform/db/sqlite/SqliteBackend.h"

#include <sqlite3.h>

using brevant::db::Condition;
using brevant::db::Connection;
using brevant::db::DbError;
using brevant::db::Recordset;
using brevant::db::Transaction;
namespace errors = brevant::db::errors;

namespace {

template <typename F> DbError failureOf(F&& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e;
    }
    ADD_FAILURE() << "no DbError";
    return DbError(0, QString());
}

TEST_F(DesktopDb, RefusedKeysAreUniqueViolations) {
    db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (7,'A')");
    const DbError unique =
        failureOf([&] { db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (7,'B')"); });
    EXPECT_EQ(unique.condition(), Condition::UniqueViolation);
    EXPECT_EQ(unique.number(), errors::IntegrityViolation);
    EXPECT_EQ(unique.nativeCode(), SQLITE_CONSTRAINT_UNIQUE);

    db.execute("INSERT INTO Custom_Search (Search_ID, Search_Name) VALUES (3,'A')");
    const DbError key = failureOf(
        [&] { db.execute("INSERT INTO Custom_Search (Search_ID, Search_Name) VALUES (3,'B')"); });
    EXPECT_EQ(key.condition(), Condition::UniqueViolation);
    EXPECT_EQ(key.nativeCode(), SQLITE_CONSTRAINT_PRIMARYKEY);

    // Other refusals of the same family are not.
    db.executeNative("CREATE TABLE Strict (A INTEGER NOT NULL)");
    const DbError notNull = failureOf([&] { db.execute("INSERT INTO Strict (A) VALUES (NULL)"); });
    EXPECT_EQ(notNull.condition(), Condition::Other);
    EXPECT_EQ(notNull.number(), errors::IntegrityViolation);
}

TEST_F(DesktopDb, MissingTablesAreUndefinedTablesEverywhere) {
    Recordset rs;
    EXPECT_EQ(failureOf([&] { rs.open("Select * from [Nothing]", db); }).condition(),
              Condition::UndefinedTable);
    EXPECT_EQ(failureOf([&] { db.execute("Delete * from [Nothing]"); }).condition(),
              Condition::UndefinedTable);
    EXPECT_EQ(failureOf([&] { db.executeNative("DELETE FROM Nowhere"); }).condition(),
              Condition::UndefinedTable);
    // A missing column is another failure.
    const DbError column = failureOf([&] { rs.open("Select [Nothing] from [Projects]", db); });
    EXPECT_EQ(column.condition(), Condition::Other);
    EXPECT_EQ(column.number(), errors::CommandError);
    // Failures that are not the engine's carry none.
    db.close();
    EXPECT_EQ(failureOf([&] { db.execute("Delete * from [Projects]"); }).condition(),
              Condition::None);
}

TEST_F(DesktopDb, AWriteLockHeldElsewhereIsALockTimeout) {
    Connection other;
    other.open(file());
    Transaction holding(other);
    // Not waiting the five seconds for a lock that will not come.
    sqlite3_busy_timeout(brevant::db::sqliteHandle(db), 0);
    const DbError busy = failureOf([&] { Transaction t(db); });
    EXPECT_EQ(busy.condition(), Condition::LockTimeout);
    EXPECT_EQ(
        failureOf([&] { db.execute("INSERT INTO Projects (Job_ID) VALUES (1)"); }).condition(),
        Condition::LockTimeout);
}

TEST_F(DesktopDb, AStaleReadSnapshotThatWritesIsASerializationFailure) {
    Connection other;
    other.open(file());
    db.executeNative("BEGIN"); // deferred: reads from a snapshot until it writes
    EXPECT_EQ(scalar("Select Count(*) from [Projects]").toInt(), 0);
    other.execute("INSERT INTO Projects (Job_ID) VALUES (1)");
    const DbError stale =
        failureOf([&] { db.execute("INSERT INTO Projects (Job_ID) VALUES (2)"); });
    EXPECT_EQ(stale.condition(), Condition::SerializationFailure);
    db.executeNative("ROLLBACK");
}

TEST_F(DesktopDb, NoRoomLeftIsDiskFull) {
    // The file may not grow: the engine answers as it would on a full disk.
    db.executeNative("PRAGMA max_page_count = 1");
    const QString text(4000, QLatin1Char('x'));
    const DbError full = failureOf([&] {
        for (int i = 0; i < 100; ++i)
            db.execute(QStringLiteral("INSERT INTO Projects (Job_ID, Notes) VALUES (%1, '%2')")
                           .arg(i)
                           .arg(text));
    });
    EXPECT_EQ(full.condition(), Condition::DiskFull);
    EXPECT_EQ(full.nativeCode(), SQLITE_FULL);
}

TEST_F(DesktopDb, ProjectLockHoldsOnlyInsideAnOpenTransaction) {
    Transaction t(db);
    t.lockProject(7);
    db.execute("INSERT INTO Projects (Job_ID) VALUES (7)");
    t.lockProject(7); // again, as a unit of work that calls another may do
    t.commit();
    EXPECT_THROW(t.lockProject(7), DbError);
    EXPECT_EQ(scalar("Select Count(*) from [Projects]").toInt(), 1);
}

} // namespace
