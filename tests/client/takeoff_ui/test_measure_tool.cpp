// The measuring tools' state machine: what clicks, double-clicks and keys do to a path, a
// polygon, counts and the two-point tools.
#include "MeasureTool.h"

#include <gtest/gtest.h>

using brevant::viewer::MeasureTool;
using brevant::viewer::Tool;

TEST(MeasureToolTest, APathEndsOnDoubleClickWithoutRepeatingTheLastPoint) {
    MeasureTool t;
    t.setTool(Tool::Length);
    EXPECT_FALSE(t.click({10, 10}, false).done);
    EXPECT_FALSE(t.click({100, 10}, false).done);
    // The double-click's first press places the point, the second ends the path there.
    EXPECT_FALSE(t.click({100, 80}, false).done);
    const auto step = t.doubleClick({100.2, 80.1}, false);
    ASSERT_TRUE(step.done);
    EXPECT_EQ(step.done->tool, Tool::Length);
    EXPECT_EQ(step.done->points, (QList<QPointF>{{10, 10}, {100, 10}, {100, 80}}));
    EXPECT_FALSE(t.measuring());
    EXPECT_EQ(t.tool(), Tool::Length); // ready for the next one
}

TEST(MeasureToolTest, EnterBackspaceAndEscape) {
    MeasureTool t;
    t.setTool(Tool::Length);
    t.click({0, 0}, false);
    // One point is no length: Enter keeps it rather than losing the work.
    auto step = t.key(Qt::Key_Return);
    EXPECT_TRUE(step.used);
    EXPECT_FALSE(step.done);
    EXPECT_EQ(t.points().size(), 1);
    t.click({50, 0}, false);
    t.click({50, 50}, false);
    EXPECT_TRUE(t.key(Qt::Key_Backspace).used);
    EXPECT_EQ(t.points(), (QList<QPointF>{{0, 0}, {50, 0}}));
    step = t.key(Qt::Key_Enter);
    ASSERT_TRUE(step.done);
    EXPECT_EQ(step.done->points.size(), 2);

    t.click({1, 1}, false);
    EXPECT_TRUE(t.key(Qt::Key_Escape).used); // cancels the measurement, keeps the tool
    EXPECT_FALSE(t.measuring());
    EXPECT_EQ(t.tool(), Tool::Length);
    EXPECT_TRUE(t.key(Qt::Key_Escape).used); // then leaves the tool
    EXPECT_EQ(t.tool(), Tool::Select);
    EXPECT_FALSE(t.key(Qt::Key_Escape).used); // and then Escape is the window's
    EXPECT_FALSE(t.key(Qt::Key_Backspace).used);
    EXPECT_FALSE(t.click({3, 3}, false).used); // selecting is not measuring
}

TEST(MeasureToolTest, APolygonNeedsThreeCorners) {
    MeasureTool t;
    t.setTool(Tool::Area);
    t.click({0, 0}, false);
    t.click({100, 0}, false);
    EXPECT_FALSE(t.doubleClick({100, 0}, false).done);
    EXPECT_EQ(t.points().size(), 2);
    const auto step = t.doubleClick({100, 100}, false);
    ASSERT_TRUE(step.done);
    EXPECT_EQ(step.done->tool, Tool::Area);
    EXPECT_EQ(step.done->points.size(), 3);
}

TEST(MeasureToolTest, OrthoSnapsToTheNearerAxisFromTheLastPoint) {
    MeasureTool t;
    t.setTool(Tool::Length);
    t.click({10, 10}, true); // nothing to snap to yet
    t.move({80, 14}, true);
    EXPECT_EQ(*t.pointer(), QPointF(80, 10));
    EXPECT_EQ(t.preview(), (QList<QPointF>{{10, 10}, {80, 10}}));
    t.click({80, 14}, true);
    t.click({83, 90}, true);
    EXPECT_EQ(t.points(), (QList<QPointF>{{10, 10}, {80, 10}, {80, 90}}));
    t.click({20, 95}, false); // without Shift the point is where it was clicked
    EXPECT_EQ(t.points().last(), QPointF(20, 95));
}

TEST(MeasureToolTest, CountsAndTwoPointTools) {
    MeasureTool t;
    t.setTool(Tool::Count);
    for (int i = 0; i < 3; ++i) {
        const auto step = t.click({10.0 * i, 5}, false);
        ASSERT_TRUE(step.done);
        EXPECT_EQ(step.done->points, QList<QPointF>{QPointF(10.0 * i, 5)});
    }
    // A quick second click on a count is another marker, not an end.
    ASSERT_TRUE(t.doubleClick({20, 5}, false).done);
    EXPECT_FALSE(t.key(Qt::Key_Return).used);

    for (Tool two : {Tool::Calibrate, Tool::Verify}) {
        t.setTool(two);
        EXPECT_FALSE(t.click({0, 0}, false).done);
        EXPECT_FALSE(t.click({0, 0.2}, false).done); // the same point again
        const auto step = t.click({0, 300}, true);
        ASSERT_TRUE(step.done);
        EXPECT_EQ(step.done->tool, two);
        EXPECT_EQ(step.done->points, (QList<QPointF>{{0, 0}, {0, 300}}));
    }
}

TEST(MeasureToolTest, ChoosingAnotherToolDropsThePointsPlaced) {
    MeasureTool t;
    t.setTool(Tool::Area);
    t.click({0, 0}, false);
    t.click({5, 0}, false);
    t.setTool(Tool::Length);
    EXPECT_FALSE(t.measuring());
    EXPECT_TRUE(t.preview().isEmpty());
}
