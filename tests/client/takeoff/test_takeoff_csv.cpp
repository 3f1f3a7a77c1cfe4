// The takeoff's CSV file: its rows, its quoting, and how it replaces an older file.
#include "takeoff/TakeoffCsv.h"
#include "takeoff/TakeoffModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant::takeoff;

namespace {

QStringList lines(const QByteArray& csv) {
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    QStringList out = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(out.takeLast(), QString()); // ends with a line end
    return out;
}

class Csv : public ::testing::Test {
protected:
    void SetUp() override {
        model.setScale(a101, *statedScale(u"1/4\" = 1'-0\""));
        model.setScale(a102, *statedScale(u"1:100"));
        Item walls;
        walls.name = QStringLiteral("Walls, \"interior\"");
        walls.wastePercent = 10;
        walls.unit = Unit::FeetInches;
        wallsId = model.addItem(walls);
        model.addMark(wallsId, a101, {{0, 0}, {720, 0}}); // 40'
        model.addMark(wallsId, a102, {{0, 0}, {72, 0}});  // 100" = 8.33'
        Item slab;
        slab.name = QStringLiteral("=SUM(A1)");
        slab.kind = Kind::Area;
        slab.unit = Unit::SquareMetres;
        const int slabId = model.addItem(slab);
        model.addMark(slabId, a101, {{0, 0}, {180, 0}, {180, 270}, {0, 270}}); // 150 ft²
        Item doors;
        doors.name = QStringLiteral("Doors");
        doors.kind = Kind::Count;
        doors.unit = Unit::Each;
        doors.wastePercent = 2.5;
        model.addItem(doors); // no marks yet
    }

    const SheetKey a101{QStringLiteral("A-101.pdf"), 0};
    const SheetKey a102{QStringLiteral("A-101.pdf"), 1};
    TakeoffModel model{1};
    int wallsId = 0;
};

} // namespace

TEST_F(Csv, OneRowPerItemAndSheetQuotedAsRfc4180Says) {
    const QStringList rows = lines(takeoffCsv(model.data(), model.totals()));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], QStringLiteral("Item,Kind,Sheet,Quantity,Unit,Waste %,Total"));
    EXPECT_EQ(rows[1], QStringLiteral("\"Walls, \"\"interior\"\"\",Length,A-101.pdf page 1,40.00,"
                                      "ft,10,44.00"));
    EXPECT_EQ(rows[2], QStringLiteral("\"Walls, \"\"interior\"\"\",Length,A-101.pdf page 2,8.33,"
                                      "ft,10,9.17"));
    // A name a spreadsheet would take for a formula stays text; 150 ft² is 13.94 m².
    EXPECT_EQ(rows[3], QString::fromUtf8("'=SUM(A1),Area,A-101.pdf page 1,13.94,m²,0,13.94"));
    EXPECT_EQ(rows[4], QStringLiteral("Doors,Count,,0,ea,2.5,0"));
}

TEST_F(Csv, SheetsAreNamedAsTheCallerSays) {
    const QStringList rows = lines(takeoffCsv(model.data(), model.totals(), [](const SheetKey& s) {
        return s.page == 0 ? QStringLiteral("A1.1 Floor plan") : QStringLiteral(" x\ny ");
    }));
    EXPECT_TRUE(rows[1].contains(QStringLiteral(",A1.1 Floor plan,")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral(",\" x\ny \",")));
}

TEST_F(Csv, TheFileReplacesTheOldOneOnlyWhenComplete) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("takeoff.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QByteArray csv = takeoffCsv(model.data(), model.totals());
    QString error;
    ASSERT_TRUE(writeTakeoffCsv(path, csv, &error)) << error.toStdString();
    QFile back(path);
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), csv);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("takeoff.csv")});
    // A folder that is not there: refused with a reason, nothing written.
    EXPECT_FALSE(writeTakeoffCsv(dir.filePath(QStringLiteral("none/t.csv")), csv, &error));
    EXPECT_FALSE(error.isEmpty());
}
