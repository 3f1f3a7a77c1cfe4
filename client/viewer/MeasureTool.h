#pragma once
// The measuring tools as a state machine in page points, without a display: which tool is
// chosen, the points placed so far, where the pointer is, and what clicks and keys do. The
// viewer window feeds it the page view's mouse events and its keys, draws its state and records
// the results it hands back; tests drive it directly.
#include <QList>
#include <QPointF>
#include <optional>

namespace brevant::viewer {

enum class Tool {
    Select,    // clicks select marks
    Length,    // a path: click points, double-click or Enter ends
    Area,      // a polygon: click corners, double-click or Enter closes it
    Count,     // one marker per click
    Calibrate, // two clicks, then the real length is asked for
    Verify,    // two clicks: a length shown, nothing recorded
};

// What a finished measurement is made of.
struct ToolResult {
    Tool tool = Tool::Select;
    QList<QPointF> points;
};

// What an input did: whether the tool used it (the window then does nothing else with it) and
// the measurement it finished, if any.
struct ToolStep {
    bool used = false;
    std::optional<ToolResult> done;
};

class MeasureTool {
public:
    // Two clicks closer than this (points) are one point: the press of a double-click.
    static constexpr qreal SamePoint = 0.5;
    // More points than a mark may hold are refused (the store's bound).
    static constexpr int MaxPoints = 10000;

    Tool tool() const { return tool_; }
    // Chooses a tool; whatever was being measured is dropped.
    void setTool(Tool tool);

    // The points placed so far and the pointer's page point (ortho applied), for drawing.
    const QList<QPointF>& points() const { return points_; }
    std::optional<QPointF> pointer() const { return pointer_; }
    bool measuring() const { return !points_.isEmpty(); }
    // The points to draw: those placed and, while measuring, the pointer's.
    QList<QPointF> preview() const;

    // A left click. With ortho (Shift held) the point is made horizontal or vertical from the
    // last one.
    ToolStep click(QPointF point, bool ortho);
    ToolStep doubleClick(QPointF point, bool ortho);
    void move(QPointF point, bool ortho);
    // Enter/Return ends a path or polygon, Backspace removes the last point, Escape cancels the
    // measurement (or, with none in progress, goes back to selecting). Other keys are not used.
    ToolStep key(int qtKey);

    // The fewest points that make a measurement of the tool.
    static int minimumPoints(Tool tool);

private:
    QPointF constrained(QPointF point, bool ortho) const;
    ToolStep finish();

    Tool tool_ = Tool::Select;
    QList<QPointF> points_;
    std::optional<QPointF> pointer_;
};

} // namespace brevant::viewer
