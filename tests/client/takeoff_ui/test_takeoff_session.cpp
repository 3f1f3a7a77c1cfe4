// The viewer's takeoff without a window: scales refused and set, measurements recorded as marks
// of the chosen item, the panel's lines, stale sheets and their acceptance, frozen quantities,
// and everything back after the store is opened again.
#include "TakeoffSession.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant::viewer;
using namespace brevant::takeoff;

namespace {

const QString Sheet = QStringLiteral("PLANS/PLAN.SVD");

Item item(const QString& name, Kind kind, Unit unit, double waste = 0) {
    Item i;
    i.name = name;
    i.kind = kind;
    i.unit = unit;
    i.wastePercent = waste;
    return i;
}

std::optional<PanelRow> rowOf(const QList<PanelRow>& rows, const QString& name) {
    for (const PanelRow& r : rows)
        if (r.name == name)
            return r;
    return std::nullopt;
}

// 1/8" = 1'-0": a real foot is 1/8 inch of paper, 9 points.
constexpr double PointsPerFoot = 9.0;

} // namespace

TEST(TakeoffSessionTest, LengthAndAreaWaitForAScaleCountsDoNot) {
    TakeoffSession s(nullptr, 7, Sheet);
    ASSERT_TRUE(s.load());
    const int walls = s.model().addItem(item("Walls", Kind::Length, Unit::FeetInches));
    const int doors = s.model().addItem(item("Doors", Kind::Count, Unit::Each));
    s.setCurrentItem(walls);
    QString why;
    EXPECT_FALSE(s.chooseTool(Tool::Length, &why));
    EXPECT_EQ(why, TakeoffSession::noScaleHint());
    EXPECT_EQ(s.tool().tool(), Tool::Select);
    EXPECT_FALSE(s.chooseTool(Tool::Verify, &why));
    // A length tool for a count item is refused too: the mark would belong to the wrong item.
    s.setCurrentItem(doors);
    why.clear();
    EXPECT_TRUE(s.chooseTool(Tool::Count, &why)) << why.toStdString();
    QString shown;
    ASSERT_TRUE(s.record({Tool::Count, {{10, 10}}}, &shown, &why)) << why.toStdString();
    ASSERT_TRUE(s.record({Tool::Count, {{20, 10}}}, &shown, &why));
    EXPECT_EQ(rowOf(s.rows(), "Doors")->sheet, "2 ea");
    EXPECT_FALSE(s.record({Tool::Length, {{0, 0}, {90, 0}}}, &shown, &why));
    EXPECT_EQ(s.model().data().marks.size(), 2u);
}

// Choosing a measuring tool takes the latest item of its kind when another kind is current;
// with none of that kind the window is told to offer one, unless the missing scale comes first.
TEST(TakeoffSessionTest, AToolTakesTheLatestItemOfItsKindOrAsksForOne) {
    TakeoffSession s(nullptr, 7, Sheet);
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.missingItemKind(Tool::Count), Kind::Count);
    EXPECT_EQ(s.missingItemKind(Tool::Area), std::nullopt); // the scale is asked for first
    QString why;
    EXPECT_FALSE(s.chooseTool(Tool::Count, &why));
    EXPECT_FALSE(why.isEmpty());
    ASSERT_TRUE(s.setStatedScale(QStringLiteral("1/8\" = 1'-0\""), &why)) << why.toStdString();
    EXPECT_EQ(s.missingItemKind(Tool::Area), Kind::Area);
    EXPECT_EQ(s.missingItemKind(Tool::Select), std::nullopt);

    const int walls = s.model().addItem(item("Walls", Kind::Length, Unit::FeetInches));
    s.model().addItem(item("Slab", Kind::Area, Unit::SquareFeet));
    const int roof = s.model().addItem(item("Roof", Kind::Area, Unit::SquareFeet));
    EXPECT_EQ(s.missingItemKind(Tool::Area), std::nullopt);
    s.setCurrentItem(walls);
    ASSERT_TRUE(s.chooseTool(Tool::Area, &why)) << why.toStdString();
    EXPECT_EQ(s.currentItem(), roof);
    QString shown;
    ASSERT_TRUE(s.record({Tool::Area, {{0, 0}, {90, 0}, {90, 90}}}, &shown, &why));
    EXPECT_TRUE(shown.startsWith("Roof: ")) << shown.toStdString();
    // The current item of the tool's kind stays chosen.
    s.setCurrentItem(walls);
    ASSERT_TRUE(s.chooseTool(Tool::Length, &why));
    EXPECT_EQ(s.currentItem(), walls);
}

TEST(TakeoffSessionTest, AStatedScaleMeasuresLengthsAndAreasExactly) {
    TakeoffSession s(nullptr, 7, Sheet);
    s.load();
    const int walls = s.model().addItem(item("Walls", Kind::Length, Unit::FeetInches, 10));
    const int floor = s.model().addItem(item("Floor", Kind::Area, Unit::SquareFeet));
    QString why;
    ASSERT_TRUE(s.setStatedScale(QStringLiteral("1/8\" = 1'-0\""), &why)) << why.toStdString();
    EXPECT_EQ(s.scaleLabel(), "1/8\" = 1'-0\"");
    EXPECT_FALSE(s.setStatedScale(QStringLiteral("1/7\" = 1'-0\""), &why));
    EXPECT_EQ(s.scaleLabel(), "1/8\" = 1'-0\""); // a wrong label changes nothing

    s.setCurrentItem(walls);
    ASSERT_TRUE(s.chooseTool(Tool::Length, &why));
    const QList<QPointF> wall{{100, 100}, {100 + 40 * PointsPerFoot, 100}};
    EXPECT_EQ(s.measureText(Tool::Length, wall), "Length 40'-0\"");
    QString shown;
    ASSERT_TRUE(s.record({Tool::Length, wall}, &shown, &why)) << why.toStdString();
    EXPECT_EQ(shown, "Walls: 40'-0\"");

    s.setCurrentItem(floor);
    const QList<QPointF> room{{0, 0},
                              {20 * PointsPerFoot, 0},
                              {20 * PointsPerFoot, 30 * PointsPerFoot},
                              {0, 30 * PointsPerFoot}};
    EXPECT_EQ(s.measureText(Tool::Area, room), "Area 600.00 ft², perimeter 100'-0\"");
    ASSERT_TRUE(s.record({Tool::Area, room}, &shown, &why)) << why.toStdString();

    const QList<PanelRow> rows = s.rows();
    ASSERT_EQ(rows.size(), 2);
    // Totals carry the waste allowance: 40 ft and 10 % is 44 ft.
    EXPECT_EQ(rowOf(rows, "Walls")->sheet, "44'-0\"");
    EXPECT_EQ(rowOf(rows, "Walls")->waste, "10 %");
    EXPECT_EQ(rowOf(rows, "Floor")->sheet, "600.00 ft²");
    // On another page (no scale, no marks) the sheet column is empty but the project's is not.
    s.setPage(3);
    EXPECT_EQ(rowOf(s.rows(), "Walls")->sheet, "0'-0\"");
    EXPECT_EQ(rowOf(s.rows(), "Walls")->project, "44'-0\"");
    EXPECT_TRUE(s.shapes().isEmpty());
    s.setPage(0);
    EXPECT_EQ(s.shapes().size(), 2);
}

TEST(TakeoffSessionTest, CalibrationFromAKnownDimension) {
    TakeoffSession s(nullptr, 7, Sheet);
    s.load();
    QString why;
    // A sheet drawn "not to scale": 40 ft spans 311 points.
    const ToolResult line{Tool::Calibrate, {{50, 50}, {50, 361}}};
    EXPECT_FALSE(s.calibrate(line, QStringLiteral("forty feet"), &why));
    EXPECT_FALSE(s.calibrate(line, QStringLiteral("0"), &why));
    EXPECT_TRUE(s.scaleLabel().isEmpty());
    ASSERT_TRUE(s.calibrate(line, QStringLiteral("40'-0\""), &why)) << why.toStdString();
    EXPECT_FALSE(s.scaleLabel().isEmpty());
    EXPECT_EQ(s.measureText(Tool::Verify, {{0, 0}, {311.0 / 2, 0}}), "Length 20'-0\"");
    // Metres typed on an imperial sheet are metres all the same.
    ASSERT_TRUE(s.calibrate(line, QStringLiteral("12.192 m"), &why));
    EXPECT_EQ(s.measureText(Tool::Verify, {{0, 0}, {0, 311}}), "Length 40'-0\"");
    // Verifying records nothing.
    QString shown;
    ASSERT_TRUE(s.record({Tool::Verify, {{0, 0}, {0, 311}}}, &shown, &why));
    EXPECT_EQ(shown, "Length 40'-0\"");
    EXPECT_TRUE(s.model().data().marks.empty());
}

TEST(TakeoffSessionTest, AStaleSheetShowsOldAndNewUntilAccepted) {
    TakeoffSession s(nullptr, 7, Sheet);
    s.load();
    s.setSheetOfPage([](int page) { return SheetKey{QStringLiteral("PLAN%1").arg(page), 0}; });
    s.setPage(2);
    const int doors = s.model().addItem(item("Doors", Kind::Count, Unit::Each));
    s.setCurrentItem(doors);
    QString shown, why;
    ASSERT_TRUE(s.record({Tool::Count, {{1, 1}}}, &shown, &why));
    ASSERT_TRUE(s.record({Tool::Count, {{5, 1}}}, &shown, &why));
    EXPECT_FALSE(s.sheetIsStale());
    // A revised PLAN2 arrives.
    s.model().setRevisions({{QStringLiteral("plan2"), 1}});
    EXPECT_TRUE(s.sheetIsStale());
    ASSERT_TRUE(s.record({Tool::Count, {{9, 1}}}, &shown, &why)); // measured on the new one
    const std::optional<PanelRow> row = rowOf(s.rows(), "Doors");
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->stale);
    EXPECT_EQ(row->staleText, "measured on an earlier version: was 2 ea, now 1 ea");
    ASSERT_EQ(s.shapes().size(), 3);
    EXPECT_TRUE(s.shapes().at(0).stale);
    EXPECT_FALSE(s.shapes().at(2).stale);
    // Another sheet of the set is not stale.
    s.setPage(3);
    EXPECT_FALSE(s.sheetIsStale());
    s.setPage(2);
    EXPECT_EQ(s.acceptStale(), 2);
    EXPECT_FALSE(s.sheetIsStale());
    EXPECT_FALSE(rowOf(s.rows(), "Doors")->stale);
    s.model().undoStack()->undo(); // accepting is an edit like any other
    EXPECT_TRUE(s.sheetIsStale());
}

TEST(TakeoffSessionTest, EverythingComesBackFromTheStore) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Desktop.mdb");
    brevant::db::createDesktopDatabase(path);
    QString why;
    {
        brevant::db::Connection db;
        db.open(path);
        TakeoffSession s(&db, 7, Sheet);
        ASSERT_TRUE(s.load(&why)) << why.toStdString();
        const int walls = s.model().addItem(item("Walls", Kind::Length, Unit::FeetInches));
        s.setCurrentItem(walls);
        ASSERT_TRUE(s.setStatedScale(QStringLiteral("1/8\" = 1'-0\""), &why));
        QString shown;
        ASSERT_TRUE(s.record({Tool::Length, {{0, 0}, {90, 0}}}, &shown, &why));
        ASSERT_TRUE(s.record({Tool::Length, {{0, 10}, {45, 10}}}, &shown, &why));
        s.model().undoStack()->undo(); // the undone mark is not stored either
        ASSERT_TRUE(
            s.freeze(QStringLiteral("Bid"), QDateTime(QDate(2026, 12, 8), QTime(14, 0)), &why))
            << why.toStdString();
    }
    brevant::db::Connection db;
    db.open(path);
    TakeoffSession again(&db, 7, Sheet);
    ASSERT_TRUE(again.load(&why)) << why.toStdString();
    EXPECT_EQ(again.scaleLabel(), "1/8\" = 1'-0\"");
    EXPECT_EQ(again.model().data().marks.size(), 1u);
    const std::optional<PanelRow> row = rowOf(again.rows(), "Walls");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->project, "10'-0\"");
    ASSERT_TRUE(again.latestSnapshot());
    EXPECT_EQ(again.latestSnapshot()->note, "Bid");
    EXPECT_TRUE(row->snapshot.endsWith(": 10'-0\", unchanged")) << row->snapshot.toStdString();
    EXPECT_EQ(again.currentItem(), row->itemId); // the first item is ready for marks
    // Another project sees none of it.
    TakeoffSession other(&db, 8, Sheet);
    ASSERT_TRUE(other.load(&why));
    EXPECT_TRUE(other.rows().isEmpty());
}
