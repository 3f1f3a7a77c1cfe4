#include "MeasureTool.h"

#include "takeoff/Geometry.h"

#include <QLineF>
#include <Qt>

namespace brevant::viewer {

namespace {

bool same(QPointF a, QPointF b) {
    return QLineF(a, b).length() < MeasureTool::SamePoint;
}

bool isPathTool(Tool tool) {
    return tool == Tool::Length || tool == Tool::Area;
}

bool isLineTool(Tool tool) {
    return tool == Tool::Calibrate || tool == Tool::Verify;
}

} // namespace

int MeasureTool::minimumPoints(Tool tool) {
    switch (tool) {
    case Tool::Length:
    case Tool::Calibrate:
    case Tool::Verify:
        return 2;
    case Tool::Area:
        return 3;
    case Tool::Count:
        return 1;
    case Tool::Select:
        break;
    }
    return 0;
}

void MeasureTool::setTool(Tool tool) {
    tool_ = tool;
    points_.clear();
}

QList<QPointF> MeasureTool::preview() const {
    QList<QPointF> out = points_;
    if (!out.isEmpty() && pointer_ && !same(out.last(), *pointer_))
        out.append(*pointer_);
    return out;
}

QPointF MeasureTool::constrained(QPointF point, bool ortho) const {
    return ortho && !points_.isEmpty() ? takeoff::orthoSnap(points_.last(), point) : point;
}

void MeasureTool::move(QPointF point, bool ortho) {
    pointer_ = constrained(point, ortho);
}

ToolStep MeasureTool::click(QPointF point, bool ortho) {
    if (tool_ == Tool::Select)
        return {};
    point = constrained(point, ortho);
    pointer_ = point;
    if (tool_ == Tool::Count)
        return {true, ToolResult{tool_, {point}}};
    // A click on the last point adds nothing: a path does not turn back on itself in place.
    if (!points_.isEmpty() && same(points_.last(), point))
        return {true, {}};
    if (points_.size() >= MaxPoints)
        return {true, {}};
    points_.append(point);
    if (isLineTool(tool_) && points_.size() == 2)
        return finish();
    return {true, {}};
}

ToolStep MeasureTool::doubleClick(QPointF point, bool ortho) {
    if (tool_ == Tool::Select)
        return {};
    // The double-click's second press: for a path or polygon it ends the measurement there.
    if (!isPathTool(tool_))
        return click(point, ortho);
    ToolStep step = click(point, ortho);
    if (step.done)
        return step;
    return finish();
}

ToolStep MeasureTool::key(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!isPathTool(tool_) || points_.isEmpty())
            return {};
        return finish();
    case Qt::Key_Backspace:
        if (points_.isEmpty())
            return {};
        points_.removeLast();
        return {true, {}};
    case Qt::Key_Escape:
        if (!points_.isEmpty()) {
            points_.clear();
            return {true, {}};
        }
        if (tool_ != Tool::Select) {
            tool_ = Tool::Select;
            return {true, {}};
        }
        return {};
    default:
        return {};
    }
}

ToolStep MeasureTool::finish() {
    // Too few points to measure: the tool keeps them, so a slip of Enter loses nothing.
    if (points_.size() < minimumPoints(tool_))
        return {true, {}};
    ToolResult result{tool_, points_};
    points_.clear();
    return {true, std::move(result)};
}

} // namespace brevant::viewer
