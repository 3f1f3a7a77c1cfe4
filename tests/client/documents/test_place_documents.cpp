// Placing document archives into the cache (hostile names and sizes included), opening cached
// documents, and clearing the cache of a project.
#include "../../platform/archive/LyingZip.h"
#include "DocumentsTestDb.h"
#include "documents/DocumentCache.h"
#include "documents/DocumentLists.h"
#include "documents/PlaceDocuments.h"
#include "platform/archive/ZipWriter.h"
#include "platform/ui/ScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

using namespace brevant;
using namespace brevant::documents;
using brevant::documents::test::DocumentsDbTest;

namespace {

class PlaceDocumentsTest : public DocumentsDbTest {
protected:
    void SetUp() override {
        DocumentsDbTest::SetUp();
        QDir().mkpath(dir.filePath("cache"));
        QDir().mkpath(dir.filePath("Download"));
        for (const char* kind : {"PLANS", "SPECS", "ADD"})
            rows.lists[documentListOfKind(QString::fromLatin1(kind))] =
                *LoadDocumentList(connection, Job, QString::fromLatin1(kind));
    }

    QString archive(const std::vector<std::pair<std::string, std::string>>& entries) {
        const QString path = dir.filePath("Download/documents-000001.zip");
        archive::ZipWriter zip(path.toStdString());
        for (const auto& [name, bytes] : entries)
            zip.addBytes(name, bytes);
        zip.write();
        return path;
    }

    PlaceOutcome place(const QString& archivePath) {
        PlaceRequest r;
        r.archivePath = archivePath;
        r.projectFolder = projectFolder();
        r.jobId = Job;
        r.supportEmail = "help@example.net";
        return PlaceDocuments(r, connection, rows);
    }

    QString projectFolder() const { return dir.filePath("cache/210007"); }

    DocumentRows rows;
    ui::ScopedScriptedUi ui;
};

TEST_F(PlaceDocumentsTest, PlansSectionsAndAddendaLandInTheirFoldersAndAreMarked) {
    const QString zip = archive({{"PLAN.SVD", "%PDF-set"},
                                 {"PLAN001", "page one"},
                                 {"0100.svd", "%PDF-section"},
                                 {"0100_001.tif", "II*"},
                                 {"ADD01.SVD", "%PDF-addendum"},
                                 {"ADD01_001.tif", "II*"}});
    const PlaceOutcome out = place(zip);
    ASSERT_TRUE(out.ok()) << out.reason.toStdString();
    EXPECT_EQ(out.placed, 6);
    EXPECT_FALSE(QFileInfo::exists(zip)) << "a placed archive is deleted";

    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/PLANS/PLAN.SVD"));
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/PLANS/PLAN001"));
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/SPECS/0100.svd"));
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/SPECS/0100_001.tif"));
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/SPECS/ADD01.SVD"));

    EXPECT_EQ(localCount("Plans", "[JobID] = 210007"), 1);
    EXPECT_EQ(localCount("Plans", "[JobID] = 9"), 0);
    EXPECT_EQ(localCount("Specs", "[Spec] = '0100'"), 1);
    EXPECT_EQ(localCount("Specs", "[Spec] = 'ADD01'"), 1);
    EXPECT_EQ(localCount("Specs", "[JobID] = 210007"), 2);

    EXPECT_EQ(rows.lists[PlanList][0].icon, CachedIcon);
    EXPECT_EQ(rows.lists[PlanList][1].icon, NotCachedIcon);
    EXPECT_EQ(rows.lists[SpecList][2].icon, CachedIcon) << "0100 in the specifications list";
    EXPECT_EQ(rows.lists[AddendaList][0].icon, CachedIcon);
    EXPECT_EQ(rows.selected[AddendaList], 0);
    EXPECT_EQ(rows.currentList, AddendaList) << "the addendum came last and switched the tab";
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST_F(PlaceDocumentsTest, ExistingFoldersInAnotherCaseAreUsedAndAQuoteInANameIsHarmless) {
    QDir().mkpath(projectFolder() + "/plans");
    const QString zip = archive({{"PLAN003", "x"}, {"O'BRIEN.SVD", "y"}});
    ASSERT_TRUE(place(zip).ok());
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/plans/PLAN003"));
    EXPECT_FALSE(QFileInfo::exists(projectFolder() + "/PLANS"));
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/SPECS/O'BRIEN.SVD"));
    EXPECT_EQ(localCount("Plans", "[File] = 'PLAN003'"), 1);
}

TEST_F(PlaceDocumentsTest, AnEmptyArchiveTellsTheSupportAddressAndMarksNothing) {
    const QString zip = archive({});
    ASSERT_TRUE(place(zip).ok());
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "These documents are no longer available - Please contact us via "
                              "email at help@example.net with any questions concerning this "
                              "project ...");
    EXPECT_EQ(ui.last().title, "System Message");
    EXPECT_EQ(ui.last().icon, ui::Icon::Information);
    EXPECT_EQ(localCount("Plans", "1 = 1") + localCount("Specs", "1 = 1"), 0);
    EXPECT_EQ(place(zip).result, PlaceResult::Missing) << "the archive was deleted";
}

TEST_F(PlaceDocumentsTest, HostileNamesRefuseTheWholeArchiveAndKeepIt) {
    for (const char* bad : {"../x", "/tmp/brevant-hostile-x", "..\\x", "sub/../../x", "sub/x"}) {
        const QString zip = archive({{"PLAN001", "fine"}, {bad, "evil"}});
        const PlaceOutcome out = place(zip);
        EXPECT_EQ(out.result, PlaceResult::Refused) << bad;
        EXPECT_TRUE(out.reason.contains("outside")) << out.reason.toStdString();
        EXPECT_TRUE(QFileInfo::exists(zip)) << "the archive stays in Download";
        EXPECT_FALSE(QFileInfo::exists(projectFolder() + "/PLANS/PLAN001"))
            << "nothing is written, not even the good entry before the bad one";
        EXPECT_EQ(localCount("Plans", "1 = 1"), 0);
        QFile::remove(zip);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cache/x")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("x")));
}

TEST_F(PlaceDocumentsTest, AnUnreadableArchiveFailsAndAMissingOneIsReported) {
    const QString bad = dir.filePath("Download/documents-000002.zip");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a zip");
    f.close();
    EXPECT_EQ(place(bad).result, PlaceResult::Failed);
    EXPECT_TRUE(QFileInfo::exists(bad));
    EXPECT_EQ(place(dir.filePath("Download/none.zip")).result, PlaceResult::Missing);
}

// The central directory declares 100 bytes for a page that unpacks to 8 MB: the free-space
// check went by the declared size, so extraction stops there (files may grow to 1 MB only, so
// writing on would fail differently), removes the partial file and reports it.
TEST_F(PlaceDocumentsTest, AnEntryHoldingMoreThanItDeclaresIsStoppedRemovedAndReported) {
    const QString zip = dir.filePath("Download/documents-000003.zip");
    archive::test::writeLyingZip(zip.toStdString(), "PLAN001", 8u << 20, 100);
    PlaceOutcome out;
    {
        archive::test::FileSizeLimit limit(1u << 20);
        out = place(zip);
    }
    EXPECT_EQ(out.result, PlaceResult::Failed);
    EXPECT_TRUE(out.reason.contains("more than the 100 bytes it declares"))
        << out.reason.toStdString();
    EXPECT_EQ(QDir(projectFolder() + "/PLANS").entryList(QDir::Files | QDir::Hidden),
              QStringList());
    EXPECT_TRUE(QFileInfo::exists(zip)) << "the archive stays in Download";
    EXPECT_EQ(localCount("Plans", "1 = 1"), 0);
}

// A revised sheet downloaded without an update check: the page's entry comment gives its
// revision, which the stored one is raised to (never lowered), with a history row; comments
// that are not a revision change nothing.
TEST_F(PlaceDocumentsTest, ARevisedPageLeavesTheSheetsRevisionCurrent) {
    auto placeWithComments = [&](const std::vector<std::pair<std::string, std::string>>& pages) {
        const QString path = dir.filePath("Download/documents-000002.zip");
        archive::ZipWriter zip(path.toStdString());
        zip.addBytes("PLAN.SVD", "%PDF-set", "Revision=9");
        for (const auto& [name, comment] : pages)
            zip.addBytes(name, "page", comment);
        zip.write();
        return place(path);
    };
    auto revision = [&](const QString& file) {
        db::Recordset rs;
        rs.open(QString("Select Revision FROM Plans WHERE JobID = %1 AND File = '%2'")
                    .arg(Job)
                    .arg(file),
                connection);
        return rs.field(0).toInt();
    };
    auto history = [&] {
        db::Recordset rs;
        rs.open(QString("Select What, Old_Value, New_Value FROM Change_History WHERE JobID = %1 "
                        "ORDER BY Change_ID")
                    .arg(Job),
                connection);
        QStringList out;
        for (; !rs.eof(); rs.moveNext())
            out << rs.field(0).toString() + "|" + rs.field(1).toString() + "|" +
                       rs.field(2).toString();
        return out;
    };

    PlaceOutcome out = placeWithComments(
        {{"PLAN001", "Revision=2"}, {"PLAN002", "Revision=two"}, {"PLAN003", ""}});
    ASSERT_TRUE(out.ok()) << out.reason.toStdString();
    EXPECT_EQ(out.revised, QStringList{"PLAN001"});
    EXPECT_EQ(revision("PLAN001"), 2);
    EXPECT_EQ(revision("PLAN002"), 0);
    EXPECT_EQ(revision("PLAN003"), 0);
    EXPECT_EQ(localCount("Plans", "File = 'PLAN001'"), 1) << "the placed page is the new drawing";
    EXPECT_EQ(history(), QStringList{"PLAN PAGE|PLAN001 - A-101 FLOOR PLAN (REVISION 0)|"
                                     "PLAN001 - A-101 FLOOR PLAN (REVISION 2)"});

    // An earlier drawing (or the same) lowers nothing and writes no history; a number too long
    // to be a revision is ignored.
    out = placeWithComments({{"PLAN001", "Revision=1"}, {"PLAN003", "Revision=12345678901"}});
    ASSERT_TRUE(out.ok()) << out.reason.toStdString();
    EXPECT_TRUE(out.revised.isEmpty());
    EXPECT_EQ(revision("PLAN001"), 2);
    EXPECT_EQ(revision("PLAN003"), 0);
    EXPECT_EQ(history().size(), 1);
    // Another project's sheet of the same name is untouched.
    db::Recordset other;
    other.open("Select Revision FROM Plans WHERE JobID = 9", connection);
    EXPECT_EQ(other.field(0).toInt(), 0);
}

TEST(PlaceDocumentsNames, PlanEntriesAndDocumentKeys) {
    EXPECT_TRUE(isPlanEntry("PLAN001"));
    EXPECT_TRUE(isPlanEntry("PLAN123.tif"));
    EXPECT_TRUE(isPlanEntry("plan.svd"));
    EXPECT_FALSE(isPlanEntry("PLAN01"));
    EXPECT_FALSE(isPlanEntry("plan001")) << "the page pattern is upper case";
    EXPECT_FALSE(isPlanEntry("PLANS.SVD"));
    EXPECT_EQ(specOfEntry("0100.svd"), "0100");
    EXPECT_EQ(specOfEntry(" ADD01 .SVD"), "ADD01");
    EXPECT_EQ(specOfEntry("0100_001.tif"), "");
}

class ClearCacheTest : public PlaceDocumentsTest {};

TEST_F(ClearCacheTest, RemovesDocumentsResetsFlagsKeepsAttachmentsAndFollowsNoLink) {
    ASSERT_TRUE(place(archive({{"PLAN.SVD", "a"}, {"PLAN001", "b"}, {"0100.svd", "c"}})).ok());
    // A file outside the project, reached by links inside its folders.
    QDir().mkpath(dir.filePath("outside"));
    QFile keep(dir.filePath("outside/precious.txt"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("mine");
    keep.close();
    std::filesystem::create_directory_symlink(dir.filePath("outside").toStdString(),
                                              (projectFolder() + "/SPECS/link").toStdString());
    std::filesystem::create_symlink(dir.filePath("outside/precious.txt").toStdString(),
                                    (projectFolder() + "/PLANS/page").toStdString());
    // The user's attachment in the project folder, and a stray file.
    QFile attached(projectFolder() + "/notes.doc");
    ASSERT_TRUE(attached.open(QIODevice::WriteOnly));
    attached.close();
    QFile stray(projectFolder() + "/old.tmp");
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    connection.execute("Insert into [Attachments] ([JobID], [FileName]) values (210007, "
                       "'NOTES.DOC')");

    ClearProjectCache(connection, dir.filePath("cache"), Job);
    EXPECT_FALSE(QFileInfo::exists(projectFolder() + "/PLANS"));
    EXPECT_FALSE(QFileInfo::exists(projectFolder() + "/SPECS"));
    EXPECT_FALSE(QFileInfo::exists(projectFolder() + "/old.tmp"));
    EXPECT_TRUE(QFileInfo::exists(projectFolder() + "/notes.doc"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("outside/precious.txt")));
    EXPECT_EQ(localCount("Plans", "1 = 1") + localCount("Specs", "1 = 1"), 0);

    // Without attachments the project folder goes too; a missing folder only resets flags.
    connection.execute("Delete * from [Attachments]");
    ClearProjectCache(connection, dir.filePath("cache"), Job);
    EXPECT_FALSE(QFileInfo::exists(projectFolder()));
    connection.execute("Update [Plans] Set [Local] = TRUE");
    ClearProjectCache(connection, dir.filePath("cache"), Job);
    EXPECT_EQ(localCount("Plans", "[JobID] = 210007"), 0);
    EXPECT_EQ(localCount("Plans", "[JobID] = 9"), 1) << "other projects keep their flags";
}

TEST_F(ClearCacheTest, AProjectFolderThatIsALinkLosesOnlyTheLink) {
    QDir().mkpath(dir.filePath("elsewhere/PLANS"));
    QFile f(dir.filePath("elsewhere/PLANS/PLAN.SVD"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    std::filesystem::create_directory_symlink(dir.filePath("elsewhere").toStdString(),
                                              projectFolder().toStdString());
    ClearProjectCache(connection, dir.filePath("cache"), Job);
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::symlink_status(projectFolder().toStdString())));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("elsewhere/PLANS/PLAN.SVD")));
}

TEST_F(PlaceDocumentsTest, CachedDocumentsAreFoundForOpening) {
    const QString cache = dir.filePath("cache");
    EXPECT_EQ(PlanSetFile(cache, Job), "");
    EXPECT_EQ(SectionDocument(cache, Job, "0100"), "");
    ASSERT_TRUE(place(archive({{"PLAN.SVD", "a"}, {"PLAN001", "b"}, {"0100.SVD", "c"}})).ok());
    EXPECT_EQ(PlanSetFile(cache, Job), projectFolder() + "/PLANS/PLAN.SVD");
    EXPECT_EQ(PlanPageDocument(cache, Job, "PLAN001"), projectFolder() + "/PLANS/PLAN.SVD");
    EXPECT_EQ(PlanPageDocument(cache, Job, "PLAN002"), "") << "the page itself must be there";
    EXPECT_EQ(SectionDocument(cache, Job, "0100"), projectFolder() + "/SPECS/0100.SVD");
    EXPECT_FALSE(OpenDocumentFile(QString())) << "nothing to open, nothing shown";
    EXPECT_TRUE(ui.shown().isEmpty());
}

// A stand-in xdg-open first on PATH while it lives; it records its folder and argument
// through a temporary name renamed into place.
class StandInOpener {
public:
    StandInOpener(const QString& folder, const QString& record) : bin_(folder + "/bin") {
        QDir().mkpath(bin_);
        answer(QStringLiteral("{ echo \"$PWD\"; echo \"$1\"; } > '%1.tmp' && mv '%1.tmp' '%1'")
                   .arg(record));
        path_ = qgetenv("PATH");
        qputenv("PATH", (bin_ + ":").toUtf8() + path_);
    }
    ~StandInOpener() { qputenv("PATH", path_); }
    void answer(const QString& body) {
        QFile f(bin_ + "/xdg-open");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }

private:
    QString bin_;
    QByteArray path_;
};

// A cached section that is a script with the execute bits (the cache on a vfat or cifs mount
// marks every file so) is handed to xdg-open, never run; xdg-open's late "no program" answer
// is shown every time.
TEST_F(PlaceDocumentsTest, CachedDocumentsAreOpenedNeverRunAndAFailedOpenIsShown) {
    const QString ran = dir.filePath("ran");
    ASSERT_TRUE(
        place(archive({{"0100.SVD", "#!/bin/sh\ntouch '" + ran.toStdString() + "'\n"}})).ok());
    const QString section = SectionDocument(dir.filePath("cache"), Job, "0100");
    QFile(section).setPermissions(QFile(section).permissions() | QFile::ExeOwner | QFile::ExeGroup |
                                  QFile::ExeOther);
    const QString record = dir.filePath("opened.txt");
    StandInOpener opener(dir.path(), record);

    ASSERT_TRUE(OpenDocumentFile(section));
    // xdg-open has answered when the call returns, so its record is there.
    QFile recorded(record);
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(recorded.readAll()),
              projectFolder() + "/SPECS\n" + projectFolder() + "/SPECS/0100.SVD\n");
    EXPECT_FALSE(QFileInfo::exists(ran));
    EXPECT_TRUE(ui.shown().isEmpty());

    // No program for the type: xdg-open says so (3) after a while, longer than it once had.
    opener.answer("sleep 3; exit 3");
    EXPECT_FALSE(OpenDocumentFile(section));
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text,
              "31 There is no application associated with the given file name extension. This "
              "error will also be returned if you attempt to print a file that is not "
              "printable.");
    EXPECT_EQ(ui.last().title, "System Error");
}

} // namespace
