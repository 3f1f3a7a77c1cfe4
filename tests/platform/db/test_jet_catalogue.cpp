// Every statement form the client builds, run through the translator against a real
// Desktop.mdb and a real PostgreSQL store, checking that both give the same rows.
#include "DbFixture.h"

#include "platform/db/DbError.h"
#include "platform/db/JetDate.h"

using brevant::db::DbError;
using brevant::db::Recordset;
namespace errors = brevant::db::errors;

namespace {

// The import's project insert with literals as SqlValue writes them.
QString projectInsert(int id, const QString& name, const QString& due,
                      const QString& preBid = "-1") {
    return QStringLiteral(
               "INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
               "[Estimated Cost], [Estimated Cost End], [Other], Bins, Addendum, Pre_Bid, "
               "Mandatory, "
               "Pre_Bid_Date, Building, [Region]) VALUES (%1,'SPRINGFIELD','IL',%2,%3,'NEW SCHOOL',"
               "1500000,2000000,NULL,'B-12',NULL,%4,0,'11/20/2026 10:00:00 AM',3,7)")
        .arg(id)
        .arg(due, name, preBid);
}

class JetCatalogue : public BothEngines {
protected:
    void SetUp() override {
        BothEngines::SetUp();
        if (IsSkipped())
            return;
        ASSERT_EQ(db.execute(projectInsert(101, "'O''BRIEN HALL'", "'12/15/2026 2:00:00 PM'")), 1);
        ASSERT_EQ(db.execute(projectInsert(102, "'X' & chr(124) & 'Y'", "'9/3/2026'", "0")), 1);
        ASSERT_EQ(db.execute(projectInsert(103, "'NO DATE'", "'1/1/1900'")), 1);
        ASSERT_EQ(db.execute(projectInsert(104, "'LATE'", "'2/1/2027 9:30:00 AM'", "TRUE")), 1);
    }
};

TEST_P(JetCatalogue, ImportedProjectsKeepTheirValuesAndDefaults) {
    EXPECT_EQ(rows("Select * from [Projects] where [JOB_ID] = 101",
                   {"Name", "due_date", "Estimated Cost", "Pre_Bid", "Mandatory", "New", "Tracked",
                    "Other", "Pre_Bid_Date"}),
              QStringList{"O'BRIEN HALL|2026-12-15 14:00:00|1500000|true|false|true|false|<null>|"
                          "2026-11-20 10:00:00"});
    EXPECT_EQ(rows("Select * from [Projects] where [JOB_ID] = 102", {"NAME", "PRE_BID"}),
              QStringList{"X|Y|false"});
    // The statement text itself never held the '|'; the stored value does.
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects WHERE [Name] = 'X|Y'").toInt(), 1);
    EXPECT_EQ(rows("Select * from [Projects] where [JOB_ID] = 104", {"Pre_Bid"}),
              QStringList{"true"});

    Recordset rs;
    rs.open("Select Due_Date from [Projects] where [Job_ID] = 103", db, Recordset::Cursor::Static);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(brevant::db::formatDate(rs.field("Due_Date")), "01/01/1900");
    EXPECT_TRUE(brevant::db::isNoDateSet(rs.field("DUE_DATE")));
}

TEST_P(JetCatalogue, ProjectListSortsDatesAsDatesWithTheUnsetDateFirst) {
    EXPECT_EQ(rows("Select * from [projects] Order By [Due_Date] ASC", {"Job_ID"}),
              (QStringList{"103", "102", "101", "104"}));
    EXPECT_EQ(rows("Select * from [projects] Order By [Due_Date] DESC", {"Job_ID"}),
              (QStringList{"104", "101", "102", "103"}));
    EXPECT_EQ(rows("Select * from [projects] Order By [Name] ASC", {"Job_ID"}),
              (QStringList{"104", "103", "101", "102"}));
}

TEST_P(JetCatalogue, ListStatesFollowTheMarkStatements) {
    EXPECT_EQ(
        db.execute("Update [Projects] set [Tracked] = TRUE, [NEW] = FALSE where [JOB_ID] = 101"),
        1);
    EXPECT_EQ(
        db.execute("Update [Projects] set [Tracked] = FALSE, [NEW] = FALSE where [JOB_ID] = 102"),
        1);
    EXPECT_EQ(rows("Select * from [projects] where [New] = true Order By [Job_ID] ASC", {"Job_ID"}),
              (QStringList{"103", "104"}));
    EXPECT_EQ(
        rows("Select * from [projects] where [tracked] = true Order By [Job_ID] ASC", {"Job_ID"}),
        QStringList{"101"});
    EXPECT_EQ(rows("Select * from [projects] where [new] = False and [Tracked] = False Order By "
                   "[Job_ID] DESC",
                   {"Job_ID"}),
              QStringList{"102"});
    EXPECT_EQ(rows("Select New, Tracked from [Projects] where [Job_ID] = 101", {"new", "TRACKED"}),
              QStringList{"false|true"});

    EXPECT_EQ(scalar("Select Count([Job_ID]) as [count] from [Projects]").toInt(), 4);
    EXPECT_EQ(
        scalar("Select Count([Job_ID]) as [count] from [Projects] WHERE [Tracked] = TRUE").toInt(),
        1);
    EXPECT_EQ(
        scalar("Select Count([Job_ID]) as [count] from [Projects] WHERE [New] = TRUE").toInt(), 2);
    Recordset rs;
    rs.open("Select Count([Job_ID]) as [count] from [Projects] WHERE [New] = FALSE AND [Tracked] = "
            "FALSE",
            db);
    EXPECT_EQ(rs.field("Count").toInt(), 1);
    // -1 is Jet's True.
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects WHERE [New] = -1").toInt(), 2);
}

TEST_P(JetCatalogue, NotesAndAssignments) {
    EXPECT_EQ(
        db.execute(
            "Update [Projects] Set Notes = 'call O''Neil | ask about bonds' where [JOB_ID] = 101"),
        1);
    EXPECT_EQ(
        db.execute(
            "UPDATE Projects SET Projects.Assignment = 'PAT' WHERE (((Projects.Job_ID)=101));"),
        1);
    EXPECT_EQ(rows("Select * from [Projects] where [JOB_ID] = 101", {"Notes", "Assignment"}),
              QStringList{"call O'Neil | ask about bonds|PAT"});
    EXPECT_EQ(
        db.execute("UPDATE Projects SET Projects.Assignment = '' WHERE (((Projects.Job_ID)=101));"),
        1);
    EXPECT_EQ(rows("Select * from [Projects] where [JOB_ID] = 101", {"Assignment"}),
              QStringList{""});
}

TEST_P(JetCatalogue, Attachments) {
    EXPECT_EQ(
        db.execute("INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) "
                   "VALUES (101,'bid form.pdf','/cache/101/','Bid form','pdf','12/8/2026');"),
        1);
    EXPECT_EQ(
        db.execute("INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) "
                   "VALUES (101,'a.doc','/cache/101/','Addendum notes','doc','12/9/2026');"),
        1);
    EXPECT_EQ(rows("Select * from [Attachments] where [JobID] = 101 ORDER BY [Description]",
                   {"FileName", "Added"}),
              (QStringList{"a.doc|2026-12-09 00:00:00", "bid form.pdf|2026-12-08 00:00:00"}));
    // File names compare without regard to case.
    EXPECT_EQ(
        db.execute(
            "dELETE * from [Attachments] where [Filename] = 'BID FORM.PDF' AND [JOBID] = 101"),
        1);
    EXPECT_EQ(rows("Select * from [Attachments] where [JobID] = 101 ORDER BY [Description]",
                   {"FileName"}),
              QStringList{"a.doc"});
}

TEST_P(JetCatalogue, DocumentCatalogue) {
    for (const char* spec : {"ADD01", "TOC", "01010", "add02", "02200"})
        db.execute(
            QStringLiteral("INSERT INTO Specs (JobID, Spec, Description) VALUES (101,'%1','S %1')")
                .arg(spec));
    EXPECT_EQ(db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES "
                         "(101,'PLAN001.SVD','SITE',120400)"),
              1);
    EXPECT_EQ(db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES "
                         "(101,'PLAN002.SVD','FLOOR',99)"),
              1);
    // The merge relies on a duplicate sheet being refused.
    try {
        db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES "
                   "(101,'plan001.svd','SITE',1)");
        FAIL() << "duplicate sheet accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), errors::IntegrityViolation);
    }

    const QString head = "Select Spec, Description, [local] FROM [Specs] where [JobID] = 101";
    EXPECT_EQ(rows(head + " AND left([Spec],3) = 'ADD' ORDER BY [Spec]", {"Spec"}),
              (QStringList{"ADD01", "add02"}));
    EXPECT_EQ(rows(head + " AND left([Spec],3) = 'TOC' ORDER BY [Spec]", {"Spec"}),
              QStringList{"TOC"});
    EXPECT_EQ(
        rows(head + " AND left([Spec],3) <> 'ADD'  AND left([Spec],3) <> 'TOC' ORDER BY [Spec]",
             {"Spec", "local"}),
        (QStringList{"01010|false", "02200|false"}));

    EXPECT_EQ(db.execute(
                  "Update [Plans] set [Local] = True WHERE JobID = 101 AND [File] = 'PLAN002.SVD'"),
              1);
    EXPECT_EQ(
        db.execute("Update [Specs] set [Local] = True WHERE JobID = 101 AND [Spec] = '01010'"), 1);
    EXPECT_EQ(rows("Select Description, File, [local], [Size] FROM [Plans] where [JobID] = 101",
                   {"File", "Local", "Size"}),
              (QStringList{"PLAN001.SVD|false|120400", "PLAN002.SVD|true|99"}));
    EXPECT_EQ(db.execute("Update [Plans] Set [Local] = 0 Where [JobID] = 101"), 2);
    EXPECT_EQ(db.execute("Update [Specs] Set [Local] = 0 Where [JobID] = 101"), 5);
    EXPECT_EQ(scalar("SELECT Count(*) FROM Specs WHERE [Local] = TRUE").toInt(), 0);
}

TEST_P(JetCatalogue, UpdateMerge) {
    EXPECT_EQ(db.execute("INSERT INTO Updates ( JobID, [Update], Added ) Values "
                         "(101,'OLD','12/1/2026 3:04:05 AM')"),
              1);
    EXPECT_EQ(db.execute("Delete * from [Updates] where [JOBID] = 101"), 1);
    EXPECT_EQ(
        db.execute(
            "UPDATE [Projects] SET City='SALEM', [State]='OR', Due_Date=#12/20/2026 3:00:00 PM#, "
            "[Name]='O''BRIEN HALL', [Description]='X' & chr(124) & 'Y', [Estimated Cost]=10, "
            "[Estimated Cost End]=NULL, [Other]=NULL, [Bins]=NULL, Addendum='ADD 1', Pre_Bid=-1, "
            "Mandatory=-1, Pre_Bid_Date=NULL,  Building=4, Region=8 WHERE Job_ID=101"),
        1);
    EXPECT_EQ(
        rows("Select * from [Projects] where [job_id] = 101",
             {"City", "Due_Date", "Description", "Pre_Bid", "Mandatory", "Pre_Bid_Date", "Region"}),
        QStringList{"SALEM|2026-12-20 15:00:00|X|Y|true|true|<null>|8"});
    // Stored as 1 whatever form of True was written.
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects WHERE Mandatory = 1 AND Pre_Bid = 1").toInt(),
              1);
    EXPECT_EQ(rows("Select Due_Date from [Projects] where [Job_ID] = 101", {"Due_Date"}),
              QStringList{"2026-12-20 15:00:00"});

    EXPECT_EQ(
        db.execute("UPDATE Specs SET Description ='GENERAL' WHERE JobID=101 AND [Spec] = '01010'"),
        0);
    EXPECT_EQ(
        db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (101,'01010','GENERAL')"),
        1);
    EXPECT_EQ(
        db.execute(
            "UPDATE Specs SET Description ='GENERAL REQ' WHERE JobID=101 AND [Spec] = '01010'"),
        1);

    const QString contact =
        "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
        "Address2, City, [State], Zip, [Type]) VALUES (101,'ACME','JO','555-1234',NULL,"
        "NULL,'1 MAIN',NULL,'SALEM','OR','97301',%1)";
    EXPECT_EQ(db.execute(contact.arg("'B'")), 1);
    EXPECT_EQ(db.execute(QString(contact).replace("'ACME'", "'ZED ARCH'").arg("'A'")), 1);
    EXPECT_EQ(db.execute(QString(contact).replace("'ACME'", "'BETA ENG'").arg("'E'")), 1);
    EXPECT_EQ(
        db.execute("UPDATE Contacts SET [Contact]='MO', Phone='555', Extension=NULL, Fax=NULL, "
                   "Address1=NULL, Address2=NULL, City='SALEM', [State]='OR', [Zip]=NULL WHERE "
                   "Job_ID=101 AND [Name]='acme' AND [Type]='B'"),
        1);
    EXPECT_EQ(rows("Select * from [Contacts] where [Job_ID] = 101 AND Type = 'B' ORDER BY [NAME]",
                   {"Name", "Contact"}),
              QStringList{"ACME|MO"});
    EXPECT_EQ(
        rows(
            "Select * from [Contacts] where [Job_ID] = 101 AND Type <> 'B' ORDER BY [TYPE], [NAME]",
            {"Name"}),
        (QStringList{"ZED ARCH", "BETA ENG"}));
    EXPECT_EQ(rows("Select * from [Contacts] where [Job_ID] = 101 AND Type <> 'B' ORDER BY [NAME]",
                   {"Name"}),
              (QStringList{"BETA ENG", "ZED ARCH"}));

    EXPECT_EQ(
        db.execute(
            "INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], [Awarded], "
            "[Fax], [Extension], [Email]) VALUES (101,'ACME','JO','555',NULL,250000,-1,5551,"
            "12,'a@b.c')"),
        1);
    EXPECT_EQ(
        db.execute(
            "INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], [Awarded], "
            "[Fax], [Extension], [Email]) VALUES (101,'BUILDCO',NULL,NULL,NULL,240000,0,NULL,"
            "NULL,NULL)"),
        1);
    EXPECT_EQ(
        db.execute(
            "UPDATE [Awards] SET [Contact]='JO', [Phone]='555', [Name] ='Acme', [Comment] ='LOW', "
            "[Awarded] =0, [Bid] =230000, [Fax] =NULL, [Extension] =NULL, [Email] =NULL WHERE "
            "[JobID]=101 AND [Name] ='acme'"),
        1);
    EXPECT_EQ(rows("Select * from [Awards] where [JobID] = 101 ORDER BY [Bid], [Name]",
                   {"Name", "Bid", "Comment"}),
              (QStringList{"Acme|230000|LOW", "BUILDCO|240000|<null>"}));

    EXPECT_EQ(
        db.execute(
            "INSERT INTO Updates ( JobID, [Update], Added ) Values (101,'PLAN PAGE ADDED: A' & "
            "chr(124) & 'B','12/8/2026 3:04:05 PM')"),
        1);
    EXPECT_EQ(rows("Select * from [Updates] where [JobID] = 101", {"Update", "Added"}),
              QStringList{"PLAN PAGE ADDED: A|B|2026-12-08 15:04:05"});
}

TEST_P(JetCatalogue, SavedSearches) {
    const QString insert =
        "INSERT INTO CUSTOM_SEARCH ( Search_Name, Name, [Desc], Date1, Date2, CSI1, CSI2, "
        "CSI) VALUES ('%1','','ROOF','12/1/2026','','','','')";
    EXPECT_EQ(db.execute(insert.arg("ROOFS")), 1);
    EXPECT_EQ(db.execute(insert.arg("O''BRIEN")), 1);
    EXPECT_EQ(rows("Select [SEARCH_ID], [SEARCH_NAME] from [CUSTOM_SEARCH]",
                   {"Search_ID", "Search_Name"}),
              (QStringList{"1|ROOFS", "2|O'BRIEN"}));
    EXPECT_EQ(
        rows("Select Date1, Date2, CSI1, CSI2, CSI, [Desc], [Name] FROM [Custom_Search] where "
             "[Search_ID] = 2",
             {"Date1", "Desc", "Name"}),
        QStringList{"12/1/2026|ROOF|"});
    EXPECT_EQ(db.execute("DELETE FROM [Custom_Search] where Search_ID = 1"), 1);
    EXPECT_EQ(db.execute(insert.arg("NEXT")), 1);
    // The key is never reused.
    EXPECT_EQ(rows("Select [SEARCH_ID], [SEARCH_NAME] from [CUSTOM_SEARCH]", {"Search_ID"}),
              (QStringList{"2", "3"}));
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects WHERE Job_ID=101").toInt(), 1);
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects WHERE Job_ID=999").toInt(), 0);
}

// The search clause the find dialog sends, run by a server over its own tables.
TEST_P(JetCatalogue, SearchClauseOverServerTables) {
    if (onPostgreSql())
        db.executeNative("CREATE TABLE \"job information\" (job_id bigint, name jet_text, "
                         "description jet_text, due_date jet_date);"
                         "CREATE TABLE \"jobs detail\" (jobid bigint, section text);");
    else
        db.executeNative(
            "CREATE TABLE \"Job Information\" (Job_ID INTEGER, Name TEXT COLLATE NOCASE, "
            "Description TEXT COLLATE NOCASE, Due_Date DATETIME);"
            "CREATE TABLE \"Jobs Detail\" (JOBID INTEGER, Section TEXT);");
    db.reloadSchema();
    const char* jobs[][3] = {{"1", "O'BRIEN ROOF", "12/10/2026 2:00:00 PM"},
                             {"2", "ROOF REPAIR", "1/1/1900"},
                             {"3", "ROOF OLD", "11/1/2026"},
                             {"4", "PAVING", "12/31/2026 11:00:00 PM"},
                             {"5", "ROOFING LATE", "1/5/2027"}};
    for (auto& j : jobs)
        db.execute(
            QStringLiteral(
                "INSERT INTO [Job Information] (Job_ID, Name, Due_Date) VALUES (%1,'%2','%3')")
                .arg(j[0], QString(j[1]).replace("'", "''"), j[2]));
    for (const char* d : {"1,07500", "2,07600", "4,02700", "5,07500", "5,09900"})
        db.execute(QStringLiteral("INSERT INTO [Jobs Detail] (JOBID, Section) VALUES (%1')")
                       .arg(QString(d).replace(",", ",'")));

    const QString head = "SELECT Job_ID FROM [Job Information] WHERE ";
    const QString tail =
        " (Due_Date >= '12/8/2026' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY Due_Date";
    EXPECT_EQ(rows(head + " [Job Information].[Name] LIKE '%roof%' AND " + tail, {"Job_ID"}),
              (QStringList{"2", "1", "5"}));
    EXPECT_EQ(rows(head + " [Job Information].[Name] LIKE '%o''brien%' AND " + tail, {"Job_ID"}),
              QStringList{"1"});
    EXPECT_EQ(rows(head +
                       " [Job Information].[Due_Date] BETWEEN '12/1/2026 12:00:00 AM' AND "
                       "'12/31/2026 11:59:59 PM' AND " +
                       tail,
                   {"Job_ID"}),
              (QStringList{"1", "4"}));
    EXPECT_EQ(rows(head + " [Job Information].[Due_Date] <= '12/31/2026 11:59:59 PM' AND " + tail,
                   {"Job_ID"}),
              (QStringList{"2", "1", "4"}));
    EXPECT_EQ(
        rows(head +
                 " [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] "
                 "WHERE [Jobs Detail].[Section] BETWEEN '07000' AND '07999') AND " +
                 tail,
             {"Job_ID"}),
        (QStringList{"2", "1", "5"}));
    EXPECT_EQ(
        rows(head +
                 " [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] "
                 "WHERE (SECTION = '02700' OR SECTION = '09900')) AND " +
                 tail,
             {"Job_ID"}),
        (QStringList{"4", "5"}));
}

TEST_P(JetCatalogue, ErrorsCarryNumberAndDescription) {
    try {
        db.execute("Select * from [Nowhere]");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), errors::CommandError);
        // (PostgreSQL names it as its schema spells it, in lower case.)
        EXPECT_TRUE(e.description().contains("Nowhere", Qt::CaseInsensitive))
            << e.description().toStdString();
    }
    try {
        db.execute("Delete * from [Projects] where [Job_ID] = 101; DROP TABLE Projects");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.description(), "Characters found after end of SQL statement.");
    }
    EXPECT_EQ(scalar("SELECT Count(*) FROM Projects").toInt(), 4);
    EXPECT_THROW(db.execute("Update [Projects] set Notes = 'unterminated where [JOB_ID] = 1"),
                 DbError);

    Recordset rs;
    rs.open("Select * from [Projects] where [JOB_ID] = 101", db);
    EXPECT_EQ(rs.recordCount(), -1);
    try {
        rs.field("NoSuchColumn");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), errors::ItemNotFound);
    }
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    try {
        rs.field("Name");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), errors::NoCurrentRecord);
    }
    rs.close();
    EXPECT_THROW(rs.eof(), DbError);
    // Reopened on another row, as the shared recordset is on every selection.
    rs.open("Select * from [Projects] where [JOB_ID] = 102", db);
    EXPECT_EQ(rs.field("Job_ID").toInt(), 102);
}

BREVANT_ON_BOTH_ENGINES(JetCatalogue);

} // namespace
