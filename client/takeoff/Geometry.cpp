#include "takeoff/Geometry.h"

#include <QLineF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace brevant::takeoff {

double polylineLength(const QList<QPointF>& points) {
    double sum = 0;
    for (qsizetype i = 1; i < points.size(); ++i)
        sum += QLineF(points[i - 1], points[i]).length();
    return sum;
}

double polygonArea(const QList<QPointF>& points) {
    const qsizetype n = points.size();
    if (n < 3)
        return 0;
    // Relative to the first point, so that large page coordinates lose no precision.
    const QPointF o = points.front();
    double twice = 0;
    for (qsizetype i = 1; i + 1 < n; ++i) {
        const QPointF a = points[i] - o;
        const QPointF b = points[i + 1] - o;
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::fabs(twice) / 2;
}

double polygonPerimeter(const QList<QPointF>& points) {
    if (points.size() < 2)
        return 0;
    return polylineLength(points) + QLineF(points.back(), points.front()).length();
}

double distanceToPolyline(const QList<QPointF>& points, QPointF p) {
    if (points.isEmpty())
        return std::numeric_limits<double>::infinity();
    double best = QLineF(points.front(), p).length();
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF d = points[i] - a;
        const double squared = QPointF::dotProduct(d, d);
        double t = squared > 0 ? QPointF::dotProduct(p - a, d) / squared : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, QLineF(a + t * d, p).length());
    }
    return best;
}

bool polygonContains(const QList<QPointF>& points, QPointF p) {
    bool inside = false;
    for (qsizetype i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const QPointF a = points[i], b = points[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) &&
            p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

QPointF orthoSnap(QPointF previous, QPointF point) {
    const QPointF d = point - previous;
    if (std::fabs(d.x()) >= std::fabs(d.y()))
        return {point.x(), previous.y()};
    return {previous.x(), point.y()};
}

} // namespace brevant::takeoff
