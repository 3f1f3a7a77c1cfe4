// Drawing marks over a page: where they land at a zoom and scroll, the selection highlight,
// and what is skipped off screen.
#include "MarkPainter.h"
#include "MarkShapes.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace brevant::viewer;
using brevant::viewer::test::shape;

namespace {

struct Canvas {
    QImage image{400, 300, QImage::Format_ARGB32};
    QTransform toDevice; // page points to pixels
    Canvas(qreal zoom, QPointF scroll) {
        image.fill(Qt::white);
        toDevice = QTransform().translate(-scroll.x(), -scroll.y()).scale(zoom, zoom);
    }
    int paint(const MarkLayer& layer, qreal zoom) {
        QPainter p(&image);
        p.setTransform(toDevice);
        return layer.paint(p, toDevice.inverted().mapRect(QRectF(image.rect())), zoom);
    }
    QColor at(QPointF page) const { return image.pixelColor(toDevice.map(page).toPoint()); }
};

} // namespace

TEST(MarkPainterTest, MarksLandWhereTheTransformPutsTheirPoints) {
    MarkLayer layer;
    layer.setShapes(
        {shape(1, ShapeKind::Path, {{100, 100}, {200, 100}}),
         shape(2, ShapeKind::Polygon, {{20, 20}, {60, 20}, {60, 60}, {20, 60}}, Qt::red),
         shape(3, ShapeKind::Markers, {{150, 30}}, Qt::darkGreen)});
    Canvas c(2.0, {50, 50}); // zoomed in and scrolled: page (100,100) is pixel (150,150)
    EXPECT_EQ(c.paint(layer, 2.0), 3);
    EXPECT_EQ(c.at({150, 100}), QColor(Qt::blue));
    EXPECT_EQ(c.at({150, 106}), QColor(Qt::white)); // a thin line, not a band
    // The polygon is filled with its colour, light; its edge in full colour.
    const QColor inside = c.at({40, 40});
    EXPECT_GT(inside.red(), 200);
    EXPECT_LT(inside.green(), 240);
    EXPECT_GT(inside.green(), 100);
    EXPECT_EQ(c.at({60, 40}), QColor(Qt::red));
    EXPECT_EQ(c.at({150, 30}).green(), QColor(Qt::darkGreen).green()); // the marker's cross
}

TEST(MarkPainterTest, TheSelectedMarkIsHighlightedAndSelectionFollowsNewShapes) {
    MarkLayer layer;
    layer.setShapes({shape(1, ShapeKind::Path, {{100, 100}, {200, 100}}),
                     shape(2, ShapeKind::Path, {{100, 130}, {200, 130}})});
    layer.setSelected(2);
    Canvas c(1.0, {});
    c.paint(layer, 1.0);
    // Beside the line (3 px off), only the highlight's width reaches.
    EXPECT_EQ(c.at({150, 103}), QColor(Qt::white));
    const QColor beside = c.at({150, 133});
    EXPECT_GT(beside.red(), 240);
    EXPECT_LT(beside.blue(), 200);
    // Shapes replaced (an edit) keep the selection on the same mark.
    layer.setShapes({shape(2, ShapeKind::Path, {{100, 160}, {200, 160}})});
    EXPECT_TRUE(layer.shapes().first().selected);
}

TEST(MarkPainterTest, MarksOffScreenAreSkippedButLinesAlongAnEdgeAreNot) {
    QList<MarkShape> shapes;
    for (int i = 0; i < 100; ++i)
        shapes.append(shape(i, ShapeKind::Path, {{i * 50.0, 10}, {i * 50.0 + 20, 10}}));
    // A horizontal line has an empty bounding rectangle; it is on screen all the same.
    shapes.append(shape(500, ShapeKind::Path, {{0, 200}, {300, 200}}));
    MarkLayer layer;
    layer.setShapes(shapes);
    Canvas c(1.0, {});
    const int drawn = c.paint(layer, 1.0);
    // 400 px wide: marks starting up to x = 400 (plus a marker's reach) and the long line.
    EXPECT_GE(drawn, 9);
    EXPECT_LE(drawn, 11);
    EXPECT_EQ(c.at({150, 200}), QColor(Qt::blue));
}
