#include "MarkedSheetPrint.h"

#include "MarkPainter.h"
#include "platform/pdf/PageOverlay.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>

namespace brevant::viewer {

namespace {

// Logical dots per inch of the marks' page: their pen widths and marker sizes (pixels) come out
// as on a screen of the usual resolution.
constexpr int MarksResolution = 96;

// The marks alone on a page of the sheet's size, in the sheet's points.
bool writeMarksPage(const QString& file, const QSizeF& points, const MarkLayer& marks,
                    const QString& title) {
    QPdfWriter writer(file);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Brevant Desktop"));
    writer.setResolution(MarksResolution);
    if (!writer.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF())))
        return false;
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const qreal unit = MarksResolution / 72.0;
    painter.scale(unit, unit);
    marks.paint(painter, QRectF(QPointF(), points), unit);
    return painter.end();
}

// The sheet's own page with the marks over it, through the vector path; false when the sheet
// cannot be read that way.
bool printOverlaid(const QString& sheetFile, int page, const QSizeF& points, const MarkLayer& marks,
                   const reports::PrintTarget& target, const QString& title, QString* result) {
    QTemporaryDir dir;
    if (sheetFile.isEmpty() || !dir.isValid())
        return false;
    const QString marksFile = dir.filePath(QStringLiteral("marks.pdf"));
    const QString marked = dir.filePath(QStringLiteral("marked.pdf"));
    if (!writeMarksPage(marksFile, points, marks, title))
        return false;
    const std::string failed = pdf::OverlayPage(QFile::encodeName(sheetFile).toStdString(), page,
                                                QFile::encodeName(marksFile).toStdString(),
                                                QFile::encodeName(marked).toStdString());
    if (!failed.empty())
        return false;
    *result = reports::PrintPdfDocument(marked, target, title);
    return true;
}

} // namespace

QString PrintMarkedSheet(QPdfDocument& document, const QString& sheetFile, int page,
                         const MarkLayer& marks, const reports::PrintTarget& target,
                         const QString& title) {
    if (page < 0 || page >= document.pageCount())
        return QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                           "the page to print does not exist");
    const QSizeF points = document.pagePointSize(page);
    if (points.isEmpty())
        return QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                           "the page to print does not exist");
    if (QString result; printOverlaid(sheetFile, page, points, marks, target, title, &result))
        return result;
    // Screen resolution: the marks' pen widths and marker sizes (pixels) come out as on screen,
    // and the page picture keeps its own pixels whatever the device's units.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setDocName(title);
    printer.setFullPage(true);
    QString temporary;
    if (!target.pdfPath.isEmpty()) {
        temporary = target.pdfPath + QStringLiteral(".brevant-print");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temporary);
        printer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
        printer.setPageMargins(QMarginsF());
    } else {
        printer.setPrinterName(target.printer);
        if (!printer.isValid())
            return QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                               "the printer %1 is not available")
                .arg(target.printer);
        printer.setPageOrientation(points.width() > points.height() ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
    }
    const qreal longer = std::max(points.width(), points.height());
    const qreal pixelsPerPoint = std::min(300.0 / 72.0, MarkedSheetMaxPixels / longer);
    const QImage image = document.render(page, (points * pixelsPerPoint).toSize());
    const auto fail = [&](const QString& why) {
        if (!temporary.isEmpty())
            QFile::remove(temporary);
        return why;
    };
    if (image.isNull())
        return fail(QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                                "the page could not be drawn"));
    QPainter painter;
    if (!painter.begin(&printer))
        return fail(QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                                "the pages could not be printed"));
    // Device units per point: the PDF file is the page's own size; on paper the sheet is
    // shrunk to fit (or kept at its size, centred, when that fits).
    const QRectF area = painter.viewport();
    const qreal unit = qreal(printer.resolution()) / 72.0;
    const qreal fit = std::min(area.width() / points.width(), area.height() / points.height());
    const qreal scale = target.pdfPath.isEmpty() ? std::min(unit, fit) : unit;
    const QPointF origin((area.width() - points.width() * scale) / 2,
                         (area.height() - points.height() * scale) / 2);
    painter.setTransform(QTransform::fromTranslate(origin.x(), origin.y()).scale(scale, scale));
    painter.drawImage(QRectF(QPointF(), points), image);
    marks.paint(painter, QRectF(QPointF(), points), scale);
    if (!painter.end())
        return fail(QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                                "the pages could not be printed"));
    if (!temporary.isEmpty()) {
        // rename(2) swaps the finished file in for the old one in one step.
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(target.pdfPath).constData()) != 0)
            return fail(QCoreApplication::translate("brevant::viewer::MarkedSheetPrint",
                                                    "%1 cannot be written")
                            .arg(target.pdfPath));
    }
    return {};
}

} // namespace brevant::viewer
