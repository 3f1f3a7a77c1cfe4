// Two workstations on one firm store: what one imports or deletes reaches the other's open
// list by itself, which keeps its current project and check marks.
#include "PgScratch.h"
#include "ShellTestEnv.h"
#include "base/Settings.h"
#include "platform/db/Connection.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"

#include <QSignalSpy>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace brevant::shell::test {
namespace {

// Waits, for at most two seconds, until the list shows the condition.
template <typename Ready> bool listFollows(Ready ready) {
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > 2000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

TEST(LiveList, AnotherWorkstationsImportAndDeleteReachTheOpenListWithinTwoSeconds) {
    QString why;
    pgtest::ScratchSchema schema;
    if (!schema.create(&why))
        GTEST_SKIP() << why.toStdString();
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    WriteSetting(QStringLiteral("STORE"), schema.locator());
    db::Connection elsewhere;
    elsewhere.open(schema.locator());
    elsewhere.execute(ShellTestEnv::insertProject(101, "BRIDGE DECK", "04/15/2027", true, false));
    elsewhere.execute(ShellTestEnv::insertProject(102, "CITY HALL", "06/30/2027", true, false));

    frmMain w;
    w.Form_Load();
    ASSERT_TRUE(w.followingStore());
    auto* list = w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    w.ListView1_ItemClick(w.FindProjectRow(102));
    w.FindProjectRow(101)->setCheckState(0, Qt::Checked);

    elsewhere.execute(ShellTestEnv::insertProject(103, "ELM SCHOOL", "05/20/2027", true, false));
    ASSERT_TRUE(listFollows([&] { return w.FindProjectRow(103) != nullptr; }));
    EXPECT_EQ(w.selectedJobId(), 102);
    EXPECT_EQ(w.checkedJobIds(), std::vector<int>{101});

    elsewhere.execute("DELETE FROM Projects WHERE Job_ID = 103");
    ASSERT_TRUE(listFollows([&] { return w.FindProjectRow(103) == nullptr; }));
    EXPECT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(w.selectedJobId(), 102);
    EXPECT_EQ(w.checkedJobIds(), std::vector<int>{101});
    EXPECT_TRUE(ui.shown().isEmpty());
}

} // namespace
} // namespace brevant::shell::test
