// The documents the service hands out are real: the plan set is a PDF of a title page plus one
// page per sheet, every section and addendum a PDF of its pages, every page file a TIFF image
// (of exactly the announced size for plan pages) that Qt's image reader opens.
#include "ServiceHarness.h"

#include <QBuffer>
#include <QDomDocument>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

QList<ZipEntry> documentsOf(const ServiceProcess& service, const QString& selection) {
    const Received r = exchange(service.port, frame(5, selection));
    const QList<QByteArray> parts = r.body().split(',');
    if (parts.size() != 2)
        return {};
    const HttpResult http = httpGet(QString::fromUtf8(parts[0]));
    return http.status == 200 ? zipEntries(http.body) : QList<ZipEntry>{};
}

// Pages of a PDF by pdfinfo, or -1 when pdfinfo is missing or fails.
int pdfPages(const QByteArray& pdf) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        return -1;
    QTemporaryDir dir;
    QFile file(dir.filePath("doc.pdf"));
    file.open(QIODevice::WriteOnly);
    file.write(pdf);
    file.close();
    QProcess p;
    p.start("pdfinfo", {file.fileName()});
    p.waitForFinished(30000);
    const QRegularExpression pages("Pages:\\s+(\\d+)");
    const auto m = pages.match(QString::fromUtf8(p.readAllStandardOutput()));
    return p.exitCode() == 0 && m.hasMatch() ? m.captured(1).toInt() : -1;
}

QImage tiffImage(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "tiff");
    return reader.read();
}

TEST(DocumentFilesTest, PlanSetSectionsAndPagesAreRealDocuments) {
    if (!QImageReader::supportedImageFormats().contains("tiff"))
        GTEST_SKIP() << "Qt's TIFF image plugin is not installed (qt6-image-formats-plugins)";
    ServiceProcess service;
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();

    // The project's sheets and sections as the listing announces them.
    const Received listing = exchange(service.port, frame(2, "210002"));
    const HttpResult http = httpGet(QString::fromUtf8(listing.body().split(',').value(0)));
    const QList<ZipEntry> xml = zipEntries(http.body);
    ASSERT_EQ(xml.size(), 1);
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml[0].data));
    const QDomElement job = doc.documentElement().firstChildElement("Job");
    QMap<QString, qint64> sheets;
    for (QDomElement p = job.firstChildElement("Plans").firstChildElement(); !p.isNull();
         p = p.nextSiblingElement())
        sheets[p.attribute("Name")] = p.attribute("Size").toLongLong();
    QString section, addendum;
    for (QDomElement s = job.firstChildElement("Specs").firstChildElement(); !s.isNull();
         s = s.nextSiblingElement()) {
        const QString name = s.attribute("Name");
        if (name.startsWith("ADD"))
            addendum = name;
        else if (!name.startsWith("TOC") && section.isEmpty())
            section = name;
    }
    ASSERT_GE(sheets.size(), 4);
    ASSERT_FALSE(section.isEmpty());

    QString selection = "210002@SPC~" + section;
    for (const QString& sheet : sheets.keys())
        selection += ":PLN~" + sheet;
    if (!addendum.isEmpty())
        selection += ":ADD~" + addendum;
    const QList<ZipEntry> entries = documentsOf(service, selection);
    QMap<QString, QByteArray> files;
    for (const ZipEntry& e : entries)
        files[e.name] = e.data;

    ASSERT_TRUE(files.contains("PLAN.SVD"));
    EXPECT_TRUE(files["PLAN.SVD"].startsWith("%PDF-"));
    const int planPages = pdfPages(files["PLAN.SVD"]);
    if (planPages >= 0) {
        EXPECT_EQ(planPages, sheets.size() + 1) << "title page plus one page per sheet";
    }
    for (auto it = sheets.cbegin(); it != sheets.cend(); ++it) {
        ASSERT_TRUE(files.contains(it.key())) << it.key().toStdString();
        EXPECT_EQ(files[it.key()].size(), it.value()) << "page file of the announced size";
        const QImage page = tiffImage(files[it.key()]);
        ASSERT_FALSE(page.isNull()) << it.key().toStdString();
        EXPECT_GT(page.width(), page.height()) << "plan sheets are landscape";
        // A drawn sheet, not a blank one: some pixels are black.
        const QImage gray = page.convertToFormat(QImage::Format_Grayscale8);
        int dark = 0;
        for (int y = 0; y < gray.height(); ++y)
            for (int x = 0; x < gray.width(); ++x)
                dark += qGray(gray.pixel(x, y)) < 128;
        EXPECT_GT(dark, gray.width() * gray.height() / 200);
    }

    for (const QString& key : {section, addendum}) {
        if (key.isEmpty())
            continue;
        ASSERT_TRUE(files.contains(key + ".SVD"));
        EXPECT_TRUE(files[key + ".SVD"].startsWith("%PDF-"));
        int images = 0;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            if (!it.key().startsWith(key + "_") || !it.key().endsWith(".tif"))
                continue;
            ++images;
            const QImage page = tiffImage(it.value());
            EXPECT_FALSE(page.isNull()) << it.key().toStdString();
            EXPECT_LT(page.width(), page.height()) << "text pages are portrait";
        }
        EXPECT_GE(images, 1);
        const int pages = pdfPages(files[key + ".SVD"]);
        if (pages >= 0) {
            EXPECT_EQ(pages, images) << "one page image per page of the document";
        }
    }

    // Asked again, the documents come from the files already written, unchanged.
    const QList<ZipEntry> again = documentsOf(service, selection);
    for (const ZipEntry& e : again) {
        if (e.name != "PLAN.SVD") {
            EXPECT_EQ(e.data, files.value(e.name)) << e.name.toStdString();
        }
    }
}

} // namespace
