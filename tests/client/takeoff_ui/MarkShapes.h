#pragma once
// A mark's shape as the takeoff tests write them.
#include "MarkPainter.h"

namespace brevant::viewer::test {

inline MarkShape shape(int id, ShapeKind kind, QList<QPointF> points, QColor colour = Qt::blue) {
    MarkShape s;
    s.id = id;
    s.kind = kind;
    s.points = std::move(points);
    s.colour = colour;
    return s;
}

} // namespace brevant::viewer::test
