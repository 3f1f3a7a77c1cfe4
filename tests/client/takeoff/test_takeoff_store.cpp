// The takeoff in the project store, on both engines: what is saved comes back the same, a save
// replaces whole or not at all, a raised sheet revision shows as stale items, snapshots keep
// their totals.
#include "DbFixture.h"
#include "platform/db/DbError.h"
#include "takeoff/Snapshot.h"
#include "takeoff/Stale.h"
#include "takeoff/TakeoffModel.h"
#include "takeoff/TakeoffStore.h"

using namespace brevant::takeoff;

namespace {

const SheetKey kA101{QStringLiteral("A-101.pdf"), 0};
const SheetKey kA101b{QStringLiteral("A-101.pdf"), 3};
const SheetKey kE201{QStringLiteral("E-201.pdf"), 0};

class TakeoffStore : public BothEngines {
protected:
    void SetUp() override {
        BothEngines::SetUp();
        if (IsSkipped())
            return;
        for (const char* file : {"A-101.pdf", "E-201.pdf"})
            db.execute(QStringLiteral("INSERT INTO Plans (JobID, File) VALUES (7, '%1')")
                           .arg(QLatin1String(file)));
        model.setRevisions(loadRevisions(db, 7));
        model.setScale(kA101, *statedScale(u"1/4\" = 1'-0\""));
        model.setScale(kA101b, *calibrate({0.5, 0.25}, {333.3, 17}, 480.125));
        Item walls;
        walls.name = QStringLiteral("Walls 'A' | \"north\", \u00e9tage");
        walls.colour = QStringLiteral("#123456");
        walls.wastePercent = 7.5;
        wallsId = model.addItem(walls);
        Item slab;
        slab.name = QStringLiteral("Slab");
        slab.kind = Kind::Area;
        slab.unit = Unit::SquareMetres;
        slabId = model.addItem(slab);
        Item doors;
        doors.name = QStringLiteral("Doors");
        doors.kind = Kind::Count;
        doors.unit = Unit::Each;
        doorsId = model.addItem(doors);
        model.addMark(wallsId, kA101, {{0.1, 0.2}, {720.123456789012, 1e-7}, {1.0 / 3, 2592}});
        model.addMark(wallsId, kA101b, {{10, 10}, {20, 20}});
        model.addMark(slabId, kA101, {{0, 0}, {120, 0}, {120, 180}, {0, 180}});
        model.addMark(doorsId, kE201, {{5, 5}, {6, 6}, {7, 7}});
    }

    TakeoffModel model{7};
    int wallsId = 0, slabId = 0, doorsId = 0;
};

} // namespace

TEST_P(TakeoffStore, WhatIsSavedComesBackTheSame) {
    saveTakeoff(db, 7, model.data());
    // Another project's takeoff is a thing of its own.
    TakeoffModel other(8);
    Item curb;
    curb.name = QStringLiteral("Curb");
    other.addItem(curb);
    saveTakeoff(db, 8, other.data());

    const TakeoffData back = loadTakeoff(db, 7);
    EXPECT_EQ(back.items, model.data().items);
    EXPECT_EQ(back.marks, model.data().marks);
    EXPECT_EQ(back.scales, model.data().scales);
    EXPECT_EQ(loadTakeoff(db, 8).items.size(), 1u);
    EXPECT_TRUE(loadTakeoff(db, 9).items.empty());

    // Saved again after edits: removed things are gone, the rest is as edited.
    model.removeItem(doorsId);
    model.setScale(kA101b, Scale{});
    saveTakeoff(db, 7, model.data());
    const TakeoffData again = loadTakeoff(db, 7);
    EXPECT_EQ(again.items, model.data().items);
    EXPECT_EQ(again.marks, model.data().marks);
    EXPECT_EQ(again.scales.size(), 1);
    EXPECT_EQ(computeTotals(again).forProject(wallsId).quantity,
              model.totals().forProject(wallsId).quantity);
}

TEST_P(TakeoffStore, ASaveThatFailsLeavesTheStoredTakeoffAsItWas) {
    saveTakeoff(db, 7, model.data());
    model.removeItem(wallsId);
    // The scales' table is gone: the save fails after it removed the old items and marks.
    db.executeNative(QStringLiteral("DROP TABLE Takeoff_Scales"));
    EXPECT_THROW(saveTakeoff(db, 7, model.data()), brevant::db::DbError);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Takeoff_Items WHERE JobID = 7")).toInt(),
              3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Takeoff_Marks WHERE JobID = 7")).toInt(),
              4);
}

TEST_P(TakeoffStore, StoredRowsNoProgramWroteAreLeftOut) {
    saveTakeoff(db, 7, model.data());
    db.execute("INSERT INTO Takeoff_Items (JobID, Item_ID, Name, Kind, Unit) VALUES "
               "(7, 50, 'Odd', 'volume', 'm')");
    db.execute("INSERT INTO Takeoff_Items (JobID, Item_ID, Name, Kind, Unit) VALUES "
               "(7, 51, 'Mixed', 'length', 'sq ft')");
    db.execute("INSERT INTO Takeoff_Marks (JobID, Mark_ID, Item_ID, Document, Page, Points) "
               "VALUES (7, 60, 50, 'A-101.pdf', 0, '1 1;2 2')");
    db.execute("INSERT INTO Takeoff_Marks (JobID, Mark_ID, Item_ID, Document, Page, Points) "
               "VALUES (7, 61, " +
               QString::number(wallsId) + ", 'A-101.pdf', 0, '1 1;2 x')");
    db.execute("INSERT INTO Takeoff_Scales (JobID, Document, Page, Label, Ratio) VALUES "
               "(7, 'Z.pdf', 0, 'none', 0)");
    const TakeoffData back = loadTakeoff(db, 7);
    EXPECT_EQ(back.items, model.data().items);
    EXPECT_EQ(back.marks, model.data().marks);
    EXPECT_EQ(back.scales, model.data().scales);
}

TEST_P(TakeoffStore, ARevisedSheetMakesItsItemsStaleUntilAccepted) {
    saveTakeoff(db, 7, model.data());
    EXPECT_EQ(countStaleItems(db, 7), 0);
    EXPECT_TRUE(countStaleItemsByProject(db).empty());

    // A revised A-101 arrives (the file name's case as the service spells it).
    db.execute("UPDATE Plans SET Revision = 1 WHERE JobID = 7 AND File = 'A-101.PDF'");
    EXPECT_EQ(countStaleItems(db, 7), 2); // walls and slab; the doors are on E-201
    EXPECT_EQ(countStaleItemsByProject(db), (std::map<qint64, int>{{7, 2}}));

    TakeoffModel reopened(7);
    reopened.reset(7, loadTakeoff(db, 7));
    const QList<StaleItem> stale = staleItems(reopened.data(), QStringLiteral("a-101.pdf"));
    ASSERT_EQ(stale.size(), 2);
    EXPECT_EQ(stale[0].itemId, wallsId);
    EXPECT_EQ(stale[0].oldQuantity, model.totals().forProject(wallsId).quantity);
    EXPECT_EQ(stale[1].itemId, slabId);

    EXPECT_EQ(reopened.acceptDocument(QStringLiteral("A-101.pdf")), 3);
    saveTakeoff(db, 7, reopened.data());
    EXPECT_EQ(countStaleItems(db, 7), 0);
    EXPECT_TRUE(staleItems(loadTakeoff(db, 7)).isEmpty());
}

TEST_P(TakeoffStore, SnapshotsKeepTheirTotalsAndCompareWithLaterOnes) {
    const QDateTime at(QDate(2026, 12, 8), QTime(14, 30, 15, 250));
    Snapshot bid = takeSnapshot(model.data(), model.totals(), QStringLiteral("At bid, 'v1'"), at);
    EXPECT_EQ(saveSnapshot(db, 7, bid), 1);
    Snapshot second = takeSnapshot(model.data(), model.totals(), QString(), at.addDays(1));
    EXPECT_EQ(saveSnapshot(db, 7, second), 2);
    EXPECT_EQ(saveSnapshot(db, 8, second), 1); // numbered per project

    const QList<Snapshot> back = loadSnapshots(db, 7);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].id, 1);
    EXPECT_EQ(back[0].note, bid.note);
    EXPECT_EQ(back[0].taken, QDateTime(QDate(2026, 12, 8), QTime(14, 30, 15)));
    EXPECT_EQ(back[0].lines, bid.lines);
    EXPECT_EQ(back[1].id, 2);

    // Nothing changed yet; then a wall is removed, an item added.
    for (const SnapshotChange& c : compareWithSnapshot(back[0], model.data(), model.totals()))
        EXPECT_FALSE(c.changed()) << c.name.toStdString();
    model.removeMark(model.marksOn(kA101b).front());
    Item curb;
    curb.name = QStringLiteral("Curb");
    const int curbId = model.addItem(curb);
    model.removeItem(doorsId);
    const QList<SnapshotChange> changes =
        compareWithSnapshot(back[0], model.data(), model.totals());
    ASSERT_EQ(changes.size(), 4);
    EXPECT_EQ(changes[0].itemId, wallsId);
    EXPECT_TRUE(changes[0].changed());
    EXPECT_LT(changes[0].difference(), 0);
    EXPECT_FALSE(changes[1].changed()); // the slab
    EXPECT_EQ(changes[2].itemId, doorsId);
    EXPECT_FALSE(changes[2].now);
    EXPECT_EQ(changes[2].difference(), -3);
    EXPECT_EQ(changes[3].itemId, curbId);
    EXPECT_FALSE(changes[3].then);
}

BREVANT_ON_BOTH_ENGINES(TakeoffStore);

// A file made before the takeoff gets its tables and the sheets' revision when opened, rows
// kept.
TEST_F(DesktopDb, AnOlderFileGetsTheTakeoffTablesAndSheetRevisions) {
    db.executeNative(QStringLiteral(
        "ALTER TABLE Plans DROP COLUMN Revision; DROP TABLE Takeoff_Items; "
        "DROP TABLE Takeoff_Marks; DROP TABLE Takeoff_Scales; DROP TABLE Takeoff_Snapshots; "
        "DROP TABLE Takeoff_Snapshot_Lines; INSERT INTO Plans (JobID, File) VALUES (3, "
        "'S-1.pdf')"));
    db.close();
    db.open(connectionString());
    brevant::db::upgradeDesktopSchema(db);
    EXPECT_EQ(loadRevisions(db, 3).value(QStringLiteral("s-1.pdf"), -1), 0);
    TakeoffModel m(3);
    Item i;
    i.name = QStringLiteral("Walls");
    m.addItem(i);
    saveTakeoff(db, 3, m.data());
    EXPECT_EQ(loadTakeoff(db, 3).items, m.data().items);
    // Opening again changes nothing.
    db.close();
    db.open(connectionString());
    brevant::db::upgradeDesktopSchema(db);
    EXPECT_EQ(loadTakeoff(db, 3).items, m.data().items);
}

TEST(TakeoffStoreText, PointsReadBackExactlyAndHostileTextIsRefused) {
    const QList<QPointF> points = {{0.1, 0.2}, {1.0 / 3, -2592.000001}, {1e-300, 7}};
    EXPECT_EQ(pointsFromText(pointsText(points)), points);
    EXPECT_EQ(pointsFromText(QString()), QList<QPointF>());
    for (const char* bad : {"1", "1 2;", "1 2;3", "a b", "1 nan", "1 inf", "1e999 1"})
        EXPECT_FALSE(pointsFromText(QLatin1String(bad))) << bad;
    QString tooMany = QStringLiteral("1 1");
    for (int i = 0; i < kMaxPointsPerMark; ++i)
        tooMany += QStringLiteral(";1 1");
    EXPECT_FALSE(pointsFromText(tooMany));
    EXPECT_EQ(sqlText(QStringLiteral("a'b|c")), QStringLiteral("'a''b' & chr(124) & 'c'"));
}
