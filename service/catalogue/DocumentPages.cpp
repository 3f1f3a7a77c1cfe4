#include "service/catalogue/DocumentPages.h"

#include "service/catalogue/CatalogueWords.h"
#include "service/catalogue/SheetGeometry.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace brevant::service {

namespace {

constexpr qreal Margin = 36; // half an inch

// A small deterministic sequence, so that a sheet looks the same every time it is drawn.
struct Sequence {
    quint32 state;
    explicit Sequence(quint32 seed) : state(seed * 2654435761u + 0x9e3779b9u) {}
    int next(int limit) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state % quint32(limit));
    }
};

QFont font(qreal points, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void frame(QPainter& p, const QSizeF& size) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(Margin, Margin, size.width() - 2 * Margin, size.height() - 2 * Margin));
}

// The title block in the lower right corner that every drawn sheet carries.
void titleBlock(QPainter& p, const Project& project, const QSizeF& size, const QString& sheet,
                const QString& title, int revision = 0) {
    const QRectF block(size.width() - Margin - 300, size.height() - Margin - 90, 300, 90);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawRect(block);
    p.drawLine(QPointF(block.left(), block.top() + 30), QPointF(block.right(), block.top() + 30));
    p.setFont(font(9, true));
    p.drawText(block.adjusted(6, 4, -6, 0), Qt::AlignLeft | Qt::AlignTop, project.name.left(48));
    p.setFont(font(8));
    p.drawText(
        block.adjusted(6, 17, -6, 0), Qt::AlignLeft | Qt::AlignTop,
        QStringLiteral("Project %1 - %2, %3").arg(project.jobId).arg(project.city, project.state));
    p.setFont(font(18, true));
    p.drawText(block.adjusted(6, 34, -6, -4), Qt::AlignLeft | Qt::AlignBottom, sheet);
    p.setFont(font(8));
    p.drawText(block.adjusted(90, 34, -6, -4), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               title);
    if (revision > 0)
        p.drawText(block.adjusted(6, 4, -6, 0), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("REV %1").arg(revision));
}

QStringList bodySentences(const Project& project, const SpecEntry& spec, int page) {
    const QStringList& first = words::scopeSentences();
    const QStringList& more = words::scopeDetails();
    Sequence seq(quint32(project.jobId) ^ qHash(spec.section) ^ quint32(page * 977));
    QStringList out;
    out << QStringLiteral("Work of this section: %1.").arg(spec.description.toLower());
    for (int i = 0; i < 14; ++i) {
        const QStringList& from = i % 3 == 0 ? first : more;
        if (!from.isEmpty()) {
            QString sentence = from.at(seq.next(int(from.size())));
            out << sentence.replace(QLatin1String("%1"), spec.description.toLower());
        }
    }
    return out;
}

QPdfWriter& setUp(QPdfWriter& writer, const QSizeF& size, const QString& title) {
    writer.setResolution(72); // painter units are points
    const bool landscape = size.width() > size.height();
    const QSizeF portrait = landscape ? size.transposed() : size;
    writer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Point),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF()));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("brevant-service"));
    return writer;
}

template <typename Draw> QByteArray tiff(const QSizeF& points, int dotsPerInch, Draw draw) {
    const QSize pixels = (points * dotsPerInch / 72.0).toSize();
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.scale(qreal(dotsPerInch) / 72.0, qreal(dotsPerInch) / 72.0);
        draw(p);
    }
    image = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(1); // LZW
    if (!writer.write(image))
        return {};
    return buffer.data();
}

} // namespace

QSizeF planPageSize() {
    return {1224, 792}; // 17 x 11 inches
}

QSizeF archDPageSize() {
    return {2592, 1728}; // 36 x 24 inches
}

QSizeF textPageSize() {
    return {612, 792}; // 8.5 x 11 inches
}

void drawPlanTitlePage(QPainter& p, const Project& project) {
    const QSizeF size = planPageSize();
    frame(p, size);
    p.setPen(Qt::black);
    p.setFont(font(28, true));
    p.drawText(QRectF(Margin + 30, Margin + 40, size.width() - 2 * Margin - 60, 80),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, project.name);
    p.setFont(font(14));
    p.drawText(
        QRectF(Margin, Margin + 130, size.width() - 2 * Margin, 24), Qt::AlignHCenter,
        QStringLiteral("%1, %2 - Project %3").arg(project.city, project.state).arg(project.jobId));
    p.setFont(font(12, true));
    qreal y = Margin + 190;
    const qreal x = Margin + 120;
    p.drawText(QPointF(x, y), QStringLiteral("SHEET INDEX"));
    p.setFont(font(10));
    for (const PlanSheet& sheet : project.plans) {
        y += 18;
        p.drawText(QPointF(x, y), sheet.file);
        p.drawText(QPointF(x + 90, y), sheet.description);
    }
    titleBlock(p, project, size, QStringLiteral("T-0"),
               QStringLiteral("TITLE SHEET AND SHEET INDEX"));
}

void drawPlanSheet(QPainter& p, const Project& project, const PlanSheet& sheet) {
    drawPlanSheet(p, project, sheet, planPageSize());
}

void drawPlanSheet(QPainter& p, const Project& project, const PlanSheet& sheet,
                   const QSizeF& size) {
    const SheetGeometry g = sheetGeometry(project, sheet, size);
    frame(p, size);
    const QRectF& b = g.building;

    // Column grid: dashed lines through the partitions with lettered bubbles above.
    QVector<qreal> columns{b.left()};
    for (const SheetWall& w : g.walls) {
        if (!w.exterior && w.line.x1() == w.line.x2())
            columns << w.line.x1();
    }
    columns << b.right();
    p.setPen(QPen(Qt::black, 0.5, Qt::DashLine));
    p.setFont(font(8));
    for (int c = 0; c < columns.size(); ++c) {
        const qreal x = columns[c];
        p.drawLine(QPointF(x, b.top() - 72), QPointF(x, b.bottom() + 20));
        p.drawEllipse(QPointF(x, b.top() - 81), 9, 9);
        p.drawText(QRectF(x - 9, b.top() - 90, 18, 18), Qt::AlignCenter, QString(QChar('A' + c)));
    }

    // Walls on their centre lines: exterior heavy, partitions lighter.
    for (const SheetWall& w : g.walls) {
        p.setPen(QPen(Qt::black, w.exterior ? 3 : 1.5, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(w.line);
    }

    // Doors: the leaf drawn open and its swing back to the wall.
    p.setPen(QPen(Qt::black, 0.75));
    for (const SheetDoor& d : g.doors) {
        p.drawLine(QLineF(d.hinge, d.open));
        const QLineF leaf(d.hinge, d.open), closed(d.hinge, d.strike);
        qreal sweep = closed.angle() - leaf.angle();
        if (sweep > 180)
            sweep -= 360;
        if (sweep <= -180)
            sweep += 360;
        const qreal r = leaf.length();
        p.drawArc(QRectF(d.hinge.x() - r, d.hinge.y() - r, 2 * r, 2 * r), qRound(leaf.angle() * 16),
                  qRound(sweep * 16));
    }

    p.setFont(font(8));
    for (const SheetRoom& r : g.rooms)
        p.drawText(r.outline.boundingRect(), Qt::AlignCenter, r.name);

    // Dimension strings: extension lines, ticks, and the true length above the line.
    p.setPen(QPen(Qt::black, 0.5));
    p.setFont(font(7));
    for (const SheetDimension& d : g.dimensions) {
        const bool horizontal = d.line.y1() == d.line.y2();
        for (const QPointF& end : {d.line.p1(), d.line.p2()}) {
            if (horizontal)
                p.drawLine(QPointF(end.x(), end.y() - 6), QPointF(end.x(), b.top() - 4));
            else
                p.drawLine(QPointF(end.x() - 6, end.y()), QPointF(b.left() - 4, end.y()));
            p.drawLine(QPointF(end.x() - 3, end.y() + 3), QPointF(end.x() + 3, end.y() - 3));
        }
        p.drawLine(d.line);
        const QPointF mid = d.line.center();
        p.save();
        p.translate(mid);
        if (!horizontal)
            p.rotate(-90);
        p.drawText(QRectF(-40, -13, 80, 11), Qt::AlignHCenter | Qt::AlignBottom, d.text);
        p.restore();
    }

    p.setFont(font(12, true));
    p.drawText(QPointF(b.left(), b.bottom() + 50), sheet.description);
    p.setFont(font(8));
    p.drawText(QPointF(b.left(), b.bottom() + 64), QStringLiteral("SCALE: ") + g.scaleText);
    if (g.revision > 0)
        p.drawText(QPointF(b.left(), b.bottom() + 78),
                   QStringLiteral("REVISION %1 - ROOM SIZES REVISED").arg(g.revision));
    titleBlock(p, project, size, sheet.file, sheet.description, g.revision);
}

void drawTextPage(QPainter& p, const Project& project, const SpecEntry& spec, int page, int pages) {
    const QSizeF size = textPageSize();
    const QRectF body(Margin + 18, Margin + 18, size.width() - 2 * Margin - 36,
                      size.height() - 2 * Margin - 60);
    p.setPen(Qt::black);
    qreal y = body.top();
    if (page == 1) {
        p.setFont(font(15, true));
        const QRectF title(body.left(), y, body.width(), 60);
        QRectF used;
        p.drawText(title, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("SECTION %1\n%2").arg(spec.section, spec.description.toUpper()),
                   &used);
        y = used.bottom() + 18;
        p.setFont(font(9));
        p.drawText(QPointF(body.left(), y), project.name);
        y += 24;
    }
    p.setFont(font(10));
    int part = 1;
    for (const QString& sentence : bodySentences(project, spec, page)) {
        const QRectF room(body.left(), y, body.width(), body.bottom() - y);
        if (room.height() < 30)
            break;
        QRectF used;
        p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("%1.%2  %3").arg(page).arg(part++).arg(sentence), &used);
        y = used.bottom() + 8;
    }
    p.setFont(font(8));
    p.drawText(QRectF(Margin, size.height() - Margin - 20, size.width() - 2 * Margin, 16),
               Qt::AlignHCenter,
               QStringLiteral("%1 - %2 - Page %3 of %4")
                   .arg(spec.section)
                   .arg(project.jobId)
                   .arg(page)
                   .arg(pages));
}

QByteArray planSetPdf(const Project& project) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setUp(writer, planPageSize(), project.name + QStringLiteral(" - Plans"));
        QPainter p(&writer);
        drawPlanTitlePage(p, project);
        for (const PlanSheet& sheet : project.plans) {
            writer.newPage();
            drawPlanSheet(p, project, sheet);
        }
    }
    return buffer.data();
}

QByteArray planSheetPdf(const Project& project, const PlanSheet& sheet, const QSizeF& pageSize) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setUp(writer, pageSize, project.name + QStringLiteral(" - ") + sheet.file);
        QPainter p(&writer);
        drawPlanSheet(p, project, sheet, pageSize);
    }
    return buffer.data();
}

QByteArray sectionPdf(const Project& project, const SpecEntry& spec) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setUp(writer, textPageSize(), spec.section + QStringLiteral(" ") + spec.description);
        QPainter p(&writer);
        const int pages = std::max(1, spec.pages);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                writer.newPage();
            drawTextPage(p, project, spec, page, pages);
        }
    }
    return buffer.data();
}

QByteArray planSheetTiff(const Project& project, const PlanSheet& sheet, int dotsPerInch) {
    return tiff(planPageSize(), dotsPerInch,
                [&](QPainter& p) { drawPlanSheet(p, project, sheet); });
}

QByteArray textPageTiff(const Project& project, const SpecEntry& spec, int page, int pages,
                        int dotsPerInch) {
    return tiff(textPageSize(), dotsPerInch,
                [&](QPainter& p) { drawTextPage(p, project, spec, page, pages); });
}

} // namespace brevant::service
