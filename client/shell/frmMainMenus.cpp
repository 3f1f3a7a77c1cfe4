// The main window's commands as data: every menu, pop-up menu and toolbar entry in one table
// each (object name, caption, shortcut, picture, what it runs), and the code that builds the
// menus and the toolbar from them.
#include "shell/frmMain.h"

#include "base/ProgramFolders.h"
#include "shell/frmAbout.h"
#include "shell/frmIcons.h"
#include "shell/frmLogon.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>
#include <QToolBar>
#include <QTreeWidget>

namespace brevant::shell {

namespace {

// Where a menu sits: on the menu bar, inside another menu, or only shown on a right click.
enum class Place { MenuBar, Submenu, Popup };

struct MenuDef {
    QMenu* frmMain::*member;
    const char* name;
    const char* title;
    Place place;
    const char* parent = nullptr; // for a submenu: the menu it sits in
    const char* item = nullptr;   // for a submenu: the object name of its entry in the parent
};

// One entry of a menu. A null name is a separator; a submenu's entry is placed by its def.
struct Command {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut; // QKeySequence text, empty for none
    const char* bitmap;   // a file of Graphics/Menus, empty for none
    void (*run)(frmMain&);
    bool checkable = false;
};

constexpr const char* kSeparator = nullptr;

} // namespace

void frmMain::buildMenus() {
    static const MenuDef menus[] = {
        {&frmMain::mnuFile, "mnuFile", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&File"),
         Place::MenuBar},
        {&frmMain::mnuList, "mnuList", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Projects"),
         Place::MenuBar},
        {&frmMain::mnuList_Project, "mnuList_Project",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Project Di&splay"), Place::Submenu,
         "mnuList", "mnuList_ProjectItem"},
        {&frmMain::mnuOptions, "mnuOptions",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Options"), Place::MenuBar},
        {&frmMain::mnuCPY, "mnuCPY", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&CPYPAST"),
         Place::Popup},
        {&frmMain::mnuPlans, "mnuPlans", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Plans"),
         Place::Popup},
        {&frmMain::mnuSpecs, "mnuSpecs", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Specs"),
         Place::Popup},
        {&frmMain::mnuAdd, "mnuAdd", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Addenda"),
         Place::Popup},
        {&frmMain::mnuAttach, "mnuAttach", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Attach"),
         Place::Popup},
    };
    static const Command commands[] = {
        {"mnuFile", "mnuFile_Find",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Find Projects (Online)"), "Ctrl+Shift+F",
         "FIND.bmp", [](frmMain& w) { w.mnuFile_Find_Click(); }},
        {"mnuFile", "mnuFile_Icon", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Icon Summary"),
         "", "", [](frmMain& w) { (new frmIcons(&w))->show(); }},
        {"mnuFile", kSeparator, "", "", "", nullptr},
        {"mnuFile", "mnuFile_Copy", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Copy Project"),
         "", "CD.bmp", [](frmMain& w) { w.mnuFile_Copy_Click(); }},
        {"mnuFile", "mnuFileClear",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "C&lear Cache for Selected Project(s)"), "",
         "TRASH.bmp", [](frmMain& w) { w.mnuFileClear_Click(); }},
        {"mnuFile", "mnuFileEmail",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&E-Mail Selected Documents"), "", "MAIL.bmp",
         [](frmMain& w) { w.mnuFileEmail_Click(); }},
        {"mnuFile", kSeparator, "", "", "", nullptr},
        {"mnuFile", "mnuFileExportCalendar",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Export &Bid Calendar..."), "", "",
         [](frmMain& w) { w.mnuFileExportCalendar_Click(); }},
        {"mnuFile", "mnuFileExportList",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Export &Project List..."), "", "",
         [](frmMain& w) { w.mnuFileExportList_Click(); }},
        {"mnuFile", "mnuFileMigrateStore",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Move Projects to the Firm Store..."), "",
         "", [](frmMain& w) { w.mnuFileMigrateStore_Click(); }},
        {"mnuFile", kSeparator, "", "", "", nullptr},
        {"mnuFile", "mnuExit", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "E&xit"), "Ctrl+Q", "",
         [](frmMain& w) { w.close(); }},

        {"mnuList", "mnuListMark", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Select &All"),
         "Ctrl+A", "MARK.bmp", [](frmMain& w) { w.CheckAll(); }},
        {"mnuList", "mnuListRemove", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&De-Select All"),
         "Ctrl+Shift+A", "UNMARK.bmp", [](frmMain& w) { w.UncheckAll(); }},
        {"mnuList", kSeparator, "", "", "", nullptr},
        {"mnuList_Project", "mnuListAllRec",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&All Projects"), "", "",
         [](frmMain& w) { w.ShowFilter(QStringLiteral("ALL")); }, true},
        {"mnuList_Project", "mnuListNewRec",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&New Projects Only"), "", "",
         [](frmMain& w) { w.ShowFilter(QStringLiteral("NEW")); }, true},
        {"mnuList_Project", "mnuListTrackRec",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Tagged Projects Only"), "", "",
         [](frmMain& w) { w.ShowFilter(QStringLiteral("TRACK")); }, true},
        {"mnuList_Project", "mnuListVeiwedRec",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Opened Projects Only"), "", "",
         [](frmMain& w) { w.ShowFilter(QStringLiteral("VIEW")); }, true},
        {"mnuList", kSeparator, "", "", "", nullptr},
        {"mnuList", "mnuListPrintSummary",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Print Full Report for Selected Project(s)"),
         "Ctrl+P", "PRINT.bmp", [](frmMain& w) { w.mnuListPrintSummary_Click(); }},
        {"mnuList", "mnuListJobList",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Create Current &Job Listing Report"), "",
         "MAG.bmp", [](frmMain& w) { w.mnuListJobList_Click(); }},
        {"mnuList", "mnuListDelete",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "De&lete Selected Project(s)"), "",
         "trash01.bmp", [](frmMain& w) { w.DeleteSelectedProjects(); }},
        {"mnuList", kSeparator, "", "", "", nullptr},
        {"mnuList", "mnuListTrack",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Set Selected Project(s) as &Tagged"), "",
         "TRACK.bmp", [](frmMain& w) { w.MarkTagged(); }},
        {"mnuList", "mnuListView",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Set Selected Project(s) as &Opened"), "",
         "DISK12.bmp", [](frmMain& w) { w.MarkOpened(); }},
        {"mnuList", "mnuListAssign",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Set Ass&ignments for Selected Project(s)"),
         "", "ASSIGN.bmp", [](frmMain& w) { w.mnuListAssign_Click(); }},
        {"mnuList", "mnuListAssign2",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Clear Assignments for Selected Project(s)"),
         "", "ASSIGN2.bmp", [](frmMain& w) { w.mnuListAssign2_Click(); }},
        {"mnuList", kSeparator, "", "", "", nullptr},
        {"mnuList", "mnuList_Update",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Check for &Updates on Selected Project(s)"),
         "Ctrl+U", "CHECKMRK.bmp", [](frmMain& w) { w.mnuList_Update_Click(); }},

        {"mnuOptions", "mnuOptions_Setup",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Program &Preferences"), "Ctrl+,", "PREF.bmp",
         [](frmMain& w) { w.ShowPreferences(); }},
        {"mnuOptions", "mnuOptions_Login",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Change &Login Credentials"), "", "",
         [](frmMain& w) {
             frmLogon logon(&w);
             logon.exec();
         }},

        {"mnuCPY", "mnuCPY_Copy",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Copy Selected Text"), "", "",
         [](frmMain& w) { w.CopySelectedText(); }},

        {"mnuPlans", "mnuPlansSelect", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Select &All"),
         "", "", [](frmMain& w) { SetAllChecked(w.ListView2, true); }},
        {"mnuPlans", "mnuPlansDeSelect",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&De-Select All"), "", "",
         [](frmMain& w) { SetAllChecked(w.ListView2, false); }},
        {"mnuPlans", kSeparator, "", "", "", nullptr},
        {"mnuPlans", "mnuPlansDownSel",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Download &Selected Plan Page(s)"), "", "",
         [](frmMain& w) { w.mnuDownloadSelected_Click(0); }},
        {"mnuPlans", kSeparator, "", "", "", nullptr},
        {"mnuPlans", "mnuPlansView", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&View Plans"),
         "", "", [](frmMain& w) { w.mnuPlansView_Click(); }},

        {"mnuSpecs", "mnuSpecs_All", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Select &All"),
         "", "", [](frmMain& w) { SetAllChecked(w.ListView3, true); }},
        {"mnuSpecs", "mnuSpecs_DeAll",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&De-Select All"), "", "",
         [](frmMain& w) { SetAllChecked(w.ListView3, false); }},
        {"mnuSpecs", kSeparator, "", "", "", nullptr},
        {"mnuSpecs", "mnuSpecs_DownSelect",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain",
                           "Download &Selected Specification Section(s)"),
         "", "", [](frmMain& w) { w.mnuDownloadSelected_Click(1); }},

        {"mnuAdd", "mnuAdd_SelectAll", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Select &All"),
         "", "", [](frmMain& w) { SetAllChecked(w.ListView4, true); }},
        {"mnuAdd", "mnuAdd_DeSelectAll",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&De-Select All"), "", "",
         [](frmMain& w) { SetAllChecked(w.ListView4, false); }},
        {"mnuAdd", kSeparator, "", "", "", nullptr},
        {"mnuAdd", "mnuAdd_SelectDown",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Download &Selected Addenda"), "", "",
         [](frmMain& w) { w.mnuDownloadSelected_Click(2); }},

        {"mnuAttach", "mnuAttachAdd",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Attach Document"), "", "",
         [](frmMain& w) { w.mnuAttachAdd_Click(); }},
        {"mnuAttach", "mnuAttachDel",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Remove Selected Document"), "", "",
         [](frmMain& w) { w.mnuAttachDel_Click(); }},
        {"mnuAttach", "mnuAttachOpen",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "&Open Document"), "", "",
         [](frmMain& w) { w.mnuAttachOpen_Click(); }},
        {"mnuAttach", kSeparator, "", "", "", nullptr},
        {"mnuAttach", "mnuAttachIcon",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Display &Icon View"), "", "",
         [](frmMain& w) { w.setAttachmentViewMode(0); }},
        {"mnuAttach", "mnuAttachList",
         QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Display &List View"), "", "",
         [](frmMain& w) { w.setAttachmentViewMode(3); }},
    };

    QMap<QString, QMenu*> byName;
    auto menuNamed = [&byName](const char* name) { return byName.value(QLatin1String(name)); };
    for (const MenuDef& def : menus) {
        QMenu* menu = nullptr;
        const QString title = tr(def.title);
        switch (def.place) {
        case Place::MenuBar:
            menu = menuBar()->addMenu(title);
            break;
        case Place::Submenu:
            menu = new QMenu(title, this);
            menu->menuAction()->setObjectName(QString::fromLatin1(def.item));
            break;
        case Place::Popup:
            menu = new QMenu(title, this);
            break;
        }
        menu->setObjectName(QString::fromLatin1(def.name));
        this->*def.member = menu;
        byName.insert(menu->objectName(), menu);
    }
    // A submenu takes its place in its parent where its first entry stands in the table.
    QSet<QMenu*> placed;
    for (const Command& c : commands) {
        QMenu* menu = menuNamed(c.menu);
        for (const MenuDef& def : menus) {
            if (def.place == Place::Submenu && this->*def.member == menu &&
                !placed.contains(menu)) {
                menuNamed(def.parent)->addMenu(menu);
                placed.insert(menu);
            }
        }
        if (!c.name) {
            menu->addSeparator();
            continue;
        }
        QAction* a = addCommand(menu, c.name, tr(c.caption));
        if (*c.shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
        if (*c.bitmap)
            a->setProperty("menuBitmap", QString::fromLatin1(c.bitmap));
        a->setCheckable(c.checkable);
        const auto run = c.run;
        connect(a, &QAction::triggered, this, [this, run] { run(*this); });
    }
    mnuListAllRec = findChild<QAction*>(QStringLiteral("mnuListAllRec"));
    mnuListNewRec = findChild<QAction*>(QStringLiteral("mnuListNewRec"));
    mnuListTrackRec = findChild<QAction*>(QStringLiteral("mnuListTrackRec"));
    mnuListVeiwedRec = findChild<QAction*>(QStringLiteral("mnuListVeiwedRec"));

    mnuAbout = menuBar()->addAction(tr("&About "));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, [this] {
        frmAbout about(this);
        about.exec();
    });
}

void frmMain::buildKeys() {
    // Keys with no menu entry of their own. Delete acts on the project list only, so that it
    // never deletes projects while the user edits notes or picks attachments.
    auto* refresh = new QShortcut(QKeySequence::Refresh, this);
    refresh->setObjectName(QStringLiteral("keyRefresh"));
    connect(refresh, &QShortcut::activated, this, [this] { RefreshProjects(); });
    auto* remove =
        new QShortcut(QKeySequence::Delete, ListView1, nullptr, nullptr, Qt::WidgetShortcut);
    remove->setObjectName(QStringLiteral("keyDeleteProjects"));
    connect(remove, &QShortcut::activated, this, [this] { DeleteSelectedProjects(); });
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), txtSearch, nullptr, nullptr,
                                Qt::WidgetShortcut);
    clear->setObjectName(QStringLiteral("keyClearSearch"));
    connect(clear, &QShortcut::activated, txtSearch, &QLineEdit::clear);
}

void frmMain::RefreshProjects() {
    const std::optional<int> current = selectedJobId();
    LoadProjects(currentFilter(), true);
    if (!current)
        return;
    if (QTreeWidgetItem* row = FindProjectRow(*current); row && row != ListView1->currentItem())
        ListView1->setCurrentItem(row);
}

QAction* frmMain::addCommand(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void frmMain::BuildMenuBitmaps() {
    for (QAction* a : findChildren<QAction*>()) {
        const QString file = a->property("menuBitmap").toString();
        if (file.isEmpty())
            continue;
        // A file that cannot be read leaves the entry without a picture.
        const QPixmap picture(base::DataFile(QStringLiteral("Graphics/Menus/") + file), "BMP");
        if (!picture.isNull())
            a->setIcon(QIcon(picture));
    }
}

namespace {

struct Button {
    int index; // position on the toolbar, separators counted
    const char* text;
    const char* tip;
    int image; // in ImageList1
    void (*run)(frmMain&);
};

const Button kButtons[] = {
    {1, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Find"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Find Projects ..."), 7,
     [](frmMain& w) { w.mnuFile_Find_Click(); }},
    {3, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "All Projects"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Display all records ..."), 31,
     [](frmMain& w) { w.toolbarFilter(QStringLiteral("ALL")); }},
    {4, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Tracked"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Display tagged records only ..."), 23,
     [](frmMain& w) { w.toolbarFilter(QStringLiteral("TRACK")); }},
    {5, "", QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Display new records only ..."), 24,
     [](frmMain& w) { w.toolbarFilter(QStringLiteral("NEW")); }},
    {6, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Viewed"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Display opened records only ..."), 25,
     [](frmMain& w) { w.toolbarFilter(QStringLiteral("VIEW")); }},
    {8, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Print"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Print full report for selected projects ..."),
     18, [](frmMain& w) { w.mnuListPrintSummary_Click(); }},
    {9, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Download"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Download all selected documents ..."), 27,
     [](frmMain& w) { w.DownloadAllDocuments(); }},
    {11, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Delete"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Delete selected projects ..."), 20,
     [](frmMain& w) { w.DeleteSelectedProjects(); }},
    {12, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Email"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "E-Mail selected documents ..."), 21,
     [](frmMain& w) { w.mnuFileEmail_Click(); }},
    {13, QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Update"),
     QT_TRANSLATE_NOOP("brevant::shell::frmMain", "Check selected projects for updates ..."), 15,
     [](frmMain& w) { w.mnuList_Update_Click(); }},
};
constexpr int kLastButton = 13;

} // namespace

void frmMain::buildToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(24, 24));
    buttons_.fill(nullptr, kLastButton + 1);
    const Button* next = std::begin(kButtons);
    for (int index = 1; index <= kLastButton; ++index) {
        QAction* a = nullptr;
        if (next != std::end(kButtons) && next->index == index) {
            a = Toolbar1->addAction(tr(next->text));
            a->setToolTip(tr(next->tip));
            const auto run = next->run;
            connect(a, &QAction::triggered, this, [this, run] { run(*this); });
            ++next;
        } else {
            a = Toolbar1->addSeparator();
        }
        a->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(index));
        buttons_[index] = a;
    }
}

void frmMain::SetToolbarImages() {
    for (const Button& b : kButtons) {
        buttons_[b.index]->setIcon(ImageList1.icon(b.image));
        buttons_[b.index]->setProperty("imageIndex", b.image);
    }
}

void frmMain::toolbarFilter(const QString& filter) {
    EnableCommands(false);
    ShowFilter(filter);
    EnableCommands(true);
}

} // namespace brevant::shell
