// A connection to a PostgreSQL store that the server dropped (pg_terminate_backend stands in for
// a restart or the network): the next use outside a transaction opens a new session, with the
// session settings and store locks of the old; inside a transaction nothing is sent again, and
// a unit of work in flight is never run a second time.
#include "PgFixture.h"
#include "platform/db/Backend.h"
#include "platform/db/DbError.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/StoreWatcher.h"
#include "platform/db/Transaction.h"

#include <functional>

namespace {

using brevant::db::Condition;
using brevant::db::Connection;
using brevant::db::DbError;
using brevant::db::StoreLock;
using brevant::db::Transaction;
using brevant::db::pg::Params;

std::optional<DbError> errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e;
    }
    return std::nullopt;
}

class PgReconnect : public pgtest::ScratchDatabase {
protected:
    void SetUp() override {
        ScratchDatabase::SetUp();
        if (IsSkipped())
            return;
        db.open(locator());
    }

    // Ends the connection's server session and waits until it is gone.
    void dropSession(Connection& c) {
        const QByteArray pid = QByteArray::number(brevant::db::storeSessionId(c));
        ASSERT_EQ(admin().run("SELECT pg_terminate_backend($1, 60000)", Params{pid}).text(0, 0),
                  "t");
    }

    // What another connection finds stored.
    int searches() {
        Connection observer;
        observer.open(locator());
        return int(observer.backend()
                       .queryNative("SELECT count(*) FROM custom_search", {})
                       .front()
                       .value(0)
                       .toLongLong());
    }

    Connection db;
};

TEST_F(PgReconnect, TheNextUseAfterADroppedIdleSessionOpensANewOneLikeTheOld) {
    const int before = brevant::db::storeSessionId(db);
    dropSession(db);
    EXPECT_EQ(db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('AFTER')"), 1);
    const int after = brevant::db::storeSessionId(db);
    EXPECT_NE(after, before);
    EXPECT_NE(after, 0);
    // The new session waits for a project's lock as long as the first one did.
    EXPECT_EQ(db.backend().queryNative("SHOW lock_timeout", {}).front().value(0).toString(),
              QStringLiteral("5s"));
    // ... and speaks for the same workstation (what is in this PC's cache stays this PC's).
    db.setWorkstation(QStringLiteral("ws-reconnect"));
    dropSession(db);
    EXPECT_EQ(
        db.backend().queryNative("SELECT brevant_workstation()", {}).front().value(0).toString(),
        QStringLiteral("ws-reconnect"));
    // A dropped session is noticed again the next time, and a unit runs on the new one.
    dropSession(db);
    brevant::db::runProjectUnit(
        db, 7, [&] { db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('UNIT')"); });
}

TEST_F(PgReconnect, AUnitInFlightIsNeitherRunAgainNorFinishedOnANewSession) {
    int runs = 0;
    const auto lost = errorOf([&] {
        brevant::db::runProjectUnit(db, 7, [&] {
            ++runs;
            db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('HALF')");
            dropSession(db);
            db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('OTHER HALF')");
        });
    });
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->condition(), Condition::ConnectionLost);
    EXPECT_EQ(runs, 1);

    // Inside a transaction whose session went, every statement fails until it is ended: one
    // that reconnected would commit on its own, half a unit.
    {
        Transaction t(db);
        db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('HALF')");
        dropSession(db);
        for (int i = 0; i < 2; ++i) {
            const auto e = errorOf(
                [&] { db.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('X')"); });
            ASSERT_TRUE(e) << i;
            EXPECT_EQ(e->condition(), Condition::ConnectionLost);
        }
        EXPECT_FALSE(t.active());
    }
    // Ended, the store is usable again, and nothing of either half was kept.
    EXPECT_EQ(db.execute("UPDATE Custom_Search SET Search_Name = 'Y'"), 0);
    EXPECT_EQ(searches(), 0);
}

TEST_F(PgReconnect, AStoreThatCannotBeReachedAgainIsSaidSoAndTriedAgainLater) {
    // A login of its own that the server can be told to refuse.
    const QByteArray role = "r_reconnect_" + QByteArray::number(getpid());
    const QByteArray schema =
        db.backend().queryNative("SELECT current_schema()", {}).front().value(0).toByteArray();
    admin().run("DROP ROLE IF EXISTS " + role);
    admin().run("CREATE ROLE " + role + " LOGIN");
    admin().run("GRANT USAGE ON SCHEMA " + schema + " TO " + role);
    admin().run("GRANT ALL ON ALL TABLES IN SCHEMA " + schema + " TO " + role);
    {
        Connection estimator;
        estimator.open(locator() + " user=" + QString::fromUtf8(role));
        admin().run("ALTER ROLE " + role + " NOLOGIN");
        dropSession(estimator);
        const auto e = errorOf([&] { estimator.execute("SELECT 1 FROM Custom_Search"); });
        admin().run("ALTER ROLE " + role + " LOGIN");
        ASSERT_TRUE(e);
        EXPECT_EQ(e->condition(), Condition::ConnectionLost);
        EXPECT_TRUE(e->description().contains("could not be made again"))
            << e->description().toStdString();
        EXPECT_TRUE(e->description().contains("not permitted to log in"))
            << e->description().toStdString();
        // Once the server lets it in, the next use goes through.
        EXPECT_EQ(estimator.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('BACK')"), 1);
    }
    admin().run("DROP OWNED BY " + role);
    admin().run("DROP ROLE " + role);
}

TEST_F(PgReconnect, TheStoreWideLockIsKeptAcrossANewSessionUnlessAnotherTookItMeanwhile) {
    Connection other;
    other.open(locator());
    ASSERT_TRUE(db.tryLockStore(StoreLock::UpdateCheck));
    dropSession(db);
    db.execute("SELECT 1 FROM Custom_Search");
    EXPECT_FALSE(other.tryLockStore(StoreLock::UpdateCheck));

    // Dropped again, and this time the other connection takes the lock first: the check that
    // lost it must not go on as if it still held it.
    dropSession(db);
    ASSERT_TRUE(other.tryLockStore(StoreLock::UpdateCheck));
    const auto e = errorOf([&] { db.execute("SELECT 1 FROM Custom_Search"); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->condition(), Condition::ConnectionLost);
    EXPECT_TRUE(e->description().contains("another workstation")) << e->description().toStdString();
}

} // namespace
