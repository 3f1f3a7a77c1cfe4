// The marks' tiles: what they blit is what drawing the marks directly gives, at every zoom,
// quarter turn and scroll (fractions of a pixel included); panning reuses them; an edit or a new
// selection draws again the tiles over what it changed, a new zoom all of them; the number kept
// stays bounded.
#include "MarkPainter.h"
#include "MarkShapes.h"
#include "MarkTiles.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace brevant::viewer;
using brevant::viewer::test::shape;

namespace {

constexpr QSizeF Page(600, 400);

QList<MarkShape> someMarks() {
    return {shape(1, ShapeKind::Path, {{40, 50}, {560, 50}, {560, 350}}, Qt::blue),
            shape(2, ShapeKind::Polygon, {{100, 100}, {300, 100}, {300, 250}, {100, 250}}, Qt::red),
            shape(3, ShapeKind::Markers, {{450, 200}, {470, 300}}, Qt::darkGreen),
            shape(4, ShapeKind::Path, {{20, 380}, {590, 20}}, Qt::magenta)};
}

// Page points to viewport pixels as the page view makes it: a quarter turn about the page,
// the zoom, then the page's place in the viewport.
QTransform placement(int rotation, qreal zoom, QPointF origin) {
    QTransform turn;
    if (rotation == 90)
        turn.translate(Page.height(), 0).rotate(90);
    else if (rotation == 180)
        turn.translate(Page.width(), Page.height()).rotate(180);
    else if (rotation == 270)
        turn.translate(0, Page.width()).rotate(270);
    return turn * QTransform::fromScale(zoom, zoom) *
           QTransform::fromTranslate(origin.x(), origin.y());
}

QImage blank() {
    QImage image(700, 500, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QImage direct(const MarkLayer& layer, const QTransform& t) {
    QImage image = blank();
    QPainter p(&image);
    p.setTransform(t);
    layer.paint(p, t.inverted().mapRect(QRectF(image.rect())), std::sqrt(t.determinant()));
    return image;
}

QImage tiled(MarkTiles& tiles, const MarkLayer& layer, const QTransform& t,
             std::optional<QRect> exposed = std::nullopt, QImage image = blank()) {
    QPainter p(&image);
    p.setTransform(t);
    tiles.paint(p, layer, exposed.value_or(image.rect()));
    return image;
}

// Pixels that differ by more than blending's rounding. A handful may differ along a tile's edge,
// where the rasteriser's coverage of a clipped edge is not bit for bit that of a whole one; a
// tile out of place or a stale picture differs in hundreds.
constexpr int Seams = 24;
int differing(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 6 || std::abs(qGreen(p) - qGreen(q)) > 6 ||
                std::abs(qBlue(p) - qBlue(q)) > 6)
                ++count;
        }
    return count;
}

bool isColour(QRgb c, QColor want) {
    return std::abs(qRed(c) - want.red()) < 40 && std::abs(qGreen(c) - want.green()) < 40 &&
           std::abs(qBlue(c) - want.blue()) < 40;
}

} // namespace

TEST(MarkTilesTest, TilesShowWhatDrawingDirectlyShowsAtEveryTurnZoomAndOffset) {
    MarkLayer layer;
    layer.setShapes(someMarks());
    layer.setSelected(2);
    for (int rotation : {0, 90, 180, 270})
        for (qreal zoom : {0.4, 1.0, 2.0})
            for (QPointF origin : {QPointF(8, 8), QPointF(-130.5, 17.25), QPointF(301.7, -260)}) {
                SCOPED_TRACE(testing::Message() << rotation << " deg, zoom " << zoom << ", at "
                                                << origin.x() << "," << origin.y());
                const QTransform t = placement(rotation, zoom, origin);
                MarkTiles tiles;
                const QImage want = direct(layer, t);
                EXPECT_LE(differing(tiled(tiles, layer, t), want), Seams);
            }
}

TEST(MarkTilesTest, PanningReusesTheTilesAndStillPutsMarksWhereTheyBelong) {
    MarkLayer layer;
    layer.setShapes(someMarks());
    MarkTiles tiles;
    const QTransform at = placement(0, 1.5, {-100, 20});
    tiled(tiles, layer, at);
    const int first = tiles.drawnLastPaint();
    EXPECT_GT(first, 0);
    // The same place again: nothing drawn afresh.
    tiled(tiles, layer, at);
    EXPECT_EQ(tiles.drawnLastPaint(), 0);
    // A pan step of whole pixels: at most the uncovered row and column are new, and the
    // picture matches the marks drawn directly at the new place.
    const QTransform panned = at * QTransform::fromTranslate(-40, -25);
    const QImage shown = tiled(tiles, layer, panned);
    EXPECT_LT(tiles.drawnLastPaint(), first);
    EXPECT_LE(differing(shown, direct(layer, panned)), Seams);
    EXPECT_TRUE(isColour(shown.pixel(panned.map(QPointF(300, 50)).toPoint()), Qt::blue));
    // Only the strip the scroll uncovered is painted; the rest of the target is left alone.
    QImage strip = blank();
    strip = tiled(tiles, layer, panned, QRect(0, 480, 700, 20), strip);
    EXPECT_EQ(strip.pixel(panned.map(QPointF(300, 50)).toPoint()), qRgb(255, 255, 255));
}

TEST(MarkTilesTest, AnEditANewSelectionOrANewZoomDrawsAfresh) {
    MarkLayer layer;
    layer.setShapes(someMarks());
    MarkTiles tiles;
    const QTransform t = placement(90, 1.0, {20, 10});
    tiled(tiles, layer, t);

    // The polygon moves: it shows at its new place and no longer at its old one.
    QList<MarkShape> moved = someMarks();
    for (QPointF& q : moved[1].points)
        q += QPointF(200, 0);
    layer.setShapes(moved);
    QImage shown = tiled(tiles, layer, t);
    EXPECT_GT(tiles.drawnLastPaint(), 0);
    EXPECT_LE(differing(shown, direct(layer, t)), Seams);
    EXPECT_EQ(shown.pixel(t.map(QPointF(150, 200)).toPoint()), qRgb(255, 255, 255));
    EXPECT_NE(shown.pixel(t.map(QPointF(350, 200)).toPoint()), qRgb(255, 255, 255));

    // Selecting a mark highlights it.
    layer.setSelected(4);
    shown = tiled(tiles, layer, t);
    EXPECT_LE(differing(shown, direct(layer, t)), Seams);

    // Another zoom and turn: drawn at the new scale, not the old picture stretched.
    const QTransform closer = placement(180, 2.5, {-300, -200});
    shown = tiled(tiles, layer, closer);
    EXPECT_LE(differing(shown, direct(layer, closer)), Seams);
}

TEST(MarkTilesTest, TheTilesKeptStayBoundedWhilePanningFar) {
    MarkLayer layer;
    QList<MarkShape> many;
    for (int i = 0; i < 200; ++i)
        many.append(shape(i + 1, ShapeKind::Markers, {{i * 3.0, (i % 20) * 20.0}}, Qt::blue));
    layer.setShapes(many);
    MarkTiles tiles;
    // Zoomed far in and panned over the whole page in viewport-sized steps.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            tiled(tiles, layer, placement(0, 12.0, {-x * 450.0, -y * 300.0}));
            ASSERT_LE(tiles.tileCount(), MarkTiles::MaxTiles);
        }
    EXPECT_GT(tiles.tileCount(), 0);
}

// An edit or a new selection draws again only the tiles over the marks it changed, at their old
// place and their new one, and the picture is still the one drawn directly; so are changes the
// layer no longer remembers one by one.
TEST(MarkTilesTest, AnEditDrawsAgainOnlyTheTilesOverWhatItChanged) {
    MarkLayer layer;
    layer.setShapes(someMarks());
    MarkTiles tiles;
    const QTransform t = placement(0, 2.0, {-150, -100}); // the page spans 5 x 4 tiles
    QImage shown = tiled(tiles, layer, t);
    const int whole = tiles.drawnLastPaint();
    ASSERT_GE(whole, 6);

    // A count marker added in the view's top right tile: that tile only.
    const auto markerAtFirstPlace = [&t](const QImage& image) {
        return isColour(image.pixel(t.map(QPointF(350, 80)).toPoint() + QPoint(3, 0)),
                        Qt::darkGreen);
    };
    QList<MarkShape> more = someMarks();
    more.append(shape(5, ShapeKind::Markers, {{350, 80}}, Qt::darkGreen));
    layer.setShapes(more);
    shown = tiled(tiles, layer, t);
    EXPECT_EQ(tiles.drawnLastPaint(), 1);
    EXPECT_LE(differing(shown, direct(layer, t)), Seams);
    EXPECT_TRUE(markerAtFirstPlace(shown));

    // The same shapes again: nothing to draw.
    layer.setShapes(more);
    tiled(tiles, layer, t);
    EXPECT_EQ(tiles.drawnLastPaint(), 0);

    // The marker moved: its old tile and its new one.
    more.last().points = {{300, 160}};
    layer.setShapes(more);
    shown = tiled(tiles, layer, t);
    EXPECT_EQ(tiles.drawnLastPaint(), 2);
    EXPECT_LE(differing(shown, direct(layer, t)), Seams);
    EXPECT_FALSE(markerAtFirstPlace(shown));

    // Selecting the marker highlights it without drawing the whole view again.
    layer.setSelected(5);
    shown = tiled(tiles, layer, t);
    EXPECT_GT(tiles.drawnLastPaint(), 0);
    EXPECT_LT(tiles.drawnLastPaint(), whole);
    EXPECT_LE(differing(shown, direct(layer, t)), Seams);

    // More changes between two paints than the layer keeps: everything is drawn again, right.
    for (int i = 0; i < 40; ++i) {
        more.last().points = {{100.0 + i * 10, 300}};
        layer.setShapes(more);
    }
    shown = tiled(tiles, layer, t);
    EXPECT_EQ(tiles.drawnLastPaint(), whole);
    EXPECT_LE(differing(shown, direct(layer, t)), Seams);
}
