// Reading update documents, and the merge step as the exchange calls it with the unpacked
// file: broken or hostile documents end as a parse error with nothing merged, the file is
// always deleted, and the problems of single projects come in one message at the end.
#include "UpdateFixture.h"

#include "base/modResources.h"
#include "platform/ui/ScriptedUi.h"
#include "server/DocumentLimits.h"
#include "server/UpdateCheck.h"

#include <QFile>
#include <QTemporaryDir>

using namespace brevant;
using namespace brevant::server;
using namespace brevant::server::test;

namespace {

TEST(ProjectDocumentReader, KeepsPartsByPositionAndEntriesWithTheirText) {
    const ReadResult r =
        readProjectDocument("<?xml version=\"1.0\"?>\n<Root>\n  <Job Number=\" 42 \" b=\"x\">\n"
                            "    <P><Job_ID>42</Job_ID><Name>A &amp; B<i>c</i></Name></P>\n"
                            "    <S><Spec Name=\"01\" Description=\"d&quot;q\"/></S>\n  </Job>\n"
                            "  <Other/>\n</Root>");
    ASSERT_TRUE(r.document) << r.error.toStdString();
    const ProjectDocument& d = *r.document;
    EXPECT_TRUE(d.hasJobElement);
    ASSERT_EQ(d.projects.size(), 2);
    EXPECT_EQ(d.projects[0].attributes.first().first, "Number");
    EXPECT_EQ(d.projects[0].attributes.first().second, " 42 ");
    ASSERT_EQ(d.projects[0].parts.size(), 2);
    EXPECT_EQ(d.projects[0].part(0).find("Name")->text, "A & Bc");
    EXPECT_EQ(d.projects[0].part(1).entries[0].attribute("Description"), "d\"q");
    EXPECT_FALSE(d.projects[0].part(4).hasChildren());
    EXPECT_TRUE(d.projects[1].parts.isEmpty());
}

TEST(ProjectDocumentReader, RefusesWhatCouldHurt) {
    const QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"
                            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><r><Job>&b;</Job></r>";
    ReadResult r = readProjectDocument(bomb);
    EXPECT_FALSE(r.document);
    EXPECT_TRUE(r.error.contains("document type declaration")) << r.error.toStdString();

    r = readProjectDocument(
        "<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"file:///etc/passwd\"><r/>");
    EXPECT_FALSE(r.document);

    QByteArray deep = "<r>";
    for (int i = 0; i < kMaxDepth; ++i)
        deep += "<a>";
    r = readProjectDocument(deep);
    EXPECT_FALSE(r.document);
    EXPECT_TRUE(r.error.contains("nested deeper than 1000")) << r.error.toStdString();

    r = readProjectDocument("<Jobs><Job><Project><Name>cut off");
    EXPECT_FALSE(r.document);
    EXPECT_FALSE(r.error.isEmpty());

    r = readProjectDocument("");
    EXPECT_FALSE(r.document);

    r = readProjectDocument("<Jobs><Job>&undefined;</Job></Jobs>");
    EXPECT_FALSE(r.document);
}

TEST(ProjectDocumentReader, CutsLongTextsAndRefusesADocumentOverTheCap) {
    const QByteArray huge(100 * 1024, 'd');
    ReadResult r =
        readProjectDocument("<r><Job><P><Name>" + huge + "<i>" + huge +
                            "</i></Name></P><S><Spec Description=\"" + huge + "\"/></S></Job></r>");
    ASSERT_TRUE(r.document) << r.error.toStdString();
    EXPECT_EQ(r.document->cutTexts, 2);
    EXPECT_EQ(r.document->projects[0].part(0).find("Name")->text.size(), MaxTextChars);
    EXPECT_EQ(r.document->projects[0].part(1).entries[0].attribute("Description").size(),
              MaxTextChars);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("update-blank"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<r><Job>" + QByteArray(MaxDocumentBytes, ' ') + "</Job></r>");
    f.close();
    r = readProjectDocumentFile(path);
    EXPECT_FALSE(r.document);
    EXPECT_EQ(r.error, QStringLiteral("The document is larger than 64 MB"));

    // Each element costs far more memory than its markup: their number is bounded too.
    QByteArray many = "<r><Job><P>";
    for (qint64 i = 0; i < MaxDocumentElements; ++i)
        many += "<a/>";
    r = readProjectDocument(many + "</P></Job></r>");
    EXPECT_FALSE(r.document);
    EXPECT_TRUE(r.error.contains("elements")) << r.error.toStdString();
}

// MergeProjectUpdates works on the process-wide connection and talks through platform/ui.
class MergeStep : public UpdateDb {
protected:
    void SetUp() override {
        UpdateDb::SetUp();
        modResources::DbConnection = std::make_unique<db::Connection>();
        modResources::DbConnection->open(file);
        PendingUpdateArgument = "1,2";
    }
    void TearDown() override { modResources::CloseDatabase(); }

    QString write(const QByteArray& xml) {
        const QString path = dir.filePath("update-000001");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
        return path;
    }

    ui::ScopedScriptedUi dialogs;
};

TEST_F(MergeStep, ABrokenDocumentIsReportedAndNothingIsMerged) {
    storeProject(600);
    QByteArray xml = updateDocument(
        {jobXml({"600", projectFields(600, {{"City", "X"}}), {spec("1", "a")}, {}, {}, {}})});
    xml.chop(20);
    const QString path = write(xml);
    const MergeSummary s = MergeProjectUpdates(path);
    EXPECT_TRUE(s.merged.empty());
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("Error parsing results.\r\n"));
    EXPECT_GT(dialogs.last().text.size(), QString("Error parsing results.\r\n").size());
    EXPECT_EQ(dialogs.last().title, "System Error");
    EXPECT_EQ(dialogs.last().icon, ui::Icon::Critical);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(PendingUpdateArgument.isEmpty());
    EXPECT_EQ(value("Select City from Projects where Job_ID = 600").toString(), "SPRINGFIELD");
}

TEST_F(MergeStep, ADocumentWithoutProjectsSaysNoDataWasReceived) {
    const QString path = write("<?xml version=\"1.0\"?><Jobs><Other/></Jobs>");
    MergeProjectUpdates(path);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.last().text, "No data was received.");
    EXPECT_EQ(dialogs.last().title, "System Message");
    EXPECT_EQ(dialogs.last().icon, ui::Icon::Information);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MergeStep, ProblemsAreReportedOnceAfterEveryProjectWasMerged) {
    storeProject(601);
    const QString path = write(updateDocument(
        {jobXml({"12345", projectFields(12345), {}, {}, {}, {}}),
         jobXml({"601", projectFields(601, {{"Due_Date", "31/31/2027"}}), {}, {}, {}, {}}),
         jobXml({"", "<Project/>", {}, {}, {}, {}})}));
    const MergeSummary s = MergeProjectUpdates(path);
    EXPECT_EQ(s.merged.size(), 1u);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.last().title, "System Error");
    EXPECT_EQ(dialogs.last().icon, ui::Icon::Exclamation);
    EXPECT_EQ(dialogs.last().text,
              "Some of the update could not be applied ...\r\n"
              "Project 12345: not stored on this computer; skipped\r\n"
              "Project 601: Due_Date \"31/31/2027\" is not a date; kept as stored\r\n"
              "Project #3 of the document: no valid project number; skipped");
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
