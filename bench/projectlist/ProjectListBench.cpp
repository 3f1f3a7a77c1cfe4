// LoadProjects over 10,000 stored projects: the list query and building the rows, as the main
// window's load, a filter change or a header click runs it.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kProjects = 10000;

struct Database {
    QTemporaryDir dir;
    brevant::db::Connection conn;

    Database() {
        const QString path = dir.filePath("Desktop.mdb");
        brevant::db::createDesktopDatabase(path);
        conn.open(path);
        // Rows shaped like imported ones: a description, notes and an assignment on some.
        QString sql = QStringLiteral("BEGIN;");
        for (int i = 1; i <= kProjects; ++i) {
            const int year = i % 97 == 0 ? 1900 : 2025 + i % 3;
            sql += QStringLiteral("INSERT INTO Projects (Job_ID, City, State, Due_Date, Name, "
                                  "Description, Other, Notes, Assignment, New, Tracked) VALUES "
                                  "(%1, 'SPRINGFIELD', 'IL', '%2-%3-%4 00:00:00', "
                                  "'PROJECT %1 RENOVATION OF BUILDING', '%5', 'Bonds required', "
                                  "'%6', %7, %8, %9);")
                       .arg(i)
                       .arg(year)
                       .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                       .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                       .arg(QString(400, QLatin1Char('d')))
                       .arg(i % 5 == 0 ? QStringLiteral("Call the architect") : QString())
                       .arg(i % 4 == 0 ? QStringLiteral("'ANN'") : QStringLiteral("NULL"))
                       .arg(i % 3 == 0 ? 1 : 0)
                       .arg(i % 3 == 1 ? 1 : 0);
        }
        sql += QStringLiteral("COMMIT;");
        conn.executeNative(sql);
    }
};

Database& database() {
    static Database db;
    return db;
}

void runLoad(benchmark::State& state, brevant::store::Filter filter,
             const brevant::store::SortState& sort) {
    brevant::ui::ScopedScriptedUi ui;
    auto& db = database();
    size_t rows = 0;
    for (auto _ : state) {
        const auto result = brevant::store::loadProjects(db.conn, filter, sort);
        rows = result.rows.size();
        benchmark::DoNotOptimize(result.rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    if (!ui.shown().isEmpty()) {
        state.SkipWithError("a message box was shown");
    }
}

void BM_LoadProjects_All_BidDateDesc(benchmark::State& state) {
    runLoad(state, brevant::store::Filter::All, brevant::store::SortState());
}
BENCHMARK(BM_LoadProjects_All_BidDateDesc)->Unit(benchmark::kMillisecond);

void BM_LoadProjects_All_TitleAsc(benchmark::State& state) {
    runLoad(state, brevant::store::Filter::All,
            brevant::store::SortState("TITLE", brevant::store::SortAscending));
}
BENCHMARK(BM_LoadProjects_All_TitleAsc)->Unit(benchmark::kMillisecond);

void BM_LoadProjects_New_BidDateDesc(benchmark::State& state) {
    runLoad(state, brevant::store::Filter::New, brevant::store::SortState());
}
BENCHMARK(BM_LoadProjects_New_BidDateDesc)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
