#include "frmViewer.h"

#include "TakeoffTools.h"
#include "ViewerMemory.h"
#include "ViewerStore.h"
#include "reports/Printing.h"
#include "reports/frmPrinter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIntValidator>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfDocument>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

namespace brevant::viewer {

namespace {

// Thumbnails are drawn for the first pages only: a set of thousands of pages would otherwise
// keep the window from opening for a long time.
constexpr int MaxThumbnails = 400;
constexpr int ThumbnailWidth = 120;

} // namespace

frmViewer::frmViewer(QWidget* parent)
    : QMainWindow(parent), document_(new QPdfDocument(this)), view_(new PageView(this)),
      sidePanel_(new QTabWidget(this)), sheetList_(new QListWidget(this)),
      thumbnails_(new QListWidget(this)), pageBox_(new QLineEdit(this)),
      pageCountLabel_(new QLabel(this)), zoomLabel_(new QLabel(this)), pageLabel_(new QLabel(this)),
      quit_([] { QApplication::closeAllWindows(); }) {
    setObjectName(QStringLiteral("frmViewer"));
    setWindowTitle(tr("Brevant Document Viewer"));
    view_->setDocument(document_);

    sheetList_->setObjectName(QStringLiteral("lstSheets"));
    thumbnails_->setObjectName(QStringLiteral("lstThumbnails"));
    thumbnails_->setViewMode(QListView::IconMode);
    thumbnails_->setFlow(QListView::TopToBottom);
    thumbnails_->setWrapping(false);
    thumbnails_->setMovement(QListView::Static);
    thumbnails_->setIconSize(QSize(ThumbnailWidth, ThumbnailWidth));
    sidePanel_->setObjectName(QStringLiteral("tabSide"));
    sidePanel_->addTab(sheetList_, tr("Sheets"));
    sidePanel_->addTab(thumbnails_, tr("Pages"));
    auto* split = new QSplitter(this);
    split->setObjectName(QStringLiteral("splitViewer"));
    split->addWidget(sidePanel_);
    split->addWidget(view_);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 800});
    setCentralWidget(split);
    // A click on a sheet or a page shows it.
    connect(sheetList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toInt() - 1); });
    connect(sheetList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toInt() - 1); });
    connect(thumbnails_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(thumbnails_->row(item)); });

    QToolBar* bar = addToolBar(QStringLiteral("Toolbar1"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    auto command = [&](const char* name, const QString& caption, QList<QKeySequence> keys,
                       auto slot) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, slot);
        bar->addAction(a);
        return a;
    };
    previous_ = command("cmdPrevious", tr("Previous"), {QKeySequence(Qt::Key_PageUp)},
                        [this] { previousPage(); });
    pageBox_->setObjectName(QStringLiteral("txtPage"));
    pageBox_->setValidator(new QIntValidator(1, 999999, pageBox_));
    pageBox_->setMaximumWidth(60);
    pageBox_->setAlignment(Qt::AlignRight);
    pageCountLabel_->setObjectName(QStringLiteral("lblPageCount"));
    bar->addWidget(new QLabel(tr("Page") + QLatin1Char(' '), this));
    bar->addWidget(pageBox_);
    bar->addWidget(pageCountLabel_);
    connect(pageBox_, &QLineEdit::returnPressed, this, [this] { goToTypedPage(); });
    next_ =
        command("cmdNext", tr("Next"), {QKeySequence(Qt::Key_PageDown)}, [this] { nextPage(); });
    bar->addSeparator();
    // "+" and "-" zoom about the pointer when it is over the page; typed into the page box they
    // stay text (a line edit takes the keys it can type before any shortcut).
    command("cmdZoomIn", tr("Zoom In"),
            {QKeySequence::ZoomIn, QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)},
            [this] { zoomIn(); });
    command("cmdZoomOut", tr("Zoom Out"), {QKeySequence::ZoomOut, QKeySequence(Qt::Key_Minus)},
            [this] { zoomOut(); });
    zoomLabel_->setObjectName(QStringLiteral("lblZoom"));
    zoomLabel_->setMinimumWidth(48);
    zoomLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(zoomLabel_);
    command("cmdFitWidth", tr("Fit Width"), {QKeySequence(Qt::CTRL | Qt::Key_2)},
            [this] { fitWidth(); });
    command("cmdFitPage", tr("Whole Page"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
            [this] { fitPage(); });
    command("cmdRotateLeft", tr("Rotate Left"), {QKeySequence(Qt::CTRL | Qt::Key_L)},
            [this] { rotate(-1); });
    command("cmdRotateRight", tr("Rotate Right"), {QKeySequence(Qt::CTRL | Qt::Key_R)},
            [this] { rotate(1); });
    bar->addSeparator();
    command("cmdPrint", tr("Print"), {QKeySequence::Print}, [this] { printDocument(); });
    // Closing and quitting need no button; they are keys of the window.
    auto* close = new QAction(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    auto* quit = new QAction(tr("Quit"), this);
    quit->setObjectName(QStringLiteral("cmdQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, [this] { quit_(); });
    addAction(quit);

    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    statusBar()->addWidget(pageLabel_);
    connect(view_, &PageView::pageChanged, this, [this] { updateState(); });
    connect(view_, &PageView::zoomChanged, this, [this] { updateState(); });
    resize(1000, 720);
    RestoreViewerGeometry(*this);
    updateState();
}

frmViewer::~frmViewer() {
    // The takeoff takes its toolbar's row out of the window: while the window is still whole.
    delete takeoff_;
}

bool frmViewer::openDocument(const QString& path, int jobId) {
    const QPdfDocument::Error e = document_->load(path);
    if (e != QPdfDocument::Error::None) {
        error_ = e == QPdfDocument::Error::FileNotFound
                     ? tr("The document %1 does not exist ...").arg(path)
                     : tr("The document %1 cannot be read ...").arg(path);
        viewed_ = ViewedDocument();
        view_->setPage(-1);
        setSheets({});
        fillThumbnails();
        startTakeoff();
        updateState();
        return false;
    }
    error_.clear();
    viewed_ = IdentifyDocument(path, jobId);
    setWindowTitle(tr("%1 - Brevant Document Viewer").arg(QFileInfo(path).fileName()));
    setSheets(viewed_.isPlanSet() && viewed_.jobId > 0 ? StoredPlanSheets(viewed_.jobId)
                                                       : std::vector<documents::PlanSheetEntry>());
    fillThumbnails();
    view_->setFit(PageView::Fit::Page);
    showPage(0);
    startTakeoff();
    return true;
}

ViewedDocument frmViewer::viewedDocument() const {
    ViewedDocument d = viewed_;
    d.page = d.path.isEmpty() ? -1 : currentPage();
    return d;
}

void frmViewer::setSheets(const std::vector<documents::PlanSheetEntry>& sheets) {
    sheetList_->clear();
    for (const documents::PlanSheetEntry& s : sheets) {
        auto* item = new QListWidgetItem(
            s.description.isEmpty() ? s.file : s.file + QStringLiteral("  ") + s.description,
            sheetList_);
        item->setData(Qt::UserRole, s.page);
        item->setToolTip(tr("Page %1").arg(s.page));
    }
    // Documents without sheets (sections, addenda) show their pages.
    sidePanel_->setCurrentWidget(sheets.empty() ? thumbnails_ : sheetList_);
}

void frmViewer::fillThumbnails() {
    thumbnails_->clear();
    const int pages = std::min(pageCount(), MaxThumbnails);
    for (int page = 0; page < pages; ++page) {
        const QSizeF points = document_->pagePointSize(page);
        const QSize size =
            points.scaled(QSizeF(ThumbnailWidth, ThumbnailWidth), Qt::KeepAspectRatio)
                .toSize()
                .expandedTo(QSize(1, 1));
        const QImage image = document_->render(page, size);
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(image)),
                                         QString::number(page + 1), thumbnails_);
        item->setData(Qt::UserRole, page + 1);
    }
}

int frmViewer::pageCount() const {
    return document_->pageCount();
}

int frmViewer::currentPage() const {
    return std::max(0, view_->page());
}

void frmViewer::showPage(int page) {
    if (pageCount() <= 0)
        return;
    view_->setPage(std::clamp(page, 0, pageCount() - 1));
}

void frmViewer::nextPage() {
    showPage(currentPage() + 1);
}

void frmViewer::previousPage() {
    showPage(currentPage() - 1);
}

void frmViewer::goToTypedPage() {
    bool ok = false;
    const int page = pageBox_->text().trimmed().toInt(&ok);
    if (ok && page >= 1 && page <= pageCount())
        showPage(page - 1);
    updateState(); // a number beyond the document gives the page shown back
}

qreal frmViewer::zoomFactor() const {
    return view_->zoom();
}

std::optional<QPointF> frmViewer::pointerAnchor() const {
    const QPoint at = view_->viewport()->mapFromGlobal(QCursor::pos());
    if (view_->viewport()->rect().contains(at))
        return QPointF(at);
    return std::nullopt;
}

void frmViewer::zoomIn() {
    view_->zoomIn(pointerAnchor());
}

void frmViewer::zoomOut() {
    view_->zoomOut(pointerAnchor());
}

void frmViewer::fitWidth() {
    view_->setFit(PageView::Fit::Width);
    updateState();
}

void frmViewer::fitPage() {
    view_->setFit(PageView::Fit::Page);
    updateState();
}

void frmViewer::rotate(int quarterTurns) {
    view_->rotate(quarterTurns);
    updateState();
}

void frmViewer::updateState() {
    const int pages = pageCount();
    const bool shown = pages > 0 && view_->page() >= 0;
    previous_->setEnabled(shown && currentPage() > 0);
    next_->setEnabled(shown && currentPage() < pages - 1);
    pageBox_->setEnabled(shown);
    pageBox_->setText(shown ? QString::number(currentPage() + 1) : QString());
    pageCountLabel_->setText(shown ? tr("of %1").arg(pages) : QString());
    zoomLabel_->setText(shown ? tr("%1%").arg(qRound(view_->zoom() * 100)) : QString());
    pageLabel_->setText(shown ? tr("Page %1 of %2").arg(currentPage() + 1).arg(pages) : error_);
    if (shown) {
        // The sheet (or page) shown is the one marked beside it.
        for (int i = 0; i < sheetList_->count(); ++i) {
            QListWidgetItem* item = sheetList_->item(i);
            if (item->data(Qt::UserRole).toInt() == currentPage() + 1)
                sheetList_->setCurrentItem(item);
        }
        if (currentPage() < thumbnails_->count())
            thumbnails_->setCurrentRow(currentPage());
    }
    Q_EMIT viewedDocumentChanged(viewedDocument());
}

void frmViewer::closeEvent(QCloseEvent* event) {
    SaveViewerGeometry(*this);
    QMainWindow::closeEvent(event);
}

void frmViewer::printDocument() {
    if (pageCount() <= 0)
        return;
    // The same "Select Printer" window as the reports: the CUPS queues and a PDF file. A sheet
    // drawn to scale prints to scale at its actual size.
    reports::frmPrinter dialog(
        [this](const reports::PrintTarget& target) { return printTo(target); },
        QFileInfo(viewed_.path).completeBaseName() + QStringLiteral(".pdf"), this);
    dialog.offerPageScaling(reports::PageScaling::ActualSize);
    dialog.exec();
}

QString frmViewer::printTo(const reports::PrintTarget& target) {
    if (pageCount() <= 0)
        return tr("no document is open");
    return reports::PrintPdfDocument(viewed_.path, target, QFileInfo(viewed_.path).fileName());
}

} // namespace brevant::viewer
