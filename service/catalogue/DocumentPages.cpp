#include "service/catalogue/DocumentPages.h"

#include "service/catalogue/CatalogueWords.h"

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
void titleBlock(QPainter& p, const Project& project, const QString& sheet, const QString& title) {
    const QSizeF size = planPageSize();
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
    titleBlock(p, project, QStringLiteral("T-0"), QStringLiteral("TITLE SHEET AND SHEET INDEX"));
}

void drawPlanSheet(QPainter& p, const Project& project, const PlanSheet& sheet) {
    const QSizeF size = planPageSize();
    frame(p, size);
    Sequence seq(quint32(project.jobId) * 31u + qHash(sheet.file));
    // A building outline with rooms, walls and a column grid: enough to look like a sheet.
    const QRectF area(Margin + 60, Margin + 60, size.width() - 2 * Margin - 440,
                      size.height() - 2 * Margin - 140);
    p.setPen(QPen(Qt::black, 0.5, Qt::DashLine));
    const int columns = 4 + seq.next(5);
    const int rows = 3 + seq.next(3);
    for (int c = 0; c <= columns; ++c) {
        const qreal x = area.left() + area.width() * c / columns;
        p.drawLine(QPointF(x, area.top() - 30), QPointF(x, area.bottom() + 30));
        p.drawEllipse(QPointF(x, area.top() - 40), 9, 9);
        p.setFont(font(8));
        p.drawText(QRectF(x - 9, area.top() - 49, 18, 18), Qt::AlignCenter,
                   QString(QChar('A' + c)));
    }
    for (int r = 0; r <= rows; ++r) {
        const qreal y = area.top() + area.height() * r / rows;
        p.drawLine(QPointF(area.left() - 30, y), QPointF(area.right() + 30, y));
    }
    p.setPen(QPen(Qt::black, 3));
    p.drawRect(area);
    p.setPen(QPen(Qt::black, 1.5));
    p.setFont(font(8));
    for (int room = 0; room < 6 + seq.next(6); ++room) {
        const qreal w = area.width() * (0.12 + seq.next(20) / 100.0);
        const qreal h = area.height() * (0.15 + seq.next(25) / 100.0);
        const QRectF r(area.left() + seq.next(int(area.width() - w)),
                       area.top() + seq.next(int(area.height() - h)), w, h);
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("ROOM %1").arg(100 + room + 1));
    }
    p.setFont(font(12, true));
    p.drawText(QPointF(area.left(), area.bottom() + 60), sheet.description);
    p.setFont(font(8));
    p.drawText(QPointF(area.left(), area.bottom() + 74), QStringLiteral("SCALE: 1/8\" = 1'-0\""));
    titleBlock(p, project, sheet.file, sheet.description);
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
