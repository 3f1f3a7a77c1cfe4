// Importing listing documents into a real Desktop.mdb: every field's form, upper-casing,
// NULLs, quotes and bars, one transaction per project, the skip report, documents that are
// broken or hostile, and the limits on a document's size and on one text.
#include "ImportDatabase.h"
#include "platform/ui/ScriptedUi.h"
#include "server/DocumentLimits.h"
#include "server/ListingDocument.h"
#include "server/ListingImport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

using test::column;
using test::count;

QByteArray job(const QString& id, const QString& name, const QString& extraFields = {},
               const QString& lists = QStringLiteral("<Specs/><Plans/><Contacts/>")) {
    return QStringLiteral("<Job><Project><Job_ID>%1</Job_ID><Name>%2</Name>%3</Project>%4</Job>")
        .arg(id, name, extraFields, lists)
        .toUtf8();
}

QByteArray document(const QByteArray& jobs) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>" + jobs + "</Jobs>";
}

class ListingImport : public ::testing::Test {
protected:
    void SetUp() override { test::openClientDatabase(env); }
    ImportOutcome run(const QByteArray& xml) {
        return ImportListingData(xml, *modResources::DbConnection);
    }
    shell::test::ShellTestEnv env;
};

TEST_F(ListingImport, EveryFieldInItsFormWithUpperCasingWhereTheTableSays) {
    const QString fields = QStringLiteral(
        "<City>Springfield</City><State>il</State><Due_Date>3/15/2027 2:00:00 PM</Due_Date>"
        "<Description>Roof replacement, phase 2</Description><Estimated_Cost>100000"
        "</Estimated_Cost><Estimated_Cost_End>250000.50</Estimated_Cost_End><Other>bid bond"
        "</Other><Bins>b-12</Bins><Addendum>add01</Addendum><Pre_Bid>1</Pre_Bid><Mandatory>0"
        "</Mandatory><Pre_Bid_Date>3/1/2027 10:00:00 AM</Pre_Bid_Date><Building>1</Building>"
        "<Region>4</Region>");
    const QString lists = QStringLiteral(
        "<Specs><Spec Name=\"07500a\" Description=\"Membrane roofing\"/><Spec/></Specs>"
        "<Plans><Plan Name=\"plan001\" Description=\"roof plan\" Size=\"2048\"/></Plans>"
        "<Contacts><Contact Name=\"Acme Roofing\" Contact=\"jo smith\" Phone=\"555-0100\" "
        "Extension=\"x12\" Fax=\"555-0101\" Address1=\"1 main st\" Address2=\"suite b\" "
        "City=\"springfield\" State=\"il\" Zip=\"62701\" Type=\"owner\"/></Contacts>");
    const ImportOutcome out = run(document(job("210001", "Lincoln School", fields, lists)));
    ASSERT_EQ(out.status, ImportOutcome::Status::Imported);
    EXPECT_EQ(out.imported, 1);
    EXPECT_TRUE(out.skipped.isEmpty());

    db::Recordset p;
    p.open(QStringLiteral("SELECT * FROM Projects WHERE Job_ID=210001"),
           *modResources::DbConnection);
    ASSERT_FALSE(p.eof());
    EXPECT_EQ(p.field("Name").toString(), QStringLiteral("LINCOLN SCHOOL"));
    EXPECT_EQ(p.field("City").toString(), QStringLiteral("SPRINGFIELD"));
    EXPECT_EQ(p.field("State").toString(), QStringLiteral("IL"));
    EXPECT_EQ(p.field("Description").toString(), QStringLiteral("Roof replacement, phase 2"));
    EXPECT_EQ(p.field("Other").toString(), QStringLiteral("BID BOND"));
    EXPECT_EQ(p.field("Bins").toString(), QStringLiteral("B-12"));
    EXPECT_EQ(p.field("Addendum").toString(), QStringLiteral("ADD01"));
    EXPECT_EQ(p.field("Estimated Cost").toDouble(), 100000.0);
    EXPECT_EQ(p.field("Estimated Cost End").toDouble(), 250000.5);
    EXPECT_EQ(p.field("Due_Date").toDateTime(), QDateTime(QDate(2027, 3, 15), QTime(14, 0)));
    EXPECT_EQ(p.field("Pre_Bid").toBool(), true);
    EXPECT_EQ(p.field("Mandatory").toBool(), false);
    EXPECT_EQ(p.field("Region").toInt(), 4);

    // The specification without attributes is skipped; its description is upper-cased.
    EXPECT_EQ(column("SELECT Spec FROM Specs WHERE JobID=210001"), QList<QVariant>{"07500A"});
    EXPECT_EQ(column("SELECT Description FROM Specs"), QList<QVariant>{"MEMBRANE ROOFING"});
    EXPECT_EQ(column("SELECT File FROM Plans"), QList<QVariant>{"PLAN001"});
    EXPECT_EQ(column("SELECT [Size] FROM Plans").value(0).toInt(), 2048);
    db::Recordset c;
    c.open(QStringLiteral("SELECT * FROM Contacts WHERE Job_ID=210001"),
           *modResources::DbConnection);
    ASSERT_FALSE(c.eof());
    EXPECT_EQ(c.field("Name").toString(), QStringLiteral("ACME ROOFING"));
    EXPECT_EQ(c.field("Contact").toString(), QStringLiteral("JO SMITH"));
    EXPECT_EQ(c.field("Extension").toString(), QStringLiteral("x12")); // kept as received
    EXPECT_EQ(c.field("Address2").toString(), QStringLiteral("SUITE B"));
    EXPECT_EQ(c.field("Zip").toString(), QStringLiteral("62701"));
    EXPECT_EQ(c.field("Type").toString(), QStringLiteral("OWNER"));
}

TEST_F(ListingImport, QuotesBarsAndEmptyValues) {
    const QString lists = QStringLiteral(
        "<Specs/><Plans><Plan Name=\"P|1\" Description=\"\" Size=\"\"/></Plans>"
        "<Contacts><Contact Name=\"O'Brien | Sons\" Contact=\"\" Phone=\"\"/></Contacts>");
    ASSERT_EQ(run(document(job("210002", "Children's Hospital | East",
                               "<Description>it's a |pipe|</Description><Estimated_Cost/>"
                               "<Pre_Bid_Date></Pre_Bid_Date><Region></Region>",
                               lists)))
                  .imported,
              1);
    EXPECT_EQ(column("SELECT [Name] FROM Projects"), QList<QVariant>{"CHILDREN'S HOSPITAL | EAST"});
    EXPECT_EQ(column("SELECT [Description] FROM Projects"), QList<QVariant>{"it's a |pipe|"});
    EXPECT_EQ(count("Projects", "[Estimated Cost] IS NULL AND Pre_Bid_Date IS NULL AND "
                                "[Region] IS NULL AND City IS NULL"),
              1);
    EXPECT_EQ(column("SELECT File FROM Plans"), QList<QVariant>{"P|1"});
    EXPECT_EQ(count("Plans", "Description IS NULL AND [Size] IS NULL"), 1);
    EXPECT_EQ(column("SELECT Name FROM Contacts"), QList<QVariant>{"O'BRIEN | SONS"});
    EXPECT_EQ(count("Contacts", "Contact IS NULL AND Phone IS NULL AND Zip IS NULL"), 1);
}

TEST_F(ListingImport, NonNumbersInNumberFieldsCannotChangeTheStatement) {
    ASSERT_EQ(run(document(job("210003", "X",
                               "<Estimated_Cost>1); DELETE FROM Projects; --"
                               "</Estimated_Cost><Region>1e5</Region>")))
                  .imported,
              1);
    EXPECT_EQ(count("Projects"), 1);
    EXPECT_EQ(column("SELECT [Estimated Cost] FROM Projects").value(0).toString(),
              QStringLiteral("1); DELETE FROM Projects; --"));
}

TEST_F(ListingImport, SkipsAreReportedOnceAndTheOthersImported) {
    ASSERT_EQ(run(document(job("210010", "Stored Before"))).imported, 1);
    const QString duplicatePlans =
        QStringLiteral("<Specs><Spec Name=\"01000\" Description=\"a\"/></Specs><Plans>"
                       "<Plan Name=\"P1\" Size=\"1\"/><Plan Name=\"p1\" Size=\"2\"/></Plans>"
                       "<Contacts/>");
    const QByteArray xml = document(
        job("210011", "First") + "<Job><Project/><Specs/></Job>" + job("210010", "Stored Before") +
        job("abc", "No Number") + job("", "Empty Number") +
        job("210012", "Broken Plans", {}, duplicatePlans) + job("210013", "Last"));
    const ImportOutcome out = run(xml);
    EXPECT_EQ(out.imported, 2);
    EXPECT_EQ(column("SELECT Job_ID FROM Projects ORDER BY Job_ID"),
              (QList<QVariant>{210010, 210011, 210013}));
    // The failing project left none of its rows behind.
    EXPECT_EQ(count("Specs", "JobID=210012"), 0);
    EXPECT_EQ(count("Plans", "JobID=210012"), 0);
    ASSERT_EQ(out.skipped.size(), 4);
    EXPECT_TRUE(out.skipped[0].startsWith("210010 STORED BEFORE - already in the local database"));
    EXPECT_TRUE(out.skipped[1].startsWith("abc NO NUMBER - no valid project number"));
    EXPECT_TRUE(out.skipped[2].startsWith("(no number) EMPTY NUMBER"));
    EXPECT_TRUE(out.skipped[3].startsWith("210012 BROKEN PLANS - "));

    // Through the file: one message naming them, the file's projects imported.
    ui::ScopedScriptedUi ui;
    const QString path = env.path(QStringLiteral("listing-x"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(document(job("210010", "Stored Before") + job("210020", "New One")));
    f.close();
    EXPECT_EQ(ImportListing(path, *modResources::DbConnection).imported, 1);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
    EXPECT_TRUE(ui.last().text.contains(QStringLiteral("210010 STORED BEFORE")));
    EXPECT_FALSE(ui.last().text.contains(QStringLiteral("210020")));
}

TEST_F(ListingImport, BrokenHostileAndEmptyDocuments) {
    ui::ScopedScriptedUi ui;
    const QString path = env.path(QStringLiteral("listing-y"));
    auto importText = [&](const QByteArray& xml) {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(xml);
        f.close();
        return ImportListing(path, *modResources::DbConnection);
    };
    EXPECT_EQ(importText(document(job("210030", "Cut")).left(70)).status,
              ImportOutcome::Status::ParseError);
    EXPECT_TRUE(ui.last().text.startsWith(QStringLiteral("Error parsing results ...\r\n")));
    EXPECT_EQ(ui.last().title, QStringLiteral("System Error"));
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);

    const QByteArray bomb =
        "<?xml version=\"1.0\"?><!DOCTYPE Jobs [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "]><Jobs><Job><Project><Job_ID>210031</Job_ID><Name>&c;</Name></Project></Job></Jobs>";
    EXPECT_EQ(importText(bomb).status, ImportOutcome::Status::ParseError);
    const QByteArray external =
        "<?xml version=\"1.0\"?><!DOCTYPE Jobs [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<Jobs><Job><Project><Job_ID>210032</Job_ID><Name>&x;</Name></Project></Job></Jobs>";
    EXPECT_EQ(importText(external).status, ImportOutcome::Status::ParseError);
    EXPECT_EQ(importText("<Jobs><Job><Project><Job_ID>210033</Job_ID><Name>&undefined;</Name>"
                         "</Project></Job></Jobs>")
                  .status,
              ImportOutcome::Status::ParseError);
    QByteArray deep = "<Jobs><Job><Project><Job_ID>210034</Job_ID><Name>";
    for (int i = 0; i < 1001; ++i)
        deep += "<a>";
    EXPECT_EQ(importText(deep).status, ImportOutcome::Status::ParseError);
    EXPECT_TRUE(ui.last().text.contains(QStringLiteral("nested too deeply")));

    ui.clear();
    EXPECT_EQ(importText(document("<Project/>")).status, ImportOutcome::Status::NoJobs);
    EXPECT_EQ(ui.last().text, QStringLiteral("No data was received."));
    EXPECT_EQ(ui.last().icon, ui::Icon::Information);
    EXPECT_EQ(count("Projects"), 0);
}

// A description of megabytes would be copied into Specs, the search index and every later
// check: each text and attribute value is kept to its first 64 K characters, and counted.
TEST_F(ListingImport, LongTextsAreCutAndADocumentOverTheCapIsRefused) {
    const QString huge(200 * 1024, QLatin1Char('d'));
    const QString lists = QStringLiteral("<Specs><Spec Name=\"07500a\" Description=\"%1\"/></Specs>"
                                         "<Plans/><Contacts/>")
                              .arg(huge);
    const ImportOutcome out = run(document(
        job("210050", "Long", QStringLiteral("<Description>%1</Description>").arg(huge), lists)));
    ASSERT_EQ(out.status, ImportOutcome::Status::Imported);
    EXPECT_EQ(out.cutTexts, 2);
    EXPECT_EQ(column("SELECT Length(Description) FROM Projects WHERE Job_ID=210050")
                  .value(0)
                  .toLongLong(),
              MaxTextChars);
    EXPECT_EQ(
        column("SELECT Length(Description) FROM Specs WHERE JobID=210050").value(0).toLongLong(),
        MaxTextChars);

    // A document of blanks just over the cap is refused before it is parsed.
    ui::ScopedScriptedUi ui;
    const QString path = env.path(QStringLiteral("listing-blank"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(document(job("210051", "Blank") + QByteArray(MaxDocumentBytes, ' ')));
    f.close();
    EXPECT_EQ(ImportListing(path, *modResources::DbConnection).status,
              ImportOutcome::Status::ParseError);
    ASSERT_FALSE(ui.shown().isEmpty());
    EXPECT_EQ(ui.last().text,
              QStringLiteral("Error parsing results ...\r\nThe document is larger than 64 MB"));
    EXPECT_EQ(count("Projects", "Job_ID=210051"), 0);
}

TEST(ListingDocument, PositionsNotNamesAndNestingJustWithinTheLimit) {
    QByteArray xml = "<R><Job a=\"7\"><P><Job_ID>1</Job_ID><Name>n<b>x</b></Name></P><S><s Name="
                     "\"a\"/></S><Q><q Name=\"b\"/></Q><C/><A><w Name=\"c\"/></A></Job></R>";
    ListingDocument doc;
    QString reason;
    ASSERT_TRUE(ParseListingDocument(xml, doc, &reason)) << reason.toStdString();
    ASSERT_EQ(doc.projects.size(), 1);
    const ListingProject& p = doc.projects[0];
    EXPECT_EQ(p.firstAttribute, QStringLiteral("7"));
    EXPECT_EQ(p.field("Name"), QStringLiteral("nx"));
    EXPECT_EQ(attribute(p.specs.value(0), "Name"), QStringLiteral("a"));
    EXPECT_EQ(attribute(p.plans.value(0), "Name"), QStringLiteral("b"));
    EXPECT_TRUE(p.contacts.isEmpty());
    EXPECT_EQ(attribute(p.awards.value(0), "Name"), QStringLiteral("c"));

    QByteArray deep = "<R>";
    for (int i = 0; i < 998; ++i)
        deep += "<a>";
    for (int i = 0; i < 998; ++i)
        deep += "</a>";
    deep += "</R>";
    EXPECT_TRUE(ParseListingDocument(deep, doc, &reason)) << reason.toStdString();
    EXPECT_FALSE(ParseListingDocument("", doc, &reason));
    EXPECT_FALSE(ParseListingDocument("<a/><b/>", doc, &reason));
}

} // namespace
} // namespace brevant::server

namespace brevant::server {
namespace {

// A cancel between projects keeps the projects written whole and writes nothing of the rest.
TEST(ListingImportCancel, StopsBetweenProjectsKeepingEachWholeOrAbsent) {
    shell::test::ShellTestEnv env;
    test::openClientDatabase(env);
    const QString lists =
        QStringLiteral("<Specs><Spec Name=\"07500\" Description=\"roofing\"/></Specs>"
                       "<Plans><Plan Name=\"plan001\" Description=\"roof\" Size=\"10\"/></Plans>"
                       "<Contacts><Contact Name=\"Acme\" Type=\"owner\"/></Contacts>");
    QByteArray jobs;
    for (int id = 210001; id <= 210004; ++id)
        jobs += QStringLiteral("<Job><Project><Job_ID>%1</Job_ID><Name>P%1</Name></Project>%2"
                               "</Job>")
                    .arg(id)
                    .arg(lists)
                    .toUtf8();
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>" + jobs + "</Jobs>";
    int yields = 0;
    const ImportOutcome out = ImportListingData(
        xml, *modResources::DbConnection, [&] { ++yields; }, [&] { return yields == 2; });
    EXPECT_EQ(out.imported, 2);
    EXPECT_EQ(out.notImported, 2);
    EXPECT_EQ(test::count("Projects"), 2);
    for (const char* table : {"Specs", "Plans"})
        EXPECT_EQ(test::count(table), 2) << table;
    EXPECT_EQ(test::count("Contacts"), 2);
    EXPECT_EQ(test::count("Projects", "Job_ID >= 210003"), 0);
    EXPECT_EQ(ImportedStatusText(out), "2 projects imported -- cancelled, 2 not imported");

    ImportOutcome one;
    one.imported = 1;
    one.skipped << "210009 X - already in the local database";
    EXPECT_EQ(ImportedStatusText(one), "1 project imported, 1 skipped");
}

} // namespace
} // namespace brevant::server
