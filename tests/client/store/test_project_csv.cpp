// The project list as CSV: read back by Python's csv module as a spreadsheet reads it (quotes,
// commas and line breaks inside values, non-ASCII names, dates), and opened by LibreOffice
// where it is installed.
#include "store/ProjectListCsv.h"

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
    ASSERT_TRUE(WriteFileAtomically(path, ProjectListCsv(sampleRows()), &error))
        << qPrintable(error);
    const QJsonArray rows = runReader({path}).array();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].toArray(), QJsonArray({"BID DATE", "TITLE", "ASSIGN"}));
    EXPECT_EQ(rows[1].toArray(), QJsonArray({"2027-04-15", "Bridge Deck, Phase \"B\"", "ann"}));
    EXPECT_EQ(rows[2].toArray(), QJsonArray({"No Date Set", "Café Müller\nInterior fit-out", ""}));
    EXPECT_EQ(rows[3].toArray(), QJsonArray({"2026-12-01", "  Leading blanks", "bob, jr."}));
    EXPECT_EQ(rows[4].toArray(), QJsonArray({"", "Plain", ""}));
}

TEST(ProjectListCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField(" pad"), "\" pad\"");
    EXPECT_TRUE(ProjectListCsv({}).startsWith("\xEF\xBB\xBF"
                                              "BID DATE,TITLE,ASSIGN\r\n"));
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

TEST(ProjectListCsv, ASpreadsheetProgramOpensItWithTheRightRows) {
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("list.csv");
    ASSERT_TRUE(WriteFileAtomically(path, ProjectListCsv(sampleRows()), nullptr));
    QProcess lo;
    lo.start("soffice", {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless",
                         "--norestore", "--infilter=CSV:44,34,76,1", "--convert-to", "xlsx",
                         "--outdir", dir.path(), path});
    ASSERT_TRUE(lo.waitForFinished(240000));
    const QString xlsx = dir.filePath("list.xlsx");
    if (!QFile::exists(xlsx))
        GTEST_SKIP() << "LibreOffice has no spreadsheet component here: "
                     << lo.readAllStandardError().constData();
    EXPECT_EQ(runReader({"--xlsx", xlsx}).object()["rows"].toInt(), 5);
}

} // namespace
