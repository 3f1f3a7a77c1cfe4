#pragma once
// Draws takeoff marks over a page: paths as lines, polygons filled, counts as markers, the
// selected mark highlighted, and the measurement in progress. The painter's transform maps page
// points to device pixels (the page view's overlay sets it so); line widths and marker sizes
// stay the same in pixels at every zoom. Marks outside the visible part are skipped, so a
// redraw while panning over a large sheet costs what is on screen. Picking a mark under the
// pointer is the model's (TakeoffModel::markAt).
#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <optional>

class QPainter;

namespace brevant::viewer {

enum class ShapeKind { Path, Polygon, Markers };

struct MarkShape {
    int id = 0;
    ShapeKind kind = ShapeKind::Path;
    QList<QPointF> points; // page points
    QColor colour = Qt::red;
    bool selected = false;
    bool stale = false; // measured on an earlier version of the sheet: drawn dashed

    // The points' bounding rectangle, for culling.
    QRectF bounds() const;
};

// Pixels on screen, whatever the zoom.
inline constexpr qreal MarkLineWidth = 2.0;
inline constexpr qreal MarkerRadius = 6.0;
inline constexpr qreal HighlightWidth = 8.0;

// A list of shapes with their bounds computed once, so that a redraw does not walk every
// point of every mark to find what is visible.
class MarkLayer {
public:
    void setShapes(QList<MarkShape> shapes);
    const QList<MarkShape>& shapes() const { return shapes_; }
    void setSelected(std::optional<int> id);
    std::optional<int> selected() const { return selected_; }
    // Changes whenever what paint() draws changes (new shapes, another selection), so that a
    // picture of the layer kept for redraws knows it is out of date.
    quint64 revision() const { return revision_; }
    // The page area (points) whose drawing changed since `revision`: a null rectangle when
    // nothing did, nullopt when it is not known (too long ago, or everything). Marks reach
    // beyond it by their pixel widths (MarkReach).
    std::optional<QRectF> changedSince(quint64 revision) const;

    // Paints the marks that reach into visible (page points); pixelsPerPoint is the zoom.
    // Returns how many were drawn.
    int paint(QPainter& painter, const QRectF& visible, qreal pixelsPerPoint) const;

private:
    struct Change {
        quint64 revision;
        QRectF area; // page points, null: nothing
    };
    void changed(const QRectF& area);

    QList<MarkShape> shapes_;
    QList<QRectF> bounds_;
    std::optional<int> selected_;
    quint64 revision_ = 0;
    QList<Change> changes_; // the latest revisions' areas, oldest first
};

// How far a mark's drawing reaches beyond its points, in pixels: the selection's highlight and
// a count's marker, plus a pixel of antialiasing.
inline constexpr qreal MarkReach = HighlightWidth + MarkerRadius * 2 + 2;

// The measurement in progress (placed points plus the pointer) in the item's colour; a
// polygon is drawn closed.
void paintPreview(QPainter& painter, const QList<QPointF>& points, ShapeKind kind,
                  const QColor& colour, qreal pixelsPerPoint);

} // namespace brevant::viewer
