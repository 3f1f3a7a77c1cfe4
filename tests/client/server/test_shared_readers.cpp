// Two estimators on two workstations share one PostgreSQL store: what belongs to one of them
// (which sheets this PC has cached, which projects this estimator has not yet seen, what this
// estimator's checks found) stays theirs, the project rows stay shared, and every change
// recorded says who found it.
#include "PgScratch.h"
#include "UpdateFixture.h"
#include "documents/DocumentCache.h"
#include "documents/DocumentLists.h"
#include "documents/PlaceDocuments.h"
#include "platform/archive/ZipWriter.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/ProjectReports.h"
#include "server/ListingImport.h"
#include "store/ProjectList.h"
#include "store/SharedNotes.h"

#include <QDir>
#include <QTemporaryDir>

namespace brevant::server {
namespace {

using test::jobXml;
using test::plan;
using test::projectFields;
using test::spec;
using test::updateDocument;

constexpr int kJob = 610001;
constexpr const char* kOtherEstimator = "brevant_estimator_b";

QByteArray listingOf(int id, const QStringList& specs, const QStringList& plans) {
    test::JobXml j;
    j.idAttribute = QString::number(id);
    j.project = projectFields(id);
    j.specs = specs;
    j.plans = plans;
    return updateDocument({jobXml(j)});
}

// One estimator at one workstation: a connection of their own login, naming their PC, and a
// cache folder of their own.
struct Estimator {
    db::Connection c;
    QTemporaryDir cache;

    void open(const QString& locator, const QString& workstation) {
        c.open(locator);
        c.setWorkstation(workstation);
    }

    // The cached flag of each row of a document list as it shows it, "NAME=1" (cached) or
    // "NAME=0".
    QStringList flags(int id, const QString& kind) {
        const auto rows = documents::LoadDocumentList(c, id, kind);
        QStringList out;
        for (const documents::DocumentRow& r : rows.value())
            out << r.tag + "=" + QString::number(r.icon == documents::CachedIcon ? 1 : 0);
        out.sort();
        return out;
    }
    QStringList planFlags(int id) { return flags(id, "PLANS"); }
    QStringList sectionFlags(int id) { return flags(id, "SPECS"); }

    // Places an archive of the given entries into this PC's cache, as a download does.
    void download(int id, const QStringList& entries) {
        QDir().mkpath(cache.filePath("Download"));
        const QString path = cache.filePath("Download/documents.zip");
        {
            archive::ZipWriter zip(path.toStdString());
            for (const QString& e : entries)
                zip.addBytes(e.toStdString(), "bytes");
            zip.write();
        }
        documents::PlaceRequest r;
        r.archivePath = path;
        r.projectFolder = cache.filePath(QString::number(id));
        r.jobId = id;
        r.supportEmail = "help@example.net";
        documents::DocumentRows rows;
        const documents::PlaceOutcome out = documents::PlaceDocuments(r, c, rows);
        ASSERT_TRUE(out.ok()) << out.reason.toStdString();
    }

    std::vector<int> listed(store::Filter filter) {
        std::vector<int> ids;
        for (const store::ProjectRow& r : store::loadProjects(c, filter, {}).rows)
            ids.push_back(r.jobId);
        return ids;
    }

    QString updatesView(int id) { return reports::DrawUpdates(c, id); }
};

class SharedReaders : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (!store.create(&why))
            GTEST_SKIP() << why.toStdString();
        // A login of its own for the second estimator (the cluster is the tests' own; the role
        // may be there from an earlier run or another test program).
        store.admin().run(QByteArray("DO $$BEGIN CREATE ROLE ") + kOtherEstimator +
                          " LOGIN SUPERUSER; EXCEPTION WHEN duplicate_object OR unique_violation "
                          "THEN NULL; END$$");
        a.open(store.locator(), "pc-a");
        b.open(store.locator() + " user=" + kOtherEstimator, "pc-b");
        ASSERT_NE(a.c.estimator(), b.c.estimator());
    }

    MergeSummary merge(db::Connection& c, const QByteArray& xml) {
        const ReadResult r = readProjectDocument(xml);
        EXPECT_TRUE(r.document.has_value());
        return r.document ? mergeUpdateDocument(c, *r.document, now, {}) : MergeSummary{};
    }

    pgtest::ScratchSchema store;
    Estimator a, b;
    ui::ScopedScriptedUi ui;
    const QDateTime now{QDate(2027, 1, 4), QTime(9, 30)};
};

TEST_F(SharedReaders, ADownloadOnOneWorkstationLeavesTheOthersListAsItWas) {
    ASSERT_EQ(ImportListingData(
                  listingOf(kJob, {spec("03300", "CONCRETE")},
                            {plan("PLAN001", "FLOOR", "10"), plan("PLAN002", "ROOF", "20")}),
                  a.c)
                  .imported,
              1);
    b.download(kJob, {"PLAN001", "03300.SVD"});
    EXPECT_EQ(b.planFlags(kJob), (QStringList{"PLAN001=1", "PLAN002=0"}));
    EXPECT_EQ(b.sectionFlags(kJob), QStringList{"03300=1"});
    EXPECT_EQ(a.planFlags(kJob), (QStringList{"PLAN001=0", "PLAN002=0"}));
    EXPECT_EQ(a.sectionFlags(kJob), QStringList{"03300=0"});

    a.download(kJob, {"PLAN002"});
    EXPECT_EQ(a.planFlags(kJob), (QStringList{"PLAN001=0", "PLAN002=1"}));
    // Clearing one PC's cache forgets only that PC's files.
    documents::ClearProjectCache(a.c, a.cache.path(), kJob);
    EXPECT_EQ(a.planFlags(kJob), (QStringList{"PLAN001=0", "PLAN002=0"}));
    EXPECT_EQ(b.planFlags(kJob), (QStringList{"PLAN001=1", "PLAN002=0"}));
    EXPECT_EQ(b.sectionFlags(kJob), QStringList{"03300=1"});
}

TEST_F(SharedReaders, ARevisedSheetIsStaleOnEveryWorkstation) {
    ImportListingData(listingOf(kJob, {}, {plan("PLAN001", "FLOOR", "10")}), a.c);
    a.download(kJob, {"PLAN001"});
    b.download(kJob, {"PLAN001"});
    test::JobXml j;
    j.idAttribute = QString::number(kJob);
    j.project = projectFields(kJob);
    j.plans = {test::element(
        "Plan",
        {{"Name", "PLAN001"}, {"Description", "FLOOR"}, {"Size", "12"}, {"Revision", "1"}})};
    merge(b.c, updateDocument({jobXml(j)}));
    EXPECT_EQ(a.planFlags(kJob), QStringList{"PLAN001=0"});
    EXPECT_EQ(b.planFlags(kJob), QStringList{"PLAN001=0"});
}

TEST_F(SharedReaders, NewIsEachEstimatorsOwnWhileTaggingAndNotesAreShared) {
    ImportListingData(listingOf(kJob, {}, {}), a.c);
    ImportListingData(listingOf(kJob + 1, {}, {}), a.c);
    // Everybody sees a project that just arrived as new.
    EXPECT_EQ(a.listed(store::Filter::New).size(), 2u);
    EXPECT_EQ(b.listed(store::Filter::New).size(), 2u);

    EXPECT_EQ(store::markTagged(a.c, {kJob}), 1);
    EXPECT_EQ(store::markOpened(a.c, {kJob + 1}), 1);
    EXPECT_TRUE(a.listed(store::Filter::New).empty());
    EXPECT_EQ(b.listed(store::Filter::New), (std::vector<int>{kJob, kJob + 1}));
    EXPECT_EQ(store::currentStateIcon(b.c, kJob), store::IconNew);
    EXPECT_EQ(store::currentStateIcon(a.c, kJob), store::IconTagged);
    // The tag is the firm's: it shows in B's tagged list though B has not seen the project.
    EXPECT_EQ(b.listed(store::Filter::Track), std::vector<int>{kJob});

    EXPECT_EQ(store::markOpened(b.c, {kJob}), 1);
    EXPECT_EQ(b.listed(store::Filter::New), std::vector<int>{kJob + 1});
    EXPECT_TRUE(b.listed(store::Filter::Track).empty());
    EXPECT_EQ(store::currentStateIcon(a.c, kJob), store::IconOpened);

    EXPECT_TRUE(store::saveNotes(a.c, kJob, "call the owner"));
    db::Recordset rs;
    rs.open(store::selectProjectSql(kJob), b.c);
    EXPECT_EQ(rs.field("Notes").toString(), "call the owner");
}

TEST_F(SharedReaders, ADeletedProjectIsNewForEveryoneWhenItComesBack) {
    ImportListingData(listingOf(kJob, {}, {}), a.c);
    store::markOpened(a.c, {kJob});
    store::markOpened(b.c, {kJob});
    a.c.execute("Delete FROM [Projects] Where [Job_ID] = " + QString::number(kJob));
    ImportListingData(listingOf(kJob, {}, {}), b.c);
    EXPECT_EQ(a.listed(store::Filter::New), std::vector<int>{kJob});
    EXPECT_EQ(b.listed(store::Filter::New), std::vector<int>{kJob});
}

TEST_F(SharedReaders, AnEmptyCheckByOneEstimatorKeepsWhatAnothersCheckFound) {
    ImportListingData(listingOf(kJob, {}, {}), a.c);
    const QByteArray found = listingOf(kJob, {spec("09900", "PAINTING")}, {});
    ASSERT_EQ(merge(a.c, found).merged.at(0).logged.size(), 1);
    // B checks after A: the store already holds what A found, so B's check finds nothing.
    EXPECT_TRUE(merge(b.c, found).merged.at(0).logged.isEmpty());
    for (Estimator* e : {&a, &b})
        EXPECT_TRUE(e->updatesView(kJob).contains("SPECIFICATION ADDED - NEW VALUE: 09900"));

    // A's own next check replaces what A found before.
    const QByteArray more = listingOf(kJob, {spec("09900", "PAINTING"), spec("07500", "ROOF")}, {});
    merge(a.c, more);
    const QString view = b.updatesView(kJob);
    EXPECT_FALSE(view.contains("NEW VALUE: 09900"));
    EXPECT_TRUE(view.contains("NEW VALUE: 07500"));
}

TEST_F(SharedReaders, EveryRecordedChangeSaysWhoFoundIt) {
    ImportListingData(listingOf(kJob, {}, {plan("PLAN001", "FLOOR", "10")}), a.c);
    merge(a.c, listingOf(kJob, {spec("09900", "PAINTING")}, {}));
    // A later drawing placed on B's workstation.
    {
        QDir().mkpath(b.cache.filePath("Download"));
        const QString path = b.cache.filePath("Download/documents.zip");
        archive::ZipWriter zip(path.toStdString());
        zip.addBytes("PLAN001", "bytes", "Revision=2");
        zip.write();
        documents::PlaceRequest r{path, b.cache.filePath(QString::number(kJob)), kJob,
                                  "help@example.net"};
        documents::DocumentRows rows;
        ASSERT_TRUE(documents::PlaceDocuments(r, b.c, rows).ok());
    }
    store::resolveNotesConflict(b.c, kJob, store::NotesChoice::Mine, "mine", "theirs", now);

    db::Recordset rs;
    rs.open("Select What, Found_By from [Change_History] where [JobID] = " + QString::number(kJob) +
                " ORDER BY [Change_ID]",
            a.c);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << rs.field(0).toString() + "|" + rs.field(1).toString();
    EXPECT_EQ(rows, (QStringList{"SPECIFICATION|" + a.c.estimator(),
                                 QString("PLAN PAGE|") + kOtherEstimator,
                                 QString("Notes|") + kOtherEstimator}));
    rs.open("Select Found_By from [Updates] where [JobID] = " + QString::number(kJob), b.c);
    EXPECT_EQ(rs.field(0).toString(), a.c.estimator());
    EXPECT_TRUE(b.updatesView(kJob).contains(QStringLiteral("(found by %1)").arg(kOtherEstimator)));
}

} // namespace
} // namespace brevant::server
