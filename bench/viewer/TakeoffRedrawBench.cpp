// How the viewer keeps up with a large sheet: the time from opening a 36" x 24" plan page to its
// first paint, and one redraw of the view while panning with 2,000 marks over the page (lengths,
// areas and counts, as a takeoff of a floor plan has them). A redraw should stay under 16 ms,
// one frame at 60 Hz.
#include "MarkPainter.h"
#include "MarkTiles.h"
#include "PageView.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

using namespace brevant::viewer;

namespace {

constexpr QSizeF SheetPoints(36 * 72, 24 * 72);

// A dense vector sheet: a grid, walls and many short strokes of text-like detail.
QByteArray largeSheet() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageLayout(
        QPageLayout(QPageSize(SheetPoints, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    QPainter p(&writer);
    std::mt19937 random(7);
    std::uniform_real_distribution<qreal> x(36, SheetPoints.width() - 36);
    std::uniform_real_distribution<qreal> y(36, SheetPoints.height() - 36);
    p.setPen(QPen(Qt::black, 0.5));
    for (qreal gx = 72; gx < SheetPoints.width(); gx += 72)
        p.drawLine(QPointF(gx, 36), QPointF(gx, SheetPoints.height() - 36));
    for (qreal gy = 72; gy < SheetPoints.height(); gy += 72)
        p.drawLine(QPointF(36, gy), QPointF(SheetPoints.width() - 36, gy));
    p.setPen(QPen(Qt::black, 3));
    for (int i = 0; i < 400; ++i) {
        const QPointF a(x(random), y(random));
        p.drawLine(a, a + QPointF(i % 2 ? 120 : 0, i % 2 ? 0 : 120));
    }
    p.setPen(QPen(Qt::black, 0.3));
    for (int i = 0; i < 4000; ++i) {
        const QPointF a(x(random), y(random));
        p.drawLine(a, a + QPointF(4, 6));
    }
    p.end();
    return buffer.data();
}

QList<MarkShape> marks(int count) {
    std::mt19937 random(11);
    std::uniform_real_distribution<qreal> x(50, SheetPoints.width() - 150);
    std::uniform_real_distribution<qreal> y(50, SheetPoints.height() - 150);
    QList<MarkShape> out;
    for (int i = 0; i < count; ++i) {
        MarkShape s;
        s.id = i + 1;
        const QPointF a(x(random), y(random));
        switch (i % 3) {
        case 0:
            s.kind = ShapeKind::Path;
            s.points = {a, a + QPointF(80, 0), a + QPointF(80, 60), a + QPointF(140, 60)};
            s.colour = QColor("#e53935");
            break;
        case 1:
            s.kind = ShapeKind::Polygon;
            s.points = {a, a + QPointF(90, 0), a + QPointF(90, 70), a + QPointF(0, 70)};
            s.colour = QColor("#1e88e5");
            break;
        default:
            s.kind = ShapeKind::Markers;
            s.points = {a};
            s.colour = QColor("#43a047");
            break;
        }
        out.append(s);
    }
    return out;
}

// One redraw of the viewport, as a pan step causes it.
void redraw(PageView& view, QImage& target) {
    QPainter p(&target);
    view.viewport()->render(&p);
}

struct Fixture {
    QTemporaryDir dir;
    QPdfDocument document;
    PageView view;
    MarkLayer layer;
    MarkTiles tiles;

    explicit Fixture(int markCount) {
        QFile f(dir.filePath("SHEET.pdf"));
        f.open(QIODevice::WriteOnly);
        f.write(largeSheet());
        f.close();
        document.load(f.fileName());
        layer.setShapes(marks(markCount));
        view.resize(1280, 800);
        // As the takeoff tools paint over the view.
        view.setOverlay(
            [this](QPainter& p, const PageView& v) { tiles.paint(p, layer, v.exposedRect()); });
        view.show();
    }

    // The sheet at a zoom (percent), painted once: what a redraw paints into.
    QImage shownAt(qint64 percent) {
        view.setDocument(&document);
        view.setPage(0);
        view.setZoom(qreal(percent) / 100.0);
        QImage target(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        redraw(view, target);
        return target;
    }
};

} // namespace

static void BM_FirstPaintOfALargeSheet(benchmark::State& state) {
    Fixture f(0);
    QImage target(f.view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        f.view.setDocument(nullptr);
        f.view.setDocument(&f.document);
        f.view.setPage(0);
        redraw(f.view, target);
    }
}
BENCHMARK(BM_FirstPaintOfALargeSheet)->Unit(benchmark::kMillisecond);

static void BM_RedrawWhilePanning(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    QImage target = f.shownAt(state.range(1)); // the page is rendered once; panning reuses it
    QScrollBar* h = f.view.horizontalScrollBar();
    QScrollBar* v = f.view.verticalScrollBar();
    for (auto _ : state) {
        h->setValue((h->value() + 40) % std::max(1, h->maximum()));
        v->setValue((v->value() + 25) % std::max(1, v->maximum()));
        redraw(f.view, target);
    }
    state.counters["marks"] = double(state.range(0));
}
// Marks, zoom in percent: the whole sheet (every mark on screen) and a close look.
BENCHMARK(BM_RedrawWhilePanning)
    ->Args({2000, 40})
    ->Args({2000, 100})
    ->Args({2000, 200})
    ->Args({0, 100})
    ->Unit(benchmark::kMillisecond);

// The redraw after an edit (here a new selection): the marks' picture is drawn afresh.
static void BM_RedrawAfterAnEdit(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    QImage target = f.shownAt(state.range(1));
    int selected = 0;
    for (auto _ : state) {
        f.layer.setSelected(++selected % 2 ? 1 : 2);
        redraw(f.view, target);
    }
}
BENCHMARK(BM_RedrawAfterAnEdit)->Args({2000, 40})->Args({2000, 100})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
