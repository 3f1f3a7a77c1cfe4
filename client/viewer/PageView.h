#pragma once
// One page of a PDF document in a scrolling view, at a zoom and a rotation in quarter turns.
// Page coordinates are PDF points (1/72 inch) with the origin at the page's top-left corner,
// y downwards, as Qt PDF reports them, whatever the rotation on screen. The view maps them to
// viewport pixels and back, lets an overlay draw over the painted page in page coordinates and
// hands mouse events to a handler in page coordinates, so marks drawn over a sheet follow zoom,
// rotation and scrolling.
#include <QAbstractScrollArea>
#include <QEvent>
#include <QImage>
#include <QPointF>
#include <QTransform>
#include <functional>
#include <optional>

class QPdfDocument;

namespace brevant::viewer {

// A mouse event of the view, in page coordinates.
struct PageMouseEvent {
    QEvent::Type type = QEvent::None; // MouseButtonPress, MouseMove, MouseButtonRelease,
                                      // MouseButtonDblClick
    QPointF pagePoint;                // points; may lie outside the page
    QPointF viewportPoint;            // pixels
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
};

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Fit { None, Width, Page };

    static constexpr qreal MinZoom = 0.05;
    static constexpr qreal MaxZoom = 16.0;
    static constexpr qreal ZoomStep = 1.25;
    // Pixels between the page and the viewport's edge.
    static constexpr int Margin = 8;

    explicit PageView(QWidget* parent = nullptr);

    void setDocument(QPdfDocument* document);
    QPdfDocument* document() const { return document_; }

    // The page shown, 0-based; -1 without a document. setPage clamps and scrolls to the page's
    // top-left corner.
    int page() const { return page_; }
    void setPage(int page);

    // 1.0 shows the page at its printed size on a screen of the window's logical resolution.
    qreal zoom() const { return zoom_; }
    // Sets the zoom (bounded) keeping the page point under anchor (viewport pixels, the centre
    // when not given) where it is, as far as scrolling allows. Ends any fit.
    void setZoom(qreal zoom, std::optional<QPointF> anchor = std::nullopt);
    void zoomIn(std::optional<QPointF> anchor = std::nullopt);
    void zoomOut(std::optional<QPointF> anchor = std::nullopt);
    // Fit width or whole page: kept when the window is resized, until the zoom is set.
    Fit fit() const { return fit_; }
    void setFit(Fit fit);

    // Clockwise, in degrees: 0, 90, 180 or 270.
    int rotation() const { return rotation_; }
    // Turns by quarter turns (negative: anticlockwise), keeping the viewport's centre.
    void rotate(int quarterTurns);

    // The page's size in points (empty without a page).
    QSizeF pageSize() const;
    // Pixels per point at the current zoom.
    qreal scale() const;
    // Page points to viewport pixels at the current zoom, rotation and scroll, and back.
    QTransform pageToViewport() const;
    QPointF toViewport(const QPointF& pagePoint) const;
    QPointF toPage(const QPointF& viewportPoint) const;
    // Where the page lies in the viewport.
    QRectF pageRectInViewport() const;

    // Drawn after the page, with the painter's transform set to pageToViewport(): the overlay
    // draws in points.
    using Overlay = std::function<void(QPainter& painter, const PageView& view)>;
    void setOverlay(Overlay overlay);
    // While painting, the part of the viewport being redrawn (pixels); scrolling moves what is
    // already on screen and redraws only the strip it uncovers. The whole viewport otherwise.
    QRect exposedRect() const;
    // Receives the mouse events over the view; true when it used one (the view then does
    // nothing more with it). The middle button always pans.
    using MouseHandler = std::function<bool(const PageMouseEvent& event)>;
    void setMouseHandler(MouseHandler handler) { mouseHandler_ = std::move(handler); }

Q_SIGNALS:
    void pageChanged(int page);
    void zoomChanged(qreal zoom);
    void rotationChanged(int rotation);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSizeF turnedPageSize() const; // points, after rotation
    QSizeF contentSize() const;    // pixels, margins included
    QPointF contentOrigin() const; // where the page's turned top-left corner lies
    QTransform turn() const;       // page points to turned points
    void applyFit();
    void updateScrollBars();
    // Scrolls so that the page point lies under the viewport pixel.
    void keepPointAt(const QPointF& pagePoint, const QPointF& viewportPoint);
    bool handleMouse(QMouseEvent* event);
    const QImage& pageImage();
    // The page's picture turned as the page is shown, when it has the page's size on screen
    // (then it is copied to the screen pixel for pixel); null when it is stretched.
    const QImage& turnedPageImage();

    QPdfDocument* document_ = nullptr;
    int page_ = -1;
    qreal zoom_ = 1.0;
    Fit fit_ = Fit::Page;
    int rotation_ = 0;
    Overlay overlay_;
    MouseHandler mouseHandler_;
    std::optional<QPoint> panFrom_;
    QImage image_;
    int imagePage_ = -1;
    QSize imageSize_;
    QImage turnedImage_;
    qint64 turnedFrom_ = 0; // cacheKey() of the picture turnedImage_ was made from
    int turnedRotation_ = -1;
    std::optional<QRect> exposed_;
};

} // namespace brevant::viewer
