// A window's live list on a shared store: another connection's committed change reaches the
// watcher through the server's announcements, a burst as one signal; its own session's changes
// and an SQLite file give none.
#include "PgScratch.h"
#include "platform/db/Connection.h"
#include "platform/db/StoreWatcher.h"
#include "platform/db/Transaction.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brevant::db {
namespace {

TEST(StoreWatcher, AnotherWorkstationsCommittedChangesArriveAsOneSignal) {
    pgtest::ScratchSchema scratch;
    QString why;
    if (!scratch.create(&why))
        GTEST_SKIP() << why.toStdString();
    Connection window, elsewhere;
    window.open(scratch.locator());
    elsewhere.open(scratch.locator());
    StoreWatcher watcher;
    watcher.ignoreSession(storeSessionId(window));
    ASSERT_TRUE(watcher.watch(StoreLocator::parse(scratch.locator())));
    QSignalSpy changed(&watcher, &StoreWatcher::changed);

    {
        // Nothing is announced before the commit.
        Transaction t(elsewhere);
        elsewhere.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (1, 'A')");
        elsewhere.execute("INSERT INTO Specs (JobID, Spec) VALUES (1, '03300')");
        t.commit();
    }
    elsewhere.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (2, 'B')");
    ASSERT_TRUE(changed.wait(2000));
    EXPECT_EQ(changed.count(), 1);
    // The window's own change is in its list already.
    window.execute("DELETE FROM Projects WHERE Job_ID = 2");
    elsewhere.execute("UPDATE Projects SET [Name] = 'C' WHERE Job_ID = 1");
    ASSERT_TRUE(changed.wait(2000));
    EXPECT_EQ(changed.count(), 2);
}

TEST(StoreWatcher, ASessionTheServerDroppedListensAgainAndTheListCatchesUp) {
    pgtest::ScratchSchema scratch;
    QString why;
    if (!scratch.create(&why))
        GTEST_SKIP() << why.toStdString();
    Connection elsewhere;
    elsewhere.open(scratch.locator());
    StoreWatcher watcher;
    ASSERT_TRUE(watcher.watch(StoreLocator::parse(scratch.locator())));
    QSignalSpy changed(&watcher, &StoreWatcher::changed);
    const int first = watcher.sessionId();
    ASSERT_NE(first, 0);

    // A restart or the network ends the listening session.
    ASSERT_EQ(
        scratch.admin()
            .run("SELECT pg_terminate_backend($1, 60000)", pg::Params{QByteArray::number(first)})
            .text(0, 0),
        "t");
    // What was announced meanwhile is lost: the window is told to read its list again.
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_TRUE(watcher.watching());
    EXPECT_NE(watcher.sessionId(), 0);
    EXPECT_NE(watcher.sessionId(), first);
    // And the new session hears what is announced from now on.
    const int before = changed.count();
    elsewhere.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (3, 'D')");
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(changed.count(), before + 1);
}

TEST(StoreWatcher, AnSqliteFileIsNotWatched) {
    QTemporaryDir dir;
    StoreWatcher watcher;
    EXPECT_FALSE(watcher.watch(StoreLocator::parse(dir.filePath("Desktop.mdb"))));
    EXPECT_FALSE(watcher.watching());
}

} // namespace
} // namespace brevant::db
