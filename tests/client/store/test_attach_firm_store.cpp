// Attached files on a firm store: the bytes travel in the store, each PC ("A" and "B", two data
// folders on one shared store) opens them from its own cache by content hash, damaged contents
// are refused, and contents go with the last row that names them.
#include "OpenedAttachment.h"
#include "TestStore.h"
#include "platform/db/AttachmentContent.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/NativeQuery.h"
#include "store/AttachmentCache.h"
#include "store/Attachments.h"
#include "store/ProjectDelete.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::store;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Bytes of every value, NUL and 0xFF included, over several of the slices a file is sent and
// fetched in.
QByteArray binaryBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random.bounded(256));
    bytes[0] = '\0';
    bytes[1] = '\xff';
    return bytes;
}

class FirmStoreAttachments : public ::testing::Test {
protected:
    void SetUp() override {
        if (!teststore::onPostgreSql())
            GTEST_SKIP() << "an SQLite store keeps attached files in the data folder";
        ASSERT_TRUE(dir.isValid());
        const QString locator = stores.create(dir.filePath("Desktop.mdb"));
        pcA.open(locator);
        pcB.open(locator);
        pcA.execute("Insert into [Projects] ([Job_ID], [Name]) values (77, 'Depot')");
        pcA.execute("Insert into [Projects] ([Job_ID], [Name]) values (78, 'Yard')");
        cacheA = dir.filePath("pc-a/cache");
        cacheB = dir.filePath("pc-b/cache");
        QDir().mkpath(dir.filePath("picked"));
    }

    QString picked(const QString& name, const QByteArray& content) {
        return teststore::pickedFile(dir.path(), name, content);
    }

    qint64 contentRows() {
        return db::queryNative(pcA, "SELECT count(*) FROM brevant_attachment_content")
            .front()
            .front()
            .toLongLong();
    }

    // What "Open Document" on PC B gives for the project's first row of that name.
    QString openOnB(int jobId, const QString& name) {
        for (const AttachmentRow& row : LoadAttachments(pcB, jobId))
            if (row.fileName == name)
                return EnsureCachedAttachment(pcB, cacheB, row.content, row.fileName);
        return {};
    }

    QTemporaryDir dir;
    teststore::TestStores stores;
    db::Connection pcA, pcB;
    QString cacheA, cacheB;
};

} // namespace

TEST_F(FirmStoreAttachments, AttachedOnOnePcOpensOnAnotherWithIdenticalBytes) {
    const QByteArray bytes = binaryBytes(2 * 1024 * 1024 + 12345, 7);
    ASSERT_EQ(AttachFile(pcA, cacheA, 77, picked("takeoff.xlsx", bytes), "Takeoff").outcome,
              AttachOutcome::Added);

    const auto rows = LoadAttachments(pcB, 77);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(
        rows[0].content,
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    EXPECT_TRUE(rows[0].path.isEmpty()) << "a shared row names no PC's folder";
    EXPECT_FALSE(QDir(cacheB).exists());

    const QString opened = openOnB(77, "takeoff.xlsx");
    EXPECT_EQ(opened, CachedAttachmentPath(cacheB, rows[0].content, "takeoff.xlsx"));
    EXPECT_EQ(readAll(opened), bytes);
    EXPECT_FALSE(QFileInfo(opened).isExecutable());
    // Read-only (by its mode: root may write anything), as edits would be lost at the next fetch.
    EXPECT_FALSE(QFileInfo(opened).permissions() & QFile::WriteOwner);
    // PC A put its own file in its cache when attaching.
    EXPECT_EQ(readAll(CachedAttachmentPath(cacheA, rows[0].content, "takeoff.xlsx")), bytes);

    // Mailed as the same verified copy; a row without stored bytes (attached before the store
    // kept them) goes as the file of its folder.
    QFile::remove(opened);
    EXPECT_EQ(AttachmentFileToSend(pcB, cacheB, rows[0].content, "takeoff.xlsx", "elsewhere"),
              opened);
    EXPECT_EQ(readAll(opened), bytes);
    EXPECT_EQ(AttachmentFileToSend(pcB, cacheB, QString(), "takeoff.xlsx", "/old/takeoff.xlsx"),
              "/old/takeoff.xlsx");

    // Opening again uses the copy while it matches: the store is not read (its row is
    // damaged now and would be refused).
    db::queryNative(pcA, "UPDATE brevant_attachment_content SET bytes = 'x'::bytea");
    EXPECT_EQ(readAll(openOnB(77, "takeoff.xlsx")), bytes);
    // A cached copy that no longer matches is fetched again, and here refused.
    QFile::setPermissions(opened, QFile::ReadOwner | QFile::WriteOwner);
    {
        QFile f(opened);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write("changed");
    }
    EXPECT_THROW(openOnB(77, "takeoff.xlsx"), db::DbError);
}

TEST_F(FirmStoreAttachments, DamagedContentIsRefusedAndNeverCached) {
    const QByteArray bytes = binaryBytes(300000, 11);
    ASSERT_EQ(AttachFile(pcA, cacheA, 77, picked("bond.pdf", bytes), "Bond").outcome,
              AttachOutcome::Added);
    const QString hash = LoadAttachments(pcB, 77).at(0).content;
    const QString cached = CachedAttachmentPath(cacheB, hash, "bond.pdf");
    const auto refused = [&](const char* damage, const QString& expected) {
        SCOPED_TRACE(damage);
        try {
            openOnB(77, "bond.pdf");
            ADD_FAILURE() << "opened";
        } catch (const db::DbError& e) {
            EXPECT_TRUE(e.description().contains(expected)) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains("bond.pdf")) << e.description().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(cached));
        // Nothing half-written is left beside it either.
        EXPECT_TRUE(QDir(QFileInfo(cached).absolutePath())
                        .entryList(QDir::Files | QDir::Hidden | QDir::System)
                        .isEmpty());
    };

    // Same length, one byte changed: only the hash can tell.
    db::queryNative(pcA, "UPDATE brevant_attachment_content SET bytes = set_byte(bytes, 1000, "
                         "(get_byte(bytes, 1000) + 1) % 256)");
    refused("a byte changed", "do not match their hash");
    db::queryNative(pcA, "UPDATE brevant_attachment_content SET bytes = set_byte(bytes, 1000, "
                         "(get_byte(bytes, 1000) + 255) % 256)");
    EXPECT_EQ(readAll(openOnB(77, "bond.pdf")), bytes) << "restored, it opens";
    ASSERT_TRUE(QFile::remove(cached));

    db::queryNative(pcA, "UPDATE brevant_attachment_content SET size = size + 1");
    refused("the stated size", "size");
    db::queryNative(pcA, "UPDATE brevant_attachment_content SET size = size - 1, bytes = bytes "
                         "|| '\\x00'::bytea");
    refused("a byte more", "size");
    db::queryNative(pcA, "DELETE FROM brevant_attachment_content");
    refused("no content at all", "holds no copy");

    // A row naming no hash, or a name that would leave the cache folder, is refused too.
    EXPECT_TRUE(CachedAttachmentPath(cacheB, "../../etc", "passwd").isEmpty());
    EXPECT_TRUE(CachedAttachmentPath(cacheB, hash, "../../evil.sh").isEmpty());
    EXPECT_TRUE(CachedAttachmentPath(cacheB, hash, "..").isEmpty());
    EXPECT_THROW(EnsureCachedAttachment(pcB, cacheB, hash, "a/../../b"), db::DbError);
}

TEST_F(FirmStoreAttachments, OverTheLimitIsRefusedBeforeAnythingIsStored) {
    const QString big = picked("survey.tif", {});
    ASSERT_TRUE(QFile::resize(big, db::kMaxAttachmentBytes + 1)); // sparse: no disk used
    const AttachResult r = AttachFile(pcA, cacheA, 77, big, "Survey");
    EXPECT_EQ(r.outcome, AttachOutcome::Failed);
    EXPECT_EQ(r.error, db::attachmentTooLargeText("survey.tif", db::kMaxAttachmentBytes + 1));
    EXPECT_TRUE(r.error.contains("survey.tif"));
    EXPECT_TRUE(r.error.contains(QString::number(db::kMaxAttachmentBytes + 1)));
    EXPECT_TRUE(r.error.contains(QString::number(db::kMaxAttachmentBytes)));
    EXPECT_TRUE(LoadAttachments(pcB, 77).empty());
    EXPECT_EQ(contentRows(), 0);
    EXPECT_FALSE(QDir(cacheA).exists());

    // Exactly the limit is taken.
    ASSERT_TRUE(QFile::resize(big, db::kMaxAttachmentBytes));
    EXPECT_EQ(AttachFile(pcA, cacheA, 77, big, "Survey").outcome, AttachOutcome::Added);
    EXPECT_EQ(contentRows(), 1);
}

TEST_F(FirmStoreAttachments, ContentIsStoredOnceAndGoesWithTheLastRowNamingIt) {
    const QString quote = picked("quote.pdf", "the same quote");
    ASSERT_EQ(AttachFile(pcA, cacheA, 77, quote, "Quote").outcome, AttachOutcome::Added);
    ASSERT_EQ(AttachFile(pcA, cacheA, 78, quote, "Quote").outcome, AttachOutcome::Added);
    EXPECT_EQ(contentRows(), 1);
    const QString hash = LoadAttachments(pcA, 77).at(0).content;
    EXPECT_EQ(readAll(openOnB(78, "quote.pdf")), "the same quote");

    // Removed on A: B's list no longer has it; the other project's row keeps the bytes.
    RemoveAttachment(pcA, cacheA, 77, "quote.pdf");
    EXPECT_TRUE(LoadAttachments(pcB, 77).empty());
    EXPECT_EQ(contentRows(), 1);
    EXPECT_EQ(readAll(openOnB(78, "quote.pdf")), "the same quote");
    RemoveAttachment(pcA, cacheA, 78, "quote.pdf");
    EXPECT_TRUE(LoadAttachments(pcB, 78).empty());
    EXPECT_EQ(contentRows(), 0);
    EXPECT_FALSE(QFileInfo::exists(CachedAttachmentPath(cacheA, hash, "quote.pdf")));

    // The same name attached again with new bytes: both rows open the new file (as the replaced
    // copy does on this computer's store) and the old bytes go.
    ASSERT_EQ(AttachFile(pcA, cacheA, 77, picked("bid.doc", "first"), "First").outcome,
              AttachOutcome::Added);
    ASSERT_EQ(AttachFile(pcA, cacheA, 77, picked("bid.doc", "second"), "Second").outcome,
              AttachOutcome::Added);
    const auto rows = LoadAttachments(pcB, 77);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].content, rows[1].content);
    EXPECT_EQ(readAll(openOnB(77, "bid.doc")), "second");
    EXPECT_EQ(contentRows(), 1);

    // Deleting the project takes its bytes when no other project names them.
    ASSERT_EQ(AttachFile(pcA, cacheA, 78, picked("shared.txt", "both"), "Shared").outcome,
              AttachOutcome::Added);
    ASSERT_EQ(AttachFile(pcA, cacheA, 77, picked("shared.txt", "both"), "Shared").outcome,
              AttachOutcome::Added);
    EXPECT_EQ(contentRows(), 2);
    DeleteProjectRecords(pcB, 77);
    EXPECT_EQ(contentRows(), 1) << "bid.doc's bytes went, shared.txt's stay for project 78";
    EXPECT_EQ(readAll(openOnB(78, "shared.txt")), "both");
    DeleteProjectRecords(pcB, 78);
    EXPECT_EQ(contentRows(), 0);
}
