// Compaction at shutdown: the database is never lost, whatever fails.
#include "shell/CompactAndRepair.h"

#include "TestStore.h"

#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using brevant::shell::CompactAndRepair;
using brevant::ui::Icon;

namespace {

class CompactAndRepairTest : public ::testing::Test {
protected:
    void SetUp() override {
        SQLITE_FILE_ONLY("compaction of the file");
        brevant::db::createDesktopDatabase(dbFile());
        brevant::db::Connection c;
        c.open(dbFile());
        for (int i = 0; i < 300; ++i)
            c.execute(
                QStringLiteral("INSERT INTO Specs (JobID, Spec, Description) VALUES (%1,'S','%2')")
                    .arg(i)
                    .arg(QString(200, QLatin1Char('x'))));
        c.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (1,'KEEP ME')");
    }

    QString dbFile() const { return dir.filePath("Desktop.mdb"); }
    QString tempFile() const { return dir.filePath("#db1.mdb"); }

    bool compact(bool showDone = false, const QString& tempName = "#db1.mdb") {
        return CompactAndRepair(dir.path(), "desktop.mdb", tempName, showDone,
                                [this](const QString& t) { statuses << t; });
    }

    QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    int rows(const QString& table) {
        brevant::db::Connection c;
        c.open(dbFile());
        brevant::db::Recordset rs;
        rs.open("SELECT Count(*) FROM " + table, c);
        return rs.field(0).toInt();
    }

    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
    }

    void expectFailureMessage(const char* numberAndStart) {
        ASSERT_EQ(ui.shown().size(), 1);
        EXPECT_EQ(ui.last().title, "System Error");
        EXPECT_EQ(ui.last().icon, Icon::Critical);
        EXPECT_TRUE(ui.last().text.startsWith(
            QStringLiteral("Error with compact / repair of database - ") + numberAndStart))
            << ui.last().text.toStdString();
        EXPECT_TRUE(ui.last().text.endsWith("..."));
        EXPECT_EQ(statuses, (QStringList{"Compacting Database -- Please Wait ...", ""}));
    }

    QTemporaryDir dir;
    brevant::ui::ScopedScriptedUi ui;
    QStringList statuses;
};

TEST_F(CompactAndRepairTest, CompactsInPlaceKeepingNameAndData) {
    {
        brevant::db::Connection c;
        c.open(dbFile());
        c.execute("Delete FROM [Specs] Where [JobID] > 10");
    }
    const qint64 before = QFileInfo(dbFile()).size();
    EXPECT_TRUE(compact());
    EXPECT_TRUE(ui.shown().isEmpty());
    EXPECT_EQ(statuses, (QStringList{"Compacting Database -- Please Wait ...", ""}));
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});
    EXPECT_LT(QFileInfo(dbFile()).size(), before);
    EXPECT_EQ(rows("Specs"), 11);
    EXPECT_EQ(rows("Projects"), 1);
}

TEST_F(CompactAndRepairTest, ShowDoneTellsTheUser) {
    EXPECT_TRUE(compact(true));
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "Compact and Repair complete ...");
    EXPECT_EQ(ui.last().title, "System Error");
    EXPECT_EQ(ui.last().icon, Icon::Exclamation);
}

TEST_F(CompactAndRepairTest, LeftoverTemporaryFileIsRemovedFirst) {
    QFile stale(tempFile());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("half a copy from a killed run");
    stale.close();
    EXPECT_TRUE(compact());
    EXPECT_TRUE(ui.shown().isEmpty());
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});
    EXPECT_EQ(rows("Specs"), 300);
}

TEST_F(CompactAndRepairTest, TemporaryCopyWithoutDatabaseBecomesTheDatabase) {
    ASSERT_TRUE(QFile::rename(dbFile(), tempFile()));
    EXPECT_TRUE(compact());
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});
    EXPECT_EQ(rows("Projects"), 1);
}

TEST_F(CompactAndRepairTest, TemporaryNameTakenByAFolderFailsAndKeepsTheDatabase) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("#db1.mdb/inside"));
    const QByteArray before = bytes(dbFile());
    EXPECT_FALSE(compact());
    expectFailureMessage("");
    EXPECT_EQ(bytes(dbFile()), before);
    EXPECT_EQ(rows("Specs"), 300);
}

TEST_F(CompactAndRepairTest, UnwritableDestinationFailsAndKeepsTheDatabase) {
    // A path below a regular file cannot be created, not even by root.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray before = bytes(dbFile());
    EXPECT_FALSE(compact(false, "blocker/#db1.mdb"));
    expectFailureMessage("");
    EXPECT_EQ(bytes(dbFile()), before);
    EXPECT_EQ(entries(), (QStringList{"Desktop.mdb", "blocker"}));
}

TEST_F(CompactAndRepairTest, DamagedDatabaseIsLeftAsItIs) {
    QFile f(dbFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(8192, 'z'));
    f.close();
    EXPECT_FALSE(compact());
    expectFailureMessage("");
    EXPECT_EQ(bytes(dbFile()), QByteArray(8192, 'z'));
    EXPECT_FALSE(QFileInfo::exists(tempFile()));
}

TEST_F(CompactAndRepairTest, DatabaseStillOpenElsewhereIsNotReplaced) {
    brevant::db::Connection other;
    other.open(dbFile());
    other.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (2,'WRITTEN BY THE OTHER')");
    EXPECT_FALSE(compact());
    expectFailureMessage("");
    EXPECT_TRUE(ui.last().text.contains("in use")) << ui.last().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tempFile()));
    other.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (3,'STILL WRITING')");
    other.close();
    EXPECT_EQ(rows("Projects"), 3);
}

TEST_F(CompactAndRepairTest, MissingDatabaseReportsIt) {
    ASSERT_TRUE(QFile::remove(dbFile()));
    EXPECT_FALSE(compact());
    expectFailureMessage("");
    EXPECT_TRUE(ui.last().text.contains("Could not find file"));
}

} // namespace
