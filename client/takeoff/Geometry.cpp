#include "takeoff/Geometry.h"

#include <QLineF>
#include <cmath>

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

QPointF orthoSnap(QPointF previous, QPointF point) {
    const QPointF d = point - previous;
    if (std::fabs(d.x()) >= std::fabs(d.y()))
        return {point.x(), previous.y()};
    return {previous.x(), point.y()};
}

} // namespace brevant::takeoff
