// Search clauses built by hand exactly as the client writes them, one per criterion, checked
// against the catalogue made in this process from the same seed; and the read-only connection
// refusing everything that is not a plain SELECT of the two search tables.
#include "ServiceHarness.h"

#include "service/catalogue/CatalogueGenerator.h"

#include <QDomDocument>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>

using namespace brevant::service;
using namespace brevant::service::test;

namespace {

QVector<Project> catalogue() {
    QVector<Project> all;
    for (int i = 0; i < TestProjects; ++i)
        all.push_back(generateProject(TestSeed, i, testToday()));
    return all;
}

// The tail every clause ends with: bid date today or later, or not set.
const QString Tail = " (Due_Date >= '3/1/2027' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY "
                     "Due_Date";

bool openForBids(const Project& p) {
    return !p.hasBidDate() || p.dueDate.date() >= testToday();
}

class SearchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service = new ServiceProcess;
        ASSERT_TRUE(service->started()) << service->errorText().toStdString();
        projects = new QVector<Project>(catalogue());
    }
    static void TearDownTestSuite() {
        delete service;
        delete projects;
    }

    // Sends "WHERE " + fragments + Tail and returns the projects of the reply, in order.
    static QVector<int> search(const QString& fragments, QDomDocument* docOut = nullptr) {
        Received r = exchange(service->port, frame(1, "WHERE " + fragments + Tail));
        EXPECT_TRUE(r.terminated);
        EXPECT_FALSE(r.body().startsWith("+NOOK+")) << r.body().constData();
        QDomDocument doc;
        EXPECT_TRUE(bool(doc.setContent(r.body()))) << r.body().left(200).constData();
        QVector<int> ids;
        for (QDomElement job = doc.documentElement().firstChildElement("Job"); !job.isNull();
             job = job.nextSiblingElement("Job"))
            ids << job.firstChildElement().firstChildElement("Job_ID").text().toInt();
        if (docOut)
            *docOut = doc;
        return ids;
    }

    static QSet<int> expected(const std::function<bool(const Project&)>& match) {
        QSet<int> ids;
        for (const Project& p : *projects) {
            if (openForBids(p) && match(p))
                ids.insert(p.jobId);
        }
        return ids;
    }

    static void expectSearch(const QString& fragments,
                             const std::function<bool(const Project&)>& match) {
        const QVector<int> got = search(fragments);
        const QSet<int> want = expected(match);
        // A criterion that finds nothing would not tell a right answer from a wrong one.
        EXPECT_FALSE(want.isEmpty()) << "nothing to find for " << fragments.toStdString();
        EXPECT_LT(want.size(), expected([](const Project&) { return true; }).size())
            << "everything found for " << fragments.toStdString();
        EXPECT_EQ(QSet<int>(got.begin(), got.end()), want) << fragments.toStdString();
        EXPECT_EQ(got.size(), want.size()) << "duplicates in the reply";
        // Ordered by bid date, unset dates (1900) first.
        for (int i = 1; i < got.size(); ++i) {
            const Project* a = nullptr;
            const Project* b = nullptr;
            for (const Project& p : *projects) {
                if (p.jobId == got[i - 1])
                    a = &p;
                if (p.jobId == got[i])
                    b = &p;
            }
            ASSERT_TRUE(a && b);
            EXPECT_LE(a->dueDate, b->dueDate) << got[i - 1] << " before " << got[i];
        }
    }

    static bool hasSection(const Project& p, const std::function<bool(const QString&)>& test) {
        // The search table holds CSI sections only, not TOC entries or addenda.
        return std::any_of(p.specs.begin(), p.specs.end(), [&](const SpecEntry& s) {
            return !s.section.startsWith("TOC") && !s.section.startsWith("ADD") && test(s.section);
        });
    }

    static inline ServiceProcess* service = nullptr;
    static inline QVector<Project>* projects = nullptr;
};

TEST_F(SearchTest, NameAndScopeWordsMatchWithoutRegardToCase) {
    expectSearch(" [Job Information].[Name] LIKE '%school%' AND ",
                 [](const Project& p) { return p.name.contains("school", Qt::CaseInsensitive); });
    expectSearch(" [Job Information].[Description] LIKE '%PHASING%' AND ", [](const Project& p) {
        return p.description.contains("phasing", Qt::CaseInsensitive);
    });
    expectSearch(" [Job Information].[Name] LIKE '%center%' AND  [Job Information].[Description] "
                 "LIKE '%prevailing%' AND ",
                 [](const Project& p) {
                     return p.name.contains("center", Qt::CaseInsensitive) &&
                            p.description.contains("prevailing", Qt::CaseInsensitive);
                 });
    // A doubled quote inside the pattern is one quote of the name.
    expectSearch(" [Job Information].[Name] LIKE '%''%' AND ",
                 [](const Project& p) { return p.name.contains("'"); });
}

TEST_F(SearchTest, BidDateRangesCompareAsDates) {
    // Across a month boundary and a year's text order ("10/..." sorts before "3/..." as text).
    expectSearch(" [Job Information].[Due_Date] BETWEEN '3/15/2027 12:00:00 AM' AND '5/2/2027 "
                 "11:59:59 PM' AND ",
                 [](const Project& p) {
                     return p.dueDate.date() >= QDate(2027, 3, 15) &&
                            p.dueDate.date() <= QDate(2027, 5, 2);
                 });
    expectSearch(" [Job Information].[Due_Date] >= '6/1/2027 12:00:00 AM' AND ",
                 [](const Project& p) { return p.dueDate.date() >= QDate(2027, 6, 1); });
    expectSearch(" [Job Information].[Due_Date] <= '4/10/2027 11:59:59 PM' AND ",
                 [](const Project& p) { return p.dueDate.date() <= QDate(2027, 4, 10); });
}

TEST_F(SearchTest, TodayFilterKeepsUnsetDatesAndDropsPastOnes) {
    const QVector<int> got = search(" [Job Information].[Name] LIKE '%%' AND ");
    const QSet<int> want = expected([](const Project&) { return true; });
    EXPECT_EQ(QSet<int>(got.begin(), got.end()), want);
    int unset = 0;
    for (const Project& p : *projects)
        unset += p.hasBidDate() ? 0 : 1;
    ASSERT_GT(unset, 0) << "the test catalogue should hold projects without a bid date";
    ASSERT_LT(want.size(), TestProjects) << "the test catalogue should hold past projects";
}

TEST_F(SearchTest, SectionRangeAndListSelectProjectsBySpecification) {
    expectSearch(" [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] "
                 "WHERE [Jobs Detail].[Section] BETWEEN '09000' AND '09999') AND ",
                 [&](const Project& p) {
                     return hasSection(
                         p, [](const QString& s) { return s >= "09000" && s <= "09999"; });
                 });
    expectSearch(" [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] "
                 "WHERE [Jobs Detail].[Section] >= '16000') AND ",
                 [&](const Project& p) {
                     return hasSection(p, [](const QString& s) { return s >= "16000"; });
                 });
    expectSearch(" [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] "
                 "WHERE [Jobs Detail].[Section] <= '01999') AND ",
                 [&](const Project& p) {
                     return hasSection(p, [](const QString& s) { return s <= "01999"; });
                 });
    expectSearch(" [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM [Jobs Detail] "
                 "WHERE (SECTION = '03300' OR SECTION = '15400')) AND ",
                 [&](const Project& p) {
                     return hasSection(
                         p, [](const QString& s) { return s == "03300" || s == "15400"; });
                 });
}

TEST_F(SearchTest, ResultsCarryTheFieldsTheSearchDialogReads) {
    QDomDocument doc;
    const QVector<int> ids = search(" [Job Information].[Name] LIKE '%a%' AND ", &doc);
    ASSERT_FALSE(ids.isEmpty());
    const QDomElement job = doc.documentElement().firstChildElement("Job");
    const QDomElement fields = job.firstChildElement();
    const Project* p = nullptr;
    for (const Project& each : *projects) {
        if (each.jobId == ids.first())
            p = &each;
    }
    ASSERT_TRUE(p);
    EXPECT_EQ(fields.firstChildElement("Name").text(), p->name);
    EXPECT_EQ(fields.firstChildElement("City").text(), p->city);
    EXPECT_EQ(fields.firstChildElement("State").text(), p->state);
    const QString due = fields.firstChildElement("Due_Date").text();
    EXPECT_TRUE(due == "1/1/1900 12:00:00 AM" ||
                QDateTime::fromString(due, "M/d/yyyy h:mm:ss AP") == p->dueDate)
        << due.toStdString();
    // Every child of the root is an element: no white space between them.
    for (QDomNode n = doc.documentElement().firstChild(); !n.isNull(); n = n.nextSibling())
        EXPECT_TRUE(n.isElement());
}

TEST_F(SearchTest, NothingFoundIsADocumentWithoutJobs) {
    QDomDocument doc;
    EXPECT_TRUE(
        search(" [Job Information].[Name] LIKE '%no such project anywhere%' AND ", &doc).isEmpty());
    EXPECT_TRUE(doc.documentElement().firstChildElement("Job").isNull());
}

TEST_F(SearchTest, AuthorizerRefusesAnythingButReadingTheSearchTables) {
    const QStringList hostile = {
        "WHERE 1=1; DELETE FROM [Job Information]",
        "WHERE 1=1; DELETE FROM [Job Information];",
        "WHERE Job_ID IN (SELECT 1); ATTACH DATABASE '/tmp/brevant-evil.db' AS evil",
        "WHERE 1=1; UPDATE [Job Information] SET Name = 'x'",
        "WHERE Job_ID IN (SELECT JobID FROM Generations)",
        "WHERE Job_ID IN (SELECT 1 FROM sqlite_master)",
        "WHERE 1=1; INSERT INTO [Jobs Detail] VALUES (1, '1', '1')",
        "WHERE Job_ID = 1 UNION SELECT Value FROM Meta",
        "WHERE Job_ID IN (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) "
        "SELECT x FROM c)",
        "WHERE 1=1 ORDER BY Due_Date; DROP TABLE [Job Information]",
        "WHERE load_extension('/tmp/x.so') = 1",
        "WHERE length(randomblob(1500000000)) > 0",
        "WHERE length(zeroblob(900000000)) > 0",
        "WHERE length(printf('%.*c', 900000000, 'x')) > 0",
        "WHERE replace(hex(zeroblob(30000)), '0', 'a') LIKE '" + QString("%a").repeated(2000) +
            "b'",
        "WHERE (SELECT count(*) FROM [Jobs Detail] a, [Jobs Detail] b, [Jobs Detail] c, "
        "[Jobs Detail] d) > 0",
    };
    for (const QString& clause : hostile) {
        Received r = exchange(service->port, frame(1, clause), 20000);
        EXPECT_TRUE(r.body().startsWith("+NOOK+Invalid search criteria"))
            << clause.toStdString() << " -> " << r.body().left(80).constData();
    }
    EXPECT_FALSE(QFile::exists("/tmp/brevant-evil.db"));
    // The tables are untouched and a good search still answers.
    const QVector<int> all = search(" [Job Information].[Name] LIKE '%%' AND ");
    EXPECT_EQ(QSet<int>(all.begin(), all.end()), expected([](const Project&) { return true; }));
}

} // namespace
