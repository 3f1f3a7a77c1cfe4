// The project list against a real Desktop.mdb: the query each filter and sort gives, the rows
// read, the marks, the delete with the cache folders, the notes.
#include "TestStore.h"
#include "base/Settings.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"
#include "store/ProjectList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::store;

namespace {

struct Project {
    int jobId;
    const char* due; // as the service sends it
    const char* name;
    const char* assignment; // nullptr: Null
    int state;              // 0 new, 1 tracked, 2 viewed
};

class ProjectListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("BREVANT_REGISTRY", dir.filePath("registry").toUtf8());
        conn.open(stores.create(dir.filePath("Desktop.mdb")));
    }
    void TearDown() override { qunsetenv("BREVANT_REGISTRY"); }

    void add(const Project& p) {
        conn.execute(QStringLiteral("INSERT INTO Projects (Job_ID, Due_Date, [Name], City) "
                                    "VALUES (%1, '%2', '%3', 'X')")
                         .arg(p.jobId)
                         .arg(QLatin1String(p.due), QLatin1String(p.name)));
        if (p.assignment) {
            conn.execute(QStringLiteral("UPDATE Projects SET Projects.Assignment = '%1' WHERE "
                                        "(((Projects.Job_ID)=%2));")
                             .arg(QLatin1String(p.assignment))
                             .arg(p.jobId));
        }
        if (p.state == 1) {
            conn.execute(
                QStringLiteral("Update [Projects] set [Tracked] = TRUE, [NEW] = FALSE where "
                               "[JOB_ID] = %1")
                    .arg(p.jobId));
        } else if (p.state == 2) {
            conn.execute(
                QStringLiteral("Update [Projects] set [Tracked] = FALSE, [NEW] = FALSE where "
                               "[JOB_ID] = %1")
                    .arg(p.jobId));
        }
    }

    void addSample() {
        add({101, "3/15/2027", "Bravo School", "ann", 0});
        add({102, "1/1/1900", "alpha Library", nullptr, 1});
        add({103, "12/1/2026", "Charlie Bridge", "bob", 2});
        add({104, "6/30/2027 2:00:00 PM", "Delta Fire Station", "", 0});
    }

    static std::vector<int> ids(const LoadResult& r) {
        std::vector<int> out;
        for (const auto& row : r.rows) {
            out.push_back(row.jobId);
        }
        return out;
    }

    long count(const QString& sql) {
        db::Recordset rs;
        rs.open(sql, conn);
        return rs.field(0).toLongLong();
    }

    QTemporaryDir dir;
    teststore::TestStores stores;
    db::Connection conn;
    ui::ScopedScriptedUi ui;
};

TEST_F(ProjectListTest, DefaultOrderIsLatestBidDateFirstWithNoDateSetLast) {
    addSample();
    const SortState sort;
    EXPECT_EQ(sort.caption(), "BID DATE");
    EXPECT_EQ(sort.headerIcon("BID DATE"), 1);
    EXPECT_EQ(sort.headerIcon("TITLE"), 0);
    EXPECT_EQ(projectsQuery(Filter::All, sort),
              "Select * from [projects] Order By [DUE_DATE] DESC");

    const LoadResult r = loadProjects(conn, Filter::All, sort);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(ids(r), (std::vector<int>{104, 101, 103, 102}));
    EXPECT_EQ(r.rows[0].dateText, "06/30/2027");
    EXPECT_EQ(r.rows[0].name, "Delta Fire Station");
    EXPECT_EQ(r.rows[3].dateText, "No Date Set");
    EXPECT_EQ(r.rows[3].assignment, ""); // Null shows empty
    EXPECT_EQ(r.rows[1].assignment, "ann");
    EXPECT_EQ(r.rows[0].icon, IconNew);
    EXPECT_EQ(r.rows[2].icon, IconOpened);
    EXPECT_EQ(r.rows[3].icon, IconTagged);
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST_F(ProjectListTest, HeaderClicksSortTitleAscendingThenDescendingThenBidDateAscending) {
    addSample();
    SortState sort;
    sort.clickHeader("TITLE");
    EXPECT_EQ(sort.headerIcon("TITLE"), 2);
    EXPECT_EQ(sort.headerIcon("BID DATE"), 0);
    EXPECT_EQ(projectsQuery(Filter::All, sort), "Select * from [projects] Order By [NAME] ASC");
    // Names compare without regard to case: "alpha" before "Bravo".
    EXPECT_EQ(ids(loadProjects(conn, Filter::All, sort)), (std::vector<int>{102, 101, 103, 104}));

    sort.clickHeader("TITLE");
    EXPECT_EQ(sort.headerIcon("TITLE"), 1);
    EXPECT_EQ(projectsQuery(Filter::All, sort), "Select * from [projects] Order By [NAME] DESC");
    EXPECT_EQ(ids(loadProjects(conn, Filter::All, sort)), (std::vector<int>{104, 103, 101, 102}));

    sort.clickHeader("BID DATE");
    EXPECT_EQ(sort.headerIcon("BID DATE"), 2);
    EXPECT_EQ(sort.headerIcon("TITLE"), 0);
    EXPECT_EQ(ids(loadProjects(conn, Filter::All, sort)), (std::vector<int>{102, 103, 101, 104}));

    sort.clickHeader("ASSIGN");
    EXPECT_EQ(sort.key(), "ASSIGNMENT");
    EXPECT_EQ(sort.order(), "ASC");
    // An unknown caption changes nothing.
    sort.clickHeader("DOCUMENT");
    EXPECT_EQ(sort.caption(), "ASSIGN");
}

TEST_F(ProjectListTest, FiltersGiveTheirQueriesAndRows) {
    addSample();
    const SortState sort("TITLE", SortAscending);
    EXPECT_EQ(projectsQuery(Filter::New, sort),
              "Select * from [projects] where [New] = true Order By [NAME] ASC");
    EXPECT_EQ(projectsQuery(Filter::Track, sort),
              "Select * from [projects] where [tracked] = true Order By [NAME] ASC");
    EXPECT_EQ(projectsQuery(Filter::View, sort),
              "Select * from [projects] where [new] = False and [Tracked] = False Order By "
              "[NAME] ASC");
    EXPECT_EQ(ids(loadProjects(conn, Filter::New, sort)), (std::vector<int>{101, 104}));
    EXPECT_EQ(ids(loadProjects(conn, Filter::Track, sort)), (std::vector<int>{102}));
    EXPECT_EQ(ids(loadProjects(conn, Filter::View, sort)), (std::vector<int>{103}));
    EXPECT_EQ(filterFromName("track"), Filter::Track);
    EXPECT_EQ(filterFromName("nonsense"), Filter::All);
    EXPECT_EQ(filterName(Filter::View), "VIEW");
}

TEST_F(ProjectListTest, EmptyResultIsNotAnError) {
    const LoadResult r = loadProjects(conn, Filter::Track, SortState());
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST_F(ProjectListTest, QueryFailureShowsErrorLoadingProjects) {
    // On a firm store the program's Projects is a view over the shared table.
    conn.executeNative(conn.dialect() == brevant::db::Dialect::PostgreSql ? "DROP VIEW Projects"
                                                                          : "DROP TABLE Projects");
    const LoadResult r = loadProjects(conn, Filter::All, SortState());
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_TRUE(ui.last().text.startsWith("Error loading projects: "))
        << ui.last().text.toStdString();
    EXPECT_EQ(ui.last().title, "System Error");
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
}

TEST_F(ProjectListTest, MarkTaggedUnderNewFilterChangesStateAndIconButNotTheLoadedRows) {
    addSample();
    const LoadResult before = loadProjects(conn, Filter::New, SortState());
    ASSERT_EQ(ids(before), (std::vector<int>{104, 101}));

    std::vector<std::pair<int, int>> done;
    const int n = markTagged(conn, {101}, [&](int id, int icon) { done.push_back({id, icon}); });
    EXPECT_EQ(n, 1);
    EXPECT_EQ(done, (std::vector<std::pair<int, int>>{{101, IconTagged}}));
    EXPECT_EQ(currentStateIcon(conn, 101), IconTagged);
    EXPECT_EQ(currentStateIcon(conn, 104), IconNew);
    // The next reload under the same filter no longer holds it.
    EXPECT_EQ(ids(loadProjects(conn, Filter::New, SortState())), (std::vector<int>{104}));
    EXPECT_EQ(ids(loadProjects(conn, Filter::Track, SortState())), (std::vector<int>{101, 102}));

    done.clear();
    markOpened(conn, {101, 102}, [&](int id, int icon) { done.push_back({id, icon}); });
    EXPECT_EQ(done, (std::vector<std::pair<int, int>>{{101, IconOpened}, {102, IconOpened}}));
    EXPECT_EQ(ids(loadProjects(conn, Filter::View, SortState())),
              (std::vector<int>{101, 103, 102}));
    EXPECT_EQ(currentStateIcon(conn, 999), std::nullopt);
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST_F(ProjectListTest, NotesKeepApostrophesAndBarsAndNeedASelectedProject) {
    addSample();
    db::Recordset shared;
    EXPECT_EQ(selectedJobId(shared), std::nullopt);
    EXPECT_FALSE(saveNotes(conn, selectedJobId(shared), "ignored"));
    EXPECT_TRUE(ui.shown().isEmpty());

    selectProject(conn, shared, 103);
    ASSERT_EQ(selectedJobId(shared), 103);
    const QString notes = QStringLiteral("Call O'Brien's office | ask for 'plans'\nline two");
    EXPECT_EQ(saveNotesSql(103, "it's"),
              "Update [Projects] Set Notes = 'it''s' where [JOB_ID] = 103");
    ASSERT_TRUE(saveNotes(conn, selectedJobId(shared), notes));
    selectProject(conn, shared, 103);
    EXPECT_EQ(shared.field("Notes").toString(), notes);
    EXPECT_TRUE(ui.shown().isEmpty());

    // Another failure is reported with the "try again" tail. (On a firm store the program's
    // Projects is a view over the shared table.)
    conn.executeNative(conn.dialect() == brevant::db::Dialect::PostgreSql ? "DROP VIEW Projects"
                                                                          : "DROP TABLE Projects");
    EXPECT_FALSE(saveNotes(conn, 103, "x"));
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_TRUE(ui.last().text.endsWith(" - Please try again later ..."))
        << ui.last().text.toStdString();
    EXPECT_EQ(ui.last().title, "System Error");
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
}

class ProjectDeleteTest : public ProjectListTest {
protected:
    void addChildren(int id) {
        const QString n = QString::number(id);
        conn.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + n +
                     ", 'PLAN001', 'Site', 10)");
        conn.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + n +
                     ", '01000', 'Gen')");
        conn.execute("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, "
                     "Address1, Address2, City, [State], Zip, [Type]) VALUES (" +
                     n + ", 'Acme', 'Al', '1', '', '', '', '', '', '', '', 'B')");
        conn.execute("INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) "
                     "VALUES (" +
                     n + ", 'quote.doc', '/x', 'Quote', 'doc', '1/2/2027')");
        conn.execute("INSERT INTO Updates ( JobID, [Update], Added ) Values (" + n +
                     ", 'BID DATE CHANGED', '1/2/2027')");
        conn.execute("INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], "
                     "[Awarded], [Fax], [Extension], [Email]) VALUES (" +
                     n + ", 'Acme', 'Al', '1', '', 100, 0, 0, 0, '')");
    }

    long rowsOf(int id) {
        const QString n = QString::number(id);
        return count("Select Count(*) from [Projects] where [Job_ID] = " + n) +
               count("Select Count(*) from [Contacts] where [Job_ID] = " + n) +
               count("Select Count(*) from [Plans] where [JobID] = " + n) +
               count("Select Count(*) from [Specs] where [JobID] = " + n) +
               count("Select Count(*) from [Attachments] where [JobID] = " + n) +
               count("Select Count(*) from [Updates] where [JobID] = " + n) +
               count("Select Count(*) from [Awards] where [JobID] = " + n);
    }

    static void touch(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    QString cache() const { return dir.filePath("cache"); }

    DeleteHooks recordingHooks() {
        DeleteHooks h;
        h.setStatusText = [this](const QString& t) { events << "status:" + t; };
        h.showWait = [this] { events << "wait"; };
        h.closeWait = [this] { events << "closeWait"; };
        h.reload = [this] { events << "reload"; };
        return h;
    }

    QStringList events;
};

TEST_F(ProjectDeleteTest, DeletesRowsOfEveryTableAndTheWholeCacheFolder) {
    addSample();
    addChildren(101);
    addChildren(103);
    touch(cache() + "/101/PLANS/PLAN001");
    touch(cache() + "/101/plans/PLAN.SVD");
    touch(cache() + "/101/Specs/01000.SVD");
    touch(cache() + "/101/quote.doc");
    touch(cache() + "/101/extra/deeper/note.txt");
    touch(cache() + "/103/PLANS/PLAN001");
    ASSERT_EQ(rowsOf(101), 7);

    ui.answerMessage(ui::Answer::Yes);
    EXPECT_TRUE(deleteProjects(conn, cache(), {101}, recordingHooks()));

    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "Are you sure want to delete the selected record(s)?");
    EXPECT_EQ(ui.last().title, "System Prompt");
    EXPECT_EQ(ui.last().icon, ui::Icon::Question);
    EXPECT_EQ(ui.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(events, (QStringList{"status:Deleting Projects - Please Wait ...", "wait", "reload",
                                   "closeWait", "status:"}));

    EXPECT_EQ(rowsOf(101), 0);
    EXPECT_FALSE(QFileInfo::exists(cache() + "/101"));
    // Another project keeps its rows and its documents.
    EXPECT_EQ(rowsOf(103), 7);
    EXPECT_TRUE(QFileInfo::exists(cache() + "/103/PLANS/PLAN001"));
    EXPECT_EQ(ids(loadProjects(conn, Filter::All, SortState())), (std::vector<int>{104, 103, 102}));
}

TEST_F(ProjectDeleteTest, NothingCheckedOrAnswerNoChangesNothing) {
    addSample();
    addChildren(101);
    touch(cache() + "/101/quote.doc");

    EXPECT_FALSE(deleteProjects(conn, cache(), {}, recordingHooks()));
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "No projects selected for deletion ...");
    EXPECT_EQ(ui.last().title, "System Message");
    EXPECT_EQ(ui.last().icon, ui::Icon::Information);
    EXPECT_FALSE(events.contains("reload"));

    ui.answerMessage(ui::Answer::No);
    events.clear();
    EXPECT_FALSE(deleteProjects(conn, cache(), {101}, recordingHooks()));
    EXPECT_EQ(ui.shown().size(), 2);
    EXPECT_EQ(events, (QStringList{"status:Deleting Projects - Please Wait ...", "wait",
                                   "status:", "closeWait"}));
    EXPECT_EQ(rowsOf(101), 7);
    EXPECT_TRUE(QFileInfo::exists(cache() + "/101/quote.doc"));
}

TEST_F(ProjectDeleteTest, ProjectWithoutCacheFolderAndEmptyCacheRoot) {
    addSample();
    ui.answerMessage(ui::Answer::Yes);
    EXPECT_TRUE(deleteProjects(conn, cache(), {102, 104}));
    EXPECT_EQ(rowsOf(102) + rowsOf(104), 0);
    // With no cache root nothing outside it can be touched.
    EXPECT_FALSE(removeProjectCache(QString(), 101));
    touch(cache() + "/55/a");
    EXPECT_TRUE(removeProjectCache(cache(), 55));
    EXPECT_TRUE(QFileInfo::exists(cache()));
}

TEST(ProjectListColumns, TableWidthsAndStoredWidthsByCaption) {
    QTemporaryDir dir;
    qputenv("BREVANT_REGISTRY", dir.filePath("registry").toUtf8());
    const auto lv1 = columnsOf("ListView1");
    ASSERT_EQ(lv1.size(), 3u);
    EXPECT_EQ(lv1[0].caption, "BID DATE");
    EXPECT_EQ(lv1[1].builtInWidth, 5000);
    EXPECT_EQ(listColumns().size(), 11u);
    EXPECT_EQ(columnsOf("ListView5")[1].caption, "DESCRIPTION");

    EXPECT_EQ(columnWidth(lv1[1]), 5000);
    WriteSetting("TITLE", "4321");
    WriteSetting("BID DATE", "wide");
    EXPECT_EQ(columnWidth(lv1[1]), 4321);
    EXPECT_EQ(columnWidth(lv1[0]), 1750);
    EXPECT_EQ(attachListViewMode(), 3);
    WriteSetting("ATTACHLIST", "1");
    EXPECT_EQ(attachListViewMode(), 1);
    EXPECT_EQ(twipsToPixels(1440, 96), 96);
    EXPECT_EQ(pixelsToTwips(twipsToPixels(1750)), 1755); // 117 px back
    qunsetenv("BREVANT_REGISTRY");
}

TEST(ProjectListDates, BidDateTexts) {
    EXPECT_EQ(bidDateText(QString("2027-03-05 00:00:00")), "03/05/2027");
    EXPECT_EQ(bidDateText(QString("3/5/2027 10:00:00 AM")), "03/05/2027");
    EXPECT_EQ(bidDateText(QString("1900-01-01 00:00:00")), "No Date Set");
    EXPECT_EQ(bidDateText(QString("12/31/1900")), "No Date Set");
    EXPECT_EQ(bidDateText(QString()), "");
    EXPECT_EQ(bidDateText(QString("TBA")), "TBA");
    EXPECT_EQ(bidDateText(QVariant(QDateTime(QDate(1900, 6, 1), QTime()))), "No Date Set");
    EXPECT_EQ(bidDateText(QVariant()), "");
    EXPECT_EQ(changedBidDateText("7/4/2027"), "07/04/2027");
    EXPECT_EQ(changedBidDateText("1/1/1900"), "No Date Set");
}

TEST_F(ProjectListTest, CountsForTheStatistics) {
    addSample();
    const ProjectCounts c = countProjects(conn);
    EXPECT_EQ(c.fresh, 2);
    EXPECT_EQ(c.tracked, 1);
    EXPECT_EQ(c.viewed, 1);
    EXPECT_EQ(c.total, 4);
}

} // namespace
