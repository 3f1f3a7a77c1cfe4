// The project list as CSV: read back by Python's csv module as a spreadsheet reads it (quotes,
// commas and line breaks inside values, non-ASCII names, dates), and opened by LibreOffice
// where it is installed.
#include "store/ProjectListCsv.h"

#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant::store;

namespace {

const QString kReader = QStringLiteral(BREVANT_SOURCE_DIR) + "/tests/client/store/read_csv.py";

std::vector<ProjectRow> sampleRows() {
    return {
        {1, "04/15/2027", "Bridge Deck, Phase \"B\"", "ann", IconNew},
        {2, "No Date Set", "Café Müller\nInterior fit-out", "", IconTagged},
        {3, "12/01/2026", "  Leading blanks", "bob, jr.", IconOpened},
        {4, "", "Plain", "", IconOpened},
    };
}

// Details for the first two sample rows only; the others stand for projects deleted meanwhile.
std::map<int, ProjectSheetDetails> sampleDetails() {
    ProjectSheetDetails timed;
    timed.bidDate = QDateTime(QDate(2027, 4, 15), QTime(14, 5));
    timed.city = "AUSTIN";
    timed.state = "TX";
    timed.building = true;
    timed.estimatedCost = 1250000;
    timed.estimatedCostEnd = 2500000.4;
    timed.tracked = true;
    ProjectSheetDetails undated;
    undated.city = "=cmd";
    undated.isNew = true;
    return {{1, timed}, {2, undated}};
}

const QJsonArray kHeader = {"BID DATE", "TITLE", "ASSIGN", "PROJECT NUMBER", "BID TIME",
                            "CITY",     "STATE", "TYPE",   "ESTIMATED COST", "ESTIMATED COST END",
                            "TRACKED",  "NEW"};

QJsonDocument runReader(const QStringList& args) {
    QProcess py;
    py.start("/usr/bin/python3", QStringList{kReader} + args);
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().constData();
    return QJsonDocument::fromJson(py.readAllStandardOutput());
}

TEST(ProjectListCsv, ReadBackByACsvReaderWithEveryValueIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.csv");
    QString error;
    ASSERT_TRUE(WriteFileAtomically(path, ProjectListCsv(sampleRows(), sampleDetails()), &error))
        << qPrintable(error);
    const QJsonArray rows = runReader({path}).array();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].toArray(), kHeader);
    EXPECT_EQ(rows[1].toArray(),
              QJsonArray({"2027-04-15", "Bridge Deck, Phase \"B\"", "ann", "1", "14:05", "AUSTIN",
                          "TX", "BUILDING CONSTRUCTION", "1250000", "2500000.40", "Yes", "No"}));
    // No date set: the date and time are empty, never a day of 1900 or a text among dates.
    EXPECT_EQ(rows[2].toArray(),
              QJsonArray({"", "Café Müller\nInterior fit-out", "", "2", "", "'=cmd", "",
                          "HEAVY CONSTRUCTION", "", "", "No", "Yes"}));
    EXPECT_EQ(rows[3].toArray(), QJsonArray({"2026-12-01", "  Leading blanks", "bob, jr.", "3", "",
                                             "", "", "", "", "", "", ""}));
    EXPECT_EQ(rows[4].toArray(),
              QJsonArray({"", "Plain", "", "4", "", "", "", "", "", "", "", ""}));
}

TEST(ProjectListCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField(" pad"), "\" pad\"");
    EXPECT_TRUE(ProjectListCsv({}, {}).startsWith("\xEF\xBB\xBF"
                                                  "BID DATE,TITLE,ASSIGN,PROJECT NUMBER,"));
}

// The details as the database holds them: a bid time of day, a day of 1900, a midnight bid
// (no time given), costs, the type and the yes/no columns as they are stored.
TEST(ProjectListCsv, DetailsAreReadFromTheProjectsTable) {
    QTemporaryDir dir;
    teststore::TestStores stores;
    brevant::db::Connection db;
    db.open(stores.create(dir.filePath("Desktop.mdb")));
    db.execute("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Estimated Cost], "
               "[Estimated Cost End], Building, [New], Tracked) VALUES (4711, 'AUSTIN', 'TX', "
               "'3/5/2026 2:00:00 PM', 'Roof', 1250000, 2500000.4, 1, FALSE, TRUE)");
    db.execute("INSERT INTO Projects (Job_ID, Due_Date, [Name], Building, [New], Tracked) VALUES "
               "(12, '1/1/1900', 'Bridge', 0, TRUE, FALSE)");
    db.execute("INSERT INTO Projects (Job_ID, Due_Date, [Name]) VALUES (13, '6/30/2027', 'Dam')");
    const std::map<int, ProjectSheetDetails> details = ReadSheetDetails(db);
    ASSERT_EQ(details.size(), 3u);
    const QByteArray csv = ProjectListCsv({{4711, "03/05/2026", "Roof", "", IconTagged},
                                           {12, "No Date Set", "Bridge", "", IconNew},
                                           {13, "06/30/2027", "Dam", "", IconNew}},
                                          details);
    const QList<QByteArray> lines = csv.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[1], "2026-03-05,Roof,,4711,14:00,AUSTIN,TX,BUILDING CONSTRUCTION,1250000,"
                        "2500000.40,Yes,No\r");
    EXPECT_EQ(lines[2], ",Bridge,,12,,,,HEAVY CONSTRUCTION,,,No,Yes\r");
    EXPECT_EQ(lines[3], "2027-06-30,Dam,,13,,,,HEAVY CONSTRUCTION,,,No,Yes\r");
}

TEST(ProjectListCsv, AFailedWriteLeavesTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.csv");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath("missing/list.csv"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
}

// Writes the rows as list.csv in dir and has LibreOffice open it as a spreadsheet and save it
// as list.xlsx; the empty text, with the reason in *skip, when LibreOffice cannot.
QString asSpreadsheet(const QTemporaryDir& dir, const std::vector<ProjectRow>& rows,
                      QString* skip) {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) {
        *skip = "LibreOffice (soffice) is not installed";
        return {};
    }
    const QString path = dir.filePath("list.csv");
    EXPECT_TRUE(WriteFileAtomically(path, ProjectListCsv(rows, sampleDetails()), nullptr));
    QProcess lo;
    lo.start("soffice", {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                         "--norestore", "--infilter=CSV:44,34,76,1", "--convert-to", "xlsx",
                         "--outdir", dir.path(), path});
    EXPECT_TRUE(lo.waitForFinished(240000));
    const QString xlsx = dir.filePath("list.xlsx");
    if (!QFile::exists(xlsx)) {
        *skip = "LibreOffice has no spreadsheet component here: " +
                QString::fromLocal8Bit(lo.readAllStandardError());
        return {};
    }
    return xlsx;
}

TEST(ProjectListCsv, ASpreadsheetProgramOpensItWithTheRightRows) {
    QTemporaryDir dir;
    QString skip;
    const QString xlsx = asSpreadsheet(dir, sampleRows(), &skip);
    if (xlsx.isEmpty())
        GTEST_SKIP() << skip.toStdString();
    EXPECT_EQ(runReader({"--xlsx", xlsx}).object()["rows"].toInt(), 5);
}

// Text from the service that a spreadsheet would take for a formula: what LibreOffice makes of
// each cell, not only the bytes. No cell may hold a formula; the hostile texts stay readable
// as text and the bid dates the program writes are still dates (numbers in the sheet).
TEST(ProjectListCsv, FormulaLikeTextIsTextInASpreadsheetAndDatesStayDates) {
    const QStringList hostile = {"=HYPERLINK(\"http://evil.example/\",\"Plans\")",
                                 "+1+cmd|' /C calc'!A0",
                                 "-2+3",
                                 "@SUM(1+1)",
                                 "\t=1+1",
                                 "\r=1+1"};
    std::vector<ProjectRow> rows;
    for (int i = 0; i < hostile.size(); ++i)
        rows.push_back({i + 1, "04/15/2027", hostile[i], i == 0 ? "=1+1" : "", IconNew});
    QTemporaryDir dir;
    QString skip;
    const QString xlsx = asSpreadsheet(dir, rows, &skip);
    if (xlsx.isEmpty())
        GTEST_SKIP() << skip.toStdString();
    const QJsonObject cells = runReader({"--xlsx-cells", xlsx}).object();
    ASSERT_FALSE(cells.isEmpty());
    for (auto it = cells.begin(); it != cells.end(); ++it)
        EXPECT_TRUE(it.value().toObject()["formula"].isNull())
            << it.key().toStdString()
            << " holds a formula: " << it.value().toObject()["formula"].toString().toStdString();
    for (int i = 0; i < hostile.size(); ++i) {
        const QJsonObject title = cells[QStringLiteral("B%1").arg(i + 2)].toObject();
        EXPECT_EQ(title["kind"].toString(), "s") << i;
        EXPECT_TRUE(title["value"].toString().endsWith(hostile[i].trimmed()))
            << title["value"].toString().toStdString();
        const QJsonObject date = cells[QStringLiteral("A%1").arg(i + 2)].toObject();
        EXPECT_EQ(date["kind"].toString(), "n") << "the bid date is still a date";
    }
    EXPECT_EQ(cells["C2"].toObject()["kind"].toString(), "s");
    EXPECT_EQ(cells["D2"].toObject()["kind"].toString(), "n") << "the project number";
    EXPECT_EQ(cells["E2"].toObject()["kind"].toString(), "n") << "the bid time is a time";
    EXPECT_EQ(cells["I2"].toObject()["kind"].toString(), "n") << "the cost is a number";
    EXPECT_EQ(cells["J2"].toObject()["value"].toString().toDouble(), 2500000.4);
}

TEST(ProjectListCsv, FormulaStartsGetAnApostropheAndOtherTextIsUntouched) {
    EXPECT_EQ(SpreadsheetText("=1+1"), "'=1+1");
    EXPECT_EQ(SpreadsheetText("@x"), "'@x");
    EXPECT_EQ(SpreadsheetText("\tx"), "'\tx");
    EXPECT_EQ(SpreadsheetText("Caf\u00e9 = bar"), "Caf\u00e9 = bar");
    EXPECT_EQ(SpreadsheetText(""), "");
    const QByteArray csv = ProjectListCsv({{1, "04/15/2027", "-x", "+y", IconNew}}, {});
    EXPECT_TRUE(csv.endsWith("2027-04-15,'-x,'+y,1,,,,,,,,\r\n")) << csv.constData();
}

} // namespace
