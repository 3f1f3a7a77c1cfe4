// The local search over 10,000 projects with their specifications, contacts and attachments:
// the query that gives the list's rows for what was typed (one keystroke's work before the
// list is filled), the bare index look-up, and building the index for an existing database.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/NativeQuery.h"
#include "platform/ui/ScriptedUi.h"
#include "store/LocalSearch.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kProjects = 10000;

const char* const kWords[] = {"roof",     "hvac",    "paving",  "library", "bridge",
                              "school",   "clinic",  "pump",    "station", "annex",
                              "plumbing", "glazing", "masonry", "fence",   "lighting"};

QString word(int i) {
    return QString::fromLatin1(kWords[i % 15]);
}

void fill(brevant::db::Connection& conn) {
    QString sql = QStringLiteral("BEGIN;");
    for (int i = 1; i <= kProjects; ++i) {
        sql += QStringLiteral("INSERT INTO Projects (Job_ID, City, State, Due_Date, Name, "
                              "Description, Notes, New) VALUES (%1, 'SPRINGFIELD', 'IL', "
                              "'2027-%2-01 00:00:00', 'PROJECT %1 %3 %4', 'Work on the %5 of "
                              "building %1', '%6', 1);")
                   .arg(i)
                   .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                   .arg(word(i).toUpper(), word(i / 15).toUpper(), word(i / 7),
                        i % 5 == 0 ? QStringLiteral("call Joe about the bond") : QString());
        for (int s = 0; s < 20; ++s)
            sql += QStringLiteral("INSERT INTO Specs (JobID, Spec, Description) VALUES (%1, "
                                  "'%2', 'Section %3 %4');")
                       .arg(i)
                       .arg(1000 + s * 37)
                       .arg(s)
                       .arg(word(i + s));
        for (int c = 0; c < 5; ++c)
            sql += QStringLiteral("INSERT INTO Contacts (Job_ID, Name, Contact, City) VALUES "
                                  "(%1, 'FIRM %2 %3', 'Person %2', 'AUSTIN');")
                       .arg(i)
                       .arg(i * 5 + c)
                       .arg(word(c + i).toUpper());
    }
    sql += QStringLiteral("COMMIT;");
    conn.executeNative(sql);
}

struct Database {
    QTemporaryDir dir;
    brevant::db::Connection conn;
    Database() {
        const QString path = dir.filePath("Desktop.mdb");
        brevant::db::createDesktopDatabase(path);
        conn.open(path);
        fill(conn);
        brevant::store::ensureSearchIndex(conn);
    }
};

Database& database() {
    static Database db;
    return db;
}

// What one keystroke costs before the list is filled: the rows of every match, in list order.
void BM_SearchQuery(benchmark::State& state, const char* typed) {
    brevant::ui::ScopedScriptedUi ui;
    auto& db = database();
    size_t rows = 0;
    for (auto _ : state) {
        const auto result = brevant::store::searchProjects(db.conn, QString::fromLatin1(typed), {});
        rows = result.rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK_CAPTURE(BM_SearchQuery, one_word_rare, "joe")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, two_letter_prefix, "sp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, two_words, "roof glaz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, common_word, "springfield")->Unit(benchmark::kMillisecond);

// The index look-up alone: the distinct projects whose text matches.
void BM_IndexLookup(benchmark::State& state, const char* typed) {
    auto& db = database();
    size_t ids = 0;
    for (auto _ : state) {
        ids = brevant::store::searchJobIds(db.conn, QString::fromLatin1(typed)).size();
        benchmark::DoNotOptimize(ids);
    }
    state.counters["projects"] = static_cast<double>(ids);
}
BENCHMARK_CAPTURE(BM_IndexLookup, one_word_rare, "joe")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexLookup, common_word, "springfield")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexLookup, two_letter_prefix, "sp")->Unit(benchmark::kMillisecond);

void BM_BuildIndexForExistingDatabase(benchmark::State& state) {
    auto& db = database();
    for (auto _ : state) {
        db.conn.executeNative(QStringLiteral("DROP TABLE Project_Search;"));
        brevant::store::ensureSearchIndex(db.conn);
    }
}
BENCHMARK(BM_BuildIndexForExistingDatabase)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
