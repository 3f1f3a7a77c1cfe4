// The client's heavy writes on both engines, and moving a firm across: the update merge of the
// 1,000-project benchmark database, the listing import of 1,000 new projects (20 sections, 30
// plan sheets, 15 contacts each), each through the client's own code on SQLite and on
// PostgreSQL; and the migration of the 1,000-project database into an empty firm store.
// Targets: PostgreSQL within 15 times the SQLite time and under 20 s for the merge and the
// import, the migration under 30 s.
//
// PostgreSQL runs only when BREVANT_BENCH_PG names a store; measure over the Unix socket of a
// cluster with fsync on:
//   BREVANT_PG_FSYNC=on tests/support/pg_cluster.sh start /tmp/benchpg
//   BREVANT_BENCH_PG="$(cat /tmp/benchpg/locator)" build/bench/firmstore/bench_firm_store
//   tests/support/pg_cluster.sh stop /tmp/benchpg
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/StoreMigration.h"
#include "server/ListingImport.h"
#include "server/ProjectDocument.h"
#include "server/UpdateMerge.h"
#include "tests/support/ThousandProjects.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

namespace {

using brevant::db::Connection;
using brevant::db::StoreLocator;

struct Fixture {
    QTemporaryDir dir;
    QString base = fixtures::makeThousandProjectsFile(dir.filePath("base.mdb"));
    QByteArray update = fixtures::thousandProjectsUpdate();
    QByteArray listing = fixtures::listingDocument(fixtures::kProjects, 20, 30, 15);

    // A copy of the base file, or an empty one.
    QString sqliteStore(bool filled) {
        const QString file = dir.filePath("run.mdb");
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(file + suffix);
        if (filled)
            QFile::copy(base, file);
        else
            brevant::db::createDesktopDatabase(file);
        return file;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The store of the engine, emptied, and (filled) holding the base projects; empty when
// PostgreSQL is wanted and not given.
QString store(bool pg, bool filled) {
    if (!pg)
        return fixture().sqliteStore(filled);
    const QString locator = qEnvironmentVariable("BREVANT_BENCH_PG");
    if (locator.isEmpty())
        return {};
    Connection c;
    c.open(locator);
    // The tables under the per-reader views, and what the views keep per reader.
    c.executeNative("TRUNCATE projects_shared, plans_shared, specs_shared, project_readers, "
                    "workstation_documents, contacts, awards, updates, attachments, "
                    "brevant_attachment_content, custom_search, change_history");
    c.close();
    if (filled)
        brevant::db::migrateStore(StoreLocator::parse(fixture().base),
                                  StoreLocator::parse(locator));
    return locator;
}

// Times work on a store of the engine the argument names (0: SQLite, 1: PostgreSQL), made
// anew for each run, filled with the base projects or empty; work returns false when it fell
// short.
void timeOnStore(benchmark::State& state, bool filled,
                 const std::function<bool(Connection&)>& work) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString locator = store(state.range(0) == 1, filled);
        if (locator.isEmpty()) {
            state.SkipWithError("set BREVANT_BENCH_PG to a PostgreSQL connection string");
            return;
        }
        Connection c;
        c.open(locator);
        state.ResumeTiming();
        if (!work(c))
            state.SkipWithError("the work fell short");
    }
}

void BM_UpdateMerge(benchmark::State& state) {
    timeOnStore(state, true, [](Connection& c) {
        const auto read = brevant::server::readProjectDocument(fixture().update);
        const auto summary = brevant::server::mergeUpdateDocument(c, *read.document);
        return summary.merged.size() == size_t(fixtures::kProjects) && summary.problems.isEmpty();
    });
}

void BM_ListingImport(benchmark::State& state) {
    timeOnStore(state, false, [](Connection& c) {
        return brevant::server::ImportListingData(fixture().listing, c).imported ==
               fixtures::kProjects;
    });
}

void BM_Migration(benchmark::State& state) {
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString locator = store(true, false);
        if (locator.isEmpty()) {
            state.SkipWithError("set BREVANT_BENCH_PG to a PostgreSQL connection string");
            return;
        }
        state.ResumeTiming();
        const auto result = brevant::db::migrateStore(StoreLocator::parse(fixture().base),
                                                      StoreLocator::parse(locator));
        rows = result.copied();
        if (result.outcome != brevant::db::MigrationResult::Outcome::Copied)
            state.SkipWithError("not copied");
    }
    state.counters["rows"] = double(rows);
}

} // namespace

BENCHMARK(BM_UpdateMerge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListingImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Migration)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
