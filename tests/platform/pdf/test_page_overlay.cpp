// A sheet's page with a second page laid over it: the sheet stays vector text and drawing, the
// overlay lands where it was drawn (also on a page turned by /Rotate), and a file that is not a
// PDF, or a page that does not exist, is a reason and no output.
#include "platform/pdf/PageOverlay.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace {

using brevant::pdf::OverlayPage;

constexpr QSizeF Sheet(17 * 72, 11 * 72);

std::string name(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Pages of size, each drawn by draw in points.
void writePdf(const QString& path, QSizeF size, int pages,
              const std::function<void(QPainter&, int)>& draw) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageLayout(
        QPageLayout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF()));
    QPainter p(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        draw(p, i);
    }
}

void sheetPage(QPainter& p, int page) {
    p.setPen(QPen(Qt::black, 4));
    p.drawLine(QPointF(100, 100), QPointF(1100, 100));
    QFont font = p.font();
    font.setPointSize(24);
    p.setFont(font);
    p.drawText(QPointF(100, 700), QStringLiteral("FIRST FLOOR PLAN %1").arg(page + 1));
}

QImage render(const QString& path, QSizeF* size = nullptr) {
    QPdfDocument doc;
    if (doc.load(path) != QPdfDocument::Error::None || doc.pageCount() != 1)
        return {};
    if (size)
        *size = doc.pagePointSize(0);
    return doc.render(0, doc.pagePointSize(0).toSize()); // one pixel a point
}

bool isRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
bool isBlack(QRgb c) {
    return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80;
}

} // namespace

TEST(PageOverlayTest, TheChosenPageStaysVectorAndTheOverlayLandsWhereItWasDrawn) {
    QTemporaryDir dir;
    const QString sheet = dir.filePath("sheet.pdf"), marks = dir.filePath("marks.pdf"),
                  out = dir.filePath("out.pdf");
    writePdf(sheet, Sheet, 3, sheetPage);
    writePdf(marks, Sheet, 1,
             [](QPainter& p, int) { p.fillRect(QRectF(900, 500, 60, 40), Qt::red); });
    ASSERT_EQ(OverlayPage(name(sheet), 1, name(marks), name(out)), "");
    QSizeF size;
    const QImage image = render(out, &size);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(size, Sheet);
    EXPECT_TRUE(isRed(image.pixel(930, 520)));
    EXPECT_TRUE(isBlack(image.pixel(600, 100))); // not covered by the marks' page
    QPdfDocument doc;
    ASSERT_EQ(doc.load(out), QPdfDocument::Error::None);
    EXPECT_TRUE(doc.getAllText(0).text().contains("FIRST FLOOR PLAN 2"))
        << doc.getAllText(0).text().toStdString();
    // Vector: the size of the sheet's own page, nothing like a picture of it.
    EXPECT_LT(QFileInfo(out).size(), QFileInfo(sheet).size() + 64 * 1024);
}

TEST(PageOverlayTest, OnAPageTurnedByRotateTheOverlaySitsAsThePageIsSeen) {
    QTemporaryDir dir;
    const QString flat = dir.filePath("flat.pdf"), sheet = dir.filePath("sheet.pdf"),
                  marks = dir.filePath("marks.pdf"), out = dir.filePath("out.pdf");
    writePdf(flat, Sheet, 1, sheetPage);
    {
        // qpdf keeps the file names it is given as pointers.
        const std::string from = name(flat), to = name(sheet);
        QPDF pdf;
        pdf.processFile(from.c_str());
        QPDFPageDocumentHelper(pdf).getAllPages().at(0).rotatePage(90, false);
        QPDFWriter w(pdf, to.c_str());
        w.write();
    }
    QSizeF seen;
    ASSERT_FALSE(render(sheet, &seen).isNull());
    ASSERT_EQ(seen, Sheet.transposed());
    // The marks are drawn over the page as a viewer shows it: upright, 11" x 17".
    writePdf(marks, seen, 1,
             [](QPainter& p, int) { p.fillRect(QRectF(100, 900, 60, 40), Qt::red); });
    ASSERT_EQ(OverlayPage(name(sheet), 0, name(marks), name(out)), "");
    QSizeF size;
    const QImage image = render(out, &size);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(size, seen);
    // Upright and at its drawn size: red inside, not just outside either corner.
    EXPECT_TRUE(isRed(image.pixel(130, 920)));
    EXPECT_FALSE(isRed(image.pixel(95, 895)));
    EXPECT_FALSE(isRed(image.pixel(165, 945)));
}

TEST(PageOverlayTest, WhatIsNotAPdfOrAPageThatIsNotThereIsARefusalWithNoOutput) {
    QTemporaryDir dir;
    const QString sheet = dir.filePath("sheet.pdf"), marks = dir.filePath("marks.pdf"),
                  junk = dir.filePath("junk.pdf"), out = dir.filePath("out.pdf");
    writePdf(sheet, Sheet, 2, sheetPage);
    writePdf(marks, Sheet, 1, [](QPainter& p, int) { p.fillRect(QRectF(0, 0, 9, 9), Qt::red); });
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
            "2 0 obj << /Type /Pages /Count 99999999 /Kids [2 0 R] >> endobj\n"
            "trailer << /Root 1 0 R >>\n%%EOF\n");
    f.close();
    EXPECT_NE(OverlayPage(name(junk), 0, name(marks), name(out)), "");
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_NE(OverlayPage(name(sheet), 2, name(marks), name(out)), "");
    EXPECT_NE(OverlayPage(name(sheet), -1, name(marks), name(out)), "");
    EXPECT_NE(OverlayPage(name(dir.filePath("missing.pdf")), 0, name(marks), name(out)), "");
    EXPECT_FALSE(QFile::exists(out));
}
