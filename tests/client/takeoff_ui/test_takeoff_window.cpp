// The takeoff in the real viewer window, driven with mouse and keys on a plan set the local
// service generates: a sheet without a scale refuses lengths, calibration, a length, an area
// and counts, undo, redo, selecting and deleting a mark, Escape during a measurement, and after
// closing and opening the set again the marks and totals are back.
#include "TakeoffPanel.h"
#include "TakeoffSession.h"
#include "TakeoffTools.h"
#include "TakeoffWindowDriver.h"
#include "frmTakeoffItem.h"
#include "frmViewer.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/Printing.h"
#include "service/catalogue/CatalogueGenerator.h"
#include "service/catalogue/DocumentPages.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPdfDocument>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

using namespace brevant::viewer;
using namespace brevant::viewer::test;

namespace {

// A program folder of its own with the project's store and its plan set.
class TakeoffWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("BREVANT_HOME", home.path().toLocal8Bit());
        qputenv("BREVANT_REGISTRY", home.filePath("registry").toLocal8Bit());
        project = brevant::service::generateProject(7, 3, QDate(2026, 12, 1));
        ASSERT_FALSE(project.plans.isEmpty());
        ASSERT_TRUE(QDir(home.path()).mkpath("Work"));
        brevant::db::createDesktopDatabase(home.filePath("Work/Desktop.mdb"));
        brevant::db::Connection db;
        db.open(home.filePath("Work/Desktop.mdb"));
        for (const auto& sheet : project.plans)
            db.execute(QStringLiteral("INSERT INTO Plans (JobID, File, Description) VALUES "
                                      "(%1, '%2', '%3')")
                           .arg(project.jobId)
                           .arg(sheet.file, sheet.description));
        db.close();
        const QString folder = QStringLiteral("cache/%1/PLANS").arg(project.jobId);
        ASSERT_TRUE(QDir(home.path()).mkpath(folder));
        planSet = home.filePath(folder + "/PLAN.SVD");
        QFile f(planSet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(brevant::service::planSetPdf(project));
    }
    void TearDown() override {
        qunsetenv("BREVANT_HOME");
        qunsetenv("BREVANT_REGISTRY");
    }

    // Opens the plan set at its first sheet (page 2) in a shown window.
    std::unique_ptr<frmViewer> open() {
        std::unique_ptr<frmViewer> v = openShown(planSet, int(project.jobId), QSize(1200, 800));
        v->showPage(1);
        return v;
    }

    QTemporaryDir home;
    brevant::service::Project project;
    QString planSet;
    brevant::ui::ScopedScriptedUi ui;
};

} // namespace

TEST_F(TakeoffWindow, MeasureUndoRedoDeleteAndReopen) {
    std::unique_ptr<frmViewer> v = open();
    ASSERT_TRUE(v->takeoff());
    TakeoffSession& session = v->takeoff()->session();
    EXPECT_EQ(session.sheet().document, project.plans.first().file); // the catalogue's sheet

    addItem(*v, "Walls", 0);
    ASSERT_EQ(session.model().data().items.size(), 1u);
    // No scale yet: the length tool says why and stays off.
    action(*v, "actLength")->trigger();
    ASSERT_FALSE(ui.shown().isEmpty());
    EXPECT_EQ(ui.last().text, TakeoffSession::noScaleHint());
    EXPECT_EQ(session.tool().tool(), Tool::Select);
    EXPECT_FALSE(action(*v, "actLength")->isChecked());

    // Calibrate on a horizontal line of 300 pixels: it is 40'-0".
    const QPoint a = at(*v, {200, 150});
    const QPoint b = a + QPoint(300, 0);
    const QPoint c = b + QPoint(0, 300);
    const QPoint d = a + QPoint(0, 300);
    QTest::mouseClick(v->findChild<QPushButton*>("cmdCalibrate"), Qt::LeftButton);
    ui.answerInput(QStringLiteral("40'-0\""));
    click(*v, a);
    click(*v, b);
    EXPECT_EQ(ui.last().kind, "input");
    EXPECT_FALSE(session.scaleLabel().isEmpty());

    // A wall along two sides, with a slip removed by Backspace and a zoom in between: 80'-0".
    action(*v, "actLength")->trigger();
    ASSERT_EQ(session.tool().tool(), Tool::Length);
    click(*v, a);
    // Zoom in and back to the whole page by keys while measuring: the point placed stays.
    const qreal fitted = v->zoomFactor();
    QTest::keyClick(v->pageView(), Qt::Key_Plus);
    EXPECT_GT(v->zoomFactor(), fitted);
    EXPECT_TRUE(session.tool().measuring());
    QTest::keyClick(v->pageView(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(v->zoomFactor(), fitted);
    click(*v, b);
    click(*v, b + QPoint(40, 90));
    QTest::keyClick(v->pageView(), Qt::Key_Backspace);
    EXPECT_EQ(session.tool().points().size(), 2);
    QTest::mouseDClick(viewport(*v), Qt::LeftButton, {}, c);
    EXPECT_FALSE(session.tool().measuring());
    EXPECT_EQ(cell(*v, "Walls", TakeoffPanel::ColSheet), "80'-0\"");

    // The room: 40' x 40' is 1600 ft², perimeter 160'.
    addItem(*v, "Floor", 1);
    action(*v, "actArea")->trigger();
    ASSERT_EQ(session.tool().tool(), Tool::Area);
    click(*v, a);
    click(*v, b);
    click(*v, c);
    QTest::mouseMove(viewport(*v), d);
    EXPECT_EQ(v->findChild<QLabel*>("lblMeasure")->text(), "Area 1600.00 ft², perimeter 160'-0\"");
    QTest::mouseDClick(viewport(*v), Qt::LeftButton, {}, d);
    EXPECT_EQ(cell(*v, "Floor", TakeoffPanel::ColSheet), "1600.00 ft²");

    // Three doors, one undone and done again.
    addItem(*v, "Doors", 2);
    action(*v, "actCount")->trigger();
    const QPoint door = a + QPoint(150, 60);
    click(*v, door);
    click(*v, door + QPoint(60, 0));
    click(*v, door + QPoint(120, 0));
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet), "3 ea");
    QTest::keyClick(v.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet), "2 ea");
    QTest::keyClick(v.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet), "3 ea");

    // Select the middle door and delete it.
    action(*v, "actSelect")->trigger();
    click(*v, door + QPoint(60, 0));
    ASSERT_TRUE(v->takeoff()->selectedMark());
    QTest::keyClick(v->pageView(), Qt::Key_Delete);
    EXPECT_FALSE(v->takeoff()->selectedMark());
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet), "2 ea");
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColProject), "2 ea");

    // Escape cancels a measurement and leaves the tool before it closes the window.
    chooseItem(*v, "Walls");
    action(*v, "actLength")->trigger();
    click(*v, a);
    QTest::keyClick(v->pageView(), Qt::Key_Escape);
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(session.tool().measuring());
    QTest::keyClick(v->pageView(), Qt::Key_Escape);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(session.tool().tool(), Tool::Select);
    EXPECT_EQ(session.model().data().marks.size(), 4u);
    QTest::keyClick(v->pageView(), Qt::Key_Escape);
    EXPECT_FALSE(v->isVisible());
    v.reset();

    // Opened again: the marks, the scale and the totals are back.
    v = open();
    TakeoffSession& again = v->takeoff()->session();
    EXPECT_EQ(again.shapes().size(), 4);
    EXPECT_FALSE(again.scaleLabel().isEmpty());
    EXPECT_EQ(cell(*v, "Walls", TakeoffPanel::ColSheet), "80'-0\"");
    EXPECT_EQ(cell(*v, "Floor", TakeoffPanel::ColProject), "1600.00 ft²");
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet), "2 ea");
    // Another sheet of the set has no scale and none of these marks.
    v->showPage(2);
    EXPECT_TRUE(again.shapes().isEmpty());
    EXPECT_EQ(cell(*v, "Walls", TakeoffPanel::ColSheet), "0'-0\"");
    EXPECT_EQ(cell(*v, "Walls", TakeoffPanel::ColProject), "80'-0\"");
    ui.clear();
    action(*v, "actLength")->trigger();
    ASSERT_FALSE(ui.shown().isEmpty());
    EXPECT_EQ(ui.last().text, TakeoffSession::noScaleHint());
}

// A new user picks Count before making any item: the item's dialog opens on that kind, and
// the tool is ready once it is made; cancelling it leaves the pointer tool.
TEST_F(TakeoffWindow, AToolWithoutAnItemOfItsKindOpensTheItemDialogOnThatKind) {
    std::unique_ptr<frmViewer> v = open();
    TakeoffSession& session = v->takeoff()->session();
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<frmTakeoffItem*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        d->reject();
    });
    action(*v, "actCount")->trigger();
    EXPECT_EQ(session.tool().tool(), Tool::Select);
    EXPECT_TRUE(session.model().data().items.empty());

    QString offered;
    QTimer::singleShot(0, [&offered] {
        auto* d = qobject_cast<frmTakeoffItem*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        offered = d->findChild<QComboBox*>("cboKind")->currentText();
        d->findChild<QLineEdit*>("txtName")->setText("Doors");
        QTest::mouseClick(d->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    action(*v, "actCount")->trigger();
    activate(*v);
    EXPECT_EQ(offered, brevant::takeoff::kindName(brevant::takeoff::Kind::Count));
    EXPECT_EQ(session.tool().tool(), Tool::Count);
    click(*v, at(*v, {300, 300}));
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColSheet), "1 ea");
}

TEST_F(TakeoffWindow, ASheetPrintsToPdfAtItsSizeWithItsMarks) {
    std::unique_ptr<frmViewer> v = open();
    TakeoffSession& session = v->takeoff()->session();
    addItem(*v, "Doors", 2);
    action(*v, "actCount")->trigger();
    click(*v, at(*v, {300, 300}));
    ASSERT_EQ(session.shapes().size(), 1);
    brevant::reports::PrintTarget target;
    target.pdfPath = home.filePath("sheet.pdf");
    EXPECT_EQ(v->takeoff()->printSheetTo(target), "");
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {target.pdfPath});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QRegularExpression("Pages:\\s+1\\n"))) << out.toStdString();
    // The sheet's own size, 17" x 11", so a printout at actual size is to scale.
    EXPECT_TRUE(out.contains(QRegularExpression("Page size:\\s+1224 x 792 pts")))
        << out.toStdString();
    EXPECT_FALSE(QFile::exists(target.pdfPath + ".brevant-print"));
    // The sheet stays vector: its words are still text, and the file is of the size of the
    // sheet's own drawing (the whole plan set is larger), not of a picture of it.
    const int page = v->pageView()->page() + 1;
    const auto wordsOf = [](const QStringList& arguments) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    };
    const QString sheetWords =
        wordsOf({QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                 QString::number(page), planSet, QStringLiteral("-")});
    ASSERT_FALSE(sheetWords.isEmpty());
    EXPECT_EQ(wordsOf({target.pdfPath, QStringLiteral("-")}), sheetWords);
    EXPECT_LT(QFileInfo(target.pdfPath).size(), QFileInfo(planSet).size() + 64 * 1024);
    // The count's marker is where it was placed: one pixel a point, in the item's colour.
    QPdfDocument printed;
    ASSERT_EQ(printed.load(target.pdfPath), QPdfDocument::Error::None);
    const QImage picture = printed.render(0, printed.pagePointSize(0).toSize());
    const QColor marker = picture.pixelColor(300, 300);
    EXPECT_GT(std::max({marker.red(), marker.green(), marker.blue()}) -
                  std::min({marker.red(), marker.green(), marker.blue()}),
              80)
        << marker.name().toStdString();

    // The CSV names the sheet as the sheet list does.
    ui.answerPath(home.filePath("takeoff.csv"));
    QTest::mouseClick(v->findChild<QPushButton*>("cmdExport"), Qt::LeftButton);
    // Offered in the home folder under the project's number, never in the document cache.
    EXPECT_EQ(ui.last().kind, "saveFile");
    EXPECT_EQ(QFileInfo(ui.last().text).dir(), QDir::home()) << ui.last().text.toStdString();
    EXPECT_TRUE(ui.last().text.endsWith(QStringLiteral("takeoff-%1.csv").arg(project.jobId)))
        << ui.last().text.toStdString();
    QFile csv(home.filePath("takeoff.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    const auto& sheet = project.plans.first();
    EXPECT_TRUE(
        text.contains(QStringLiteral("Doors,Count,%1 %2,1,").arg(sheet.file, sheet.description)))
        << text.toStdString();
}

TEST_F(TakeoffWindow, ARevisedSheetSaysItsMarksAreStaleUntilAccepted) {
    std::unique_ptr<frmViewer> v = open();
    addItem(*v, "Doors", 2);
    action(*v, "actCount")->trigger();
    click(*v, at(*v, {300, 300}));
    click(*v, at(*v, {340, 300}));
    auto* stale = v->findChild<QLabel*>("lblStale");
    auto* accept = v->findChild<QPushButton*>("cmdAccept");
    ASSERT_TRUE(stale && accept);
    EXPECT_TRUE(stale->isHidden());
    v.reset();
    // An update brings a new version of the first sheet.
    {
        brevant::db::Connection db;
        db.open(home.filePath("Work/Desktop.mdb"));
        db.execute(QStringLiteral("UPDATE Plans SET Revision = 1 WHERE JobID = %1 AND File = '%2'")
                       .arg(project.jobId)
                       .arg(project.plans.first().file));
    }
    v = open();
    stale = v->findChild<QLabel*>("lblStale");
    accept = v->findChild<QPushButton*>("cmdAccept");
    EXPECT_FALSE(stale->isHidden());
    EXPECT_TRUE(stale->text().contains("measured on an earlier version"))
        << stale->text().toStdString();
    EXPECT_TRUE(cell(*v, "Doors", TakeoffPanel::ColNote)
                    .startsWith("measured on an earlier version: was 2 ea, now 0 ea"))
        << cell(*v, "Doors", TakeoffPanel::ColNote).toStdString();
    // The marks stay over the new version, drawn as stale.
    ASSERT_EQ(v->takeoff()->layer().shapes().size(), 2);
    EXPECT_TRUE(v->takeoff()->layer().shapes().first().stale);
    QTest::mouseClick(accept, Qt::LeftButton);
    EXPECT_TRUE(stale->isHidden());
    EXPECT_FALSE(v->takeoff()->layer().shapes().first().stale);
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColNote), "");
    v.reset();
    v = open(); // accepted for good
    EXPECT_TRUE(v->findChild<QLabel*>("lblStale")->isHidden());
}

TEST_F(TakeoffWindow, ThePanelAndToolsShowWhenADocumentOpensInAShownWindow) {
    // The program shows its window first and opens the file named on its command line after.
    std::unique_ptr<frmViewer> v = open();
    const auto shown = [&v] {
        auto* dock = v->findChild<QWidget*>("dockTakeoff");
        auto* bar = v->findChild<QWidget*>("tbTakeoff");
        return dock && bar && dock->isVisibleTo(v.get()) && bar->isVisibleTo(v.get()) &&
               v->findChild<QWidget*>("lstItems")->isVisibleTo(v.get());
    };
    EXPECT_TRUE(shown());
    // Another document in the same window gets a takeoff of its own, shown as well.
    ASSERT_TRUE(v->openDocument(planSet, int(project.jobId)));
    EXPECT_TRUE(shown());
    EXPECT_EQ(v->findChildren<QWidget*>("dockTakeoff").size(), 1);
}

TEST_F(TakeoffWindow, FrozenQuantitiesStayAndShowWhatChangedSince) {
    std::unique_ptr<frmViewer> v = open();
    addItem(*v, "Doors", 2);
    addItem(*v, "Windows", 2);
    chooseItem(*v, "Doors");
    action(*v, "actCount")->trigger();
    const QPoint door = at(*v, {300, 300});
    click(*v, door);
    click(*v, door + QPoint(60, 0));
    auto* frozen = v->findChild<QLabel*>("lblSnapshot");
    EXPECT_EQ(frozen->text(), "");

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ui.answerInput(QStringLiteral("Bid of 12/08/2026"));
    QTest::mouseClick(v->findChild<QPushButton*>("cmdFreeze"), Qt::LeftButton);
    activate(*v);
    const std::optional<brevant::takeoff::Snapshot> taken =
        v->takeoff()->session().latestSnapshot();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->note, "Bid of 12/08/2026");
    EXPECT_GE(taken->taken, before);
    EXPECT_LE(taken->taken, QDateTime::currentDateTime());
    const QString when = QLocale().toString(taken->taken, QLocale::ShortFormat);
    EXPECT_EQ(frozen->text(), QStringLiteral("Frozen %1: Bid of 12/08/2026").arg(when));
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColNote),
              QStringLiteral("frozen %1: 2 ea, unchanged").arg(when));

    // One door more after the bid: the line says what it was and what it is now.
    click(*v, door + QPoint(120, 0));
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColNote),
              QStringLiteral("frozen %1: was 2 ea, now 3 ea").arg(when));
    EXPECT_EQ(cell(*v, "Windows", TakeoffPanel::ColNote),
              QStringLiteral("frozen %1: 0 ea, unchanged").arg(when));
    v.reset();

    // Opened again: the snapshot, its note and the comparison are still there.
    v = open();
    EXPECT_EQ(v->findChild<QLabel*>("lblSnapshot")->text(),
              QStringLiteral("Frozen %1: Bid of 12/08/2026").arg(when));
    EXPECT_EQ(cell(*v, "Doors", TakeoffPanel::ColNote),
              QStringLiteral("frozen %1: was 2 ea, now 3 ea").arg(when));
}

TEST_F(TakeoffWindow, NewItemsTakeColoursOfTheirOwnAndTheTotalsAreInSight) {
    std::unique_ptr<frmViewer> v = open();
    // Items made without choosing a colour: each still looks different on the sheet.
    for (const char* name : {"Walls", "Floor", "Doors", "Windows"})
        addItem(*v, name, 2);
    QSet<QString> colours;
    for (const auto& [id, item] : v->takeoff()->session().model().data().items)
        colours.insert(item.colour.toLower());
    EXPECT_EQ(colours.size(), 4);

    // The panel as it opens beside the sheet shows the quantities without scrolling sideways.
    auto* list = v->findChild<QTreeWidget*>("lstItems");
    QHeaderView* header = list->header();
    for (int column : {TakeoffPanel::ColItem, TakeoffPanel::ColSheet, TakeoffPanel::ColProject})
        EXPECT_LE(header->sectionViewportPosition(column) + header->sectionSize(column),
                  list->viewport()->width())
            << "column " << column;
}

TEST_F(TakeoffWindow, EveryTakeoffToolIsInSightInAWindowOfTheDefaultSize) {
    std::unique_ptr<frmViewer> v = open();
    v->resize(1000, 720); // what the viewer opens at the first time
    auto* bar = v->findChild<QToolBar*>("tbTakeoff");
    ASSERT_TRUE(bar);
    // The resize is laid out now rather than on the next turn of the event loop.
    QCoreApplication::sendPostedEvents();
    v->layout()->activate();
    bar->layout()->activate();
    for (const char* name : {"actSelect", "actLength", "actArea", "actCount", "actUndo", "actRedo",
                             "actDeleteMark", "actPrintMarked"}) {
        QWidget* button = bar->widgetForAction(action(*v, name));
        ASSERT_TRUE(button) << name;
        EXPECT_TRUE(button->isVisibleTo(v.get())) << name << " is behind the toolbar's overflow";
    }
}
