#include "PageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfDocument>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace brevant::viewer {

namespace {

// The rendered page is bounded (about 64 MB of pixels); beyond it the image is stretched, so a
// sheet at a high zoom stays viewable on a small machine.
constexpr qreal MaxImagePixels = 16.0 * 1024 * 1024;

} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("PageView"));
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void PageView::setDocument(QPdfDocument* document) {
    document_ = document;
    setPage(0);
}

void PageView::setPage(int page) {
    const int count = document_ ? document_->pageCount() : 0;
    page_ = count > 0 ? std::clamp(page, 0, count - 1) : -1;
    imagePage_ = -1;
    if (fit_ != Fit::None)
        applyFit();
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
    Q_EMIT pageChanged(page_);
}

QSizeF PageView::pageSize() const {
    return document_ && page_ >= 0 ? document_->pagePointSize(page_) : QSizeF();
}

qreal PageView::scale() const {
    return zoom_ * logicalDpiX() / 72.0;
}

QSizeF PageView::turnedPageSize() const {
    const QSizeF size = pageSize();
    return rotation_ % 180 == 0 ? size : size.transposed();
}

QSizeF PageView::contentSize() const {
    return turnedPageSize() * scale() + QSizeF(2 * Margin, 2 * Margin);
}

QPointF PageView::contentOrigin() const {
    const QSizeF content = contentSize();
    const QSize port = viewport()->size();
    // A page smaller than the viewport is centred; a larger one scrolls.
    const qreal x = content.width() <= port.width() ? (port.width() - content.width()) / 2 + Margin
                                                    : Margin - horizontalScrollBar()->value();
    const qreal y = content.height() <= port.height()
                        ? (port.height() - content.height()) / 2 + Margin
                        : Margin - verticalScrollBar()->value();
    return {x, y};
}

QTransform PageView::turn() const {
    const QSizeF size = pageSize();
    QTransform t;
    switch (rotation_) {
    case 90:
        t.translate(size.height(), 0).rotate(90);
        break;
    case 180:
        t.translate(size.width(), size.height()).rotate(180);
        break;
    case 270:
        t.translate(0, size.width()).rotate(270);
        break;
    default:
        break;
    }
    return t;
}

QTransform PageView::pageToViewport() const {
    const QPointF origin = contentOrigin();
    return turn() * QTransform::fromScale(scale(), scale()) *
           QTransform::fromTranslate(origin.x(), origin.y());
}

QPointF PageView::toViewport(const QPointF& pagePoint) const {
    return pageToViewport().map(pagePoint);
}

QPointF PageView::toPage(const QPointF& viewportPoint) const {
    return pageToViewport().inverted().map(viewportPoint);
}

QRectF PageView::pageRectInViewport() const {
    return pageToViewport().mapRect(QRectF(QPointF(), pageSize()));
}

void PageView::setOverlay(Overlay overlay) {
    overlay_ = std::move(overlay);
    viewport()->update();
}

void PageView::updateScrollBars() {
    const QSizeF content = contentSize();
    const QSize port = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(content.width())) - port.width()));
    horizontalScrollBar()->setPageStep(port.width());
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(content.height())) - port.height()));
    verticalScrollBar()->setPageStep(port.height());
}

void PageView::keepPointAt(const QPointF& pagePoint, const QPointF& viewportPoint) {
    const QPointF turned = (turn() * QTransform::fromScale(scale(), scale())).map(pagePoint);
    horizontalScrollBar()->setValue(qRound(Margin + turned.x() - viewportPoint.x()));
    verticalScrollBar()->setValue(qRound(Margin + turned.y() - viewportPoint.y()));
}

void PageView::setZoom(qreal zoom, std::optional<QPointF> anchor) {
    const QPointF at = anchor.value_or(QRectF(viewport()->rect()).center());
    const QPointF pagePoint = toPage(at);
    zoom_ = std::clamp(zoom, MinZoom, MaxZoom);
    fit_ = Fit::None;
    updateScrollBars();
    keepPointAt(pagePoint, at);
    viewport()->update();
    Q_EMIT zoomChanged(zoom_);
}

void PageView::zoomIn(std::optional<QPointF> anchor) {
    setZoom(zoom_ * ZoomStep, anchor);
}

void PageView::zoomOut(std::optional<QPointF> anchor) {
    setZoom(zoom_ / ZoomStep, anchor);
}

void PageView::setFit(Fit fit) {
    fit_ = fit;
    applyFit();
    updateScrollBars();
    viewport()->update();
}

void PageView::applyFit() {
    const QSizeF turned = turnedPageSize();
    if (fit_ == Fit::None || turned.isEmpty())
        return;
    // The viewport's size without scroll bars: a fitted page needs none, except the vertical
    // one of a page fitted to its width.
    const QSize room = maximumViewportSize();
    const qreal perPoint = logicalDpiX() / 72.0;
    qreal pixels = (room.width() - 2 * Margin) / turned.width();
    if (fit_ == Fit::Page)
        pixels = std::min(pixels, (room.height() - 2 * Margin) / turned.height());
    else if (turned.height() * pixels + 2 * Margin > room.height())
        pixels =
            (room.width() - verticalScrollBar()->sizeHint().width() - 2 * Margin) / turned.width();
    const qreal zoom = std::clamp(pixels / perPoint, MinZoom, MaxZoom);
    if (!qFuzzyCompare(zoom, zoom_)) {
        zoom_ = zoom;
        Q_EMIT zoomChanged(zoom_);
    }
}

void PageView::rotate(int quarterTurns) {
    const QPointF centre = QRectF(viewport()->rect()).center();
    const QPointF pagePoint = toPage(centre);
    rotation_ = ((rotation_ + 90 * quarterTurns) % 360 + 360) % 360;
    applyFit();
    updateScrollBars();
    keepPointAt(pagePoint, centre);
    viewport()->update();
    Q_EMIT rotationChanged(rotation_);
}

const QImage& PageView::pageImage() {
    QSizeF pixels = pageSize() * scale();
    if (pixels.width() * pixels.height() > MaxImagePixels)
        pixels *= std::sqrt(MaxImagePixels / (pixels.width() * pixels.height()));
    const QSize size = pixels.toSize().expandedTo(QSize(1, 1));
    if (imagePage_ != page_ || imageSize_ != size) {
        image_ = document_->render(page_, size);
        imagePage_ = page_;
        imageSize_ = size;
    }
    return image_;
}

const QImage& PageView::turnedPageImage() {
    const QImage& image = pageImage();
    const QSizeF shown = turnedPageSize() * scale();
    const QSize size = rotation_ % 180 == 0 ? image.size() : image.size().transposed();
    if (image.isNull() || std::abs(size.width() - shown.width()) > 1 ||
        std::abs(size.height() - shown.height()) > 1) {
        turnedImage_ = QImage();
        turnedFrom_ = 0;
        return turnedImage_;
    }
    if (rotation_ == 0)
        return image;
    if (turnedFrom_ != image.cacheKey() || turnedRotation_ != rotation_) {
        turnedImage_ = image.transformed(QTransform().rotate(rotation_));
        turnedFrom_ = image.cacheKey();
        turnedRotation_ = rotation_;
    }
    return turnedImage_;
}

QRect PageView::exposedRect() const {
    return exposed_.value_or(viewport()->rect());
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (page_ < 0 || !document_)
        return;
    exposed_ = event->rect();
    const QRectF page(QPointF(), pageSize());
    painter.setTransform(pageToViewport());
    painter.fillRect(page, Qt::white);
    // The picture has the page's size on screen: copied as it is, on whole pixels, it costs
    // a blit; stretched through the transform it costs a filtered resampling every redraw.
    if (const QImage& turned = turnedPageImage(); !turned.isNull()) {
        const QRectF where = pageRectInViewport();
        painter.save();
        painter.resetTransform();
        painter.drawImage(QPoint(qRound(where.left()), qRound(where.top())), turned);
        painter.restore();
    } else if (const QImage& image = pageImage(); !image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(page, image);
    }
    if (overlay_) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        overlay_(painter, *this);
        painter.restore();
    }
    exposed_.reset();
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    applyFit();
    updateScrollBars();
}

void PageView::scrollContentsBy(int dx, int dy) {
    // What stays on screen moves; only the uncovered strip is painted.
    viewport()->scroll(dx, dy);
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta > 0)
            zoomIn(event->position());
        else if (delta < 0)
            zoomOut(event->position());
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::keyPressEvent(QKeyEvent* event) {
    const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos());
    const std::optional<QPointF> anchor =
        viewport()->rect().contains(pointer) ? std::optional<QPointF>(pointer) : std::nullopt;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn(anchor);
        return;
    case Qt::Key_Minus:
        zoomOut(anchor);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

bool PageView::handleMouse(QMouseEvent* event) {
    if (mouseHandler_ && event->button() != Qt::MiddleButton && !panFrom_) {
        PageMouseEvent e;
        e.type = event->type();
        e.viewportPoint = event->position();
        e.pagePoint = toPage(event->position());
        e.button = event->button();
        e.buttons = event->buttons();
        e.modifiers = event->modifiers();
        if (mouseHandler_(e)) {
            event->accept();
            return true;
        }
    }
    return false;
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (handleMouse(event))
        return;
    // The middle button, or the left one when no handler took it, drags the page.
    if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton) {
        panFrom_ = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    if (panFrom_) {
        const QPoint now = event->position().toPoint();
        const QPoint moved = now - *panFrom_;
        panFrom_ = now;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - moved.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - moved.y());
        event->accept();
        return;
    }
    handleMouse(event);
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    if (panFrom_) {
        panFrom_.reset();
        viewport()->unsetCursor();
        event->accept();
        return;
    }
    handleMouse(event);
}

void PageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!handleMouse(event))
        QAbstractScrollArea::mouseDoubleClickEvent(event);
}

} // namespace brevant::viewer
