#include "MarkPainter.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

namespace brevant::viewer {

namespace {

QPen linePen(const QColor& colour, qreal width, bool dashed) {
    QPen pen(colour, width);
    pen.setCosmetic(true); // width in pixels whatever the zoom
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (dashed)
        pen.setStyle(Qt::DashLine);
    return pen;
}

QColor highlight() {
    return QColor(255, 200, 0, 150);
}

void drawMarkers(QPainter& p, const QList<QPointF>& points, qreal radius) {
    for (const QPointF& c : points) {
        p.drawEllipse(c, radius, radius);
        p.drawLine(QPointF(c.x() - radius, c.y()), QPointF(c.x() + radius, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - radius), QPointF(c.x(), c.y() + radius));
    }
}

void drawShape(QPainter& p, const MarkShape& s, qreal pixelsPerPoint) {
    const qreal radius = MarkerRadius / pixelsPerPoint;
    if (s.selected) {
        p.setPen(linePen(highlight(), HighlightWidth, false));
        p.setBrush(Qt::NoBrush);
        if (s.kind == ShapeKind::Polygon)
            p.drawPolygon(QPolygonF(s.points));
        else if (s.kind == ShapeKind::Path)
            p.drawPolyline(QPolygonF(s.points));
        else
            for (const QPointF& c : s.points)
                p.drawEllipse(c, radius * 1.6, radius * 1.6);
    }
    p.setPen(linePen(s.colour, MarkLineWidth, s.stale));
    switch (s.kind) {
    case ShapeKind::Path:
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF(s.points));
        break;
    case ShapeKind::Polygon: {
        QColor fill = s.colour;
        fill.setAlpha(s.selected ? 110 : 60);
        p.setBrush(fill);
        p.drawPolygon(QPolygonF(s.points));
        break;
    }
    case ShapeKind::Markers: {
        QColor fill = s.colour;
        fill.setAlpha(90);
        p.setBrush(fill);
        drawMarkers(p, s.points, radius);
        break;
    }
    }
}

QRectF boundsOf(const QList<QPointF>& points) {
    if (points.isEmpty())
        return {};
    qreal left = points.first().x(), right = left, top = points.first().y(), bottom = top;
    for (const QPointF& q : points) {
        left = std::min(left, q.x());
        right = std::max(right, q.x());
        top = std::min(top, q.y());
        bottom = std::max(bottom, q.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

} // namespace

QRectF MarkShape::bounds() const {
    return boundsOf(points);
}

namespace {

// A shape's bounds grown by half a point, so that a single marker or a straight line (no
// width or no height) still counts as an area when areas are joined.
QRectF touched(const QRectF& bounds) {
    return bounds.adjusted(-0.5, -0.5, 0.5, 0.5);
}

bool sameDrawing(const MarkShape& a, const MarkShape& b) {
    return a.kind == b.kind && a.colour == b.colour && a.selected == b.selected &&
           a.stale == b.stale && a.points == b.points;
}

// How many revisions' areas are kept: the page view paints after every change or two.
constexpr qsizetype KeptChanges = 16;

} // namespace

void MarkLayer::changed(const QRectF& area) {
    ++revision_;
    changes_.append({revision_, area});
    if (changes_.size() > KeptChanges)
        changes_.removeFirst();
}

std::optional<QRectF> MarkLayer::changedSince(quint64 revision) const {
    if (revision > revision_)
        return std::nullopt;
    QRectF area;
    quint64 next = revision + 1;
    for (const Change& c : changes_) {
        if (c.revision < next)
            continue;
        if (c.revision != next)
            return std::nullopt; // a revision nobody recorded, or one forgotten
        area = area.united(c.area);
        ++next;
    }
    if (next != revision_ + 1)
        return std::nullopt;
    return area;
}

void MarkLayer::setShapes(QList<MarkShape> shapes) {
    // What differs from the shapes drawn so far, by mark: a mark added, removed or drawn
    // otherwise, at its old place and its new one.
    QHash<int, qsizetype> before;
    before.reserve(shapes_.size());
    bool idsUnique = true;
    for (qsizetype i = 0; i < shapes_.size(); ++i) {
        if (before.contains(shapes_[i].id))
            idsUnique = false;
        else
            before.insert(shapes_[i].id, i);
    }
    QList<bool> kept(shapes_.size(), false);
    QRectF area;
    QList<QRectF> bounds;
    bounds.reserve(shapes.size());
    for (MarkShape& s : shapes) {
        s.selected = selected_ && s.id == *selected_;
        bounds.append(s.bounds());
        const auto old = idsUnique ? before.constFind(s.id) : before.constEnd();
        if (old != before.constEnd() && !kept[*old] && sameDrawing(shapes_[*old], s)) {
            kept[*old] = true;
            continue;
        }
        area = area.united(touched(bounds.back()));
        if (old != before.constEnd() && !kept[*old]) {
            kept[*old] = true;
            area = area.united(touched(bounds_[*old]));
        }
    }
    for (qsizetype i = 0; i < shapes_.size(); ++i)
        if (!kept[i])
            area = area.united(touched(bounds_[i]));
    shapes_ = std::move(shapes);
    bounds_ = std::move(bounds);
    if (!idsUnique) {
        // Marks told apart by their number only: without it, everything may have changed.
        ++revision_;
        changes_.clear();
    } else if (!area.isNull()) {
        changed(area);
    }
}

void MarkLayer::setSelected(std::optional<int> id) {
    if (selected_ == id)
        return;
    QRectF area;
    for (qsizetype i = 0; i < shapes_.size(); ++i) {
        MarkShape& s = shapes_[i];
        const bool selected = id && s.id == *id;
        if (s.selected != selected)
            area = area.united(touched(bounds_[i]));
        s.selected = selected;
    }
    selected_ = id;
    changed(area);
}

int MarkLayer::paint(QPainter& painter, const QRectF& visible, qreal pixelsPerPoint) const {
    if (pixelsPerPoint <= 0)
        return 0;
    // A marker or a wide highlight reaches beyond its points by some pixels.
    const qreal reach = (HighlightWidth + MarkerRadius * 2) / pixelsPerPoint;
    const QRectF wanted = visible.adjusted(-reach, -reach, reach, reach);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    int drawn = 0;
    for (qsizetype i = 0; i < shapes_.size(); ++i) {
        const QRectF& b = bounds_.at(i);
        // A horizontal or vertical line has an empty rectangle: compare by edges.
        if (b.right() < wanted.left() || b.left() > wanted.right() || b.bottom() < wanted.top() ||
            b.top() > wanted.bottom())
            continue;
        drawShape(painter, shapes_.at(i), pixelsPerPoint);
        ++drawn;
    }
    painter.restore();
    return drawn;
}

void paintPreview(QPainter& painter, const QList<QPointF>& points, ShapeKind kind,
                  const QColor& colour, qreal pixelsPerPoint) {
    if (points.isEmpty() || pixelsPerPoint <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen = linePen(colour, MarkLineWidth, true);
    painter.setPen(pen);
    if (kind == ShapeKind::Polygon && points.size() >= 3) {
        QColor fill = colour;
        fill.setAlpha(40);
        painter.setBrush(fill);
        painter.drawPolygon(QPolygonF(points));
    } else {
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF(points));
    }
    // The placed points as small squares, so the user sees where each corner went.
    const qreal half = 3.0 / pixelsPerPoint;
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.setBrush(Qt::white);
    for (const QPointF& c : points)
        painter.drawRect(QRectF(c.x() - half, c.y() - half, 2 * half, 2 * half));
    painter.restore();
}

} // namespace brevant::viewer
