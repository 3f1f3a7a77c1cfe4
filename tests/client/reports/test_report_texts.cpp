// Each report's RTF, character for character, for a project with every field filled and for
// the empty and Null cases.
#include "ReportFixtures.h"
#include "platform/richtext/RtfDocument.h"
#include "reports/ContactReports.h"
#include "reports/ProjectListReport.h"
#include "reports/ProjectReports.h"
#include "reports/SummaryReports.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace brevant::reports;
using namespace reporttest;

namespace {

const QString head1 =
    R"rtf({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fprq2\fcharset0 Verdana;}}{\colortbl ;\red0\green0\blue0;})rtf";

// A report as a rich-text box shows it.
QString shown(const QString& rtf) {
    QTextDocument doc;
    brevant::richtext::setRtf(doc, rtf);
    return doc.toPlainText();
}

} // namespace

TEST(SummaryReport, EveryFieldFilled) {
    EXPECT_EQ(
        DrawSummary(fullProject()),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 PROJECT NAME:\b0  Central High School Roof \par \b \par PROJECT INFORMATION: \par \tab BREVANT ID:\b0  4711 \par \tab\b LOCATION:\b0  AUSTIN, TX\par \tab\b TYPE:\b0  BUILDING CONSTRUCTION\par\tab\b ESTIMATED COST:\b0  $1,250,000<->$2,500,000\par\tab\b REGION:\b0  3\par\par\b BIDDING INFORMATION:\par\b0\tab\b BIDS DUE:\b0  3/5/2026 2:00:00 PM\par\tab\b PRE-BID:\b0  Yes\par\tab\b PRE-BID MANDATORY:\b0  No\par\tab\b PRE-BID DATE:\b0  02/20/2026\b\par\b0\par\b OTHER INFORMATION: \par\b0 02/25/2026\par\par\b PROJECT DESCRIPTION: \b0\par Replace the roof\par})rtf");
    EXPECT_EQ(SummaryNotes(fullProject()), "Call Bob\r\nAsk about bonds");
}

TEST(SummaryReport, NoDateSetHeavyConstructionAndEmptyFields) {
    EXPECT_EQ(
        DrawSummary(emptyProject()),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 PROJECT NAME:\b0  Bridge \par \b \par PROJECT INFORMATION: \par \tab BREVANT ID:\b0  12 \par \tab\b LOCATION:\b0  , TX\par \tab\b TYPE:\b0  HEAVY CONSTRUCTION\par\tab\b ESTIMATED COST:\b0  <->$500\par\tab\b REGION:\b0  \par\par\b BIDDING INFORMATION:\par\b0\tab\b BIDS DUE:\b0  No Date Set \par\tab\b PRE-BID:\b0  No\par\tab\b PRE-BID MANDATORY:\b0  No\par\tab\b PRE-BID DATE:\b0  No Date Set\b\par\b0\par\b PROJECT DESCRIPTION: \b0\par NO DESCRIPTION AVAILABLE\par})rtf");
    EXPECT_EQ(SummaryNotes(emptyProject()), "");
}

TEST(SummaryReport, OtherInformationThatIsNoDateAndValuesThatLookLikeRtf) {
    Record p = fullProject();
    p.set("Other", "PLANS AT {EXCHANGE} \\par 5");
    p.set("Building", qlonglong(0));
    p.set("Name", "Caf\u00e9 \u2013 Phase 2");
    const QString rtf = DrawSummary(p);
    EXPECT_TRUE(rtf.contains(
        R"rtf(\b OTHER INFORMATION: \par\b0 PLANS AT \{EXCHANGE\} \\par 5\par\par)rtf"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains(R"rtf(PROJECT NAME:\b0  Caf\'e9 \'96 Phase 2 \par)rtf"));
    EXPECT_TRUE(rtf.contains("HEAVY CONSTRUCTION"));
}

TEST(PrintSummaryReport, EveryFieldFilledAndNoDateSet) {
    EXPECT_EQ(
        PrintSummary(fullProject()),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 PROJECT NAME:\b0  Central High School Roof\par\b\par PROJECT INFORMATION:\par\tab BREVANT ID:\b0  4711\par\tab\b LOCATION:\b0  AUSTIN, TX\par\tab\b TYPE:\b0  BUILDING CONSTRUCTION\par\tab\b ESTIMATED COST:\b0  $1,250,000<->$2,500,000\par\tab\b REGION:\b0  3\par\par\b BIDDING INFORMATION:\par\b0\tab\b BIDS DUE:\b0  3/5/2026 2:00:00 PM\par\tab\b PRE-BID:\b0  Yes\par\tab\b PRE-BID MANDATORY:\b0  No\par\tab\b PRE-BID DATE:\b0  02/20/2026\b\par\b0\par\b OTHER INFORMATION: \par\b0 02/25/2026\par\par\b PROJECT DESCRIPTION: \b0\par Replace the roof\par})rtf");
    EXPECT_EQ(
        PrintSummary(emptyProject()),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 PROJECT NAME:\b0  Bridge\par\b\par PROJECT INFORMATION:\par\tab BREVANT ID:\b0  12\par\tab\b LOCATION:\b0  , TX\par\tab\b TYPE:\b0  HEAVY CONSTRUCTION\par\tab\b ESTIMATED COST:\b0  <->$500\par\tab\b REGION:\b0  \par\par\b BIDDING INFORMATION:\par\b0\tab\b BIDS DUE:\b0  No Date Set \par\tab\b PRE-BID:\b0  No\par\tab\b PRE-BID MANDATORY:\b0  No\par\tab\b PRE-BID DATE:\b0  No Date Set\b\par\b0\par\b PROJECT DESCRIPTION: \b0\par NO DESCRIPTION AVAILABLE\par})rtf");
}

// The printed summary and the full report show the bid date, its time and the project number as
// the screen does, and no 1900 for a project without a bid date.
TEST(PrintSummaryReport, BidDateAndProjectNumberAsOnScreen) {
    const QString withDate = shown(DrawSummary(fullProject()));
    ASSERT_TRUE(withDate.contains("BIDS DUE: 3/5/2026 2:00:00 PM")) << withDate.toStdString();
    ASSERT_TRUE(withDate.contains("BREVANT ID: 4711"));
    ASSERT_TRUE(shown(DrawSummary(emptyProject())).contains("BIDS DUE: No Date Set"));
    for (const QString& printed :
         {shown(PrintSummary(fullProject())),
          shown(FullProjectReportRtf(fullProject(), {}, {}, at(2026, 12, 8, 9, 0, 0)))}) {
        EXPECT_TRUE(printed.contains("BIDS DUE: 3/5/2026 2:00:00 PM")) << printed.toStdString();
        EXPECT_TRUE(printed.contains("BREVANT ID: 4711")) << printed.toStdString();
    }
    for (const QString& printed :
         {shown(PrintSummary(emptyProject())),
          shown(FullProjectReportRtf(emptyProject(), {}, {}, at(2026, 12, 8, 9, 0, 0)))}) {
        EXPECT_TRUE(printed.contains("BIDS DUE: No Date Set")) << printed.toStdString();
        EXPECT_FALSE(printed.contains("1900")) << printed.toStdString();
        EXPECT_TRUE(printed.contains("BREVANT ID: 12")) << printed.toStdString();
    }
}

TEST(ContactReports, BiddersScreenAndPrint) {
    const QList<Record> bidders = {contact("ACME ROOFING", "B"),
                                   Record{{"Name", "SOLO"}, {"Type", "B"}}};
    const QString entries =
        R"rtf(\b ACME ROOFING\b0\par\tab\b CONTACT:\b0  Ann Lee\par\tab\b ADDRESS:\b0  1 Main St Suite 2 AUSTIN, TX 78701\par\tab\b PHONE:\b0  512-555-0100 Ext:12\par\tab\b FAX:\b0  512-555-0101\par\par\b SOLO\b0\par\tab\b CONTACT:\b0  \par\tab\b ADDRESS:\b0    ,  \par\tab\b PHONE:\b0   Ext:\par\tab\b FAX:\b0  \par\par})rtf";
    EXPECT_EQ(BiddersRtf(bidders), head1 + R"rtf(\viewkind4\uc1\pard\cf1\f0\fs16)rtf" + entries);
    EXPECT_EQ(
        PrintBiddersRtf(bidders, "Central High"),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\f0\fs16\b\ul BIDDERS LIST\b0\ulnone\par\par Central High\par\par)rtf" +
            entries);
    const QString none =
        head1 + R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 NO BIDDERS TO LIST\par\b0\par})rtf";
    EXPECT_EQ(BiddersRtf({}), none);
    EXPECT_EQ(PrintBiddersRtf({}, "Central High"), none);
}

TEST(ContactReports, ContactsWithTypeNamesGeneralContractorAndUnknownType) {
    const QList<Record> contacts = {contact("SMITH ARCHITECTS", "a", "Jo"),
                                    contact("BUILDCO", "GENERAL CO", "Max"),
                                    contact("ODD LLC", "XYZ", "Sam")};
    const QString block =
        R"rtf(\tab\b ADDRESS:\b0  1 Main St Suite 2 AUSTIN, TX 78701\par\tab\b PHONE:\b0  512-555-0100 Ext:12\par\tab\b FAX:\b0  512-555-0101\par\par)rtf";
    const QString entries =
        R"rtf(\b (ARCHITECT) SMITH ARCHITECTS\b0\par\tab\b CONTACT:\b0  Jo\par)rtf" + block +
        R"rtf(\b (GENERAL CONTACTOR) BUILDCO\b0\par\tab\b CONTACT:\b0  Max\par)rtf" + block +
        R"rtf(\b () ODD LLC\b0\par\tab\b CONTACT:\b0  Sam\par)rtf" + block + "}";
    EXPECT_EQ(ContactsRtf(contacts), head1 + R"rtf(\viewkind4\uc1\pard\cf1\f0\fs16)rtf" + entries);
    EXPECT_EQ(
        PrintContactsRtf(contacts, "Central High"),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\f0\fs16\b\ul CONTACTS LIST\b0\ulnone\par\par Central High\par\par)rtf" +
            entries);
    EXPECT_EQ(ContactsRtf({}),
              head1 + R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 NO CONTACTS TO LIST\par\b0\par})rtf");
}

TEST(ContactReports, AwardsWithAndWithoutEmailAndComment) {
    const QList<Record> awards = {Record{{"Name", "LOW CO"},
                                         {"Bid", 1234567.5},
                                         {"Awarded", qlonglong(-1)},
                                         {"Contact", "Pat"},
                                         {"Phone", "555-1"},
                                         {"Extension", qlonglong(7)},
                                         {"Fax", qlonglong(5551234)},
                                         {"Email", "pat@low.example"},
                                         {"Comment", "Signed"}},
                                  Record{{"Name", "NEXT CO"},
                                         {"Bid", 1300000.0},
                                         {"Awarded", false},
                                         {"Contact", "Lou"},
                                         {"Phone", "555-2"},
                                         {"Extension", QVariant()},
                                         {"Fax", QVariant()},
                                         {"Email", ""},
                                         {"Comment", QVariant()}}};
    EXPECT_EQ(
        AwardsRtf(awards),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\f0\fs16\b LOW CO (AWARDED) \b0\par\tab\b BID AMOUNT:\b0  $1,234,568\par\tab\b CONTACT:\b0  Pat\par\tab\b PHONE:\b0  555-1 Ext:7\par\tab\b FAX:\b0  5551234\par\tab\b Email:\b0  pat@low.example\par\tab\b Comment:\b0  Signed\par\par\b NEXT CO \b0\par\tab\b BID AMOUNT:\b0  $1,300,000\par\tab\b CONTACT:\b0  Lou\par\tab\b PHONE:\b0  555-2 Ext:\par\tab\b FAX:\b0  \par\tab\b Email:\b0  None Listed \par\par})rtf");
    EXPECT_EQ(
        AwardsRtf({}),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 NO APPARENT LOW BIDDER(S) OR AWARDS TO LIST\par\b0\par})rtf");
}

TEST(ContactReports, UpdatesWithBidDateInAnyCaseInBold) {
    const QList<Record> updates = {
        Record{{"Update", "BID DATE CHANGED FROM 3/1/2026 TO 3/5/2026"}, {"Added", at(2026, 3, 2)}},
        Record{{"Update", "the bid date moved"}, {"Added", at(2026, 3, 3)}},
        Record{{"Update", "SPECIFICATION 09 91 00 ADDED"}, {"Added", at(2026, 3, 3)}}};
    EXPECT_EQ(
        UpdatesRtf(updates),
        head1 +
            R"rtf(\viewkind4\uc1\pard\cf1\f0\fs16\b UPDATES FOR 3/2/2026\b0\par\par>> \b BID DATE CHANGED FROM 3/1/2026 TO 3/5/2026\b0\par>> \b the bid date moved\b0\par>> SPECIFICATION 09 91 00 ADDED\b0\par})rtf");
    EXPECT_EQ(UpdatesRtf({}),
              head1 + R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 NO UPDATES TO LIST\par\b0\par})rtf");
}

TEST(FullReport, EveryFieldFilled) {
    const QString head2 =
        R"rtf({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fprq2\fcharset0 Verdana;}{\f1\fnil Verdana;}}{\colortbl ;\red0\green0\blue0;})rtf";
    const QString rtf =
        FullProjectReportRtf(fullProject(), {contact("ACME ROOFING", "B")},
                             {contact("BUILDCO", "GENERAL CO", "Max")}, at(2026, 12, 8, 2, 25, 6));
    EXPECT_EQ(
        rtf,
        head2 +
            R"rtf(\viewkind4\uc1\pard\cf1\b\f0\fs16 12/8/2026 2:25:06 AM\par\par\ul\fs32 Brevant Desktop \cf0\f1\'99\f0  - FULL PROJECT REPORT\ulnone\b0\par\cf1\b\fs16\par\par Central High School Roof\par\par PROJECT INFORMATION:\par\tab BREVANT ID:\b0  4711\par\tab\b LOCATION:\b0  AUSTIN, TX\par\tab\b TYPE:\b0  BUILDING CONSTRUCTION\par\tab\b ESTIMATED COST:\b0  $1,250,000<->$2,500,000\par\tab\b REGION:\b0  3\par\par\b BIDDING INFORMATION:\par\b0\tab\b BIDS DUE:\b0  3/5/2026 2:00:00 PM\par\tab\b PRE-BID:\b0  Yes\par\tab\b PRE-BID MANDATORY:\b0  No\par\tab\b PRE-BID DATE:\b0  02/20/2026\b\par\b0\par\b OTHER INFORMATION: \par\b0 02/25/2026\par\par\b PROJECT DESCRIPTION: \b0\par Replace the roof\par\par \b BIDDERS LIST: \b0\par  ACME ROOFING\par\tab\b CONTACT:\b0  Ann Lee\par\tab\b ADDRESS:\b0  1 Main St Suite 2 AUSTIN, TX 78701\par\tab\b PHONE:\b0  512-555-0100 Ext:12\par\tab\b FAX:\b0  512-555-0101\par\par\b CONTACTS LIST: \b0\par  (GENERAL CONTACTOR) BUILDCO\par\tab\b CONTACT:\b0  Max\par\tab\b ADDRESS:\b0  1 Main St Suite 2 AUSTIN, TX 78701\par\tab\b PHONE:\b0  512-555-0100 Ext:12\par\tab\b FAX:\b0  512-555-0101\par\par\b PROJECT NOTES: \b0\par Call Bob \par Ask about bonds\par})rtf");
}

TEST(FullReport, NoDescriptionNoContactsNoNotes) {
    const QString rtf = FullProjectReportRtf(emptyProject(), {}, {}, at(2026, 12, 8, 0, 0, 0));
    EXPECT_TRUE(rtf.contains(R"rtf(\fs16 12/8/2026\par\par\ul)rtf")) << rtf.toStdString();
    EXPECT_TRUE(rtf.endsWith(
        R"rtf(\b0\tab\b BIDS DUE:\b0  No Date Set \par\tab\b PRE-BID:\b0  No\par\tab\b PRE-BID MANDATORY:\b0  No\par\tab\b PRE-BID DATE:\b0  No Date Set\b\par\b0\par\b PROJECT DESCRIPTION: \b0\par  NO DESCRIPTION AVAILABLE\par\par \b BIDDERS LIST: \b0\par \b NO BIDDERS TO LIST\b0\par\par\b CONTACTS LIST: \b0\par \b NO CONTACTS TO LIST\b0\par\par\par})rtf"))
        << rtf.toStdString();
    // Notes typed on this system end lines with LF alone; each still becomes a paragraph.
    Record p = emptyProject();
    p.set("Notes", "one\ntwo");
    EXPECT_TRUE(FullProjectReportRtf(p, {}, {}, at(2026, 1, 1))
                    .endsWith(R"rtf(\b PROJECT NOTES: \b0\par one \par two\par})rtf"));
}

TEST(ProjectListReportText, RowsPaddedAndLongNamesNotCut) {
    const QString longName = QString(80, u'X');
    const QString rtf = ProjectListReportRtf(
        {{"03/05/2026", "Central High"}, {"No Date Set", longName}}, at(2026, 12, 8, 14, 5, 0));
    EXPECT_EQ(
        rtf,
        R"rtf({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fprq2\fcharset0 Verdana;}{\f1\fnil\fcharset0 Verdana;}{\f2\fmodern\fprq1\fcharset0 Courier New;}}{\colortbl ;\red0\green0\blue0;}\viewkind4\uc1\pard\cf1\b\f0\fs16 12/8/2026 2:05:00 PM\par\par\ul\fs32 Brevant Desktop \cf0\f1\'99\f0  - CURRENT PROJECT LIST REPORT\ulnone\b0\par\cf1\b\fs16\par\par PROJECTS:\b0\par \f2\fs14 03/05/2026       Central High)rtf" +
            QString(63, u' ') + R"rtf( \par No Date Set      )rtf" + longName +
            R"rtf( \par \par})rtf");
    // An empty list gives the heading only.
    EXPECT_TRUE(ProjectListReportRtf({}, at(2026, 1, 1)).endsWith(R"rtf(\f2\fs14 \par})rtf"));
}
