// The import's writes on each engine: 200 projects with 20 specification sections, 30 plan
// sheets and 15 contacts each, through db::Connection, statement at a time (each committing on
// its own) and one transaction per project with the project's lock first (as the import and
// the update merge write). On PostgreSQL also the per-project transaction sent pipelined, one
// round trip per project, to show what pipelining gains.
//
// PostgreSQL runs only when BREVANT_BENCH_PG names a store (a libpq connection string); measure
// over the Unix socket of a cluster with fsync on, e.g.
//   BREVANT_PG_FSYNC=on tests/support/pg_cluster.sh start /tmp/benchpg
//   BREVANT_BENCH_PG="$(cat /tmp/benchpg/locator)" build/bench/db/bench_store_engines
//   tests/support/pg_cluster.sh stop /tmp/benchpg
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/JetTranslator.h"
#include "platform/db/Transaction.h"
#include "platform/db/pg/PgColumns.h"
#include "platform/db/pg/PgSession.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

namespace {

constexpr int kProjects = 200;
constexpr int kSpecs = 20;
constexpr int kPlans = 30;
constexpr int kContacts = 15;
constexpr int kRows = kProjects * (1 + kSpecs + kPlans + kContacts);

// The Jet statements of one project, as the import writes them.
QStringList projectStatements(int p) {
    const QString n = QString::number(p);
    QStringList out;
    out << "INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
           "[Estimated Cost], Pre_Bid, Mandatory) VALUES (" +
               n + ",'SPRINGFIELD','IL','12/15/2026 2:00:00 PM','O''NEIL SCHOOL " + n +
               "','A NEW SCHOOL',1500000,-1,0)";
    for (int s = 0; s < kSpecs; ++s)
        out << "INSERT INTO Specs (JobID, Spec, Description) VALUES (" + n + ",'" +
                   QString::number(1000 + s * 10) + "','SECTION " + QString::number(s) + "')";
    for (int s = 0; s < kPlans; ++s)
        out << "INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + n + ",'PLAN" +
                   QString::number(s) + ".SVD','SHEET A-" + QString::number(s) + "',123456)";
    for (int c = 0; c < kContacts; ++c)
        out << "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, City, [State], [Type]) "
               "VALUES (" +
                   n + ",'ACME " + QString::number(c) + "','JO SMITH','555-1234','SALEM','OR','B')";
    return out;
}

// Empties the store's tables between runs (not timed).
void emptyTables(brevant::db::Connection& db) {
    for (const char* t : {"Projects", "Specs", "Plans", "Contacts"})
        db.execute(QStringLiteral("Delete * from [%1]").arg(QLatin1String(t)));
}

// Runs body on a fresh store of the engine (skipped for PostgreSQL without a locator).
void onStore(benchmark::State& state, bool pg,
             const std::function<void(brevant::db::Connection&)>& body) {
    QTemporaryDir dir;
    QString locator = dir.filePath("Desktop.mdb");
    if (pg) {
        locator = qEnvironmentVariable("BREVANT_BENCH_PG");
        if (locator.isEmpty()) {
            state.SkipWithError("set BREVANT_BENCH_PG to a PostgreSQL connection string");
            return;
        }
    } else {
        brevant::db::createDesktopDatabase(locator);
    }
    brevant::db::Connection db;
    db.open(locator);
    for (auto _ : state) {
        state.PauseTiming();
        emptyTables(db);
        state.ResumeTiming();
        body(db);
    }
    emptyTables(db); // the loop is over: no longer timed
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_StatementAtATime(benchmark::State& state) {
    onStore(state, state.range(0) == 1, [](brevant::db::Connection& db) {
        for (int p = 1; p <= kProjects; ++p)
            for (const QString& s : projectStatements(p))
                db.execute(s);
    });
}

void BM_TransactionPerProject(benchmark::State& state) {
    onStore(state, state.range(0) == 1, [](brevant::db::Connection& db) {
        for (int p = 1; p <= kProjects; ++p) {
            brevant::db::Transaction t(db);
            t.lockProject(p);
            for (const QString& s : projectStatements(p))
                db.execute(s);
            t.commit();
        }
    });
}

// PostgreSQL only: each project's transaction (BEGIN, lock, inserts, COMMIT) in one pipeline.
void BM_TransactionPerProjectPipelined(benchmark::State& state) {
    const QString locator = qEnvironmentVariable("BREVANT_BENCH_PG");
    if (locator.isEmpty()) {
        state.SkipWithError("set BREVANT_BENCH_PG to a PostgreSQL connection string");
        return;
    }
    brevant::db::Connection db; // makes the tables when they are missing
    db.open(locator);
    brevant::db::pg::Session session;
    session.open(locator);
    brevant::db::JetSchema schema;
    brevant::db::pg::loadJetSchema(session, schema);
    brevant::db::JetTranslationCache translations;
    const brevant::db::TranslateOptions pg{brevant::db::Dialect::PostgreSql};
    for (auto _ : state) {
        state.PauseTiming();
        emptyTables(db);
        state.ResumeTiming();
        for (int p = 1; p <= kProjects; ++p) {
            std::vector<brevant::db::pg::Statement> batch;
            batch.push_back({"BEGIN", {}});
            batch.push_back({"SELECT pg_advisory_xact_lock($1::bigint)",
                             brevant::db::pg::Params{QByteArray::number(p)}});
            for (const QString& s : projectStatements(p)) {
                const auto t = translations.translate(s, schema, pg);
                batch.push_back({t.sql, brevant::db::pg::textParams(t.params)});
            }
            batch.push_back({"COMMIT", {}});
            session.runBatch(batch);
        }
    }
    emptyTables(db); // the loop is over: no longer timed
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Argument 0: SQLite, 1: PostgreSQL.
BENCHMARK(BM_StatementAtATime)
    ->ArgName("pg")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_TransactionPerProject)
    ->ArgName("pg")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_TransactionPerProjectPipelined)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
