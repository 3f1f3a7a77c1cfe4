// The Jet translator on search clauses of 1 KB to 1 MB in the form that names the most tables:
// one "Job_ID IN (SELECT ... FROM [Jobs Detail] ...)" per section criterion. Time per
// byte should stay flat (the complexity fit reports O(N)).
#include "platform/db/JetTranslator.h"

#include <benchmark/benchmark.h>

namespace {

brevant::db::JetSchema searchSchema() {
    brevant::db::JetSchema s;
    s.setKind("Job Information", "Due_Date", brevant::db::ColumnKind::Date);
    s.setKind("Job Information", "Pre_Bid_Date", brevant::db::ColumnKind::Date);
    s.setKind("Job Information", "Pre_Bid", brevant::db::ColumnKind::YesNo);
    s.setKind("Job Information", "Mandatory", brevant::db::ColumnKind::YesNo);
    return s;
}

QString clauseOf(qsizetype bytes) {
    const QString piece = " [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID FROM "
                          "[Jobs Detail] WHERE [Jobs Detail].[Section] BETWEEN '09000' AND "
                          "'09999') AND [Job Information].[Name] LIKE '%school%' OR ";
    QString clause = "SELECT [Job Information].Job_ID FROM [Job Information] WHERE";
    while (clause.size() + piece.size() < bytes)
        clause += piece;
    return clause + " (Due_Date >= '3/1/2027' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY "
                    "Due_Date";
}

void BM_TranslateSearchClause(benchmark::State& state) {
    const brevant::db::JetSchema schema = searchSchema();
    const QString clause = clauseOf(state.range(0));
    for (auto _ : state) {
        auto t = brevant::db::translateJet(clause, schema);
        benchmark::DoNotOptimize(t.sql.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * clause.size());
    state.SetComplexityN(clause.size());
}
BENCHMARK(BM_TranslateSearchClause)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
