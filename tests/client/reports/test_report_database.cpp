// The reports read from a real Desktop.mdb: their queries, orders and the values as the
// database gives them back; and the reports as the rich-text boxes show them.
#include "ReportDatabase.h"
#include "ReportFixtures.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/richtext/RtfDocument.h"
#include "reports/ChangeHistoryReport.h"
#include "reports/FilterMarking.h"
#include "reports/ProjectReports.h"
#include "takeoff/TakeoffModel.h"
#include "takeoff/TakeoffStore.h"

#include <QTextCursor>
#include <QTextDocument>

using namespace brevant;
using namespace brevant::reports;
using namespace reporttest;

namespace {

Record selectProject(db::Connection& c, qint64 id) {
    db::Recordset rs;
    rs.open("Select * from [Projects] where [JOB_ID] = " + QString::number(id), c);
    return CurrentRecord(rs);
}

QString shown(const QString& rtf) {
    QTextDocument doc;
    richtext::setRtf(doc, rtf);
    return doc.toPlainText();
}

} // namespace

using ProjectReportsDb = ReportDatabase;

TEST_F(ProjectReportsDb, StoredProjectGivesTheSameSummaryAsItsValues) {
    Record expected = fullProject();
    expected.set("Notes", "Call Bob");
    const Record stored = selectProject(db, 4711);
    EXPECT_EQ(DrawSummary(stored), DrawSummary(expected));
    EXPECT_EQ(PrintSummary(stored), PrintSummary(expected));
    EXPECT_EQ(SummaryNotes(stored), "Call Bob");
    EXPECT_EQ(DrawSummary(selectProject(db, 12)), DrawSummary(emptyProject()));
}

TEST_F(ProjectReportsDb, ListsComeInTheirOrders) {
    const QString bidders = DrawBidders(db, 4711);
    EXPECT_LT(bidders.indexOf("ACME ROOFING"), bidders.indexOf("ZETA PAINT"));
    EXPECT_FALSE(bidders.contains("ALPHA OWNERS"));
    // Screen contacts by type, then name: architect (A) before owner (O).
    const QString contacts = DrawContacts(db, 4711);
    EXPECT_LT(contacts.indexOf("(ARCHITECT) BETA DESIGN"), contacts.indexOf("(OWNER) ALPHA"));
    EXPECT_FALSE(contacts.contains("ACME"));
    // The full report lists contacts by name only.
    const QString full = FullProjectReport(db, 4711, at(2026, 12, 8, 9, 0, 0));
    EXPECT_LT(full.indexOf(" (OWNER) ALPHA OWNERS\\par"), full.indexOf(" (ARCHITECT) BETA"));
    EXPECT_LT(full.indexOf(" ACME ROOFING\\par"), full.indexOf(" ZETA PAINT\\par"));
    EXPECT_TRUE(full.contains("\\b PROJECT NOTES: \\b0\\par Call Bob\\par}"));
    // The apparent low bidder first.
    const QString awards = DrawAwards(db, 4711);
    EXPECT_LT(awards.indexOf("LOW CO (AWARDED)"), awards.indexOf("HIGH CO \\b0"));
    EXPECT_TRUE(
        awards.contains("\\tab\\b PHONE:\\b0  8 Ext:7\\par\\tab\\b FAX:\\b0  5551234\\par"));
    EXPECT_TRUE(awards.contains("\\tab\\b BID AMOUNT:\\b0  $850,000\\par"));
    // The heading carries the first row's date.
    EXPECT_TRUE(
        DrawUpdates(db, 4711).contains("\\b UPDATES FOR 3/2/2026\\b0\\par\\par>> \\b BID "));
}

TEST_F(ProjectReportsDb, ProjectWithNothingShowsTheEmptyTexts) {
    const ProjectPanes panes = DrawProjectPanes(db, selectProject(db, 12));
    EXPECT_EQ(shown(panes.bidders), "NO BIDDERS TO LIST\n\n");
    EXPECT_EQ(shown(panes.contacts), "NO CONTACTS TO LIST\n\n");
    EXPECT_EQ(shown(panes.updates), "NO UPDATES TO LIST\n\n");
    EXPECT_EQ(shown(panes.awards), "NO APPARENT LOW BIDDER(S) OR AWARDS TO LIST\n\n");
    EXPECT_EQ(panes.notes, "");
    // A project that is not there gives a report with empty fields, not a failure.
    EXPECT_TRUE(FullProjectReport(db, 999, at(2026, 1, 1)).contains("NO BIDDERS TO LIST"));
}

TEST_F(ProjectReportsDb, ReportsReadBackAsTheirLines) {
    const Record p = selectProject(db, 4711);
    const QStringList summary = shown(DrawSummary(p)).split('\n');
    EXPECT_EQ(summary.mid(0, 6),
              QStringList({"PROJECT NAME: Central High School Roof ", "",
                           "PROJECT INFORMATION: ", "\tBREVANT ID: 4711 ", "\tLOCATION: AUSTIN, TX",
                           "\tTYPE: BUILDING CONSTRUCTION"}));
    EXPECT_TRUE(summary.contains("\tBIDS DUE: 3/5/2026 2:00:00 PM"));
    EXPECT_TRUE(summary.contains("Replace the roof"));
    // The print summary keeps its heading line whole.
    const QStringList print = shown(PrintSummary(p)).split('\n');
    EXPECT_EQ(print.mid(0, 5), QStringList({"PROJECT NAME: Central High School Roof", "",
                                            "PROJECT INFORMATION:", "\tBREVANT ID: 4711",
                                            "\tLOCATION: AUSTIN, TX"}));
    const QStringList full =
        shown(FullProjectReport(db, 4711, at(2026, 12, 8, 9, 0, 0))).split('\n');
    EXPECT_EQ(full.value(0), "12/8/2026 9:00:00 AM");
    EXPECT_EQ(full.value(2), QString("Brevant Desktop \u2122 - FULL PROJECT REPORT"));
    EXPECT_TRUE(full.contains("PROJECT NOTES: "));
    EXPECT_TRUE(full.contains("Call Bob"));
    EXPECT_TRUE(full.contains(" (OWNER) ALPHA OWNERS"));
}

// What the Updates view shows of the lasting history: dates whole (a date right after a
// paragraph mark once lost its month to the mark), fields under the names the user knows, and
// who found a change when that is known.
TEST_F(ProjectReportsDb, TheUpdatesViewShowsHistoryDatesWholeAndFieldsByTheirCaptions) {
    for (const char* sql :
         {"INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) VALUES (4711, "
          "'2026-12-08 09:00:00', 'Due_Date', '3/1/2026', '3/5/2026')",
          "INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value, Found_By) "
          "VALUES (4711, '2026-12-08 09:00:00', 'Building', '0', '1', 'pat')",
          "INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) VALUES (4711, "
          "'2026-11-30 09:00:00', 'SPECIFICATION', NULL, '07500 - ROOFING')",
          "INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) VALUES (4711, "
          "'2026-11-30 09:00:00', 'Estimated Cost End', NULL, '2500000')",
          "INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) VALUES (4711, "
          "'2026-11-29 09:00:00', 'PLAN PAGE', 'A-101 - PLAN (REVISION 0)', "
          "'A-101 - PLAN (REVISION 1)')"})
        db.execute(QString::fromUtf8(sql));
    const QStringList lines = shown(DrawUpdates(db, 4711)).split('\n');
    const qsizetype earlier = lines.indexOf("Earlier changes");
    ASSERT_GE(earlier, 0) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.mid(earlier + 2, 5),
              QStringList({"12/08/2026  Type: HEAVY CONSTRUCTION -> BUILDING CONSTRUCTION "
                           "(found by pat)",
                           "12/08/2026  Bid date: 3/1/2026 -> 3/5/2026",
                           "11/30/2026  Estimated cost (upper end): (none) -> 2500000",
                           "11/30/2026  SPECIFICATION ADDED: 07500 - ROOFING",
                           "11/29/2026  PLAN PAGE REVISED: A-101 - PLAN (REVISION 0) -> A-101 - "
                           "PLAN (REVISION 1)"}))
        << lines.join('\n').toStdString();
    EXPECT_EQ(HistoryFieldCaption("Pre_Bid_Date"), "Pre-bid date");
    EXPECT_EQ(HistoryFieldCaption("Some_New_Field"), "Some New Field");
}

// After a check that revised a measured sheet, the Updates view says how many takeoff items
// that made stale, above the history; nothing while none is.
TEST_F(ProjectReportsDb, TheUpdatesViewSaysHowManyTakeoffItemsAreStale) {
    using namespace brevant::takeoff;
    db.execute("INSERT INTO Plans (JobID, File) VALUES (4711, 'A-101.pdf')");
    TakeoffModel model(4711);
    const SheetKey sheet{QStringLiteral("A-101.pdf"), 0};
    model.setScale(sheet, *statedScale(u"1/8\" = 1'-0\""));
    for (const char* name : {"Walls", "Base", "Paint"}) {
        Item item;
        item.name = QLatin1String(name);
        model.addMark(model.addItem(item), sheet, {{0, 0}, {100, 0}});
    }
    saveTakeoff(db, 4711, model.data());
    EXPECT_FALSE(shown(DrawUpdates(db, 4711)).contains("Takeoff"));

    db.execute("UPDATE Plans SET Revision = 1 WHERE JobID = 4711");
    const QStringList lines = shown(DrawUpdates(db, 4711)).split('\n');
    const qsizetype takeoff = lines.indexOf("Takeoff");
    ASSERT_GE(takeoff, 0) << lines.join('\n').toStdString();
    EXPECT_TRUE(
        lines.value(takeoff + 2)
            .startsWith("3 takeoff items were measured on an earlier version of their sheets"))
        << lines.join('\n').toStdString();
    EXPECT_EQ(ReadStaleTakeoffItems(db, 12), 0);
    // A store opened before the takeoff existed shows nothing and fails nothing.
    for (const char* table : {"Takeoff_Marks", "Takeoff_Items"})
        db.executeNative(QStringLiteral("DROP TABLE ") + QLatin1String(table));
    EXPECT_EQ(ReadStaleTakeoffItems(db, 4711), 0);
}

// A store the program has not opened for writing yet lacks the history table: no history, no
// error; any other failure still reaches the caller.
TEST_F(ProjectReportsDb, NoHistoryTableShowsNoHistory) {
    db.executeNative("DROP TABLE Change_History");
    EXPECT_TRUE(ReadChangeHistory(db, 4711).isEmpty());
    db.close();
    EXPECT_THROW(ReadChangeHistory(db, 4711), brevant::db::DbError);
}

// Values that begin with a digit or a letter, in every report: each shows whole.
TEST_F(ProjectReportsDb, ValuesShowWholeInEveryReport) {
    db.execute("Update [Projects] Set [Name] = '9 Elm Street', City = 'X1', [Description] = "
               "'1st floor', Notes = '2nd call' where [JOB_ID] = 4711");
    db.execute("Update [Contacts] Set Name = '3M CO', Contact = '4 Ann' where [Job_ID] = 4711");
    const Record p = selectProject(db, 4711);
    for (const QString& rtf : {DrawSummary(p), PrintSummary(p), DrawBidders(db, 4711),
                               DrawContacts(db, 4711), PrintBidders(db, p), PrintContacts(db, p),
                               FullProjectReport(db, 4711, at(2026, 12, 8, 9, 0, 0))}) {
        const QString text = shown(rtf);
        for (const char* value : {"9 Elm Street", "X1", "1st floor", "3M CO", "4 Ann"}) {
            if (rtf.contains(QLatin1String(value))) {
                EXPECT_TRUE(text.contains(QLatin1String(value))) << value << " in\n"
                                                                 << text.toStdString();
            }
        }
    }
}

TEST_F(ProjectReportsDb, FilterWordsMarkedInTheShownSummary) {
    EXPECT_EQ(FilterWords("roof|austin", false), QStringList({"roof", "austin"}));
    EXPECT_EQ(FilterWords("high school||roof", true), QStringList({"high school", "roof"}));
    EXPECT_EQ(FilterWords("a|b", true), QStringList({"a|b"}));
    EXPECT_EQ(FilterWords("roof||", true), QStringList({"roof"}));
    EXPECT_TRUE(FilterWords("", false).isEmpty());

    QTextDocument doc;
    richtext::setRtf(doc, DrawSummary(selectProject(db, 4711)));
    const QString before = doc.toPlainText();
    // "project" starts the document; it is marked there too.
    EXPECT_EQ(MarkFilterWords(doc, FilterWords("roof|project", false)), 2 + 3);
    EXPECT_EQ(doc.toPlainText(), before);
    QTextCursor c(&doc);
    c.setPosition(before.indexOf("Roof") + 1);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(0, 0, 255));
    c.setPosition(before.indexOf("Central") + 1);
    EXPECT_NE(c.charFormat().foreground().color(), QColor(0, 0, 255));
}
