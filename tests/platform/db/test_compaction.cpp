// Compaction into a temporary name and the atomic replace.
#include "DbFixture.h"

#include "platform/db/Compaction.h"
#include "platform/db/DbError.h"

#include <QDir>
#include <QFile>

using namespace brevant::db;

namespace {

class Compaction : public DesktopDb {
protected:
    void SetUp() override {
        DesktopDb::SetUp();
        for (int i = 0; i < 50; ++i)
            db.execute(
                QStringLiteral("INSERT INTO Projects (Job_ID, [Name]) VALUES (%1,'P')").arg(i));
        db.close();
    }
    QString temp() const { return dir.filePath("#db1.mdb"); }
    QStringList entries() const {
        return QDir(folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
    }
    int projects() {
        Connection c;
        c.open(file());
        Recordset rs;
        rs.open("SELECT Count(*) FROM Projects", c);
        return rs.field(0).toInt();
    }
};

TEST_F(Compaction, CopyThenReplaceLeavesOneCompleteFile) {
    compactInto(file(), temp());
    EXPECT_EQ(entries(), (QStringList{"#db1.mdb", "Desktop.mdb"}));
    replaceFile(temp(), file());
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});
    EXPECT_EQ(projects(), 50);
}

TEST_F(Compaction, ExistingDestinationIsRefused) {
    QFile f(temp());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("other");
    f.close();
    try {
        compactInto(file(), temp());
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 58);
    }
    EXPECT_EQ(QFileInfo(temp()).size(), 5);
}

TEST_F(Compaction, RecoveryRemovesOrRestoresTheTemporaryFile) {
    EXPECT_EQ(recoverInterruptedCompaction(file(), temp()), CompactionRecovery::Nothing);
    compactInto(file(), temp());
    EXPECT_EQ(recoverInterruptedCompaction(file(), temp()), CompactionRecovery::RemovedTemporary);
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});

    compactInto(file(), temp());
    ASSERT_TRUE(QFile::remove(file()));
    EXPECT_EQ(recoverInterruptedCompaction(file(), temp()), CompactionRecovery::RestoredDatabase);
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});
    EXPECT_EQ(projects(), 50);

    // A half-written copy is not taken for the database.
    QFile half(temp());
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write(QByteArray(4096, 'h'));
    half.close();
    ASSERT_TRUE(QFile::remove(file()));
    EXPECT_THROW(recoverInterruptedCompaction(file(), temp()), DbError);
    EXPECT_EQ(entries(), QStringList{"#db1.mdb"});
}

TEST_F(Compaction, LinksAtTheCopysNameAreNeverFollowed) {
    // A dangling link: writing the copy through it would create a file elsewhere.
    const QString elsewhere = dir.filePath("elsewhere.mdb");
    ASSERT_TRUE(QFile::link(elsewhere, temp()));
    try {
        compactInto(file(), temp());
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 58);
    }
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
    EXPECT_TRUE(QFileInfo(temp()).isSymLink());

    // A link to a good database file, with the database gone: not taken as the lost copy, and
    // the database is not turned into a link to somewhere else.
    ASSERT_TRUE(QFile::remove(temp()));
    ASSERT_TRUE(QFile::copy(file(), elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, temp()));
    ASSERT_TRUE(QFile::remove(file()));
    EXPECT_THROW(recoverInterruptedCompaction(file(), temp()), DbError);
    EXPECT_FALSE(QFileInfo(file()).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(file()));
    EXPECT_TRUE(QFileInfo(temp()).isSymLink());
}

TEST_F(Compaction, AFailedCompactionLeavesNoCopy) {
    // The source is not a database: the copy created for it is removed again.
    QFile bad(file());
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write(QByteArray(4096, 'x'));
    bad.close();
    EXPECT_THROW(compactInto(file(), temp()), DbError);
    EXPECT_EQ(entries(), QStringList{"Desktop.mdb"});
}

} // namespace
