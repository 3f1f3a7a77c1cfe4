#pragma once
// The takeoff marks as the page view shows them, kept as pictures of square tiles in device
// pixels. Drawing a few thousand antialiased marks costs several frames; panning only moves the
// same picture, so a redraw while panning blits the tiles it already has and draws only those
// newly scrolled into view. The tiles belong to one placement of the layer (zoom, rotation, the
// fraction of a pixel the page is offset by): when it changes, they are all dropped. An edit
// or a new selection drops only the tiles over the marks it changed.
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTransform>

class QPainter;

namespace brevant::viewer {

class MarkLayer;

class MarkTiles {
public:
    // Logical pixels along a tile's side.
    static constexpr int TileSize = 256;
    // Tiles kept (a quarter of a megabyte each at one device pixel per logical one): enough for
    // a 2560 x 1600 viewport and a screen's worth of pan around it.
    static constexpr int MaxTiles = 160;

    // Paints the layer into exposed (device pixels, logical) of the painter's device. The
    // painter's transform maps page points to device pixels; it must be a zoom, a quarter turn
    // and a translation, as the page view's is.
    void paint(QPainter& painter, const MarkLayer& layer, const QRect& exposed);
    // Forgets every tile (the next paint draws afresh).
    void clear();

    int tileCount() const { return int(tiles_.size()); }
    // Tiles drawn afresh by the last paint (not taken from the ones kept).
    int drawnLastPaint() const { return drawnLastPaint_; }

private:
    struct Tile {
        QImage image;
        quint64 used = 0;
    };
    QImage drawTile(const MarkLayer& layer, const QPoint& index, qreal ratio) const;
    // Forgets the tiles a change over these pixels (of the placement) may have touched.
    void dropTilesOver(const QRectF& pixels);
    void evict(int room);

    QHash<QPoint, Tile> tiles_;
    QTransform placement_; // page points to tile pixels (no whole-pixel translation)
    quint64 revision_ = 0;
    qreal ratio_ = 0;
    quint64 clock_ = 0;
    int drawnLastPaint_ = 0;
};

} // namespace brevant::viewer
