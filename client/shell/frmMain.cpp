// The main window's controls: menus, pop-up menus, toolbar, tab sets, status bar, and the
// commands that only concern the window itself.
#include "shell/frmMain.h"

#include "base/ImageIndexes.h"
#include "base/ProgramFolders.h"
#include "base/modResources.h"
#include "platform/ui/Ui.h"
#include "shell/frmAbout.h"
#include "shell/frmIcons.h"
#include "shell/frmLogon.h"
#include "shell/frmPrefs.h"
#include "shell/frmWait.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevant::shell {

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), ImageList1(base::DataFile(QStringLiteral("Graphics/ImageList1"))),
      ImageList2(base::DataFile(QStringLiteral("Graphics/ImageList2"))) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brevant Desktop"));
    setWindowIcon(QIcon(base::DataFile(QStringLiteral("brevant.png"))));
    buildCentre();
    buildMenus();
    buildToolbar();

    statusPanel1 = new QLabel(this);
    statusPanel1->setObjectName(QStringLiteral("Panel1"));
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->addWidget(statusPanel1, 1);
    setStatusBar(bar);

    setUpExchange();
    setUpDocuments();
    resize(1200, 760);
    base::registerMainWindow(this);
}

frmMain::~frmMain() {
    tearDownExchange();
    base::unregisterMainWindow(this);
    if (wait_)
        delete wait_.data();
}

QAction* frmMain::addCommand(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void frmMain::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    connect(addCommand(mnuFile, "mnuFile_Find", QStringLiteral("Find Projects (Online)")),
            &QAction::triggered, this, [this] { mnuFile_Find_Click(); });
    connect(addCommand(mnuFile, "mnuFile_Icon", QStringLiteral("Icon Summary")),
            &QAction::triggered, this, [this] { (new frmIcons(this))->show(); });
    mnuFile->addSeparator();
    connect(addCommand(mnuFile, "mnuFile_Copy", QStringLiteral("Copy Project")),
            &QAction::triggered, this, [this] { mnuFile_Copy_Click(); });
    connect(
        addCommand(mnuFile, "mnuFileClear", QStringLiteral("Clear Cache for Selected Project(s)")),
        &QAction::triggered, this, [this] { mnuFileClear_Click(); });
    connect(addCommand(mnuFile, "mnuFileEmail", QStringLiteral("E-Mail Selected Documents")),
            &QAction::triggered, this, [this] { mnuFileEmail_Click(); });
    mnuFile->addSeparator();
    addExportCommands(mnuFile);
    mnuFile->addSeparator();
    connect(addCommand(mnuFile, "mnuExit", QStringLiteral("Exit")), &QAction::triggered, this,
            &QWidget::close);

    mnuList = menuBar()->addMenu(QStringLiteral("&Projects"));
    mnuList->setObjectName(QStringLiteral("mnuList"));
    connect(addCommand(mnuList, "mnuListMark", QStringLiteral("Select All")), &QAction::triggered,
            this, [this] { CheckAll(); });
    connect(addCommand(mnuList, "mnuListRemove", QStringLiteral("De-Select All")),
            &QAction::triggered, this, [this] { UncheckAll(); });
    mnuList->addSeparator();
    mnuList_Project = mnuList->addMenu(QStringLiteral("Project Display"));
    mnuList_Project->setObjectName(QStringLiteral("mnuList_Project"));
    mnuList_Project->menuAction()->setObjectName(QStringLiteral("mnuList_ProjectItem"));
    const std::pair<QAction**, std::pair<const char*, const char*>> filters[] = {
        {&mnuListAllRec, {"mnuListAllRec", "All Projects"}},
        {&mnuListNewRec, {"mnuListNewRec", "New Projects Only"}},
        {&mnuListTrackRec, {"mnuListTrackRec", "Tagged Projects Only"}},
        {&mnuListVeiwedRec, {"mnuListVeiwedRec", "Opened Projects Only"}},
    };
    const char* filterNames[] = {"ALL", "NEW", "TRACK", "VIEW"};
    for (int i = 0; i < 4; ++i) {
        QAction* a = addCommand(mnuList_Project, filters[i].second.first,
                                QString::fromLatin1(filters[i].second.second));
        a->setCheckable(true);
        *filters[i].first = a;
        const QString filter = QString::fromLatin1(filterNames[i]);
        connect(a, &QAction::triggered, this, [this, filter] { ShowFilter(filter); });
    }
    mnuList->addSeparator();
    connect(addCommand(mnuList, "mnuListPrintSummary",
                       QStringLiteral("Print Full Report for Selected Project(s)")),
            &QAction::triggered, this, [this] { mnuListPrintSummary_Click(); });
    connect(
        addCommand(mnuList, "mnuListJobList", QStringLiteral("Create Current Job Listing Report")),
        &QAction::triggered, this, [this] { mnuListJobList_Click(); });
    connect(addCommand(mnuList, "mnuListDelete", QStringLiteral("Delete Selected Project(s)")),
            &QAction::triggered, this, [this] { DeleteSelectedProjects(); });
    mnuList->addSeparator();
    connect(
        addCommand(mnuList, "mnuListTrack", QStringLiteral("Set Selected Project(s) as Tagged")),
        &QAction::triggered, this, [this] { MarkTagged(); });
    connect(addCommand(mnuList, "mnuListView", QStringLiteral("Set Selected Project(s) as Opened")),
            &QAction::triggered, this, [this] { MarkOpened(); });
    connect(addCommand(mnuList, "mnuListAssign",
                       QStringLiteral("Set Assignments for Selected Project(s)")),
            &QAction::triggered, this, [this] { mnuListAssign_Click(); });
    connect(addCommand(mnuList, "mnuListAssign2",
                       QStringLiteral("Clear Assignments for Selected Project(s)")),
            &QAction::triggered, this, [this] { mnuListAssign2_Click(); });
    mnuList->addSeparator();
    connect(addCommand(mnuList, "mnuList_Update",
                       QStringLiteral("Check for Updates on Selected Project(s)")),
            &QAction::triggered, this, [this] { mnuList_Update_Click(); });

    mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    connect(addCommand(mnuOptions, "mnuOptions_Setup", QStringLiteral("Program Preferences")),
            &QAction::triggered, this, [this] { ShowPreferences(); });
    connect(addCommand(mnuOptions, "mnuOptions_Login", QStringLiteral("Change Login Credentials")),
            &QAction::triggered, this, [this] {
                frmLogon logon(this);
                logon.exec();
            });

    mnuAbout = menuBar()->addAction(QStringLiteral("&About "));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, [this] {
        frmAbout about(this);
        about.exec();
    });

    // Pop-up menus: never on the menu bar, shown by a right-button release on their control.
    mnuCPY = new QMenu(QStringLiteral("&CPYPAST"), this);
    mnuCPY->setObjectName(QStringLiteral("mnuCPY"));
    connect(addCommand(mnuCPY, "mnuCPY_Copy", QStringLiteral("Copy Selected Text")),
            &QAction::triggered, this, [this] { CopySelectedText(); });

    mnuPlans = new QMenu(QStringLiteral("&Plans"), this);
    mnuPlans->setObjectName(QStringLiteral("mnuPlans"));
    mnuSpecs = new QMenu(QStringLiteral("&Specs"), this);
    mnuSpecs->setObjectName(QStringLiteral("mnuSpecs"));
    mnuAdd = new QMenu(QStringLiteral("&Addenda"), this);
    mnuAdd->setObjectName(QStringLiteral("mnuAdd"));
    struct DocumentMenu {
        QMenu* menu;
        const char* all;
        const char* none;
        const char* download;
        const char* downloadCaption;
    };
    const DocumentMenu documentMenus[] = {
        {mnuPlans, "mnuPlansSelect", "mnuPlansDeSelect", "mnuPlansDownSel",
         "Download Selected Plan Page(s)"},
        {mnuSpecs, "mnuSpecs_All", "mnuSpecs_DeAll", "mnuSpecs_DownSelect",
         "Download Selected Specification Section(s)"},
        {mnuAdd, "mnuAdd_SelectAll", "mnuAdd_DeSelectAll", "mnuAdd_SelectDown",
         "Download Selected Addenda"},
    };
    QTreeWidget* const documentLists[] = {ListView2, ListView3, ListView4};
    for (int i = 0; i < 3; ++i) {
        const DocumentMenu& m = documentMenus[i];
        QTreeWidget* list = documentLists[i];
        connect(addCommand(m.menu, m.all, QStringLiteral("Select All")), &QAction::triggered, this,
                [list] { SetAllChecked(list, true); });
        connect(addCommand(m.menu, m.none, QStringLiteral("De-Select All")), &QAction::triggered,
                this, [list] { SetAllChecked(list, false); });
        m.menu->addSeparator();
        connect(addCommand(m.menu, m.download, QString::fromLatin1(m.downloadCaption)),
                &QAction::triggered, this, [this, i] { mnuDownloadSelected_Click(i); });
    }
    mnuPlans->addSeparator();
    connect(addCommand(mnuPlans, "mnuPlansView", QStringLiteral("View Plans")), &QAction::triggered,
            this, [this] { mnuPlansView_Click(); });

    mnuAttach = new QMenu(QStringLiteral("&Attach"), this);
    mnuAttach->setObjectName(QStringLiteral("mnuAttach"));
    connect(addCommand(mnuAttach, "mnuAttachAdd", QStringLiteral("Attach Document")),
            &QAction::triggered, this, [this] { mnuAttachAdd_Click(); });
    connect(addCommand(mnuAttach, "mnuAttachDel", QStringLiteral("Remove Selected Document")),
            &QAction::triggered, this, [this] { mnuAttachDel_Click(); });
    connect(addCommand(mnuAttach, "mnuAttachOpen", QStringLiteral("Open Document")),
            &QAction::triggered, this, [this] { mnuAttachOpen_Click(); });
    mnuAttach->addSeparator();
    connect(addCommand(mnuAttach, "mnuAttachIcon", QStringLiteral("Display Icon View")),
            &QAction::triggered, this, [this] { setAttachmentViewMode(0); });
    connect(addCommand(mnuAttach, "mnuAttachList", QStringLiteral("Display List View")),
            &QAction::triggered, this, [this] { setAttachmentViewMode(3); });
}

void frmMain::buildToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(24, 24));
    struct Button {
        int index;
        const char* text;
        const char* tip;
    };
    const Button table[] = {
        {1, "Find", "Find Projects ..."},
        {3, "All Projects", "Display all records ..."},
        {4, "Tracked", "Display tagged records only ..."},
        {5, "", "Display new records only ..."},
        {6, "Viewed", "Display opened records only ..."},
        {8, "Print", "Print full report for selected projects ..."},
        {9, "Download", "Download all selected documents ..."},
        {11, "Delete", "Delete selected projects ..."},
        {12, "Email", "E-Mail selected documents ..."},
        {13, "Update", "Check selected projects for updates ..."},
    };
    buttons_.fill(nullptr, 14);
    int next = 0;
    for (int index = 1; index <= 13; ++index) {
        if (next < int(std::size(table)) && table[next].index == index) {
            QAction* a = Toolbar1->addAction(QString::fromLatin1(table[next].text));
            a->setToolTip(QString::fromLatin1(table[next].tip));
            a->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(index));
            connect(a, &QAction::triggered, this, [this, index] { toolbarClick(index); });
            buttons_[index] = a;
            ++next;
        } else {
            QAction* s = Toolbar1->addSeparator();
            s->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(index));
            buttons_[index] = s;
        }
    }
}

void frmMain::SetToolbarImages() {
    const std::pair<int, int> images[] = {{1, 7},  {3, 31}, {4, 23},  {5, 24},  {6, 25},
                                          {8, 18}, {9, 27}, {11, 20}, {12, 21}, {13, 15}};
    for (const auto& [button, image] : images) {
        buttons_[button]->setIcon(ImageList1.icon(image));
        buttons_[button]->setProperty("imageIndex", image);
    }
}

QTreeWidget* frmMain::newListView(const char* name, bool checkBoxes) {
    auto* v = new QTreeWidget(this);
    v->setObjectName(QString::fromLatin1(name));
    v->setRootIsDecorated(false);
    v->setUniformRowHeights(true);
    v->setAllColumnsShowFocus(true);
    v->setSortingEnabled(false);
    v->header()->setStretchLastSection(false);
    v->header()->setSectionsClickable(true);
    v->setProperty("checkBoxes", checkBoxes);
    v->setContextMenuPolicy(Qt::PreventContextMenu);
    v->viewport()->installEventFilter(this);
    return v;
}

void frmMain::buildCentre() {
    ListView1 = newListView("ListView1", true);
    ListView2 = newListView("ListView2", true);
    ListView3 = newListView("ListView3", true);
    ListView4 = newListView("ListView4", true);
    ListView5 = newListView("ListView5", false);
    ListView5->setIconSize(QSize(16, 16));
    ListView5->setAcceptDrops(true); // files dropped from the desktop are attached
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_ColumnClick(column); });
    connect(ListView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ListView1_ItemClick(item); });
    connect(ListView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!filling_ && item)
            ListView1_ItemClick(item);
    });

    auto textBox = [this](const char* name) {
        auto* t = new QTextEdit(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setReadOnly(true);
        t->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        t->setContextMenuPolicy(Qt::PreventContextMenu);
        t->viewport()->installEventFilter(this);
        return t;
    };
    Summary = textBox("Summary");
    Bidders = textBox("Bidders");
    Contacts = textBox("Contacts");
    Updates = textBox("Updates");
    Awards = textBox("Awards");
    Updates->setContextMenuPolicy(Qt::DefaultContextMenu);
    Awards->setContextMenuPolicy(Qt::DefaultContextMenu);
    RichTextBox1 = textBox("RichTextBox1");
    RichTextBox1->hide();
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setContextMenuPolicy(Qt::PreventContextMenu);
    Text2->viewport()->installEventFilter(this);
    connect(Text2, &QPlainTextEdit::textChanged, this, [this] { Text2_Change(); });

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(Summary, QStringLiteral("Details"));
    SSTab1->addTab(Bidders, QStringLiteral("Bidders"));
    SSTab1->addTab(Contacts, QStringLiteral("Contacts"));
    SSTab1->addTab(Text2, QStringLiteral("Notes"));
    SSTab1->addTab(ListView5, QStringLiteral("Attachments"));
    SSTab1->addTab(Updates, QStringLiteral("Updates"));
    SSTab1->addTab(Awards, QStringLiteral("Awards / Apparent Lows"));

    auto printButtonNamed = [this](const char* name, const QString& kind) {
        auto* b = new QPushButton(QStringLiteral("&PRINT"), this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, kind] { printButton(kind); });
        return b;
    };
    Command2 = printButtonNamed("Command2", QStringLiteral("SUMMARY"));
    Command3 = printButtonNamed("Command3", QStringLiteral("BIDDERS"));
    Command4 = printButtonNamed("Command4", QStringLiteral("CONTACTS"));
    auto* printRow = new QWidget(this);
    auto* printLayout = new QHBoxLayout(printRow);
    printLayout->setContentsMargins(0, 0, 0, 0);
    printLayout->addStretch();
    printLayout->addWidget(Command2);
    printLayout->addWidget(Command3);
    printLayout->addWidget(Command4);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int i) { detailTabChanged(i); });

    SSTab2 = new QTabWidget(this);
    SSTab2->setObjectName(QStringLiteral("SSTab2"));
    auto documentPage = [this](QTreeWidget* list, QProgressBar*& bar, const char* barName) {
        auto* page = new QWidget(this);
        bar = new QProgressBar(page);
        bar->setObjectName(QString::fromLatin1(barName));
        bar->setTextVisible(false);
        bar->setMaximumHeight(10);
        auto* l = new QVBoxLayout(page);
        l->setContentsMargins(2, 2, 2, 2);
        l->setSpacing(2);
        l->addWidget(list, 1);
        l->addWidget(bar);
        return page;
    };
    SSTab2->addTab(documentPage(ListView2, ProgressBar3, "ProgressBar3"), QStringLiteral("Plans"));
    SSTab2->addTab(documentPage(ListView3, ProgressBar2, "ProgressBar2"), QStringLiteral("Specs"));
    SSTab2->addTab(documentPage(ListView4, ProgressBar4, "ProgressBar4"),
                   QStringLiteral("Addenda"));
    connect(SSTab2, &QTabWidget::currentChanged, this, [this](int i) { documentTab_ = i; });

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* f1 = new QVBoxLayout(Frame1);
    f1->setContentsMargins(4, 4, 4, 4);
    f1->addWidget(SSTab1, 1);
    // Below the tabs, so that all seven tab titles keep their room.
    f1->addWidget(printRow);
    Frame2 = new QGroupBox(QStringLiteral("Project Documents"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* f2 = new QVBoxLayout(Frame2);
    f2->setContentsMargins(4, 4, 4, 4);
    f2->addWidget(SSTab2);

    // The window's parts follow its size through splitters, so everything keeps filling it.
    auto* right = new QSplitter(Qt::Vertical, this);
    right->setObjectName(QStringLiteral("splitDetail"));
    right->addWidget(Frame1);
    right->addWidget(Frame2);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    auto* centre = new QSplitter(Qt::Horizontal, this);
    centre->setObjectName(QStringLiteral("splitMain"));
    centre->addWidget(buildSearchPane());
    centre->addWidget(right);
    centre->setStretchFactor(0, 1);
    centre->setStretchFactor(1, 1);
    centre->setSizes({520, 680});
    setCentralWidget(centre);

    Command3->hide();
    Command4->hide();
}

void frmMain::ShowPreferences() {
    PrefsHost host;
    host.programFolder = base::ProgramFolder();
    host.proxyOn = modResources::ProxyOn;
    host.dataLocation = modResources::DataLocation;
    host.connection = modResources::DbConnection.get();
    host.setProxyOn = [](bool on) { modResources::ProxyOn = on; };
    host.setLocations = [](const QString& cache, const QString& data) {
        modResources::CacheLocation = cache;
        modResources::DataLocation = data;
    };
    host.applyHttpProxy = [](const QString& server, int port) {
        modResources::HttpProxy.server = server;
        modResources::HttpProxy.port = port;
    };
    frmPrefs prefs(host, this);
    prefs.exec();
    // Another database folder: the whole load runs again on it.
    if (prefs.databaseFolderChanged())
        Form_Load();
}

void frmMain::BuildMenuBitmaps() {
    struct Bitmap {
        int menu; // File 0, Projects 1, Options 2
        int item; // position within the menu, separators counted
        const char* file;
    };
    const Bitmap table[] = {
        {0, 0, "FIND.bmp"},     {0, 3, "CD.bmp"},        {0, 4, "TRASH.bmp"},
        {0, 5, "MAIL.bmp"},     {1, 0, "MARK.bmp"},      {1, 1, "UNMARK.bmp"},
        {1, 5, "PRINT.bmp"},    {1, 6, "MAG.bmp"},       {1, 7, "trash01.bmp"},
        {1, 9, "TRACK.bmp"},    {1, 10, "DISK12.bmp"},   {1, 11, "ASSIGN.bmp"},
        {1, 12, "ASSIGN2.bmp"}, {1, 14, "CHECKMRK.bmp"}, {2, 0, "PREF.bmp"},
    };
    const QList<QAction*> top = menuBar()->actions();
    for (const Bitmap& b : table) {
        if (b.menu >= top.size() || !top[b.menu]->menu())
            continue;
        const QList<QAction*> items = top[b.menu]->menu()->actions();
        if (b.item >= items.size())
            continue;
        // A file that cannot be read leaves the entry without a picture.
        const QPixmap picture(
            base::DataFile(QStringLiteral("Graphics/Menus/") + QLatin1String(b.file)), "BMP");
        if (!picture.isNull())
            items[b.item]->setIcon(QIcon(picture));
    }
}

void frmMain::enableCommands(bool enabled) {
    SSTab1->setEnabled(enabled);
    SSTab2->setEnabled(enabled);
    ListView1->setEnabled(enabled);
    Command2->setEnabled(enabled);
    Command3->setEnabled(enabled);
    Command4->setEnabled(enabled);
    mnuFile->menuAction()->setEnabled(enabled);
    mnuList->menuAction()->setEnabled(enabled);
    mnuOptions->menuAction()->setEnabled(enabled);
    mnuAbout->setEnabled(enabled);
    for (int i : {1, 3, 4, 5, 6, 8, 9, 11, 13})
        buttons_[i]->setEnabled(enabled);
}

void frmMain::toolbarClick(int index) {
    switch (index) {
    case 1:
        mnuFile_Find_Click();
        break;
    case 3:
    case 4:
    case 5:
    case 6: {
        static const char* filters[] = {"ALL", "TRACK", "NEW", "VIEW"};
        EnableCommands(false);
        ShowFilter(QString::fromLatin1(filters[index - 3]));
        EnableCommands(true);
        break;
    }
    case 8:
        mnuListPrintSummary_Click();
        break;
    case 9:
        DownloadAllDocuments();
        break;
    case 11:
        DeleteSelectedProjects();
        break;
    case 12:
        mnuFileEmail_Click();
        break;
    case 13:
        mnuList_Update_Click();
        break;
    default:
        break;
    }
}

void frmMain::detailTabChanged(int index) {
    Command2->setVisible(index == 0);
    Command3->setVisible(index == 1);
    Command4->setVisible(index == 2);
}

void frmMain::CopySelectedText() {
    QTextEdit* source = nullptr;
    if (SSTab1->currentWidget() == Summary)
        source = Summary;
    else if (SSTab1->currentWidget() == Bidders)
        source = Bidders;
    if (!source)
        return;
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(
        source->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
}

void frmMain::SetAllChecked(QTreeWidget* listView, bool checked) {
    for (int i = 0; i < listView->topLevelItemCount(); ++i)
        listView->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void frmMain::popup(QMenu* menu) {
    menu->popup(QCursor::pos());
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop) &&
        watched->parent() == ListView5)
        return ListView5_DragDrop(event);
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        const QObject* control = watched->parent();
        if (control == ListView1)
            popup(mnuList);
        else if (control == ListView2)
            popup(mnuPlans);
        else if (control == ListView3)
            popup(mnuSpecs);
        else if (control == ListView4)
            popup(mnuAdd);
        else if (control == ListView5)
            popup(mnuAttach);
        else if (control == Text2 || control == Summary || control == Bidders ||
                 control == Contacts)
            popup(mnuCPY);
        else
            return QMainWindow::eventFilter(watched, event);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::setStatusText(const QString& text) {
    statusPanel1->setText(text);
}

void frmMain::showWaitForm() {
    if (!wait_)
        wait_ = new frmWait(this);
    wait_->show();
    wait_->raise();
}

void frmMain::closeWaitForm() {
    if (wait_)
        wait_->close();
}

int frmMain::firstColumnDecoration(const QTreeWidget* view) const {
    // The check box and the small icon sit in the first column's cell; the stored width is
    // the text's, so both are added on screen and taken off again when the width is stored.
    int extra = style()->pixelMetric(QStyle::PM_SmallIconSize) + 8;
    if (view->property("checkBoxes").toBool())
        extra += style()->pixelMetric(QStyle::PM_IndicatorWidth) + 4;
    return extra;
}

int frmMain::attachmentViewMode() const {
    return ListView5->property("viewMode").toInt();
}

void frmMain::setAttachmentViewMode(int mode) {
    // 0 shows big pictures without the columns' headers, 3 the report with its three columns.
    ListView5->setProperty("viewMode", mode);
    ListView5->setHeaderHidden(mode == 0);
    ListView5->setIconSize(mode == 0 ? QSize(32, 32) : QSize(16, 16));
}

} // namespace brevant::shell
