// Two estimators on one PostgreSQL store at once: two imports of the same listing and two
// merges of the same update, each on its own connection and thread, started together. Each
// project's rows must come out as one import (or one merge followed by a merge that finds
// nothing new) leaves them.
#include "PgScratch.h"
#include "UpdateFixture.h"
#include "server/ListingImport.h"

#include <QDateTime>
#include <algorithm>
#include <latch>
#include <thread>

namespace brevant::server {
namespace {

using test::contact;
using test::jobXml;
using test::plan;
using test::projectFields;
using test::spec;
using test::updateDocument;

// A firm's thousand projects where the build runs at full speed; the sanitizers' build takes a
// sample (its merges of a thousand would take minutes), enough for the two to meet many times.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kProjects = 80;
#else
constexpr int kProjects = 1000;
#endif
constexpr int kFirstJob = 500001;

QByteArray listing() {
    QByteArray jobs;
    for (int i = 0; i < kProjects; ++i)
        jobs += QStringLiteral("<Job><Project><Job_ID>%1</Job_ID><Name>Shared %1</Name>"
                               "<Due_Date>3/1/2027 2:00:00 PM</Due_Date></Project>"
                               "<Specs><Spec Name=\"03300\" Description=\"CONCRETE\"/></Specs>"
                               "<Plans/><Contacts/></Job>")
                    .arg(kFirstJob + i)
                    .toUtf8();
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>" + jobs + "</Jobs>";
}

QByteArray update() {
    QStringList jobs;
    for (int i = 0; i < kProjects; ++i) {
        const int id = kFirstJob + i;
        test::JobXml j;
        j.idAttribute = QString::number(id);
        j.project = projectFields(id, {{"Due_Date", "4/2/2027 2:00:00 PM"}});
        j.specs = {spec("03300", "CONCRETE"), spec("09900", "PAINTING"), spec("07500", "ROOFING")};
        j.plans = {plan("A1.TIF", "FLOOR PLAN", "1200"), plan("A2.TIF", "ROOF PLAN", "900")};
        j.contacts = {contact("acme general", "GC")};
        jobs << jobXml(j);
    }
    return updateDocument(jobs);
}

// Every row of the tables a merge or an import writes, as text, sorted; the history's own
// numbers are left out (two merges may take them in another order).
QStringList storeRows(db::Connection& c) {
    QStringList out;
    for (const QString table :
         {"Projects", "Specs", "Plans", "Contacts", "Awards", "Updates", "Change_History"}) {
        db::Recordset rs;
        rs.open("Select * from [" + table + "]", c);
        while (!rs.eof()) {
            QStringList row{table};
            for (int f = 0; f < rs.fieldCount(); ++f) {
                if (rs.fieldName(f).compare("Change_ID", Qt::CaseInsensitive) == 0)
                    continue;
                row << (rs.field(f).isNull() ? QStringLiteral("<null>") : rs.field(f).toString());
            }
            out << row.join('|');
            rs.moveNext();
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The first row one side has and the other lacks, rather than both lists in full.
void expectSameRows(const QStringList& got, const QStringList& want) {
    EXPECT_EQ(got.size(), want.size());
    for (const QString& row : got)
        if (!want.contains(row)) {
            ADD_FAILURE() << "extra row: " << row.toStdString();
            return;
        }
    for (const QString& row : want)
        if (!got.contains(row)) {
            ADD_FAILURE() << "missing row: " << row.toStdString();
            return;
        }
}

// Runs work(connection) on two connections of the store at once.
template <typename Work> void together(const QString& locator, Work work) {
    db::Connection first, second;
    first.open(locator);
    second.open(locator);
    std::latch start(2);
    auto run = [&](db::Connection& c) {
        start.arrive_and_wait();
        work(c);
    };
    std::thread a(run, std::ref(first));
    std::thread b(run, std::ref(second));
    a.join();
    b.join();
}

class SharedStore : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (!shared.create(&why) || !reference.create(&why))
            GTEST_SKIP() << why.toStdString();
    }
    MergeSummary merge(db::Connection& c, const QByteArray& xml) {
        const ReadResult r = readProjectDocument(xml);
        EXPECT_TRUE(r.document.has_value());
        return r.document ? mergeUpdateDocument(c, *r.document, now, {}) : MergeSummary{};
    }

    pgtest::ScratchSchema shared, reference;
    const QDateTime now{QDate(2027, 1, 4), QTime(9, 30)};
};

TEST_F(SharedStore, TwoImportersOfOneListingStoreEachProjectOnce) {
    const QByteArray xml = listing();
    ImportOutcome outcomes[2];
    std::atomic<int> next{0};
    together(shared.locator(),
             [&](db::Connection& c) { outcomes[next++] = ImportListingData(xml, c); });
    EXPECT_EQ(outcomes[0].imported + outcomes[1].imported, kProjects);
    // The loser of each race names the project as already stored, not a key error.
    QStringList skipped = outcomes[0].skipped + outcomes[1].skipped;
    EXPECT_EQ(skipped.size(), kProjects);
    for (const QString& line : skipped)
        EXPECT_TRUE(line.endsWith(" - already in the local database")) << line.toStdString();

    db::Connection c;
    c.open(shared.locator());
    db::Connection once;
    once.open(reference.locator());
    ImportListingData(xml, once);
    expectSameRows(storeRows(c), storeRows(once));
}

TEST_F(SharedStore, TwoMergesOfTheSameUpdateEqualOneMergeThenAMergeThatFindsNothing) {
    const QByteArray xml = update();
    {
        db::Connection c, r;
        c.open(shared.locator());
        r.open(reference.locator());
        ASSERT_EQ(ImportListingData(listing(), c).imported, kProjects);
        ASSERT_EQ(ImportListingData(listing(), r).imported, kProjects);
        merge(r, xml);
        const MergeSummary again = merge(r, xml);
        ASSERT_EQ(again.merged.size(), size_t(kProjects));
        for (const ProjectMergeOutcome& o : again.merged)
            ASSERT_TRUE(o.logged.isEmpty()) << o.jobId;
    }
    // One estimator's document lists the projects the other way round: the two meet in the
    // middle instead of one trailing the other.
    const ReadResult forward = readProjectDocument(xml);
    ASSERT_TRUE(forward.document.has_value());
    ProjectDocument backward = *forward.document;
    std::reverse(backward.projects.begin(), backward.projects.end());
    std::atomic<int> merged{0}, next{0};
    together(shared.locator(), [&](db::Connection& c) {
        const MergeSummary s =
            mergeUpdateDocument(c, next++ == 0 ? *forward.document : backward, now, {});
        EXPECT_TRUE(s.problems.isEmpty());
        merged += int(s.merged.size());
    });
    EXPECT_EQ(merged, 2 * kProjects);

    db::Connection c, r;
    c.open(shared.locator());
    r.open(reference.locator());
    expectSameRows(storeRows(c), storeRows(r));
}

} // namespace
} // namespace brevant::server
