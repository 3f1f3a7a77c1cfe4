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

TEST(StoreWatcher, AnSqliteFileIsNotWatched) {
    QTemporaryDir dir;
    StoreWatcher watcher;
    EXPECT_FALSE(watcher.watch(StoreLocator::parse(dir.filePath("Desktop.mdb"))));
    EXPECT_FALSE(watcher.watching());
}

} // namespace
} // namespace brevant::db
