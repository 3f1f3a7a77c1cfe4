#include "frmViewer.h"

#include "reports/frmPrinter.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

namespace brevant::viewer {

namespace {

constexpr qreal ZoomStep = 1.25;
constexpr qreal MinZoom = 0.1;
constexpr qreal MaxZoom = 8.0;

} // namespace

frmViewer::frmViewer(QWidget* parent)
    : QMainWindow(parent), document_(new QPdfDocument(this)), view_(new QPdfView(this)),
      pageLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmViewer"));
    setWindowTitle(tr("Brevant Document Viewer"));
    view_->setObjectName(QStringLiteral("PdfView"));
    view_->setDocument(document_);
    view_->setPageMode(QPdfView::PageMode::SinglePage);
    view_->setZoomMode(QPdfView::ZoomMode::FitInView);
    setCentralWidget(view_);

    QToolBar* bar = addToolBar(QStringLiteral("Toolbar1"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    auto command = [&](const char* name, const QString& caption, QKeySequence key, auto slot) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    previous_ = command("cmdPrevious", tr("Previous"), QKeySequence(Qt::Key_PageUp),
                        [this] { previousPage(); });
    next_ = command("cmdNext", tr("Next"), QKeySequence(Qt::Key_PageDown), [this] { nextPage(); });
    bar->addSeparator();
    command("cmdZoomIn", tr("Zoom In"), QKeySequence::ZoomIn, [this] { zoomIn(); });
    command("cmdZoomOut", tr("Zoom Out"), QKeySequence::ZoomOut, [this] { zoomOut(); });
    command("cmdFitWidth", tr("Fit Width"), QKeySequence(), [this] { fitWidth(); });
    command("cmdFitPage", tr("Whole Page"), QKeySequence(), [this] {
        view_->setZoomMode(QPdfView::ZoomMode::FitInView);
        updateState();
    });
    bar->addSeparator();
    command("cmdPrint", tr("Print"), QKeySequence::Print, [this] { printDocument(); });
    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    statusBar()->addWidget(pageLabel_);
    connect(view_->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this,
            [this] { updateState(); });
    resize(1000, 720);
    updateState();
}

frmViewer::~frmViewer() = default;

bool frmViewer::openDocument(const QString& path) {
    const QPdfDocument::Error e = document_->load(path);
    if (e != QPdfDocument::Error::None) {
        error_ = e == QPdfDocument::Error::FileNotFound
                     ? tr("The document %1 does not exist ...").arg(path)
                     : tr("The document %1 cannot be read ...").arg(path);
        updateState();
        return false;
    }
    error_.clear();
    path_ = path;
    setWindowTitle(tr("%1 - Brevant Document Viewer").arg(QFileInfo(path).fileName()));
    showPage(0);
    return true;
}

int frmViewer::pageCount() const {
    return document_->pageCount();
}

int frmViewer::currentPage() const {
    return view_->pageNavigator()->currentPage();
}

void frmViewer::showPage(int page) {
    if (pageCount() <= 0)
        return;
    page = std::clamp(page, 0, pageCount() - 1);
    view_->pageNavigator()->jump(page, QPointF(), view_->pageNavigator()->currentZoom());
    updateState();
}

void frmViewer::nextPage() {
    showPage(currentPage() + 1);
}

void frmViewer::previousPage() {
    showPage(currentPage() - 1);
}

qreal frmViewer::zoomFactor() const {
    return view_->zoomFactor();
}

void frmViewer::zoomIn() {
    view_->setZoomMode(QPdfView::ZoomMode::Custom);
    view_->setZoomFactor(std::min(MaxZoom, view_->zoomFactor() * ZoomStep));
    updateState();
}

void frmViewer::zoomOut() {
    view_->setZoomMode(QPdfView::ZoomMode::Custom);
    view_->setZoomFactor(std::max(MinZoom, view_->zoomFactor() / ZoomStep));
    updateState();
}

void frmViewer::fitWidth() {
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    updateState();
}

void frmViewer::updateState() {
    const int pages = pageCount();
    previous_->setEnabled(pages > 0 && currentPage() > 0);
    next_->setEnabled(pages > 0 && currentPage() < pages - 1);
    pageLabel_->setText(pages > 0 ? tr("Page %1 of %2").arg(currentPage() + 1).arg(pages) : error_);
}

void frmViewer::printDocument() {
    if (pageCount() <= 0)
        return;
    // The same "Select Printer" window as the reports: the CUPS queues and a PDF file.
    reports::frmPrinter dialog(
        [this](const reports::PrintTarget& target) { return printTo(target); },
        QFileInfo(path_).completeBaseName() + QStringLiteral(".pdf"), this);
    dialog.exec();
}

QString frmViewer::printTo(const reports::PrintTarget& target) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(path_).fileName());
    QString temporary;
    if (!target.pdfPath.isEmpty()) {
        // Written beside the chosen file and renamed over it once complete.
        temporary = target.pdfPath + QStringLiteral(".brevant-print");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temporary);
    } else {
        printer.setPrinterName(target.printer);
        if (!printer.isValid())
            return tr("the printer %1 is not available").arg(target.printer);
    }
    if (!printPages(printer, 0, pageCount() - 1)) {
        if (!temporary.isEmpty())
            QFile::remove(temporary);
        return tr("the pages could not be printed");
    }
    if (!temporary.isEmpty()) {
        QFile::remove(target.pdfPath);
        if (!QFile::rename(temporary, target.pdfPath)) {
            QFile::remove(temporary);
            return tr("%1 cannot be written").arg(target.pdfPath);
        }
    }
    return {};
}

bool frmViewer::printPages(QPrinter& printer, int first, int last) {
    first = std::max(0, first);
    last = std::min(pageCount() - 1, last);
    if (first > last)
        return false;
    QPainter painter;
    bool landscapeSet = false;
    for (int page = first; page <= last; ++page) {
        const QSizeF points = document_->pagePointSize(page);
        // A plan sheet prints across the paper, a text page along it.
        const auto orientation =
            points.width() > points.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
        if (page == first) {
            printer.setPageOrientation(orientation);
            landscapeSet = true;
            if (!painter.begin(&printer))
                return false;
        } else {
            printer.setPageOrientation(orientation);
            if (!printer.newPage())
                return false;
        }
        const QRect area = painter.viewport();
        const QSizeF fitted = points.scaled(QSizeF(area.size()), Qt::KeepAspectRatio);
        // Rendered at the printer's resolution, bounded so a large sheet stays printable.
        const QSize pixels = fitted.toSize().boundedTo(QSize(6000, 6000)).expandedTo(QSize(1, 1));
        const QImage image = document_->render(page, pixels);
        if (image.isNull())
            return false;
        const QRectF target(area.x() + (area.width() - fitted.width()) / 2,
                            area.y() + (area.height() - fitted.height()) / 2, fitted.width(),
                            fitted.height());
        painter.drawImage(target, image);
    }
    Q_UNUSED(landscapeSet);
    return painter.end();
}

} // namespace brevant::viewer
