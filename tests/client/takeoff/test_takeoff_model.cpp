// The edited takeoff: what it refuses, its totals, and undo/redo over every kind of edit.
#include "takeoff/Stale.h"
#include "takeoff/TakeoffModel.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace brevant::takeoff;

namespace {

const SheetKey kA101{QStringLiteral("A-101.pdf"), 0};
const SheetKey kA102{QStringLiteral("A-101.pdf"), 1};
const SheetKey kE201{QStringLiteral("E-201.pdf"), 0};

Item item(const char* name, Kind kind, double waste = 0) {
    Item i;
    i.name = QString::fromUtf8(name);
    i.kind = kind;
    i.unit = defaultUnit(kind, LengthSystem::Imperial);
    i.wastePercent = waste;
    return i;
}

// A model with the quarter-inch scale on A-101's first page.
class Model : public ::testing::Test {
protected:
    void SetUp() override {
        model.setScale(kA101, *statedScale(u"1/4\" = 1'-0\""));
        model.undoStack()->clear();
    }

    double projectTotal(int itemId) const { return model.totals().forProject(itemId).quantity; }
    // The model's whole state, for comparing before and after undo/redo.
    QString state() const {
        QString s;
        for (const auto& [id, i] : model.data().items)
            s += QStringLiteral("item %1 %2 %3 %4;")
                     .arg(id)
                     .arg(i.name)
                     .arg(i.wastePercent)
                     .arg(i.colour);
        for (const auto& [id, m] : model.data().marks)
            s += QStringLiteral("mark %1 %2 %3 %4 %5;")
                     .arg(id)
                     .arg(m.itemId)
                     .arg(m.sheet.page)
                     .arg(m.points.size())
                     .arg(m.revision);
        for (auto it = model.data().scales.begin(); it != model.data().scales.end(); ++it)
            s += QStringLiteral("scale %1 %2;").arg(it.key().page).arg(it.value().ratio);
        return s;
    }

    TakeoffModel model{42};
};

} // namespace

TEST_F(Model, LengthsAndAreasNeedAScaleCountsDoNot) {
    const int walls = model.addItem(item("Walls", Kind::Length));
    const int slab = model.addItem(item("Slab", Kind::Area));
    const int doors = model.addItem(item("Doors", Kind::Count));
    QString why;
    EXPECT_EQ(model.addMark(walls, kE201, {{0, 0}, {720, 0}}, &why), 0);
    EXPECT_TRUE(why.contains(QStringLiteral("no scale"))) << why.toStdString();
    EXPECT_EQ(model.addMark(slab, kE201, {{0, 0}, {720, 0}, {720, 720}}), 0);
    EXPECT_NE(model.addMark(doors, kE201, {{10, 10}, {20, 20}}), 0);
    // Too few points, points off any page, an unknown item.
    EXPECT_EQ(model.addMark(walls, kA101, {{0, 0}}, &why), 0);
    EXPECT_EQ(model.addMark(slab, kA101, {{0, 0}, {1, 1}}), 0);
    EXPECT_EQ(model.addMark(doors, kA101, {}), 0);
    EXPECT_EQ(model.addMark(walls, kA101, {{0, 0}, {qInf(), 0}}), 0);
    EXPECT_EQ(model.addMark(999, kA101, {{0, 0}, {1, 0}}), 0);
    EXPECT_EQ(model.data().marks.size(), 1u);
    // Items: a name, a unit of their kind, a waste that makes sense.
    EXPECT_EQ(model.addItem(item("   ", Kind::Length)), 0);
    Item wrongUnit = item("Conduit", Kind::Length);
    wrongUnit.unit = Unit::SquareFeet;
    EXPECT_EQ(model.addItem(wrongUnit, &why), 0);
    EXPECT_EQ(model.addItem(item("Curb", Kind::Length, -5)), 0);
    EXPECT_EQ(model.addItem(item(std::string(kMaxNameLength + 1, 'x').c_str(), Kind::Length)), 0);
}

TEST_F(Model, TotalsPerSheetAndProjectWithWaste) {
    model.setScale(kA102, *statedScale(u"1/8\" = 1'-0\""));
    const int walls = model.addItem(item("Walls", Kind::Length, 10));
    const int slab = model.addItem(item("Slab", Kind::Area));
    const int doors = model.addItem(item("Doors", Kind::Count));
    model.addMark(walls, kA101, {{0, 0}, {720, 0}, {720, 360}});          // 40' + 20'
    model.addMark(walls, kA102, {{0, 0}, {0, 270}});                      // 30' at 1/8"
    model.addMark(slab, kA101, {{0, 0}, {180, 0}, {180, 270}, {0, 270}}); // 10' x 15'
    model.addMark(doors, kA101, {{1, 1}});
    model.addMark(doors, kE201, {{1, 1}, {2, 2}, {3, 3}});
    const Totals& t = model.totals();
    EXPECT_EQ(t.onSheet(kA101, walls).quantity, 720);
    EXPECT_EQ(t.onSheet(kA102, walls).quantity, 360);
    EXPECT_EQ(toUnit(projectTotal(walls), Unit::FeetInches), 90);
    EXPECT_DOUBLE_EQ(toUnit(withWaste(projectTotal(walls), 10), Unit::FeetInches), 99);
    EXPECT_EQ(toUnit(projectTotal(slab), Unit::SquareFeet), 150);
    EXPECT_EQ(projectTotal(doors), 4);
    EXPECT_EQ(t.onSheet(kE201, doors).quantity, 3);
    EXPECT_EQ(t.forProject(doors).marks, 2);
    // A scale cleared later leaves the marks, unmeasured and counted as such.
    model.setScale(kA102, Scale{});
    EXPECT_EQ(model.totals().forProject(walls).unscaled, 1);
    EXPECT_EQ(toUnit(projectTotal(walls), Unit::FeetInches), 60);
    // Measuring again through setMarkPoints changes the totals too.
    const int first = model.marksOn(kA101).front();
    EXPECT_TRUE(model.setMarkPoints(first, {{0, 0}, {360, 0}}));
    EXPECT_EQ(toUnit(projectTotal(walls), Unit::FeetInches), 20);
}

TEST_F(Model, EveryEditUndoesAndRedoesToTheSameState) {
    QSignalSpy changed(&model, &TakeoffModel::changed);
    QStringList states{state()};
    const int walls = model.addItem(item("Walls", Kind::Length));
    states << state();
    const int mark = model.addMark(walls, kA101, {{0, 0}, {720, 0}});
    states << state();
    model.addMark(walls, kA101, {{0, 10}, {360, 10}});
    states << state();
    Item renamed = *model.item(walls);
    renamed.name = QStringLiteral("Walls, interior");
    renamed.wastePercent = 5;
    renamed.colour = QStringLiteral("#00ff00");
    ASSERT_TRUE(model.editItem(renamed));
    states << state();
    ASSERT_TRUE(model.setMarkPoints(mark, {{0, 0}, {0, 100}}));
    states << state();
    model.setScale(kA101, *statedScale(u"1/8\" = 1'-0\""));
    states << state();
    ASSERT_TRUE(model.removeMark(mark));
    states << state();
    ASSERT_TRUE(model.removeItem(walls)); // takes its other mark along
    states << state();
    EXPECT_TRUE(model.data().marks.empty());
    EXPECT_EQ(model.undoStack()->count(), states.size() - 1);
    EXPECT_GE(changed.size(), states.size() - 1);

    for (qsizetype i = states.size() - 1; i > 0; --i) {
        EXPECT_EQ(state(), states[i]) << i;
        model.undoStack()->undo();
    }
    EXPECT_EQ(state(), states[0]);
    for (qsizetype i = 1; i < states.size(); ++i) {
        model.undoStack()->redo();
        EXPECT_EQ(state(), states[i]) << i;
    }
    // Undo in the middle, then a new edit: the redo branch is dropped, ids are not reused.
    model.undoStack()->undo();
    model.undoStack()->undo();
    EXPECT_EQ(state(), states[states.size() - 3]);
    const int again = model.addItem(item("Curb", Kind::Length));
    EXPECT_GT(again, walls);
    EXPECT_FALSE(model.undoStack()->canRedo());
}

TEST_F(Model, TotalsFollowUndoAndRedo) {
    const int walls = model.addItem(item("Walls", Kind::Length));
    model.addMark(walls, kA101, {{0, 0}, {720, 0}});
    const int second = model.addMark(walls, kA101, {{0, 0}, {360, 0}});
    EXPECT_EQ(projectTotal(walls), 720);
    model.removeMarks({second, 12345}); // unknown ids are skipped
    EXPECT_EQ(projectTotal(walls), 480);
    model.undoStack()->undo();
    EXPECT_EQ(projectTotal(walls), 720);
    model.undoStack()->redo();
    EXPECT_EQ(projectTotal(walls), 480);
    EXPECT_FALSE(model.removeMark(second));
    EXPECT_FALSE(model.removeMarks({}));
}

TEST_F(Model, AnItemWithMarksKeepsItsKind) {
    const int walls = model.addItem(item("Walls", Kind::Length));
    Item asArea = *model.item(walls);
    asArea.kind = Kind::Area;
    asArea.unit = Unit::SquareFeet;
    EXPECT_TRUE(model.editItem(asArea)); // no marks yet
    asArea.kind = Kind::Length;
    asArea.unit = Unit::FeetInches;
    ASSERT_TRUE(model.editItem(asArea));
    model.addMark(walls, kA101, {{0, 0}, {720, 0}});
    asArea.kind = Kind::Area;
    asArea.unit = Unit::SquareFeet;
    QString why;
    EXPECT_FALSE(model.editItem(asArea, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(model.item(walls)->kind, Kind::Length);
}

TEST_F(Model, ARevisedSheetMakesItsItemsStaleUntilAcceptedOrMeasuredAgain) {
    model.setScale(kA102, *statedScale(u"1/4\" = 1'-0\""));
    const int walls = model.addItem(item("Walls", Kind::Length));
    const int doors = model.addItem(item("Doors", Kind::Count));
    const int oldWall = model.addMark(walls, kA101, {{0, 0}, {720, 0}});
    model.addMark(walls, kA102, {{0, 0}, {360, 0}});
    model.addMark(doors, kA101, {{5, 5}, {6, 6}});
    model.addMark(doors, kE201, {{5, 5}});
    EXPECT_TRUE(staleItems(model.data()).isEmpty());

    // A-101 arrives revised: both items on it are stale, E-201's door is not.
    model.setRevisions({{QStringLiteral("a-101.PDF"), 1}});
    EXPECT_TRUE(isStale(model.data(), walls));
    EXPECT_TRUE(isStale(model.data(), doors));
    QList<StaleItem> stale = staleItems(model.data(), QStringLiteral("A-101.pdf"));
    ASSERT_EQ(stale.size(), 2);
    EXPECT_EQ(stale[0].itemId, walls);
    EXPECT_EQ(stale[0].oldQuantity, 480 + 240);
    EXPECT_EQ(stale[0].newQuantity, 0);
    EXPECT_EQ(stale[0].measuredRevision, 0);
    EXPECT_EQ(stale[0].currentRevision, 1);
    EXPECT_TRUE(staleItems(model.data(), QStringLiteral("E-201.pdf")).isEmpty());

    // The wall is measured again on the new version: old and new quantities side by side.
    const int newWall = model.addMark(walls, kA101, {{0, 0}, {756, 0}}); // 42'
    EXPECT_EQ(model.mark(newWall)->revision, 1);
    stale = staleItems(model.data(), QStringLiteral("A-101.pdf"));
    ASSERT_EQ(stale.size(), 2);
    EXPECT_EQ(stale[0].oldQuantity, 720);
    EXPECT_EQ(stale[0].newQuantity, 504);
    EXPECT_EQ(stale[0].newMarks, 1);
    // Once the old marks are gone, only the doors are left stale.
    model.removeMarks({oldWall, model.marksOn(kA102).front()});
    EXPECT_FALSE(isStale(model.data(), walls));
    EXPECT_TRUE(isStale(model.data(), doors));

    // Accepting clears the rest; undo brings it back.
    EXPECT_EQ(model.acceptDocument(QStringLiteral("A-101.PDF")), 1);
    EXPECT_TRUE(staleItems(model.data()).isEmpty());
    EXPECT_EQ(model.acceptDocument(QStringLiteral("A-101.pdf")), 0);
    model.undoStack()->undo();
    EXPECT_TRUE(isStale(model.data(), doors));
    model.undoStack()->redo();
    EXPECT_FALSE(isStale(model.data(), doors));
}

TEST_F(Model, TheMarkUnderThePointerIsTheLatestDrawnThere) {
    const int walls = model.addItem(item("Walls", Kind::Length));
    const int slab = model.addItem(item("Slab", Kind::Area));
    const int doors = model.addItem(item("Doors", Kind::Count));
    const int room = model.addMark(slab, kA101, {{0, 0}, {200, 0}, {200, 100}, {0, 100}});
    const int wall = model.addMark(walls, kA101, {{0, 50}, {200, 50}});
    const int door = model.addMark(doors, kA101, {{150, 20}, {300, 300}});
    model.addMark(doors, kE201, {{10, 10}});
    EXPECT_EQ(model.markAt(kA101, {100, 52}, 3), wall);
    EXPECT_EQ(model.markAt(kA101, {100, 80}, 3), room);  // inside the area
    EXPECT_EQ(model.markAt(kA101, {201, 100}, 3), room); // on its edge
    EXPECT_EQ(model.markAt(kA101, {298, 302}, 3), door);
    EXPECT_EQ(model.markAt(kA101, {150, 20}, 3), door); // over the room: drawn later
    EXPECT_EQ(model.markAt(kA101, {400, 400}, 3), 0);
    EXPECT_EQ(model.markAt(kA102, {100, 52}, 3), 0); // another page
    EXPECT_EQ(model.markAt(kE201, {11, 11}, 3), model.marksOn(kE201).front());
}
