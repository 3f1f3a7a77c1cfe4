// The main window's document lists show every plan and section name whole.
#include "ShellTestEnv.h"

#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"

#include <QHeaderView>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

TEST(DocumentLists, NoNameIsCutShortAtTheDefaultSize) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    const QString db = env.createDatabase();
    QStringList statements{
        ShellTestEnv::insertProject(501, QStringLiteral("Riverside Middle School"),
                                    QStringLiteral("2026-12-20 00:00:00"), true, false)};
    for (const char* plan : {"A-101 FIRST FLOOR PLAN - AREA A AND B", "M-401 ENLARGED MECHANICAL "
                                                                      "ROOM PLANS"})
        statements << QStringLiteral("Insert into [Plans] ([JobID], [File], [Description], "
                                     "[Size], [Local]) values (501, 'P%1', '%2', 4096, FALSE)")
                          .arg(statements.size())
                          .arg(QString::fromLatin1(plan));
    for (const char* spec : {"09 91 23|INTERIOR PAINTING AND FINISHES", "ADD01|ADDENDUM NO. 1 - "
                                                                        "REVISED BID FORM"}) {
        const QStringList parts = QString::fromLatin1(spec).split(QLatin1Char('|'));
        statements << QStringLiteral("Insert into [Specs] ([JobID], [Spec], [Description], "
                                     "[Local]) values (501, '%1', '%2', FALSE)")
                          .arg(parts[0], parts[1]);
    }
    ShellTestEnv::execute(db, statements);

    frmMain w;
    w.Form_Load();
    w.show();
    const QSize defaultSize = w.size();
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("SSTab2"));
    for (const char* name : {"ListView2", "ListView3", "ListView4"}) {
        auto* view = w.findChild<QTreeWidget*>(QString::fromLatin1(name));
        tabs->setCurrentWidget(view->parentWidget());
        QCoreApplication::processEvents();
        ASSERT_GE(view->topLevelItemCount(), 1) << name;
        for (int c = 0; c < view->columnCount(); ++c) {
            // The room each cell's text asks for (check box, icon and margins included) is
            // there, and the column lies within the list at the window's default size.
            const QAbstractItemView* asked = view; // QTreeView hides it; Qt's own measure
            EXPECT_GE(view->columnWidth(c), asked->sizeHintForColumn(c)) << name << " " << c;
            EXPECT_LE(view->header()->sectionViewportPosition(c) + view->columnWidth(c),
                      view->viewport()->width())
                << name << " " << c;
        }
    }
    EXPECT_EQ(w.size(), defaultSize);
}
