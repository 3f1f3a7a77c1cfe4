#include "MarkTiles.h"

#include "MarkPainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace brevant::viewer {

namespace {

int floorDiv(int value, int by) {
    return value >= 0 ? value / by : -((-value + by - 1) / by);
}

bool samePlacement(const QTransform& a, const QTransform& b) {
    const auto near = [](qreal x, qreal y) { return std::abs(x - y) < 1e-9; };
    return near(a.m11(), b.m11()) && near(a.m12(), b.m12()) && near(a.m21(), b.m21()) &&
           near(a.m22(), b.m22()) && near(a.dx(), b.dx()) && near(a.dy(), b.dy());
}

} // namespace

void MarkTiles::clear() {
    tiles_.clear();
}

void MarkTiles::paint(QPainter& painter, const MarkLayer& layer, const QRect& exposed) {
    drawnLastPaint_ = 0;
    if (exposed.isEmpty())
        return;
    // Tiles are placed on whole device pixels; what is left of the page's offset is part of
    // the picture, so blitting a tile moves the marks exactly as the page moves.
    const QTransform toDevice = painter.transform();
    const QPoint offset(int(std::floor(toDevice.dx())), int(std::floor(toDevice.dy())));
    const QTransform placement = toDevice * QTransform::fromTranslate(-offset.x(), -offset.y());
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (!samePlacement(placement, placement_) || ratio != ratio_) {
        tiles_.clear();
        placement_ = placement;
        ratio_ = ratio;
    } else if (layer.revision() != revision_) {
        // An edit or a new selection: only the tiles over what changed are drawn again.
        const std::optional<QRectF> area = layer.changedSince(revision_);
        if (!area)
            tiles_.clear();
        else if (!area->isNull())
            dropTilesOver(placement_.mapRect(*area));
    }
    revision_ = layer.revision();
    const QRect wanted = exposed.translated(-offset);
    const int left = floorDiv(wanted.left(), TileSize), right = floorDiv(wanted.right(), TileSize);
    const int top = floorDiv(wanted.top(), TileSize), bottom = floorDiv(wanted.bottom(), TileSize);
    if ((right - left + 1) * (bottom - top + 1) > MaxTiles) {
        // More than the cache holds (a huge window): draw directly, as without tiles.
        layer.paint(painter, toDevice.inverted().mapRect(QRectF(exposed)),
                    std::sqrt(std::abs(toDevice.determinant())));
        return;
    }
    ++clock_;
    std::vector<QPoint> missing;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const auto found = tiles_.find(QPoint(x, y));
            if (found == tiles_.end())
                missing.emplace_back(x, y);
            else
                found->used = clock_;
        }
    evict(int(missing.size()));
    for (const QPoint& index : missing) {
        tiles_.insert(index, Tile{drawTile(layer, index, ratio), clock_});
        ++drawnLastPaint_;
    }
    painter.save();
    painter.resetTransform();
    painter.setClipRect(exposed, Qt::IntersectClip);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const QImage& image = tiles_.value(QPoint(x, y)).image;
            if (!image.isNull())
                painter.drawImage(offset + QPoint(x, y) * TileSize, image);
        }
    painter.restore();
}

QImage MarkTiles::drawTile(const MarkLayer& layer, const QPoint& index, qreal ratio) const {
    const QTransform toTile =
        placement_ * QTransform::fromTranslate(-index.x() * TileSize, -index.y() * TileSize);
    const QRectF visible = toTile.inverted().mapRect(QRectF(0, 0, TileSize, TileSize));
    QImage image(QSize(TileSize, TileSize) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setTransform(toTile);
    // An empty tile is kept as a null picture: nothing to blit next time either.
    if (layer.paint(p, visible, std::sqrt(std::abs(placement_.determinant()))) == 0)
        return {};
    p.end();
    return image;
}

void MarkTiles::dropTilesOver(const QRectF& pixels) {
    const QRectF reach = pixels.adjusted(-MarkReach, -MarkReach, MarkReach, MarkReach);
    // Tile numbers of a pixel, kept inside int whatever the zoom.
    const auto tileOf = [](qreal pixel) {
        return floorDiv(int(std::clamp(pixel, -1e9, 1e9)), TileSize);
    };
    const int left = tileOf(std::floor(reach.left())), right = tileOf(std::ceil(reach.right()));
    const int top = tileOf(std::floor(reach.top())), bottom = tileOf(std::ceil(reach.bottom()));
    if (qint64(right - left + 1) * (bottom - top + 1) > tiles_.size()) {
        for (auto i = tiles_.begin(); i != tiles_.end();) {
            const QPoint& k = i.key();
            if (k.x() >= left && k.x() <= right && k.y() >= top && k.y() <= bottom)
                i = tiles_.erase(i);
            else
                ++i;
        }
        return;
    }
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            tiles_.remove(QPoint(x, y));
}

void MarkTiles::evict(int room) {
    const qsizetype over = tiles_.size() + room - MaxTiles;
    if (over <= 0)
        return;
    std::vector<std::pair<quint64, QPoint>> byAge;
    byAge.reserve(tiles_.size());
    for (auto i = tiles_.cbegin(); i != tiles_.cend(); ++i)
        if (i->used != clock_)
            byAge.emplace_back(i->used, i.key());
    std::sort(byAge.begin(), byAge.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 0; i < over && i < qsizetype(byAge.size()); ++i)
        tiles_.remove(byAge[size_t(i)].second);
}

} // namespace brevant::viewer
