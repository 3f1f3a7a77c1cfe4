// The main window's centre: the project list with its search box on the left, the selected
// project's report panes and tabs and its document lists on the right, held by splitters.
#include "shell/frmMain.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevant::shell {

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
    SSTab1->addTab(Summary, tr("Details"));
    SSTab1->addTab(Bidders, tr("Bidders"));
    SSTab1->addTab(Contacts, tr("Contacts"));
    SSTab1->addTab(Text2, tr("Notes"));
    SSTab1->addTab(ListView5, tr("Attachments"));
    SSTab1->addTab(Updates, tr("Updates"));
    SSTab1->addTab(Awards, tr("Awards / Apparent Lows"));

    auto printButtonNamed = [this](const char* name, const QString& kind) {
        // Alt+R: Alt+P belongs to the Projects menu.
        auto* b = new QPushButton(tr("P&RINT"), this);
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
    SSTab2->addTab(documentPage(ListView2, ProgressBar3, "ProgressBar3"), tr("Plans"));
    SSTab2->addTab(documentPage(ListView3, ProgressBar2, "ProgressBar2"), tr("Specs"));
    SSTab2->addTab(documentPage(ListView4, ProgressBar4, "ProgressBar4"), tr("Addenda"));
    connect(SSTab2, &QTabWidget::currentChanged, this, [this](int i) { documentTab_ = i; });

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* f1 = new QVBoxLayout(Frame1);
    f1->setContentsMargins(4, 4, 4, 4);
    f1->addWidget(SSTab1, 1);
    // Below the tabs, so that all seven tab titles keep their room.
    f1->addWidget(printRow);
    Frame2 = new QGroupBox(tr("Project Documents"), this);
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

void frmMain::detailTabChanged(int index) {
    Command2->setVisible(index == 0);
    Command3->setVisible(index == 1);
    Command4->setVisible(index == 2);
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
