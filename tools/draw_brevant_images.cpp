// Draws every image the client shows (the two image lists, the menu bitmaps and the window
// icon) with QPainter, so that the program carries pictures of its own. Run once after a change
// and commit what it writes:  draw_brevant_images <repo>/share/brevant
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

// Every picture is drawn on a 32 x 32 grid and scaled to the size asked for.
QImage render(int size, const Draw& draw, bool opaque = false) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(opaque ? QColor(Qt::white) : QColor(Qt::transparent));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return img;
}

QPen pen(const QColor& c, double w = 2.0) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, const QColor& band, const QString& label) {
    QPainterPath path;
    path.moveTo(7, 2);
    path.lineTo(20, 2);
    path.lineTo(26, 8);
    path.lineTo(26, 30);
    path.lineTo(7, 30);
    path.closeSubpath();
    p.setPen(pen(QColor(70, 70, 70), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(20, 2), QPointF(20, 8));
    p.drawLine(QPointF(20, 8), QPointF(26, 8));
    if (!label.isEmpty()) {
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.drawRect(QRectF(3, 15, 26, 11));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(label.size() > 3 ? 7 : 8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 15, 26, 11), Qt::AlignCenter, label);
    }
}

void lines(QPainter& p, const QColor& c, int from, int to) {
    p.setPen(pen(c, 1.5));
    for (int y = from; y <= to; y += 4)
        p.drawLine(QPointF(10, y), QPointF(23, y));
}

void magnifier(QPainter& p, const QColor& glass, const QPointF& at, double r) {
    p.setPen(pen(QColor(60, 60, 60), 2.5));
    p.setBrush(glass);
    p.drawEllipse(at, r, r);
    p.setPen(pen(QColor(110, 70, 30), 4));
    const double d = r * 0.75;
    p.drawLine(at + QPointF(d, d), at + QPointF(d + 9, d + 9));
}

void triangle(QPainter& p, bool up, const QColor& c) {
    QPolygonF t;
    if (up)
        t << QPointF(16, 7) << QPointF(27, 24) << QPointF(5, 24);
    else
        t << QPointF(5, 8) << QPointF(27, 8) << QPointF(16, 25);
    p.setPen(pen(c.darker(150), 1.5));
    p.setBrush(c);
    p.drawPolygon(t);
}

void arrows(QPainter& p, const QColor& c) {
    p.setPen(pen(c, 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 5, 22, 22), 30 * 16, 150 * 16);
    p.drawArc(QRectF(5, 5, 22, 22), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF() << QPointF(22, 3) << QPointF(29, 11) << QPointF(20, 12));
    p.drawPolygon(QPolygonF() << QPointF(10, 29) << QPointF(3, 21) << QPointF(12, 20));
}

void star(QPainter& p, const QPointF& c, double outer, double inner, int points,
          const QColor& fill) {
    QPolygonF s;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2) ? inner : outer;
        const double a = 3.14159265 * i / points - 3.14159265 / 2;
        s << c + QPointF(r * std::cos(a), r * std::sin(a));
    }
    p.setPen(pen(fill.darker(160), 1.2));
    p.setBrush(fill);
    p.drawPolygon(s);
}

void printer(QPainter& p, const QColor& body) {
    p.setPen(pen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 20, 14, 9));
    lines(p, QColor(120, 120, 120), 23, 27);
}

void trash(QPainter& p, const QColor& can) {
    p.setPen(pen(can.darker(170), 1.5));
    p.setBrush(can);
    p.drawPolygon(QPolygonF() << QPointF(8, 9) << QPointF(24, 9) << QPointF(22, 30)
                              << QPointF(10, 30));
    p.drawRect(QRectF(5, 5, 22, 4));
    p.drawRect(QRectF(13, 2, 6, 3));
    p.setPen(pen(can.darker(170), 1.5));
    for (int x = 12; x <= 20; x += 4)
        p.drawLine(QPointF(x, 12), QPointF(x, 27));
}

void envelope(QPainter& p, const QColor& paper) {
    p.setPen(pen(QColor(60, 60, 60), 1.5));
    p.setBrush(paper);
    p.drawRect(QRectF(3, 8, 26, 17));
    p.drawPolyline(QPolygonF() << QPointF(3, 8) << QPointF(16, 18) << QPointF(29, 8));
}

void check(QPainter& p, const QColor& c, double w = 4) {
    p.setPen(pen(c, w));
    p.drawPolyline(QPolygonF() << QPointF(6, 17) << QPointF(13, 25) << QPointF(27, 7));
}

void cross(QPainter& p, const QColor& c) {
    p.setPen(pen(c, 4));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void tag(QPainter& p, const QColor& c) {
    p.setPen(pen(c.darker(160), 1.5));
    p.setBrush(c);
    p.drawPolygon(QPolygonF() << QPointF(3, 16) << QPointF(12, 6) << QPointF(29, 6)
                              << QPointF(29, 26) << QPointF(12, 26));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11, 16), 2.5, 2.5);
}

void folderOpen(QPainter& p, const QColor& c) {
    p.setPen(pen(c.darker(170), 1.5));
    p.setBrush(c.darker(115));
    p.drawPolygon(QPolygonF() << QPointF(3, 7) << QPointF(12, 7) << QPointF(14, 10)
                              << QPointF(26, 10) << QPointF(26, 27) << QPointF(3, 27));
    p.setBrush(c);
    p.drawPolygon(QPolygonF() << QPointF(7, 14) << QPointF(30, 14) << QPointF(26, 27)
                              << QPointF(3, 27));
}

void download(QPainter& p, const QColor& c) {
    p.setPen(pen(QColor(60, 60, 60), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(4, 20) << QPointF(4, 28) << QPointF(28, 28)
                               << QPointF(28, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(13, 3, 6, 12));
    p.drawPolygon(QPolygonF() << QPointF(7, 14) << QPointF(25, 14) << QPointF(16, 24));
}

void stack(QPainter& p, const QColor& c) {
    for (int i = 2; i >= 0; --i) {
        p.setPen(pen(QColor(60, 60, 60), 1.2));
        p.setBrush(i == 0 ? c : c.lighter(130 + 20 * i));
        p.drawRect(QRectF(4 + 4 * i, 12 - 4 * i, 18, 16));
    }
    lines(p, QColor(255, 255, 255), 17, 25);
}

void disc(QPainter& p, const QColor& c) {
    QRadialGradient g(QPointF(16, 16), 14);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, c);
    p.setPen(pen(QColor(80, 80, 80), 1.2));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setBrush(QColor(240, 240, 240));
    p.drawEllipse(QPointF(16, 16), 3.5, 3.5);
}

void floppy(QPainter& p, const QColor& c) {
    p.setPen(pen(c.darker(170), 1.2));
    p.setBrush(c);
    p.drawPolygon(QPolygonF() << QPointF(3, 3) << QPointF(25, 3) << QPointF(29, 7)
                              << QPointF(29, 29) << QPointF(3, 29));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(9, 3, 13, 9));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 17, 18, 12));
}

void person(QPainter& p, const QColor& c) {
    p.setPen(pen(c.darker(170), 1.2));
    p.setBrush(c);
    p.drawEllipse(QPointF(13, 9), 6, 6);
    QPainterPath body;
    body.moveTo(2, 30);
    body.cubicTo(2, 16, 24, 16, 24, 30);
    body.closeSubpath();
    p.drawPath(body);
}

void gear(QPainter& p, const QColor& c) {
    star(p, QPointF(16, 16), 14, 10, 8, c);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 4.5, 4.5);
}

void checkbox(QPainter& p, bool ticked) {
    p.setPen(pen(QColor(50, 50, 50), 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 4, 24, 24));
    if (ticked)
        check(p, QColor(20, 140, 40));
    else
        p.fillRect(QRectF(9, 14, 14, 4), QColor(180, 40, 40));
}

void building(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 70, 140));
    p.drawRoundedRect(QRectF(0, 0, 32, 32), 5, 5);
    p.setBrush(QColor(240, 200, 60));
    p.drawRect(QRectF(5, 12, 10, 16));
    p.drawRect(QRectF(17, 6, 10, 22));
    p.setPen(pen(QColor(20, 70, 140), 1.2));
    for (int y = 9; y < 27; y += 4) {
        p.drawLine(QPointF(19, y), QPointF(25, y));
        if (y > 14)
            p.drawLine(QPointF(7, y), QPointF(13, y));
    }
    p.setPen(pen(Qt::white, 1.5));
    p.drawLine(QPointF(3, 29), QPointF(29, 29));
}

bool save(const QImage& img, const QString& path) {
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <share/brevant folder>  (icons go to its ../icons)\n",
                     argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"Graphics/Menus", "Graphics/ImageList1", "Graphics/ImageList2"})
        root.mkpath(QString::fromLatin1(sub));

    // The main window's list: sort arrows, toolbar pictures, project row markers.
    const std::pair<int, Draw> list1[] = {
        {1, [](QPainter& p) { triangle(p, false, QColor(70, 110, 180)); }},
        {2, [](QPainter& p) { triangle(p, true, QColor(70, 160, 90)); }},
        {7, [](QPainter& p) { magnifier(p, QColor(190, 225, 255), QPointF(13, 13), 9); }},
        {14, [](QPainter& p) { arrows(p, QColor(40, 110, 210)); }},
        {15,
         [](QPainter& p) {
             arrows(p, QColor(230, 120, 20));
             star(p, QPointF(16, 16), 7, 3, 5, QColor(250, 210, 40));
         }},
        {18, [](QPainter& p) { printer(p, QColor(150, 150, 160)); }},
        {20,
         [](QPainter& p) {
             trash(p, QColor(170, 170, 175));
             cross(p, QColor(200, 30, 30));
         }},
        {21, [](QPainter& p) { envelope(p, QColor(255, 245, 200)); }},
        {23, [](QPainter& p) { tag(p, QColor(50, 170, 70)); }},
        {24, [](QPainter& p) { star(p, QPointF(16, 16), 15, 8, 8, QColor(250, 200, 30)); }},
        {25, [](QPainter& p) { folderOpen(p, QColor(240, 200, 110)); }},
        {27, [](QPainter& p) { download(p, QColor(30, 140, 200)); }},
        {31, [](QPainter& p) { stack(p, QColor(90, 110, 170)); }},
    };
    bool ok = true;
    for (const auto& [n, draw] : list1)
        ok &=
            save(render(32, draw),
                 root.filePath(
                     QStringLiteral("Graphics/ImageList1/%1.png").arg(n, 2, 10, QLatin1Char('0'))));

    // The document and attachment lists: not in the cache, in the cache, one per file type.
    struct Kind {
        int n;
        QColor band;
        QString label;
    };
    const Kind kinds[] = {
        {3, QColor(40, 90, 190), QStringLiteral("DOC")},
        {4, QColor(30, 130, 60), QStringLiteral("XLS")},
        {5, QColor(200, 30, 30), QStringLiteral("PDF")},
        {6, QColor(110, 110, 110), QStringLiteral("TXT")},
        {7, QColor(130, 60, 170), QStringLiteral("RTF")},
        {8, QColor(20, 150, 150), QStringLiteral("CSV")},
        {9, QColor(150, 110, 40), QStringLiteral("LOG")},
        {10, QColor(230, 110, 20), QStringLiteral("HTM")},
        {11, QColor(210, 60, 120), QStringLiteral("HTML")},
        {12, QColor(0, 0, 0, 0), QString()},
    };
    ok &= save(render(32,
                      [](QPainter& p) {
                          p.setOpacity(0.55);
                          page(p, QColor(), QString());
                          lines(p, QColor(150, 150, 150), 13, 25);
                      }),
               root.filePath(QStringLiteral("Graphics/ImageList2/01.png")));
    ok &= save(render(32,
                      [](QPainter& p) {
                          page(p, QColor(), QString());
                          lines(p, QColor(120, 120, 120), 11, 15);
                          check(p, QColor(20, 150, 40), 3.5);
                      }),
               root.filePath(QStringLiteral("Graphics/ImageList2/02.png")));
    for (const Kind& k : kinds)
        ok &= save(
            render(32,
                   [&](QPainter& p) {
                       page(p, k.band, k.label);
                       if (k.label.isEmpty())
                           lines(p, QColor(90, 90, 90), 12, 26);
                   }),
            root.filePath(
                QStringLiteral("Graphics/ImageList2/%1.png").arg(k.n, 2, 10, QLatin1Char('0'))));

    // Menu bitmaps, 16 x 16 on white as menu bitmaps traditionally are.
    const std::pair<const char*, Draw> menus[] = {
        {"FIND.bmp", [](QPainter& p) { magnifier(p, QColor(190, 225, 255), QPointF(13, 13), 9); }},
        {"CD.bmp", [](QPainter& p) { disc(p, QColor(160, 170, 230)); }},
        {"TRASH.bmp", [](QPainter& p) { trash(p, QColor(170, 170, 175)); }},
        {"MAIL.bmp", [](QPainter& p) { envelope(p, QColor(255, 245, 200)); }},
        {"MARK.bmp", [](QPainter& p) { checkbox(p, true); }},
        {"UNMARK.bmp", [](QPainter& p) { checkbox(p, false); }},
        {"PRINT.bmp", [](QPainter& p) { printer(p, QColor(150, 150, 160)); }},
        {"MAG.bmp",
         [](QPainter& p) {
             page(p, QColor(), QString());
             lines(p, QColor(120, 120, 120), 8, 16);
             magnifier(p, QColor(255, 240, 170), QPointF(17, 19), 6);
         }},
        {"trash01.bmp",
         [](QPainter& p) {
             trash(p, QColor(120, 150, 200));
             cross(p, QColor(200, 30, 30));
         }},
        {"TRACK.bmp", [](QPainter& p) { tag(p, QColor(50, 170, 70)); }},
        {"DISK12.bmp", [](QPainter& p) { floppy(p, QColor(60, 80, 150)); }},
        {"ASSIGN.bmp", [](QPainter& p) { person(p, QColor(60, 130, 200)); }},
        {"ASSIGN2.bmp",
         [](QPainter& p) {
             person(p, QColor(150, 150, 150));
             cross(p, QColor(200, 30, 30));
         }},
        {"CHECKMRK.bmp", [](QPainter& p) { check(p, QColor(20, 150, 40), 5); }},
        {"PREF.bmp", [](QPainter& p) { gear(p, QColor(120, 120, 130)); }},
    };
    for (const auto& [name, draw] : menus) {
        QImage bmp = render(16, draw, true).convertToFormat(QImage::Format_RGB888);
        ok &= save(bmp, root.filePath(QStringLiteral("Graphics/Menus/") + QLatin1String(name)));
    }

    ok &= save(render(64, building), root.filePath(QStringLiteral("brevant.png")));
    // The desktop's icon theme, beside share/brevant: share/icons/hicolor/NxN/apps.
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder =
            root.filePath(QStringLiteral("../icons/hicolor/%1x%1/apps").arg(size));
        QDir().mkpath(folder);
        ok &= save(render(size, building), QDir(folder).filePath(QStringLiteral("brevant.png")));
    }
    return ok ? 0 : 1;
}
