// A merge whose connection to the firm store breaks inside one project's unit: that project is
// not merged a second time, the user is told in plain words, naming it, that it may or may not
// have been saved, and the merge goes on with the next project on a new session.
#include "PgScratch.h"
#include "UpdateFixture.h"
#include "server/ListingImport.h"

#include <thread>

namespace brevant::server {
namespace {

constexpr int kFirst = 810001, kHeld = 810002, kLast = 810003;

QByteArray listing() {
    QByteArray jobs;
    for (int id : {kFirst, kHeld, kLast})
        jobs += QStringLiteral("<Job><Project><Job_ID>%1</Job_ID><Name>Lost %1</Name></Project>"
                               "<Specs/><Plans/><Contacts/></Job>")
                    .arg(id)
                    .toUtf8();
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>" + jobs + "</Jobs>";
}

TEST(LostConnection, AUnitCutOffIsNamedAsMaybeSavedAndTheMergeGoesOnOnANewSession) {
    pgtest::ScratchSchema scratch;
    QString why;
    if (!scratch.create(&why))
        GTEST_SKIP() << why.toStdString();
    db::Connection c;
    c.open(scratch.locator());
    ASSERT_EQ(ImportListingData(listing(), c).imported, 3);
    QStringList jobs;
    for (int id : {kFirst, kHeld, kLast}) {
        test::JobXml j;
        j.idAttribute = QString::number(id);
        j.project = test::projectFields(id);
        j.specs = {test::spec("03300", "CONCRETE")};
        jobs << test::jobXml(j);
    }
    const ReadResult r = readProjectDocument(test::updateDocument(jobs));
    ASSERT_TRUE(r.document.has_value());

    // Another estimator holds the middle project, so the merge waits inside its unit.
    db::pg::Session holder;
    holder.open(scratch.locator());
    holder.run("SELECT pg_advisory_lock($1::bigint)", {QByteArray::number(kHeld)});
    MergeSummary summary;
    std::thread merger([&] {
        summary =
            mergeUpdateDocument(c, *r.document, QDateTime(QDate(2027, 1, 4), QTime(9, 0)), {});
    });
    // The merger's session waiting for that lock is the one the server then drops.
    QByteArray waiting;
    while (waiting.isEmpty()) {
        const db::pg::Result w = scratch.admin().run(
            "SELECT pid FROM pg_locks WHERE locktype = 'advisory' AND NOT granted AND "
            "objid = $1::bigint AND objsubid = 1",
            {QByteArray::number(kHeld)});
        if (w.rows() > 0)
            waiting = w.text(0, 0).toByteArray();
        else
            std::this_thread::yield();
    }
    scratch.admin().run("SELECT pg_terminate_backend($1, 60000)", {waiting});
    merger.join();
    holder.run("SELECT pg_advisory_unlock($1::bigint)", {QByteArray::number(kHeld)});

    ASSERT_EQ(summary.problems.size(), 1);
    const QString told = mergeProblemsText(summary.problems);
    EXPECT_TRUE(told.contains("may or may not have been saved")) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("project %1 (LOST %1)").arg(kHeld)))
        << told.toStdString();
    // Merged once each, before and after the break; the one cut off is not run again.
    std::vector<int> merged;
    for (const ProjectMergeOutcome& o : summary.merged)
        merged.push_back(o.jobId);
    EXPECT_EQ(merged, (std::vector<int>{kFirst, kLast}));
}

} // namespace
} // namespace brevant::server
