// What the main window and the Find window remember from one run to the next: the window's
// size, place and tool bar, the splitters, column widths, the list's sort and filter, the
// current project (and what happens when it was deleted meanwhile), the last search entries.
#include "ShellTestEnv.h"

#include "base/Settings.h"
#include "platform/ui/ScriptedUi.h"
#include "server/frmFind.h"
#include "shell/WindowMemory.h"
#include "shell/frmMain.h"

#include <QLineEdit>
#include <QSplitter>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::columnTexts;
using brevant::shell::test::ShellTestEnv;

namespace {

QString seedProjects(ShellTestEnv& env) {
    const QString db = env.createDatabase();
    ShellTestEnv::execute(
        db, {ShellTestEnv::insertProject(101, QStringLiteral("Delta Library"),
                                         QStringLiteral("2026-12-20 00:00:00"), true, false),
             ShellTestEnv::insertProject(102, QStringLiteral("Bravo Clinic"),
                                         QStringLiteral("2026-12-21 00:00:00"), false, true),
             ShellTestEnv::insertProject(103, QStringLiteral("Charlie Depot"),
                                         QStringLiteral("2026-12-22 00:00:00"), false, true),
             ShellTestEnv::insertProject(104, QStringLiteral("Alpha School"),
                                         QStringLiteral("2026-12-23 00:00:00"), false, true)});
    return db;
}

QSplitter* splitter(QWidget& w, const char* name) {
    return w.findChild<QSplitter*>(QString::fromLatin1(name));
}

QTreeWidget* list(QWidget& w) {
    return w.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
}

} // namespace

TEST(WindowMemory, WhatTheUserArrangedIsBackInTheNextRun) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    const QString db = seedProjects(env);
    QRect geometry;
    QList<int> listSplit;
    QList<int> paneSplit;
    {
        frmMain w;
        w.Form_Load();
        w.show();
        // A first start: all projects, by bid date, the latest first, the first row current.
        EXPECT_EQ(w.currentFilter(), QStringLiteral("ALL"));
        EXPECT_EQ(w.selectedJobId(), std::optional<int>(104));

        w.setGeometry(70, 50, 1000, 640);
        w.addToolBar(Qt::LeftToolBarArea, w.findChild<QToolBar*>(QStringLiteral("Toolbar1")));
        splitter(w, "splitMain")->setSizes({300, 700});
        splitter(w, "splitDetail")->setSizes({200, 380});
        w.ListView1_ColumnClick(1); // TITLE, ascending
        w.ShowFilter(QStringLiteral("TRACK"));
        list(w)->setColumnWidth(2, 155);
        ASSERT_EQ(columnTexts(list(w), 1),
                  QStringList({QStringLiteral("Alpha School"), QStringLiteral("Bravo Clinic"),
                               QStringLiteral("Charlie Depot")}));
        w.ListView1_ItemClick(list(w)->topLevelItem(2));
        ASSERT_EQ(w.selectedJobId(), std::optional<int>(103));
        geometry = w.geometry();
        listSplit = splitter(w, "splitMain")->sizes();
        paneSplit = splitter(w, "splitDetail")->sizes();

        // The Find window's entries, as they were when it was closed.
        server::frmFind find(&w);
        find.show();
        find.findChild<QLineEdit*>(QStringLiteral("txtJobName"))->setText(QStringLiteral("Clinic"));
        find.findChild<QLineEdit*>(QStringLiteral("txtScope"))->setText(QStringLiteral("roof"));
        find.findChild<QLineEdit*>(QStringLiteral("txtBidDate_0"))
            ->setText(QStringLiteral("12/1/2026"));
        find.findChild<QLineEdit*>(QStringLiteral("txtBidDate_1"))
            ->setText(QStringLiteral("12/31/2026"));
        find.findChild<QLineEdit*>(QStringLiteral("txtCSVCSI"))
            ->setText(QStringLiteral("07100,07200"));
        find.close();
        EXPECT_TRUE(w.close());
    }
    EXPECT_TRUE(ui.shown().isEmpty());

    frmMain again;
    again.Form_Load();
    again.show();
    EXPECT_EQ(again.geometry(), geometry);
    EXPECT_EQ(again.toolBarArea(again.findChild<QToolBar*>(QStringLiteral("Toolbar1"))),
              Qt::LeftToolBarArea);
    EXPECT_EQ(splitter(again, "splitMain")->sizes(), listSplit);
    EXPECT_EQ(splitter(again, "splitDetail")->sizes(), paneSplit);
    EXPECT_EQ(list(again)->columnWidth(2), 155);
    EXPECT_EQ(again.sortState().caption(), QStringLiteral("TITLE"));
    EXPECT_EQ(again.sortState().icon(), store::SortAscending);
    EXPECT_EQ(again.currentFilter(), QStringLiteral("TRACK"));
    EXPECT_EQ(columnTexts(list(again), 1),
              QStringList({QStringLiteral("Alpha School"), QStringLiteral("Bravo Clinic"),
                           QStringLiteral("Charlie Depot")}));
    EXPECT_EQ(again.selectedJobId(), std::optional<int>(103));
    EXPECT_EQ(list(again)->currentItem(), list(again)->topLevelItem(2));

    server::frmFind find(&again);
    EXPECT_EQ(find.findChild<QLineEdit*>(QStringLiteral("txtJobName"))->text(),
              QStringLiteral("Clinic"));
    EXPECT_EQ(find.findChild<QLineEdit*>(QStringLiteral("txtScope"))->text(),
              QStringLiteral("roof"));
    EXPECT_EQ(find.criteria().bidStart, QStringLiteral("12/1/2026"));
    EXPECT_EQ(find.criteria().bidEnd, QStringLiteral("12/31/2026"));
    EXPECT_EQ(find.criteria().csiList, QStringLiteral("07100,07200"));
    // The list excludes the range, as when it is typed.
    EXPECT_FALSE(find.findChild<QLineEdit*>(QStringLiteral("txtCSI_0"))->isEnabled());
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST(WindowMemory, ProjectDeletedMeanwhileLeavesTheFirstRowCurrent) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    const QString db = seedProjects(env);
    {
        frmMain w;
        w.Form_Load();
        w.ListView1_ItemClick(w.FindProjectRow(102));
        ASSERT_EQ(w.selectedJobId(), std::optional<int>(102));
        w.Form_Unload();
    }
    EXPECT_EQ(ReadSetting(QStringLiteral("CURRENTPROJECT")), QStringLiteral("102"));
    // Another copy (or a colleague) deleted the project before the next start.
    ShellTestEnv::execute(db, {QStringLiteral("Delete * from [Projects] where [Job_ID] = 102")});

    frmMain again;
    again.Form_Load();
    EXPECT_EQ(again.selectedJobId(), std::optional<int>(104));
    EXPECT_EQ(list(again)->currentItem(), list(again)->topLevelItem(0));
    EXPECT_TRUE(ui.shown().isEmpty()) << qPrintable(ui.last().text);
}

TEST(WindowMemory, DamagedValuesGiveTheFirstStartsLayout) {
    ShellTestEnv env;
    WriteSetting(QStringLiteral("SORTCOLUMN"), QStringLiteral("NO SUCH COLUMN"));
    WriteSetting(QStringLiteral("SORTORDER"), QStringLiteral("DESC"));
    WriteSetting(QStringLiteral("LISTFILTER"), QStringLiteral("SOMETHING"));
    WriteSetting(QStringLiteral("CURRENTPROJECT"), QStringLiteral("12abc"));
    WriteSetting(QStringLiteral("WINDOWGEOMETRY"), QStringLiteral("not base64 at all"));
    const WindowMemory m = ReadWindowMemory();
    EXPECT_EQ(m.sort.caption(), QStringLiteral("BID DATE"));
    EXPECT_EQ(m.sort.icon(), store::SortDescending);
    EXPECT_EQ(m.filter, store::Filter::All);
    EXPECT_FALSE(m.currentJobId.has_value());

    // A geometry that cannot be read leaves the window at its default size.
    ui::ScopedScriptedUi ui;
    env.createDatabase();
    frmMain w;
    const QSize size = w.size();
    w.Form_Load();
    EXPECT_EQ(w.size(), size);
}
