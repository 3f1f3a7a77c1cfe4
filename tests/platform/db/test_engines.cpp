// What code may rely on whichever engine holds the store: conditions, transactions, the
// per-project lock, and a PostgreSQL store that keeps its tables across openings.
#include "DbFixture.h"

#include "platform/db/DbError.h"
#include "platform/db/Transaction.h"

using brevant::db::Condition;
using brevant::db::Connection;
using brevant::db::DbError;
using brevant::db::Transaction;

namespace {

Condition conditionOf(Connection& db, const QString& sql) {
    try {
        db.execute(sql);
    } catch (const DbError& e) {
        return e.condition();
    }
    return Condition::None;
}

class Engines : public BothEngines {};

TEST_P(Engines, FailuresCarryTheSamePortableConditions) {
    db.execute("INSERT INTO Projects (Job_ID, Name) VALUES (1, 'ONE')");
    EXPECT_EQ(conditionOf(db, "INSERT INTO Projects (Job_ID, Name) VALUES (1, 'AGAIN')"),
              Condition::UniqueViolation);
    // A sheet differing only in case is the same sheet.
    db.execute("INSERT INTO Plans (JobID, File) VALUES (1, 'A-1.PDF')");
    EXPECT_EQ(conditionOf(db, "INSERT INTO Plans (JobID, File) VALUES (1, 'a-1.pdf')"),
              Condition::UniqueViolation);
    EXPECT_EQ(conditionOf(db, "Select * from [Nowhere]"), Condition::UndefinedTable);
}

TEST_P(Engines, ATransactionCommitsOrRollsBackWhole) {
    {
        Transaction t(db);
        db.execute("INSERT INTO Projects (Job_ID) VALUES (1)");
        t.lockProject(1);
        db.execute("INSERT INTO Specs (JobID, Spec) VALUES (1, 'ADD-1')");
    } // rolled back
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects").toInt(), 0);
    {
        Transaction t(db);
        t.lockProject(1);
        db.execute("INSERT INTO Projects (Job_ID) VALUES (1)");
        // A row a unique key holds already is no error and keeps the transaction.
        EXPECT_EQ(db.executeUnlessDuplicate("INSERT INTO Projects (Job_ID) VALUES (1)"),
                  std::nullopt);
        EXPECT_TRUE(t.active());
        db.execute("INSERT INTO Specs (JobID, Spec) VALUES (1, 'ADD-1')");
        t.commit();
    }
    EXPECT_EQ(scalar("SELECT Count(*) FROM Specs WHERE JobID = 1").toInt(), 1);
}

TEST_P(Engines, AFailedStatementLeavesNothingToCommitByItself) {
    Transaction t(db);
    db.execute("INSERT INTO Projects (Job_ID) VALUES (7)");
    db.execute("INSERT INTO Projects (Job_ID) VALUES (8)");
    EXPECT_THROW(db.execute("INSERT INTO Projects (Job_ID) VALUES (7)"), DbError);
    if (onPostgreSql()) {
        // PostgreSQL ends the transaction; it is rolled back at once and says so.
        EXPECT_FALSE(t.active());
        EXPECT_THROW(t.commit(), DbError);
        EXPECT_EQ(scalar("SELECT Count(*) FROM Projects").toInt(), 0);
    } else {
        // SQLite undoes only the statement; the transaction goes on.
        EXPECT_TRUE(t.active());
        t.commit();
        EXPECT_EQ(scalar("SELECT Count(*) FROM Projects").toInt(), 2);
    }
}

TEST_P(Engines, AProjectLockedByOneConnectionWaitsForItsTransaction) {
    if (!onPostgreSql())
        GTEST_SKIP() << "SQLite's transactions lock the whole file; lockProject adds nothing";
    Connection other;
    other.open(pgScratch.locator());
    other.executeNative("SET lock_timeout = '50ms'");
    auto mine = std::make_unique<Transaction>(db);
    mine->lockProject(42);
    {
        Transaction theirs(other);
        try {
            theirs.lockProject(42);
            ADD_FAILURE() << "the project's lock was taken twice";
        } catch (const DbError& e) {
            EXPECT_EQ(e.condition(), Condition::LockTimeout);
        }
        EXPECT_FALSE(theirs.active());
    }
    {
        Transaction theirs(other);
        theirs.lockProject(43); // another project is free
        theirs.commit();
    }
    mine->commit(); // the lock goes with the transaction
    mine.reset();
    Transaction theirs(other);
    theirs.lockProject(42);
    theirs.commit();
}

TEST_P(Engines, AStoreKeepsItsTablesAndRowsAcrossOpenings) {
    db.execute("INSERT INTO Custom_Search (Search_Name, [Desc]) VALUES ('ROOFS', 'roof')");
    db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('PAVING')");
    db.execute("Delete * from Custom_Search where Search_Name = 'paving'");
    const QString where = onPostgreSql() ? pgScratch.locator() : connectionString();
    db.close();
    db.open(where);
    db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('SCHOOLS')");
    // The autonumber never gives a number twice, even after the last row went.
    EXPECT_EQ(rows("Select Search_ID, Search_Name from Custom_Search order by Search_ID",
                   {"Search_ID", "Search_Name"}),
              (QStringList{"1|ROOFS", "3|SCHOOLS"}));
}

BREVANT_ON_BOTH_ENGINES(Engines);

} // namespace
