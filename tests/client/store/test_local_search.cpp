// The local full-text search against a real Desktop.mdb and a real PostgreSQL store: what it
// finds, that the triggers keep it current as projects come and go, that it is built for a
// database that predates it, and that whatever the user types is searched as text.
#include "DbFixture.h"
#include "platform/db/NativeQuery.h"
#include "platform/db/Transaction.h"
#include "platform/ui/ScriptedUi.h"
#include "store/LocalSearch.h"
#include "store/ProjectDelete.h"

#include <QDate>
#include <algorithm>

using namespace brevant;
using namespace brevant::store;

namespace {

class LocalSearchTest : public BothEngines {
protected:
    void project(int id, const QString& name, const QString& notes = QString(),
                 const QString& due = QStringLiteral("5/1/2027")) {
        conn.execute(QStringLiteral("INSERT INTO Projects (Job_ID, Due_Date, [Name], City, Notes) "
                                    "VALUES (%1, '%2', '%3', 'Springfield', '%4')")
                         .arg(id)
                         .arg(due, name, notes));
    }
    void sampleChildren() {
        conn.execute("INSERT INTO Contacts (Job_ID, [Name], Contact, Type) VALUES "
                     "(2, 'Kessler Mechanical', 'Dana Ortiz', 'MC')");
        conn.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES "
                     "(1, '08710', 'Door Hardware')");
        conn.execute("INSERT INTO Attachments (JobID, FileName, Path, Description) VALUES "
                     "(3, 'walk.jpg', '/x/walk.jpg', 'site walk photos from tuesday')");
        conn.execute("INSERT INTO Awards (JobID, [Name], Contact, Comment) VALUES "
                     "(1, 'Granite Builders', 'Lee', 'apparent low')");
    }

    std::vector<int> find(const QString& typed) {
        auto ids = searchJobIds(conn, typed);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    db::Connection& conn = db;
    ui::ScopedScriptedUi ui;
};

using Ids = std::vector<int>;

TEST_P(LocalSearchTest, FindsNotesContactsSpecsAwardsAndAttachmentDescriptions) {
    ensureSearchIndex(conn);
    project(1, "Elm Street School", "bid bond 10% - call Joe");
    project(2, "City Hall Annex");
    project(3, "Fire Station 4");
    sampleChildren();
    EXPECT_EQ(find("joe"), Ids({1}));          // a note
    EXPECT_EQ(find("ortiz"), Ids({2}));        // a contact person
    EXPECT_EQ(find("kessler mech"), Ids({2})); // a contact firm, prefixes while typing
    EXPECT_EQ(find("tuesday"), Ids({3}));      // an attachment description
    EXPECT_EQ(find("hardware"), Ids({1}));     // a specification section
    EXPECT_EQ(find("granite"), Ids({1}));      // an award
    EXPECT_EQ(find("springfield"), Ids({1, 2, 3}));
    EXPECT_EQ(find("springfield station"), Ids({3})); // every word must match
    EXPECT_TRUE(find("nowhere").empty());
}

TEST_P(LocalSearchTest, TriggersKeepTheIndexCurrentThroughInsertsUpdatesAndTheDeleteCascade) {
    ensureSearchIndex(conn);
    project(1, "Elm Street School");
    project(2, "Oak Library");
    sampleChildren();
    EXPECT_EQ(find("hardware"), Ids({1}));
    conn.execute("Update [Projects] Set Notes = 'asbestos abatement' where [JOB_ID] = 2");
    EXPECT_EQ(find("asbestos"), Ids({2}));
    conn.execute("Update [Projects] Set Notes = 'roofing only' where [JOB_ID] = 2");
    EXPECT_TRUE(find("asbestos").empty());
    EXPECT_EQ(find("roofing"), Ids({2}));
    // Flags changing must not disturb the row either.
    conn.execute("Update [Projects] set [Tracked] = TRUE, [NEW] = FALSE where [JOB_ID] = 2");
    EXPECT_EQ(find("roofing"), Ids({2}));

    DeleteProjectRecords(conn, 1);
    EXPECT_TRUE(find("hardware").empty());
    EXPECT_TRUE(find("granite").empty());
    EXPECT_TRUE(find("elm").empty());
    // Nothing of the deleted project is left in the index.
    EXPECT_EQ(db::queryNative(conn, "SELECT count(*) FROM Project_Search")[0][0].toInt(),
              3); // project 2, project 3's attachment and project 2's contact
}

TEST_P(LocalSearchTest, ExistingDatabaseIsIndexedOnFirstStartAndRepairedWhenOutOfStep) {
    project(1, "Elm Street School", "call Joe");
    project(2, "City Hall Annex");
    sampleChildren();
    ASSERT_FALSE(db::tableExists(conn, "Project_Search"));
    ensureSearchIndex(conn);
    EXPECT_EQ(find("joe"), Ids({1}));
    EXPECT_EQ(find("ortiz"), Ids({2}));

    // Rows written while the triggers were missing (an older program) are caught up.
    conn.executeNative(onPostgreSql() ? "DROP TRIGGER project_search_projects ON projects_shared"
                                      : "DROP TRIGGER Project_Search_Projects_ai;");
    project(5, "Harbor Pier");
    EXPECT_TRUE(find("harbor").empty());
    ensureSearchIndex(conn);
    EXPECT_EQ(find("harbor"), Ids({5}));
    project(6, "Harbor Master Office"); // and the trigger is back
    EXPECT_EQ(find("harbor"), Ids({5, 6}));
}

TEST_P(LocalSearchTest, WhatTheUserTypesIsSearchedAsTextNeverAsQuerySyntax) {
    ensureSearchIndex(conn);
    project(1, "O''Brien Hall", "re-roof; NEAR the river");
    project(2, "Mill Street");
    for (const QString& typed :
         {QStringLiteral("\""), QStringLiteral("\"\"\""), QStringLiteral("o'brien"),
          QStringLiteral("re-roof"), QStringLiteral("NEAR("), QStringLiteral("AND"),
          QStringLiteral("OR mill"), QStringLiteral("NOT"), QStringLiteral("*"),
          QStringLiteral("^mill"), QStringLiteral("body:mill"), QStringLiteral("(mill"),
          QStringLiteral("-"), QStringLiteral("mill)"), QStringLiteral("{job}")}) {
        EXPECT_NO_THROW(searchJobIds(conn, typed)) << qPrintable(typed);
    }
    EXPECT_EQ(find("o'brien"), Ids({1}));
    EXPECT_EQ(find("re-roof"), Ids({1}));
    EXPECT_EQ(find("NEAR"), Ids({1}));
    EXPECT_EQ(find("^mill"), Ids({2}));
    EXPECT_TRUE(find("OR mill").empty()); // "or" is a word to find, not an operator
    EXPECT_TRUE(find("\"").empty());
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST_P(LocalSearchTest, ProjectRowsComeInTheListsSortOrder) {
    ensureSearchIndex(conn);
    project(1, "Bravo Pool", "", "3/15/2027");
    project(2, "Alpha Pool", "", "1/1/1900");
    project(3, "Charlie Pool", "", "12/1/2026 2:00:00 PM");
    project(4, "Delta Office", "", "6/1/2027");
    const LoadResult byDate = searchProjects(conn, "pool", SortState());
    ASSERT_TRUE(byDate.ok);
    std::vector<int> ids;
    for (const auto& r : byDate.rows)
        ids.push_back(r.jobId);
    EXPECT_EQ(ids, Ids({1, 3, 2})); // latest bid date first, "No Date Set" last
    EXPECT_EQ(byDate.rows[2].dateText, "No Date Set");
    EXPECT_EQ(byDate.rows[1].dateText, "12/01/2026");
    EXPECT_EQ(byDate.rows[0].icon, IconNew);

    SortState byTitle;
    byTitle.clickHeader("TITLE");
    ids.clear();
    for (const auto& r : searchProjects(conn, "pool", byTitle).rows)
        ids.push_back(r.jobId);
    EXPECT_EQ(ids, Ids({2, 1, 3}));
}

TEST_P(LocalSearchTest, ManyMatchesComeInTheListsOrderToo) {
    ensureSearchIndex(conn);
    const int many = int(kSearchKeysPerQuery) + 1;
    {
        db::Transaction t(conn);
        for (int id = 1; id <= many; ++id)
            project(id, QStringLiteral("Pool %1").arg(id), id % 2 ? "odd" : "even",
                    QDate(2027, 1, 1).addDays((id * 7) % many).toString("M/d/yyyy"));
        t.commit();
    }
    for (const SortState& sort : {SortState(), SortState("TITLE", SortAscending)}) {
        std::vector<int> listed, odd;
        for (const auto& r : loadProjects(conn, Filter::All, sort).rows) {
            listed.push_back(r.jobId);
            if (r.jobId % 2)
                odd.push_back(r.jobId);
        }
        std::vector<int> found, foundOdd;
        for (const auto& r : searchProjects(conn, "pool", sort).rows)
            found.push_back(r.jobId);
        for (const auto& r : searchProjects(conn, "pool odd", sort).rows)
            foundOdd.push_back(r.jobId);
        ASSERT_EQ(listed.size(), size_t(many));
        EXPECT_EQ(found, listed); // more than one query takes: picked from the list
        EXPECT_EQ(foundOdd, odd); // read by their keys
    }
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST(SearchWords, PiecesBetweenBlanksWithALetterOrDigit) {
    EXPECT_EQ(searchWords("  elm   sch "), QStringList({"elm", "sch"}));
    EXPECT_EQ(searchWords(" - * "), QStringList());
    EXPECT_EQ(searchWords("a-b  ,  c"), QStringList({"a-b", "c"}));
}

BREVANT_ON_BOTH_ENGINES(LocalSearchTest);

} // namespace
