#pragma once
// Plane geometry of marks in page points.
#include <QList>
#include <QPointF>

namespace brevant::takeoff {

// The length of the path through the points in order (0 for fewer than two).
double polylineLength(const QList<QPointF>& points);
// The area the closed polygon encloses (shoelace formula, without sign; 0 below three points).
double polygonArea(const QList<QPointF>& points);
// The length around the closed polygon, closing edge included.
double polygonPerimeter(const QList<QPointF>& points);
// The shortest distance from p to the path through the points (to the point itself for one).
double distanceToPolyline(const QList<QPointF>& points, QPointF p);
// Whether p lies inside the closed polygon (even-odd rule; a point on an edge may go either way).
bool polygonContains(const QList<QPointF>& points, QPointF p);
// The point made horizontal or vertical from previous, whichever it is nearer to: the
// constraint a measuring tool applies while Shift is held.
QPointF orthoSnap(QPointF previous, QPointF point);

} // namespace brevant::takeoff
