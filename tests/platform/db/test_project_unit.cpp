// One unit of work per project on a shared store: the lock first, a retry of the whole unit
// after a serialization failure or a deadlock and never after a lost connection, a plain
// message when another estimator holds the project, and a store-wide lock for the one check.
#include "DbFixture.h"

#include "platform/db/DbError.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/Transaction.h"

using brevant::db::Condition;
using brevant::db::Connection;
using brevant::db::DbError;
using brevant::db::StoreLock;
using brevant::db::Transaction;

namespace {

class ProjectUnit : public BothEngines {
protected:
    // Runs a unit whose work fails with the condition on its first `failures` runs; the number
    // of runs, and the condition that came out (None when the unit committed).
    std::pair<int, Condition> runFailing(Condition condition, int failures) {
        int runs = 0;
        try {
            brevant::db::runProjectUnit(db, 7, [&] {
                ++runs;
                db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('RUN')");
                if (runs <= failures)
                    throw DbError(1, QStringLiteral("engine said no"), condition);
            });
        } catch (const DbError& e) {
            return {runs, e.condition()};
        }
        return {runs, Condition::None};
    }
    int storedRuns() {
        return rows("Select Search_Name from Custom_Search", {"Search_Name"}).size();
    }
};

TEST_P(ProjectUnit, ARetriedUnitLeavesTheRowsOfOneRunAndALostConnectionIsNeverReplayed) {
    // A serialization failure or a deadlock is run again, whole, up to three times.
    EXPECT_EQ(runFailing(Condition::SerializationFailure, 2), std::make_pair(3, Condition::None));
    EXPECT_EQ(storedRuns(), 1);
    EXPECT_EQ(runFailing(Condition::Deadlock, 1), std::make_pair(2, Condition::None));
    EXPECT_EQ(storedRuns(), 2);
    // The third failure is the last.
    EXPECT_EQ(runFailing(Condition::Deadlock, 3), std::make_pair(3, Condition::Deadlock));
    EXPECT_EQ(storedRuns(), 2);
    // The commit may have reached the store before the connection went: no second run.
    EXPECT_EQ(runFailing(Condition::ConnectionLost, 1),
              std::make_pair(1, Condition::ConnectionLost));
    // Nor is any other failure run again.
    EXPECT_EQ(runFailing(Condition::UniqueViolation, 1),
              std::make_pair(1, Condition::UniqueViolation));
    EXPECT_EQ(storedRuns(), 2);
}

TEST_P(ProjectUnit, AProjectHeldByAnotherEstimatorIsRefusedInPlainWords) {
    if (!onPostgreSql())
        GTEST_SKIP() << "an SQLite file has one writer; its busy wait is the engine's own";
    Connection other;
    other.open(pgScratch.locator());
    other.executeNative("SET lock_timeout = '50ms'");
    Transaction mine(db);
    mine.lockProject(7);
    bool ran = false;
    try {
        brevant::db::runProjectUnit(other, 7, [&] { ran = true; });
        ADD_FAILURE() << "the unit ran while another connection held the project";
    } catch (const DbError& e) {
        EXPECT_EQ(e.condition(), Condition::LockTimeout);
        EXPECT_EQ(e.description(), brevant::db::projectBusyText(7));
        EXPECT_TRUE(e.description().contains("another estimator"));
    }
    EXPECT_FALSE(ran);
    // Another project is free meanwhile.
    brevant::db::runProjectUnit(other, 8, [&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST_P(ProjectUnit, TheStoreLockIsHeldUntilItsConnectionCloses) {
    const QString where = onPostgreSql() ? pgScratch.locator() : connectionString();
    Connection first, second;
    first.open(where);
    second.open(where);
    EXPECT_TRUE(first.tryLockStore(StoreLock::UpdateCheck));
    EXPECT_FALSE(second.tryLockStore(StoreLock::UpdateCheck));
    // Ordinary work goes on beside it.
    second.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('BESIDE')");
    first.close();
    if (onPostgreSql()) {
        // The server lets a closed session's locks go when its backend has ended, a moment
        // after the client hung up: wait for that on the lock itself (the same key).
        second.executeNative("SET lock_timeout = '60s'");
        second.executeNative("SELECT pg_advisory_lock(1112692322, 1)");
    }
    EXPECT_TRUE(second.tryLockStore(StoreLock::UpdateCheck));
    Connection third;
    third.open(where);
    EXPECT_FALSE(third.tryLockStore(StoreLock::UpdateCheck));
}

BREVANT_ON_BOTH_ENGINES(ProjectUnit);

} // namespace
