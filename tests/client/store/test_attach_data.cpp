// Attachments and assignments on a real Desktop.mdb and a real project folder.
#include "OpenedAttachment.h"
#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "store/Assignments.h"
#include "store/Attachments.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::store;

namespace {

class AttachmentStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        connection.open(stores.create(dir.filePath("Desktop.mdb")));
        connection.execute("Insert into [Projects] ([Job_ID], [Name]) values (77, 'Depot')");
        cache = dir.filePath("cache");
        QDir().mkpath(dir.filePath("picked"));
    }

    QString picked(const QString& name, const QByteArray& content) {
        return teststore::pickedFile(dir.path(), name, content);
    }

    QString opened(const QString& name) {
        return teststore::openedAttachment(connection, cache, 77, name);
    }
    QByteArray stored(const QString& name) {
        return teststore::openedAttachmentBytes(connection, cache, 77, name);
    }

    QVariant column(const QString& sql) {
        db::Recordset rs;
        rs.open(sql, connection);
        return rs.eof() ? QVariant() : rs.field(0);
    }

    QTemporaryDir dir;
    teststore::TestStores stores;
    db::Connection connection;
    QString cache;
};

} // namespace

TEST_F(AttachmentStore, SameNameTwiceReplacesTheCopyAndListsTwoRowsRemovedTogether) {
    const QDate day(2026, 3, 9);
    ASSERT_EQ(
        AttachFile(connection, cache, 77, picked("quote.pdf", "first"), "First quote", day).outcome,
        AttachOutcome::Added);
    ASSERT_EQ(
        AttachFile(connection, cache, 77, picked("quote.pdf", "second"), "A revised", day).outcome,
        AttachOutcome::Added);
    EXPECT_EQ(stored("quote.pdf"), "second");
    const auto rows = LoadAttachments(connection, 77);
    ASSERT_EQ(rows.size(), 2u);
    // Ordered by description.
    EXPECT_EQ(rows[0].description, "A revised");
    EXPECT_EQ(rows[1].description, "First quote");
    EXPECT_EQ(rows[0].fileName, "quote.pdf");
    // A firm store's row names no PC's folder.
    EXPECT_EQ(rows[0].path, teststore::onPostgreSql() ? QString() : cache + "/77/");
    EXPECT_EQ(rows[0].type, "pdf");
    EXPECT_EQ(rows[0].added, "03/09/2026");

    RemoveAttachment(connection, cache, 77, "quote.pdf");
    EXPECT_TRUE(LoadAttachments(connection, 77).empty());
    EXPECT_FALSE(QFileInfo::exists(cache + "/77/quote.pdf"));
}

TEST_F(AttachmentStore, FailedCopyOfTheSameNameKeepsTheStoredFile) {
    // A source that opens but cannot be read: the kernel refuses reads of unmapped memory, so
    // this fails even for root, for whom file modes refuse nothing.
    const QString unreadable = "/proc/self/mem";
    ASSERT_EQ(AttachFile(connection, cache, 77, picked("mem", "bid bond copy"), "first").outcome,
              AttachOutcome::Added);
    const AttachResult failed = AttachFile(connection, cache, 77, unreadable, "second");
    EXPECT_EQ(failed.outcome, AttachOutcome::Failed);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_EQ(stored("mem"), "bid bond copy");
    EXPECT_EQ(LoadAttachments(connection, 77).size(), 1u);
    // Nothing half-written is left beside it.
    if (!teststore::onPostgreSql()) {
        EXPECT_EQ(QDir(cache + "/77").entryList(QDir::Files | QDir::Hidden), QStringList{"mem"});
    }

    // A copy that succeeds still replaces the stored file.
    ASSERT_EQ(AttachFile(connection, cache, 77, picked("mem", "revised"), "third").outcome,
              AttachOutcome::Added);
    EXPECT_EQ(stored("mem"), "revised");
    if (!teststore::onPostgreSql()) {
        EXPECT_EQ(QDir(cache + "/77").entryList(QDir::Files | QDir::Hidden), QStringList{"mem"});
    }
}

TEST_F(AttachmentStore, QuotesAndBarsInNamesAndDescriptionsAreStoredIntact) {
    const QString name = "O'Neil | bid's.xls";
    const QString description = "It's Bob's | 'final' \"copy\"";
    ASSERT_EQ(AttachFile(connection, cache, 77, picked(name, "x"), description).outcome,
              AttachOutcome::Added);
    const auto rows = LoadAttachments(connection, 77);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fileName, name);
    EXPECT_EQ(rows[0].description, description);
    EXPECT_EQ(rows[0].type, "xls");
    // A row of another project with the same name is not touched by the removal.
    connection.execute("INSERT INTO Attachments ( JobID, FileName ) VALUES (78, 'O''Neil | "
                       "bid''s.xls')");
    RemoveAttachment(connection, cache, 77, name);
    EXPECT_TRUE(LoadAttachments(connection, 77).empty());
    EXPECT_EQ(LoadAttachments(connection, 78).size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(cache + "/77/" + name));
}

TEST_F(AttachmentStore, EmptyDescriptionIsAnEmptyTextNotNull) {
    ASSERT_EQ(AttachFile(connection, cache, 77, picked("notes", "n"), "").outcome,
              AttachOutcome::Added);
    const QVariant d = column("Select Description from [Attachments] where [JobID] = 77");
    EXPECT_FALSE(d.isNull());
    EXPECT_EQ(d.toString(), "");
    EXPECT_EQ(column("Select Type from [Attachments] where [JobID] = 77").toString(), "");
}

TEST_F(AttachmentStore, MissingFileAddsNothingAndCopiesAreNeverPrograms) {
    const AttachResult missing =
        AttachFile(connection, cache, 77, dir.filePath("picked/gone.doc"), "gone");
    EXPECT_EQ(missing.outcome, AttachOutcome::NotFound);
    EXPECT_TRUE(LoadAttachments(connection, 77).empty());

    const QString script = picked("run.sh", "#!/bin/sh\ntouch owned\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    ASSERT_EQ(AttachFile(connection, cache, 77, script, "script").outcome, AttachOutcome::Added);
    EXPECT_TRUE(QFileInfo(opened("run.sh")).isFile());
    EXPECT_FALSE(QFileInfo(opened("run.sh")).isExecutable());

    // Attaching the stored copy itself keeps it.
    if (teststore::onPostgreSql())
        return; // the copies are the cache's, named by their bytes
    ASSERT_EQ(AttachFile(connection, cache, 77, cache + "/77/run.sh", "again").outcome,
              AttachOutcome::Added);
    EXPECT_EQ(stored("run.sh"), "#!/bin/sh\ntouch owned\n");
}

TEST_F(AttachmentStore, ProjectFolderFoundWithoutRegardToCase) {
    QDir().mkpath(cache);
    QDir().mkpath(dir.filePath("Cache"));
    ASSERT_EQ(AttachFile(connection, dir.filePath("CACHE"), 77, picked("a.txt", "a"), "a").outcome,
              AttachOutcome::Added);
    if (!teststore::onPostgreSql()) {
        EXPECT_TRUE(QFileInfo::exists(dir.filePath("cache/77/a.txt")) ||
                    QFileInfo::exists(dir.filePath("Cache/77/a.txt")));
    }
    EXPECT_EQ(AttachmentType("plan.final.PDF"), "PDF");
    EXPECT_EQ(AttachmentIconName("pdf"), "PDF");
    EXPECT_EQ(AttachmentIconName("html"), "HTML");
    EXPECT_EQ(AttachmentIconName("dwg"), "FILE");
}

TEST_F(AttachmentStore, AssignmentNamesStoredIntactAndCleared) {
    connection.execute("Insert into [Projects] ([Job_ID], [Name]) values (78, 'Yard')");
    SetAssignment(connection, 77, "O'Brien | Sons");
    SetAssignment(connection, 78, "Ann");
    EXPECT_EQ(column("Select Assignment from Projects where Job_ID = 77").toString(),
              "O'Brien | Sons");
    ClearAssignment(connection, 77);
    const QVariant cleared = column("Select Assignment from Projects where Job_ID = 77");
    EXPECT_FALSE(cleared.isNull());
    EXPECT_EQ(cleared.toString(), "");
    EXPECT_EQ(column("Select Assignment from Projects where Job_ID = 78").toString(), "Ann");
}
