// The update merge on hand-written documents: every statement's effect on the tables, the
// change log and the history, values that must survive the SQL text intact, and the projects
// or values that are reported instead of half-merged.
#include "PgScratch.h"
#include "UpdateFixture.h"

#include "platform/db/DbError.h"
#include "server/UpdateCheck.h"

using namespace brevant::server;
using namespace brevant::server::test;

namespace {

TEST_F(UpdateDb, BidDateFromNoDateSetIsLoggedWithTheNewDateAndFieldsAreOverwritten) {
    storeProject(500, "1/1/1900 12:00:00 AM");
    const MergeSummary s = merge(updateDocument(
        {jobXml({"500",
                 projectFields(500, {{"Due_Date", "3/15/2027 2:00:00 PM"}, {"City", "Peoria"}}),
                 {},
                 {},
                 {},
                 {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_TRUE(s.problems.isEmpty());
    EXPECT_EQ(updates(500), QStringList{"BID DATE CHANGED FROM No Date Set TO 3/15/2027"});
    EXPECT_TRUE(s.merged[0].changed);
    EXPECT_EQ(s.merged[0].changedBidDate, "3/15/2027 2:00:00 PM");
    EXPECT_EQ(value("Select City from Projects where Job_ID = 500").toString(), "PEORIA");
    EXPECT_EQ(value("Select [Update] & '/' & Added from Updates where JobID = 500").toString(),
              "BID DATE CHANGED FROM No Date Set TO 3/15/2027/2027-03-02 00:00:00");
    const QStringList h = history(500);
    EXPECT_TRUE(h.contains("Due_Date|No Date Set|3/15/2027 2:00:00 PM"))
        << h.join("\n").toStdString();
    EXPECT_TRUE(h.contains("City|SPRINGFIELD|PEORIA")) << h.join("\n").toStdString();
}

TEST_F(UpdateDb, UnchangedBidDateLogsNothingButEveryFieldIsWritten) {
    storeProject(501);
    const MergeSummary s =
        merge(updateDocument({jobXml({"501",
                                      projectFields(501, {{"Description", "It's new | improved"},
                                                          {"Estimated_Cost", "150000"},
                                                          {"Pre_Bid_Date", ""}}),
                                      {},
                                      {},
                                      {},
                                      {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_TRUE(updates(501).isEmpty());
    EXPECT_FALSE(s.merged[0].changed);
    EXPECT_TRUE(s.merged[0].changedBidDate.isEmpty());
    EXPECT_EQ(value("Select Description from Projects where Job_ID = 501").toString(),
              "It's new | improved");
    EXPECT_EQ(value("Select [Estimated Cost] from Projects where Job_ID = 501").toInt(), 150000);
    EXPECT_TRUE(value("Select Pre_Bid_Date from Projects where Job_ID = 501").isNull());
    EXPECT_EQ(value("Select Bins from Projects where Job_ID = 501").toString(), "B12");
    EXPECT_EQ(value("Select Pre_Bid from Projects where Job_ID = 501").toBool(), true);
    const QStringList h = history(501);
    EXPECT_TRUE(h.contains("Description|Replace the roof|It's new | improved"))
        << h.join("\n").toStdString();
    EXPECT_TRUE(h.contains("Estimated Cost|100000|150000")) << h.join("\n").toStdString();
    for (const QString& row : h)
        EXPECT_FALSE(row.startsWith("Due_Date")) << row.toStdString();
    // Merging the same document again changes nothing more.
    merge(updateDocument({jobXml({"501",
                                  projectFields(501, {{"Description", "It's new | improved"},
                                                      {"Estimated_Cost", "150000"},
                                                      {"Pre_Bid_Date", ""}}),
                                  {},
                                  {},
                                  {},
                                  {}})}));
    EXPECT_EQ(history(501), h);
}

TEST_F(UpdateDb, SpecificationsAreUpdatedInPlaceOrAddedWithALogRow) {
    storeProject(502);
    c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (502, '03300', 'OLD TEXT')");
    const MergeSummary s = merge(updateDocument({jobXml(
        {"502",
         projectFields(502),
         {spec("03300", "Cast-in-place concrete"), spec("01010", "Owner's | summary"), "<Spec/>"},
         {},
         {},
         {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_EQ(column("Select Spec & '=' & Description from Specs where JobID = 502 order by Spec"),
              (QStringList{"01010=OWNER'S | SUMMARY", "03300=CAST-IN-PLACE CONCRETE"}));
    EXPECT_EQ(updates(502),
              QStringList{"SPECIFICATION ADDED - NEW VALUE: 01010 - OWNER'S | SUMMARY"});
    EXPECT_EQ(history(502), QStringList{"SPECIFICATION||01010 - OWNER'S | SUMMARY"});
    EXPECT_TRUE(s.merged[0].changed);
}

TEST_F(UpdateDb, PlanSheetsAreAddedOnceThroughThePlansKey) {
    storeProject(503);
    c.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (503, 'PLAN001', "
              "'SITE PLAN', 100)");
    const MergeSummary s =
        merge(updateDocument({jobXml({"503",
                                      projectFields(503),
                                      {},
                                      {plan("plan001", "Site plan", "100"),
                                       plan("PLAN002", "Roof plan", ""), plan("PLAN003", "", "7")},
                                      {},
                                      {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_EQ(updates(503), (QStringList{"PLAN PAGE ADDED: ROOF PLAN", "PLAN PAGE ADDED: "}));
    EXPECT_EQ(column("Select File from Plans where JobID = 503 order by File"),
              (QStringList{"PLAN001", "PLAN002", "PLAN003"}));
    EXPECT_TRUE(value("Select [Size] from Plans where File = 'PLAN002'").isNull());
    EXPECT_EQ(history(503),
              (QStringList{"PLAN PAGE||PLAN002 - ROOF PLAN", "PLAN PAGE||PLAN003 - "}));
}

TEST_F(UpdateDb, ContactsAreMatchedByProjectNameAndType) {
    storeProject(504);
    storeProject(505);
    c.execute("INSERT INTO Contacts (Job_ID, Name, Phone, [Type]) VALUES (504, 'ACME "
              "ARCHITECTS', '555-0000', 'A')");
    const MergeSummary s = merge(updateDocument(
        {jobXml({"504",
                 projectFields(504),
                 {},
                 {},
                 {contact("Acme Architects", "a", "555-7777", "555-1234"),
                  contact("Acme Architects", "E")},
                 {}}),
         // The same firm on another project is that project's own contact.
         jobXml({"505", projectFields(505), {}, {}, {contact("Acme Architects", "A")}, {}})}));
    ASSERT_EQ(s.merged.size(), 2u);
    EXPECT_EQ(column("Select [Type] & ' ' & Phone & ' ' & Fax from Contacts where Job_ID = 504 "
                     "order by [Type]"),
              (QStringList{"A 555-7777 555-1234", "E 555-0100 555-0101"}));
    EXPECT_EQ(updates(504), QStringList{"CONTACT ADDED - NEW VALUE: ACME ARCHITECTS - ENGINEER"});
    EXPECT_EQ(updates(505), QStringList{"CONTACT ADDED - NEW VALUE: ACME ARCHITECTS - ARCHITECT"});
    EXPECT_EQ(value("Select Address1 from Contacts where Job_ID = 505").toString(), "1 MAIN ST");
    EXPECT_EQ(value("Select Zip from Contacts where Job_ID = 505").toString(), "62701");
}

// The merge skips a row that already holds what arrived; a row whose key differs only in case
// is one the store's UPDATE reaches too, so it must not be skipped on the exact row's word.
TEST_F(UpdateDb, ARowAlreadyAsReceivedIsKeptAndItsCaseVariantsAreStillUpdated) {
    storeProject(506);
    c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (506, 'AB100', 'NEW TEXT')");
    c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (506, 'ab100', 'OLD TEXT')");
    c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (506, '03300', 'CONCRETE')");
    c.execute("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
              "City, [State], Zip, [Type]) VALUES (506, 'ACME ARCHITECTS', 'PAT SMITH', "
              "'555-0100', '12', '555-0101', '1 MAIN ST', 'SPRINGFIELD', 'IL', '62701', 'A')");
    c.execute("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
              "City, [State], Zip, [Type]) VALUES (506, 'acme architects', 'PAT SMITH', "
              "'555-9999', '12', '555-0101', '1 MAIN ST', 'SPRINGFIELD', 'IL', '62701', 'A')");
    const QByteArray document = updateDocument(
        {jobXml({"506",
                 projectFields(506),
                 {spec("ab100", "New text"), spec("03300", "Concrete"), spec("04200", "Masonry")},
                 {},
                 {contact("Acme Architects", "A")},
                 {}})});
    ASSERT_EQ(merge(document).merged.size(), 1u);
    // Both stores order the two case variants as equals: sorted here.
    QStringList specs = column("Select Spec & '=' & Description from Specs where JobID = 506");
    specs.sort();
    EXPECT_EQ(specs,
              (QStringList{"03300=CONCRETE", "04200=MASONRY", "AB100=NEW TEXT", "ab100=NEW TEXT"}));
    EXPECT_EQ(column("Select Phone from Contacts where Job_ID = 506"),
              (QStringList{"555-0100", "555-0100"}));
    EXPECT_EQ(updates(506), QStringList{"SPECIFICATION ADDED - NEW VALUE: 04200 - MASONRY"});

    // The same document again finds everything as received: nothing added, nothing logged.
    const MergeSummary again = merge(document);
    ASSERT_EQ(again.merged.size(), 1u);
    EXPECT_TRUE(updates(506).isEmpty());
    EXPECT_EQ(column("Select Count(*) from Specs where JobID = 506"), QStringList{"4"});
    EXPECT_EQ(column("Select Count(*) from Contacts where Job_ID = 506"), QStringList{"2"});
}

TEST_F(UpdateDb, AwardsKeepTextThatIsNotANumberAndStoreEmptyNumbersAsNull) {
    storeProject(506);
    c.execute("INSERT INTO Awards (JobID, Name, Bid, Awarded) VALUES (506, 'BUILDCO', 5, 0)");
    const MergeSummary s = merge(updateDocument({jobXml(
        {"506",
         projectFields(506),
         {},
         {},
         {},
         {award("Buildco", "98000", "555-1234", "", "1"), award("O'Neil | Sons", "", "", "", "0"),
          award("Roofers Inc", "123456.5", "5551234", "44", "0")}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_TRUE(s.problems.isEmpty());
    // Matched without regard to case: updated in place, no log row, the name as received.
    EXPECT_EQ(column("Select Name & '/' & Bid & '/' & Fax & '/' & Awarded from Awards where "
                     "JobID = 506 and Name = 'buildco'"),
              QStringList{"Buildco/98000/555-1234/1"});
    if (c.dialect() == brevant::db::Dialect::Sqlite) { // a server store's number columns hold text
        EXPECT_EQ(value("Select typeof(Fax) from Awards where Name = 'buildco'").toString(),
                  "text");
    }
    EXPECT_TRUE(value("Select Extension from Awards where Name = 'buildco'").isNull());
    EXPECT_TRUE(value("Select Bid from Awards where Name = 'O''NEIL | SONS'").isNull());
    EXPECT_TRUE(value("Select Fax from Awards where Name = 'O''NEIL | SONS'").isNull());
    EXPECT_EQ(value("Select Bid from Awards where Name = 'ROOFERS INC'").toDouble(), 123456.5);
    EXPECT_EQ(value("Select Fax from Awards where Name = 'ROOFERS INC'").toLongLong(), 5551234);
    EXPECT_EQ(updates(506), (QStringList{"AWARDS / LOW BIDDER(S) ADDED - O'Neil | Sons",
                                         "AWARDS / LOW BIDDER(S) ADDED - Roofers Inc"}));
    EXPECT_EQ(history(506), (QStringList{"AWARD||O'Neil | Sons", "AWARD||Roofers Inc"}));
}

TEST_F(UpdateDb, ProjectsThatCannotBeMergedAreReportedAndTheRestGoOn) {
    storeProject(510);
    storeProject(511);
    storeProject(512);
    const MergeSummary s = merge(updateDocument({
        jobXml({"999", projectFields(999), {spec("01010", "x")}, {}, {}, {}}),
        jobXml({"abc", "<Project/>", {spec("01010", "x")}, {}, {}, {}}),
        jobXml({"510",
                projectFields(510, {{"Due_Date", "soon"}, {"Pre_Bid_Date", "2/30/2027"}}),
                {},
                {},
                {},
                {}}),
        jobXml({"511",
                projectFields(511, {{"Region", "<missing>"}}),
                {},
                {},
                {},
                {award("Acme", "5", "", "", "")}}),
        jobXml({"512", projectFields(512), {spec("01010", "General")}, {}, {}, {}}),
    }));
    ASSERT_EQ(s.merged.size(), 3u);
    EXPECT_EQ(s.merged[0].jobId, 510);
    EXPECT_EQ(s.merged[2].jobId, 512);
    const QString text = mergeProblemsText(s.problems);
    EXPECT_TRUE(text.startsWith("Some of the update could not be applied ..."));
    EXPECT_TRUE(text.contains("Project 999: not stored on this computer; skipped"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Project abc: no valid project number; skipped"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Project 510: Due_Date \"soon\" is not a date; kept as stored"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Project 510: Pre_Bid_Date \"2/30/2027\" is not a date"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Project 511: no Region in the document; kept as stored"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Project 511: no Award value for Acme; kept as stored"))
        << text.toStdString();
    EXPECT_EQ(s.problems.size(), 6);
    EXPECT_TRUE(column("Select JobID from Specs where JobID = 999").isEmpty());
    // The unreadable dates were left as stored, the rest of 510 written.
    EXPECT_EQ(value("Select Due_Date from Projects where Job_ID = 510").toDateTime(),
              QDateTime(QDate(2027, 3, 1), QTime(14, 0)));
    EXPECT_EQ(value("Select Bins from Projects where Job_ID = 510").toString(), "B12");
    EXPECT_TRUE(value("Select Awarded from Awards where JobID = 511").isNull());
    EXPECT_EQ(updates(512), QStringList{"SPECIFICATION ADDED - NEW VALUE: 01010 - GENERAL"});
}

TEST_F(UpdateDb, AFailingStatementLeavesTheProjectAsItWas) {
    storeProject(520);
    storeProject(521);
    c.execute("INSERT INTO Updates (JobID, [Update], Added) VALUES (520, 'FROM LAST TIME', "
              "'2027-01-01')");
    // The database refuses one specification of 520 after its fields were already written.
    if (c.dialect() == brevant::db::Dialect::PostgreSql)
        c.executeNative(
            "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
            "RAISE EXCEPTION 'refused'; END$$; CREATE TRIGGER refuse BEFORE INSERT "
            "ON specs_shared FOR EACH ROW WHEN (NEW.spec = 'BAD') EXECUTE FUNCTION refuse()");
    else
        c.executeNative("CREATE TRIGGER refuse BEFORE INSERT ON Specs WHEN NEW.Spec = 'BAD' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const MergeSummary s =
        merge(updateDocument({jobXml({"520",
                                      projectFields(520, {{"City", "Elsewhere"}}),
                                      {spec("01010", "ok"), spec("BAD", "no")},
                                      {plan("PLAN001", "x", "1")},
                                      {},
                                      {}}),
                              jobXml({"521",
                                      projectFields(521, {{"City", "Elsewhere"}}),
                                      {spec("BAD2", "fine")},
                                      {},
                                      {},
                                      {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_EQ(s.merged[0].jobId, 521);
    ASSERT_EQ(s.problems.size(), 1);
    EXPECT_EQ(s.problems[0].project, "520");
    EXPECT_TRUE(s.problems[0].reason.contains("refused")) << s.problems[0].reason.toStdString();
    EXPECT_EQ(updates(520), QStringList{"FROM LAST TIME"});
    EXPECT_EQ(value("Select City from Projects where Job_ID = 520").toString(), "SPRINGFIELD");
    EXPECT_TRUE(column("Select Spec from Specs where JobID = 520").isEmpty());
    EXPECT_TRUE(column("Select File from Plans where JobID = 520").isEmpty());
    EXPECT_TRUE(history(520).isEmpty());
    EXPECT_EQ(value("Select City from Projects where Job_ID = 521").toString(), "ELSEWHERE");
}

TEST_F(UpdateDb, AnEmptyProjectElementOnlyClearsTheLogAndMergesTheLists) {
    storeProject(530);
    c.execute("INSERT INTO Updates (JobID, [Update], Added) VALUES (530, 'OLD', '2027-01-01')");
    const MergeSummary s =
        merge(updateDocument({jobXml({"530", "<Project/>", {spec("02000", "Site")}, {}, {}, {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_EQ(updates(530), QStringList{"SPECIFICATION ADDED - NEW VALUE: 02000 - SITE"});
    EXPECT_EQ(value("Select City from Projects where Job_ID = 530").toString(), "SPRINGFIELD");
}

TEST_F(UpdateDb, TheJobIdFieldNamesTheProjectBeforeTheAttribute) {
    storeProject(540);
    const MergeSummary s = merge(
        updateDocument({jobXml({"777", projectFields(540), {spec("01000", "A")}, {}, {}, {}})}));
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_EQ(s.merged[0].jobId, 540);
    EXPECT_EQ(updates(540).size(), 1);
}

TEST_F(UpdateDb, AnOlderDatabaseGetsTheHistoryTable) {
    c.executeNative("DROP TABLE Change_History");
    if (c.dialect() == brevant::db::Dialect::PostgreSql) {
        // A server store knows its version: one of the first release has none of what later
        // steps added either.
        c.executeNative(pgtest::firstReleaseStoreSql());
        c.reloadSchema();
    } else {
        // A file from before the finder was recorded.
        c.executeNative("ALTER TABLE Updates DROP COLUMN Found_By");
        c.reloadSchema();
    }
    storeProject(550);
    merge(updateDocument(
        {jobXml({"550", projectFields(550, {{"City", "Joliet"}}), {}, {}, {}, {}})}));
    EXPECT_EQ(history(550), QStringList{"City|SPRINGFIELD|JOLIET"});
    EXPECT_EQ(value("Select Found from Change_History").toDateTime(), now);
    EXPECT_EQ(value("Select Found_By from Change_History").toString(), c.estimator());
}

// Whoever runs the check is named on every row it writes, in the log and the history.
TEST_F(UpdateDb, EveryRowACheckWritesNamesWhoFoundIt) {
    storeProject(560);
    merge(updateDocument({jobXml(
        {"560", projectFields(560, {{"City", "Joliet"}}), {spec("01000", "A")}, {}, {}, {}})}));
    const QString me = c.estimator();
    ASSERT_FALSE(me.isEmpty());
    EXPECT_EQ(column("Select Found_By from Change_History where JobID = 560"),
              (QStringList{me, me}));
    EXPECT_EQ(column("Select Found_By from Updates where JobID = 560"), QStringList{me});
}

TEST(NumberLiteral, OnlyPlainNumbersAreWrittenUnquoted) {
    EXPECT_EQ(numberLiteral("12"), "12");
    EXPECT_EQ(numberLiteral("-3.50"), "-3.50");
    EXPECT_EQ(numberLiteral(".5"), ".5");
    EXPECT_EQ(numberLiteral(""), "NULL");
    EXPECT_EQ(numberLiteral("555-1234"), "'555-1234'");
    EXPECT_EQ(numberLiteral("1e5"), "'1e5'");
    EXPECT_EQ(numberLiteral("-"), "'-'");
    EXPECT_EQ(numberLiteral("1 OR 1=1"), "'1 OR 1=1'");
    EXPECT_EQ(numberLiteral("O'Neil|x"), "'O''Neil' & chr(124) & 'x'");
}

// A cancel reaches the merge between projects: the ones merged stay, the rest are untouched
// and none is merged in part; the status counts what was checked and what changed.
TEST_F(UpdateDb, AStopBetweenProjectsLeavesTheRestUntouched) {
    for (int id : {540, 541, 542})
        storeProject(id);
    MergeHooks hooks;
    int merged = 0;
    hooks.projectMerged = [&](const ProjectMergeOutcome&) { ++merged; };
    hooks.stop = [&] { return merged == 2; };
    const MergeSummary s = merge(
        updateDocument({jobXml({"540", projectFields(540), {spec("02000", "Site")}, {}, {}, {}}),
                        jobXml({"541", projectFields(541), {}, {}, {}, {}}),
                        jobXml({"542",
                                projectFields(542, {{"Description", "New scope"}}),
                                {spec("03000", "Concrete")},
                                {},
                                {},
                                {}})}),
        hooks);
    ASSERT_EQ(s.merged.size(), 2u);
    EXPECT_EQ(s.notMerged, 1);
    EXPECT_EQ(updates(540).size(), 1);
    EXPECT_TRUE(updates(542).isEmpty());
    EXPECT_TRUE(history(542).isEmpty());
    EXPECT_EQ(value("Select [Description] from [Projects] where [Job_ID] = 542").toString(),
              "Replace the roof");
    EXPECT_EQ(value("Select Count(*) from [Specs] where [JobID] = 542").toInt(), 0);
    // 540 logged a new section; 541 came back as stored.
    EXPECT_EQ(UpdateCheckStatusText(s), "2 checked, 1 changed -- cancelled, 1 not checked");
    EXPECT_EQ(UpdateCheckStatusText(merge(updateDocument({jobXml(
                  {"541", projectFields(541, {{"Description", "Other"}}), {}, {}, {}, {}})}))),
              "1 checked, 1 changed")
        << "a rewritten field is a change though nothing is logged";
}

} // namespace
