// An estimator's takeoff from start to end against brevant-service on 127.0.0.1: the plan set
// fetched from the service, a sheet drawn to its stated scale measured at that scale, a sheet
// drawn smaller than it says calibrated on a dimension string, a room's floor, a wall and the
// doors measured with the mouse and compared with what the service drew, the CSV read back;
// then the client's update check brings a revised sheet, and the viewer opened again says which
// items are stale until they are accepted.
#include "ServiceHarness.h"
#include "TakeoffSession.h"
#include "TakeoffTools.h"
#include "TakeoffWindowDriver.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"
#include "server/ServerConnection.h"
#include "server/UpdateCheck.h"
#include "service/catalogue/Catalogue.h"
#include "service/catalogue/SheetGeometry.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

using namespace brevant;
using namespace brevant::viewer;
using namespace brevant::viewer::test;
using brevant::service::test::ServiceProcess;

namespace {

// One line of the exported file, fields split as RFC 4180 quotes them.
QStringList csvFields(const QString& line) {
    QStringList out;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            out << field;
            field.clear();
        } else {
            field += c;
        }
    }
    out << field;
    return out;
}

// The quantity (4th field) of the row of an item on a sheet whose name starts with `sheet`.
std::optional<double> csvQuantity(const QString& csv, const QString& item, const QString& sheet) {
    for (const QString& line : csv.split(QStringLiteral("\r\n"))) {
        const QStringList f = csvFields(line);
        if (f.size() == 7 && f[0] == item && f[2].startsWith(sheet))
            return f[3].toDouble();
    }
    return std::nullopt;
}

double relativeError(double measured, double known) {
    return std::abs(measured - known) / known;
}

// The project whose third update revises a sheet drawn smaller than its stated scale, in a set
// that also has a sheet drawn true to scale; worked out on a copy of the service's catalogue.
struct WalkProject {
    service::Project before; // as the first listing has it
    service::PlanSheet trueSheet, revisedSheet;
};
std::optional<WalkProject> findWalkProject(const QString& mirrorDir) {
    service::Catalogue catalogue(mirrorDir, service::test::TestSeed, service::test::TestProjects,
                                 service::test::testToday());
    for (const service::Project& p : catalogue.projects()) {
        WalkProject w;
        w.before = p;
        for (int i = 0; i < 3; ++i)
            catalogue.advance(int(p.jobId));
        bool haveTrue = false, haveRevised = false;
        for (const service::PlanSheet& s : catalogue.find(int(p.jobId))->plans) {
            const service::SheetGeometry g = service::sheetGeometry(w.before, s);
            if (s.revision == 1 && !g.trueToScale) {
                haveRevised = true;
                w.revisedSheet = s;
            } else if (s.revision == 0 && g.trueToScale && !haveTrue) {
                haveTrue = true;
                w.trueSheet = s;
            }
        }
        if (haveTrue && haveRevised) {
            for (const service::PlanSheet& s : p.plans)
                if (s.file == w.revisedSheet.file)
                    w.revisedSheet = s; // as drawn before the update
            return w;
        }
    }
    return std::nullopt;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 120000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class TakeoffWalk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && data.isValid() && mirror.isValid());
        qputenv("BREVANT_HOME", home.path().toLocal8Bit());
        qputenv("BREVANT_REGISTRY", home.filePath("registry").toLocal8Bit());
        modResources::Reset();
        // The client's database filled from the service's catalogue, as the demo fills it.
        ASSERT_TRUE(QDir(home.path()).mkpath("Work"));
        QProcess p;
        p.start(BREVANT_SERVICE_EXE,
                {"--data", data.path(), "--projects", QString::number(service::test::TestProjects),
                 "--seed", QString::number(service::test::TestSeed), "--today",
                 service::test::testToday().toString(Qt::ISODate), "--export-desktop", database()});
        ASSERT_TRUE(p.waitForFinished(120000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        service = std::make_unique<ServiceProcess>(QStringList(), data.path());
        ASSERT_TRUE(service->started()) << service->errorText().toStdString();
        WriteSetting(QStringLiteral("SERVERADDR"), QStringLiteral("127.0.0.1"));
        WriteSetting(QStringLiteral("SERVERPORT"), QString::number(service->port));
        modResources::UserName = QStringLiteral("test");
        modResources::Password = QStringLiteral("secret");
    }
    void TearDown() override {
        modResources::Reset();
        qunsetenv("BREVANT_HOME");
        qunsetenv("BREVANT_REGISTRY");
    }
    QString database() const { return home.filePath("Work/Desktop.mdb"); }

    // The project's plan set from the service into the project's cache folder, as a download
    // places it.
    QString fetchPlanSet(const service::Project& project) {
        QStringList selection;
        for (const service::PlanSheet& s : project.plans)
            selection << "PLN~" + s.file;
        const service::test::Received r = service::test::exchange(
            service->port,
            service::test::frame(5, QString("%1@%2").arg(project.jobId).arg(selection.join(':'))));
        EXPECT_TRUE(r.terminated);
        const QString url = QString::fromUtf8(r.body().split(',').value(0));
        const service::test::HttpResult http = service::test::httpGet(url, 60000);
        EXPECT_EQ(http.status, 200) << url.toStdString();
        const QString folder = home.filePath(QStringLiteral("%1/PLANS").arg(project.jobId));
        QDir().mkpath(folder);
        for (const service::test::ZipEntry& e : service::test::zipEntries(http.body)) {
            if (e.name != "PLAN.SVD")
                continue;
            QFile f(folder + "/PLAN.SVD");
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(e.data);
        }
        EXPECT_TRUE(QFile::exists(folder + "/PLAN.SVD"));
        return folder + "/PLAN.SVD";
    }

    // The viewer on the plan set, shown as the client opens it.
    static std::unique_ptr<frmViewer> open(const QString& planSet, qint64 jobId) {
        return openShown(planSet, int(jobId), QSize(1280, 860));
    }
    // A click on the sheet's line in the sheet list; zoomed in so that a pixel is a fraction
    // of a point.
    static void showSheet(frmViewer& v, const QString& file) {
        auto* sheets = v.findChild<QListWidget*>("lstSheets");
        bool found = false;
        for (int i = 0; i < sheets->count(); ++i) {
            if (sheets->item(i)->text().startsWith(file)) {
                QTest::mouseClick(sheets->viewport(), Qt::LeftButton, {},
                                  sheets->visualItemRect(sheets->item(i)).center());
                found = true;
            }
        }
        ASSERT_TRUE(found) << file.toStdString();
        EXPECT_EQ(v.takeoff()->session().sheet().document, file);
        v.pageView()->setZoom(3.0);
        activate(v);
    }
    // A line or polygon through page points, ended with Enter.
    static void measure(frmViewer& v, const QList<QPointF>& points) {
        for (const QPointF& p : points)
            clickPage(v, p);
        QTest::keyClick(v.pageView(), Qt::Key_Return);
    }

    // "Check for Updates" of the project through the client's update exchange.
    void checkForUpdates(qint64 jobId) {
        modResources::DbConnection = std::make_unique<db::Connection>();
        modResources::DbConnection->open(database());
        server::ServerConnection connection(server::RequestKind::ProjectUpdate);
        bool done = false, merged = false;
        ASSERT_EQ(server::RequestProjectUpdates(connection, QString::number(jobId),
                                                [&](const server::MergeSummary* s) {
                                                    done = true;
                                                    merged = s && s->merged.size() == 1;
                                                }),
                  server::ServerConnection::Open::Connecting);
        ASSERT_TRUE(waitUntil([&] { return done; }));
        EXPECT_TRUE(merged);
        modResources::DbConnection.reset();
    }

    QTemporaryDir home, data, mirror;
    std::unique_ptr<ServiceProcess> service;
    ui::ScopedScriptedUi ui;
};

} // namespace

TEST_F(TakeoffWalk, MeasureKnownSizesExportThenARevisionMarksTheItemsStale) {
    const std::optional<WalkProject> walk = findWalkProject(mirror.path());
    ASSERT_TRUE(walk);
    const service::Project& project = walk->before;
    const service::SheetGeometry stated = service::sheetGeometry(project, walk->trueSheet);
    const service::SheetGeometry reduced = service::sheetGeometry(project, walk->revisedSheet);
    ASSERT_TRUE(stated.trueToScale);
    ASSERT_FALSE(reduced.trueToScale);
    const QString planSet = fetchPlanSet(project);
    std::unique_ptr<frmViewer> v = open(planSet, project.jobId);
    ASSERT_TRUE(v->takeoff());
    TakeoffSession& session = v->takeoff()->session();
    addItem(*v, "Walls", 0);
    addItem(*v, "Floor", 1);
    addItem(*v, "Doors", 2);
    ASSERT_EQ(session.model().data().items.size(), 3u);

    // The sheet drawn to its scale: the scale printed on it, chosen from the list, measures
    // ROOM 101's 40'-0" wall (the top one) right.
    showSheet(*v, walk->trueSheet.file);
    auto* scales = v->findChild<QComboBox*>("cboScale");
    const int printed = scales->findText(stated.scaleText);
    ASSERT_GE(printed, 0) << stated.scaleText.toStdString();
    scales->setCurrentIndex(printed);
    Q_EMIT scales->activated(printed);
    EXPECT_EQ(session.scaleLabel(), stated.scaleText);
    const QPolygonF room = stated.rooms.first().outline;
    chooseItem(*v, "Walls");
    action(*v, "actLength")->trigger();
    ASSERT_EQ(session.tool().tool(), Tool::Length);
    measure(*v, {room[0], room[1]});
    ASSERT_EQ(session.model().data().marks.size(), 1u);

    // The reduced sheet: its printed scale would be 10 % out, so it is calibrated on the
    // dimension string of the building's whole width.
    showSheet(*v, walk->revisedSheet.file);
    EXPECT_TRUE(session.scaleLabel().isEmpty());
    const service::SheetDimension whole = reduced.dimensions[reduced.rooms.size() / 2];
    ASSERT_EQ(whole.lengthFeet, reduced.building.width() / reduced.pointsPerFoot);
    clickButton(*v, "cmdCalibrate");
    ui.answerInput(whole.text);
    clickPage(*v, whole.line.p1());
    clickPage(*v, whole.line.p2());
    EXPECT_FALSE(session.scaleLabel().isEmpty());
    activate(*v);
    // ROOM 101: its floor, its four walls (a 40'-0" and a 25'-0" side twice), and every door.
    const service::SheetRoom known = reduced.rooms.first();
    const QPolygonF outline = known.outline;
    chooseItem(*v, "Floor");
    action(*v, "actArea")->trigger();
    ASSERT_EQ(session.tool().tool(), Tool::Area);
    measure(*v, {outline[0], outline[1], outline[2], outline[3]});
    chooseItem(*v, "Walls");
    action(*v, "actLength")->trigger();
    measure(*v, {outline[0], outline[1]});
    chooseItem(*v, "Doors");
    action(*v, "actCount")->trigger();
    for (const service::SheetDoor& door : reduced.doors)
        clickPage(*v, (door.hinge + door.open) / 2);
    QTest::keyClick(v->pageView(), Qt::Key_Escape); // back to selecting
    EXPECT_EQ(session.tool().tool(), Tool::Select);
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet),
              QStringLiteral("%1 ea").arg(reduced.doors.size()));

    // scripts/takeoff-screenshot takes the README's picture here: the whole sheet with its marks.
    if (const QString shot = qEnvironmentVariable("BREVANT_TAKEOFF_SHOT"); !shot.isEmpty()) {
        v->fitPage();
        v->takeoff()->selectMark(std::nullopt);
        ASSERT_TRUE(v->grab().save(shot)) << shot.toStdString();
    }

    // The file, read back: quantities in decimal feet and square feet.
    const QString csvPath = home.filePath("takeoff.csv");
    ui.answerPath(csvPath);
    clickButton(*v, "cmdExport");
    QFile file(csvPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(file.readAll());
    const std::optional<double> statedWall = csvQuantity(csv, "Walls", walk->trueSheet.file);
    const std::optional<double> wall = csvQuantity(csv, "Walls", walk->revisedSheet.file);
    const std::optional<double> floor = csvQuantity(csv, "Floor", walk->revisedSheet.file);
    const std::optional<double> doors = csvQuantity(csv, "Doors", walk->revisedSheet.file);
    ASSERT_TRUE(statedWall && wall && floor && doors) << csv.toStdString();
    EXPECT_EQ(known.widthFeet, 40.0);
    EXPECT_LT(relativeError(*statedWall, 40.0), 0.0025) << *statedWall;
    EXPECT_LT(relativeError(*wall, 40.0), 0.0025) << *wall;
    EXPECT_LT(relativeError(*floor, known.areaSquareFeet), 0.005) << *floor;
    EXPECT_EQ(*doors, double(reduced.doors.size()));
    EXPECT_FALSE(v->findChild<QLabel*>("lblStale")->isVisibleTo(v.get()));
    v.reset();

    // Three checks for updates: the third brings the revised sheet, which is fetched again.
    for (int check = 0; check < 3; ++check)
        checkForUpdates(project.jobId);
    {
        db::Connection c;
        c.open(database());
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT Revision FROM Plans WHERE JobID = %1 AND File = '%2'")
                    .arg(project.jobId)
                    .arg(walk->revisedSheet.file),
                c);
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.field(0).toInt(), 1);
    }
    service::Project revised = project;
    for (service::PlanSheet& s : revised.plans)
        if (s.file == walk->revisedSheet.file)
            s.revision = 1;
    fetchPlanSet(revised);

    v = open(planSet, project.jobId);
    TakeoffSession& again = v->takeoff()->session();
    showSheet(*v, walk->revisedSheet.file);
    auto* stale = v->findChild<QLabel*>("lblStale");
    EXPECT_TRUE(stale->isVisibleTo(v.get()));
    EXPECT_TRUE(again.sheetIsStale());
    for (const char* item : {"Walls", "Floor", "Doors"})
        EXPECT_TRUE(cell(*v, item, TakeoffPanel::ColNote).startsWith("measured on an earlier"))
            << item << ": " << cell(*v, item, TakeoffPanel::ColNote).toStdString();
    // The sheet drawn to scale was not revised: nothing of it is stale.
    showSheet(*v, walk->trueSheet.file);
    EXPECT_FALSE(stale->isVisibleTo(v.get()));
    EXPECT_FALSE(again.sheetIsStale());

    showSheet(*v, walk->revisedSheet.file);
    clickButton(*v, "cmdAccept");
    EXPECT_FALSE(stale->isVisibleTo(v.get()));
    for (const char* item : {"Walls", "Floor", "Doors"})
        EXPECT_EQ(cell(*v, item, TakeoffPanel::ColNote), "") << item;
    // Measured again on the new drawing: ROOM 101 is still 40'-0" wide.
    service::PlanSheet newSheet = walk->revisedSheet;
    newSheet.revision = 1;
    const service::SheetGeometry redrawn = service::sheetGeometry(project, newSheet);
    chooseItem(*v, "Walls");
    action(*v, "actLength")->trigger();
    measure(*v, {redrawn.rooms.first().outline[0], redrawn.rooms.first().outline[1]});
    const QString remeasured = v->findChild<QLabel*>("lblMeasure")->text();
    EXPECT_TRUE(remeasured.contains("40'-0\"")) << remeasured.toStdString();
    v.reset();
    v = open(planSet, project.jobId); // accepted for good
    showSheet(*v, walk->revisedSheet.file);
    EXPECT_FALSE(v->findChild<QLabel*>("lblStale")->isVisibleTo(v.get()));
}
