// The drawn plan sheets are true to their stated scale: the PDF the service writes is rendered
// by poppler (pdftoppm) and its walls measured in pixels, its texts located with pdftotext, and
// both compared with the sizes sheetGeometry states. A few sheets are drawn smaller than they
// say and are flagged so; a revision (the third update of a project) draws a sheet anew under
// its name, and the update document says which.
#include "ServiceHarness.h"

#include "service/catalogue/CatalogueGenerator.h"
#include "service/catalogue/DocumentPages.h"
#include "service/catalogue/Generations.h"
#include "service/catalogue/SheetGeometry.h"

#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant::service;
using namespace brevant::service::test;

namespace {

constexpr int kDpi = 216; // three pixels a point
constexpr double kPixelsPerPoint = kDpi / 72.0;

bool havePoppler() {
    return !QStandardPaths::findExecutable("pdftoppm").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString writePdf(const QTemporaryDir& dir, const QByteArray& pdf) {
    const QString path = dir.filePath("sheet.pdf");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(pdf);
    return path;
}

QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

// The page rendered by poppler, in grey.
QImage render(const QTemporaryDir& dir, const QString& pdf) {
    run("pdftoppm",
        {"-r", QString::number(kDpi), "-gray", "-png", "-singlefile", pdf, dir.filePath("page")});
    return QImage(dir.filePath("page.png")).convertToFormat(QImage::Format_Grayscale8);
}

bool dark(const QImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           qGray(image.pixel(x, y)) < 128;
}

// Walks from a point (in points) one pixel at a time by (dx, dy) to the first dark run and
// returns the run's centre along the walk, in points.
double wallFrom(const QImage& image, const QPointF& from, int dx, int dy) {
    int x = int(from.x() * kPixelsPerPoint), y = int(from.y() * kPixelsPerPoint);
    while (x >= 0 && y >= 0 && x < image.width() && y < image.height() && !dark(image, x, y)) {
        x += dx;
        y += dy;
    }
    const int first = dx ? x : y;
    while (dark(image, x, y)) {
        x += dx;
        y += dy;
    }
    const int last = (dx ? x - dx : y - dy);
    return ((first + last) / 2.0 + 0.5) / kPixelsPerPoint;
}

struct Word {
    QString text;
    QRectF box;
};

// The words pdftotext finds on the page, with their boxes in points.
QList<Word> words(const QString& pdf) {
    const QString html = QString::fromUtf8(run("pdftotext", {"-bbox", pdf, "-"}));
    static const QRegularExpression word(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>");
    QList<Word> out;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString text = m.captured(5);
        text.replace("&quot;", "\"").replace("&apos;", "'").replace("&amp;", "&");
        out << Word{text, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))};
    }
    return out;
}

// A catalogue project with at least five sheets, so that one of them is not to scale.
Project projectWithSheets() {
    for (int i = 0;; ++i) {
        Project p = generateProject(TestSeed, i, testToday());
        if (p.plans.size() >= 5)
            return p;
    }
}

TEST(SheetGeometryTest, DrawnSheetsMeasureAsTheirTrueSizes) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils (pdftoppm, pdftotext) is not installed";
    const Project project = projectWithSheets();
    int notToScale = 0;
    for (const PlanSheet& sheet : project.plans.mid(0, 5)) {
        SCOPED_TRACE(sheet.file.toStdString());
        const SheetGeometry g = sheetGeometry(project, sheet);
        QTemporaryDir dir;
        const QString pdf = writePdf(dir, planSheetPdf(project, sheet, planPageSize()));
        const QImage page = render(dir, pdf);
        ASSERT_FALSE(page.isNull());
        ASSERT_EQ(page.size(), (planPageSize() * kPixelsPerPoint).toSize());

        // Every room, measured wall to wall on the page, is its true size at the drawn scale.
        ASSERT_EQ(g.rooms.size() % 2, 0);
        for (int i = 0; i < g.rooms.size(); ++i) {
            const SheetRoom& room = g.rooms[i];
            const QRectF r = room.outline.boundingRect();
            const bool front = i < g.rooms.size() / 2; // doors swing into the side away from it
            // Clear of the door swings and of the room's name in the middle.
            const double y = r.top() + r.height() * (front ? 0.25 : 0.75);
            const double width = wallFrom(page, {r.center().x(), y}, 1, 0) -
                                 wallFrom(page, {r.center().x(), y}, -1, 0);
            const double x = r.left() + r.width() * (front ? 0.75 : 0.25);
            const double depth = wallFrom(page, {x, r.bottom() - r.height() * 0.3}, 0, 1) -
                                 wallFrom(page, {x, r.top() + r.height() * 0.3}, 0, -1);
            EXPECT_NEAR(width / g.pointsPerFoot, room.widthFeet, 0.25) << room.name.toStdString();
            EXPECT_NEAR(depth / g.pointsPerFoot, room.depthFeet, 0.25) << room.name.toStdString();
            EXPECT_DOUBLE_EQ(room.areaSquareFeet, room.widthFeet * room.depthFeet);
        }
        EXPECT_EQ(g.rooms.first().widthFeet, 40.0);
        EXPECT_EQ(g.rooms.first().depthFeet, 25.0);
        // Walls' stated lengths are their drawn lengths at the drawn scale.
        for (const SheetWall& w : g.walls)
            EXPECT_NEAR(w.line.length() / g.pointsPerFoot, w.lengthFeet, 1e-9);
        // One door per room and the entrance, each leaf drawn where it is said to be.
        EXPECT_EQ(g.doors.size(), g.rooms.size() + 1);
        for (const SheetDoor& d : g.doors) {
            const QPointF mid = (d.hinge + d.open) / 2 * kPixelsPerPoint;
            EXPECT_TRUE(dark(page, qRound(mid.x()), qRound(mid.y())) ||
                        dark(page, qRound(mid.x()) + 1, qRound(mid.y())) ||
                        dark(page, qRound(mid.x()), qRound(mid.y()) + 1));
        }

        // The printed scale and the printed dimension of ROOM 101, centred over its line.
        const QList<Word> found = words(pdf);
        QStringList all;
        for (const Word& w : found)
            all << w.text;
        EXPECT_TRUE(all.join(' ').contains("SCALE: " + g.scaleText)) << all.join(' ').toStdString();
        const SheetDimension& d = g.dimensions.first();
        EXPECT_EQ(d.text, "40'-0\"");
        EXPECT_NEAR(d.line.length() / g.pointsPerFoot, 40.0, 1e-9);
        const auto at = std::find_if(found.begin(), found.end(), [&](const Word& w) {
            return w.text == d.text && std::abs(w.box.center().x() - d.line.center().x()) < 2;
        });
        ASSERT_NE(at, found.end());
        EXPECT_LT(at->box.bottom(), d.line.y1() + 1);
        EXPECT_GT(at->box.bottom(), d.line.y1() - 12);

        // The stated scale agrees with the drawing, except on the sheets flagged otherwise:
        // there only the dimension strings (a calibration) give true lengths.
        if (g.trueToScale) {
            EXPECT_DOUBLE_EQ(g.pointsPerFoot, g.statedPointsPerFoot);
        } else {
            ++notToScale;
            EXPECT_GT(std::abs(d.line.length() / g.statedPointsPerFoot - 40.0), 2.0);
        }
    }
    EXPECT_EQ(notToScale, 1); // of five sheets
}

TEST(SheetGeometryTest, ALargeSheetHoldsTheSameBuildingAtALargerScale) {
    const Project project = projectWithSheets();
    const PlanSheet& sheet = project.plans.first();
    const SheetGeometry small = sheetGeometry(project, sheet);
    const SheetGeometry large = sheetGeometry(project, sheet, archDPageSize());
    EXPECT_EQ(large.pageSize, QSizeF(2592, 1728));
    EXPECT_GE(large.pointsPerFoot, small.pointsPerFoot);
    ASSERT_EQ(large.rooms.size(), small.rooms.size());
    for (int i = 0; i < large.rooms.size(); ++i)
        EXPECT_EQ(large.rooms[i].areaSquareFeet, small.rooms[i].areaSquareFeet);
    QRectF page(QPointF(0, 0), large.pageSize);
    EXPECT_TRUE(page.contains(large.building));
    const QByteArray pdf = planSheetPdf(project, sheet, archDPageSize());
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    static const QRegularExpression box("/MediaBox \\[0 0 2592(\\.0*)? 1728(\\.0*)?\\]");
    EXPECT_TRUE(box.match(QString::fromLatin1(pdf)).hasMatch());
}

// The third update of a project is an addendum that revises one of its earlier sheets: the
// sheet keeps its name and size, its page file and drawing change, and only that sheet's Plan
// element carries the revision.
TEST(SheetGeometryTest, ARevisionDrawsTheSheetAnewUnderItsName) {
    ServiceProcess service;
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();
    const QString id = "210003";
    auto updateXml = [&] {
        const Received r = exchange(service.port, frame(3, id));
        const HttpResult h = httpGet(QString::fromUtf8(r.body().split(',').value(0)));
        const QList<ZipEntry> entries = zipEntries(h.body);
        return entries.isEmpty() ? QByteArray() : entries.first().data;
    };
    auto plans = [](const QByteArray& xml) {
        QDomDocument doc;
        EXPECT_TRUE(doc.setContent(xml));
        QMap<QString, QDomElement> out;
        const QDomElement list =
            doc.documentElement().firstChildElement("Job").firstChildElement("Plans");
        for (QDomElement e = list.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            out.insert(e.attribute("Name"), e);
        return out;
    };
    QString comment;
    auto page = [&](const QString& file) {
        const Received r = exchange(service.port, frame(5, id + "@PLN~" + file));
        const HttpResult h = httpGet(QString::fromUtf8(r.body().split(',').value(0)));
        for (const ZipEntry& e : zipEntries(h.body)) {
            if (e.name == file) {
                comment = e.comment;
                return e.data;
            }
        }
        return QByteArray();
    };

    QMap<QString, QByteArray> pagesBefore;
    for (int generation = 1; generation <= 2; ++generation) {
        const auto sheets = plans(updateXml());
        for (const QDomElement& e : sheets)
            EXPECT_FALSE(e.hasAttribute("Revision")) << generation;
        for (const QString& file : sheets.keys()) {
            pagesBefore.insert(file, page(file));
            EXPECT_EQ(comment, "");
        }
    }
    const auto third = plans(updateXml());
    QStringList revised;
    for (const QDomElement& e : third) {
        if (e.hasAttribute("Revision")) {
            revised << e.attribute("Name");
            EXPECT_EQ(e.attribute("Revision"), "1");
        }
    }
    ASSERT_EQ(revised.size(), 1);
    const QString file = revised.first();
    ASSERT_TRUE(pagesBefore.contains(file)); // an earlier sheet, not the one just added
    const QByteArray after = page(file);
    ASSERT_FALSE(after.isEmpty());
    // The downloaded page says which drawing it is.
    EXPECT_EQ(comment, "Revision=1");
    EXPECT_EQ(after.size(), pagesBefore.value(file).size());
    EXPECT_NE(after, pagesBefore.value(file));
    EXPECT_EQ(third.value(file).attribute("Size").toLongLong(), after.size());
    // Another sheet is handed out as before.
    for (const QString& other : pagesBefore.keys()) {
        if (other != file) {
            EXPECT_EQ(page(other), pagesBefore.value(other)) << other.toStdString();
            break;
        }
    }
}

TEST(SheetGeometryTest, ARevisionChangesRoomSizesButNotTheKnownRoom) {
    const Project project = projectWithSheets();
    PlanSheet sheet = project.plans.first();
    const SheetGeometry before = sheetGeometry(project, sheet);
    for (int revision = 1; revision <= 6; ++revision) {
        SheetGeometry previous = sheetGeometry(project, sheet);
        sheet.revision = revision;
        const SheetGeometry g = sheetGeometry(project, sheet);
        EXPECT_EQ(g.revision, revision);
        EXPECT_EQ(g.rooms.first().widthFeet, 40.0);
        EXPECT_NE(g.rooms[1].widthFeet, previous.rooms[1].widthFeet) << revision;
        EXPECT_EQ(g.rooms.size(), before.rooms.size());
    }
    // A revision is drawn: the page image differs from the unrevised one.
    const PlanSheet unrevised = project.plans.first();
    EXPECT_NE(planSheetTiff(project, sheet, 50), planSheetTiff(project, unrevised, 50));
}

} // namespace
