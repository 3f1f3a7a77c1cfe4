// Deleting a project removes its rows from every table, its lasting history included, and
// nothing of other projects; all of it or, on a failure, none of it.
#include "store/ProjectDelete.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "takeoff/Snapshot.h"
#include "takeoff/TakeoffModel.h"
#include "takeoff/TakeoffStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ProjectDeleteCascade : public ::testing::Test {
protected:
    void SetUp() override {
        brevant::db::createDesktopDatabase(dir.filePath("Desktop.mdb"));
        db.open(dir.filePath("Desktop.mdb"));
    }
    void addEverything(int n) {
        const QString id = QString::number(n);
        db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (" + id + ",'P')");
        db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + id +
                   ",'A','D',1)");
        db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + id +
                   ",'B','D',1)");
        db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + id + ",'01010','D')");
        db.execute("INSERT INTO Contacts (Job_ID, Name, [Type]) VALUES (" + id + ",'ACME','B')");
        db.execute(
            "INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) VALUES (" +
            id + ",'f.pdf','/c/','d','pdf','12/8/2026')");
        db.execute("INSERT INTO Updates ( JobID, [Update], Added ) Values (" + id +
                   ",'X','12/8/2026')");
        db.execute("INSERT INTO Awards (JobID, [Name], [Bid]) VALUES (" + id + ",'ACME',5)");
        db.execute("INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) "
                   "VALUES (" +
                   id + ",'2026-12-08 09:00:00','Due_Date','12/1/2026','12/9/2026')");
    }
    // Rows of project n in each of the eight tables.
    std::vector<int> counts(int n) {
        std::vector<int> out;
        for (const char* q :
             {"Plans WHERE JobID", "Specs WHERE JobID", "Projects WHERE Job_ID",
              "Contacts WHERE Job_ID", "Attachments WHERE JobID", "Updates WHERE JobID",
              "Awards WHERE JobID", "Change_History WHERE JobID"}) {
            brevant::db::Recordset rs;
            rs.open(QStringLiteral("SELECT Count(*) FROM %1 = %2").arg(QLatin1String(q)).arg(n),
                    db);
            out.push_back(rs.field(0).toInt());
        }
        return out;
    }
    QTemporaryDir dir;
    brevant::db::Connection db;
};

TEST_F(ProjectDeleteCascade, RemovesEveryTableAndLeavesOthers) {
    addEverything(5);
    addEverything(6);
    ASSERT_EQ(counts(5), (std::vector<int>{2, 1, 1, 1, 1, 1, 1, 1}));
    brevant::store::DeleteProjectRecords(db, 5);
    EXPECT_EQ(counts(5), (std::vector<int>(8, 0)));
    EXPECT_EQ(counts(6), (std::vector<int>{2, 1, 1, 1, 1, 1, 1, 1}));
}

TEST_F(ProjectDeleteCascade, RemovesTheTakeoffToo) {
    using namespace brevant::takeoff;
    for (int n : {5, 6}) {
        addEverything(n);
        TakeoffModel model(n);
        const SheetKey sheet{QStringLiteral("A"), 0};
        model.setScale(sheet, *statedScale(u"1:100"));
        Item walls;
        walls.name = QStringLiteral("Walls");
        model.addMark(model.addItem(walls), sheet, {{0, 0}, {72, 0}});
        saveTakeoff(db, n, model.data());
        Snapshot s = takeSnapshot(model.data(), model.totals(), QStringLiteral("bid"), {});
        saveSnapshot(db, n, s);
    }
    const auto takeoffRows = [this](int n) {
        std::vector<int> out;
        for (const char* table : {"Takeoff_Items", "Takeoff_Marks", "Takeoff_Scales",
                                  "Takeoff_Snapshots", "Takeoff_Snapshot_Lines"}) {
            brevant::db::Recordset rs;
            rs.open(QStringLiteral("SELECT Count(*) FROM %1 WHERE JobID = %2")
                        .arg(QLatin1String(table))
                        .arg(n),
                    db);
            out.push_back(rs.field(0).toInt());
        }
        return out;
    };
    ASSERT_EQ(takeoffRows(5), (std::vector<int>(5, 1)));
    brevant::store::DeleteProjectRecords(db, 5);
    // A project imported again under the number must not find the old measurements.
    EXPECT_EQ(takeoffRows(5), (std::vector<int>(5, 0)));
    EXPECT_EQ(takeoffRows(6), (std::vector<int>(5, 1)));
}

TEST_F(ProjectDeleteCascade, AFailurePartWayLeavesTheProjectWhole) {
    addEverything(5);
    // The awards come late in the cascade, after the project's own row.
    db.executeNative("CREATE TRIGGER refuse BEFORE DELETE ON Awards BEGIN SELECT "
                     "RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(brevant::store::DeleteProjectRecords(db, 5), brevant::db::DbError);
    EXPECT_EQ(counts(5), (std::vector<int>{2, 1, 1, 1, 1, 1, 1, 1}));
    // And the connection is usable for the next command, outside any transaction.
    db.executeNative("DROP TRIGGER refuse");
    brevant::store::DeleteProjectRecords(db, 5);
    EXPECT_EQ(counts(5), (std::vector<int>(8, 0)));
}

TEST_F(ProjectDeleteCascade, WorksWhenSomeTablesHoldNothing) {
    db.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (9,'ONLY')");
    db.execute("INSERT INTO Awards (JobID, [Name], [Bid]) VALUES (9,'ACME',5)");
    brevant::store::DeleteProjectRecords(db, 9);
    EXPECT_EQ(counts(9), (std::vector<int>(8, 0)));
    // A project that is not there at all is no error either.
    EXPECT_NO_THROW(brevant::store::DeleteProjectRecords(db, 12345));
}

TEST_F(ProjectDeleteCascade, AClosedConnectionReportsTheError) {
    db.close();
    EXPECT_THROW(brevant::store::DeleteProjectRecords(db, 5), brevant::db::DbError);
}

} // namespace
