// The import's workload: 1,000 projects with 20 specification sections, 30 plan sheets and 15
// contacts each. Once as the client writes it (one Jet statement at a time through
// platform/db, each committing on its own) and once through raw SQLite prepared statements in
// a single transaction, the floor any database layer could reach.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kProjects = 1000;
constexpr int kSpecs = 20;
constexpr int kPlans = 30;
constexpr int kContacts = 15;

// The literal rules of the client's SqlValue: quotes doubled, '|' as chr(124).
QString text(const QString& value) {
    QString s = value;
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    s.replace(QLatin1Char('|'), QLatin1String("' & chr(124) & '"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString projectName(int p) {
    return QStringLiteral("O'NEIL SCHOOL %1 | PHASE 2").arg(p);
}
QString contactName(int p, int c) {
    return QStringLiteral("ACME %1-%2").arg(p).arg(c);
}

void runTranslated(brevant::db::Connection& db) {
    for (int p = 1; p <= kProjects; ++p) {
        const QString n = QString::number(p);
        db.execute(QStringLiteral("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], "
                                  "[Description], [Estimated Cost], [Estimated Cost End], [Other], "
                                  "Bins, Addendum, Pre_Bid, Mandatory, Pre_Bid_Date, Building, "
                                  "[Region]) VALUES (") +
                   n + ",'SPRINGFIELD','IL','12/15/2026 2:00:00 PM'," + text(projectName(p)) +
                   ",'A NEW SCHOOL WITH GYM',1500000,2000000,NULL,'B-12',NULL,-1,0,"
                   "'11/20/2026 10:00:00 AM',3,7)");
        for (int s = 0; s < kSpecs; ++s)
            db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + n + ",'" +
                       QString::number(1000 + s * 10) + "'," +
                       text("SECTION " + QString::number(s)) + ")");
        for (int s = 0; s < kPlans; ++s)
            db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + n +
                       ",'PLAN" + QString::number(s) + ".SVD'," +
                       text("SHEET A-" + QString::number(s)) + ",123456)");
        for (int c = 0; c < kContacts; ++c)
            db.execute(
                "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
                "Address2, City, [State], Zip, [Type]) VALUES (" +
                n + "," + text(contactName(p, c)) +
                ",'JO SMITH','555-1234',NULL,'555-9999','1 MAIN "
                "ST',NULL,'SALEM','OR','97301','B')");
    }
}

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void runRaw(sqlite3* db, bool oneTransaction) {
    auto prepare = [db](const char* sql) {
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db);
        return st;
    };
    sqlite3_stmt* project = prepare(
        "INSERT INTO Projects (Job_ID, City, State, Due_Date, Name, Description, \"Estimated "
        "Cost\", "
        "\"Estimated Cost End\", Other, Bins, Addendum, Pre_Bid, Mandatory, Pre_Bid_Date, "
        "Building, "
        "Region) VALUES (?,'SPRINGFIELD','IL','2026-12-15 14:00:00',?,'A NEW SCHOOL WITH GYM',"
        "1500000,2000000,NULL,'B-12',NULL,1,0,'2026-11-20 10:00:00',3,7)");
    sqlite3_stmt* spec = prepare("INSERT INTO Specs (JobID, Spec, Description) VALUES (?,?,?)");
    sqlite3_stmt* plan =
        prepare("INSERT INTO Plans (JobID, File, Description, Size) VALUES (?,?,?,123456)");
    sqlite3_stmt* contact = prepare(
        "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, Address2, "
        "City, State, Zip, Type) VALUES (?,?,'JO SMITH','555-1234',NULL,'555-9999','1 MAIN "
        "ST',NULL,"
        "'SALEM','OR','97301','B')");
    auto bindText = [](sqlite3_stmt* st, int i, const QString& s) {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    };
    auto step = [db](sqlite3_stmt* st) {
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    };
    if (oneTransaction)
        check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (int p = 1; p <= kProjects; ++p) {
        sqlite3_bind_int(project, 1, p);
        bindText(project, 2, projectName(p));
        step(project);
        for (int s = 0; s < kSpecs; ++s) {
            sqlite3_bind_int(spec, 1, p);
            bindText(spec, 2, QString::number(1000 + s * 10));
            bindText(spec, 3, "SECTION " + QString::number(s));
            step(spec);
        }
        for (int s = 0; s < kPlans; ++s) {
            sqlite3_bind_int(plan, 1, p);
            bindText(plan, 2, "PLAN" + QString::number(s) + ".SVD");
            bindText(plan, 3, "SHEET A-" + QString::number(s));
            step(plan);
        }
        for (int c = 0; c < kContacts; ++c) {
            sqlite3_bind_int(contact, 1, p);
            bindText(contact, 2, contactName(p, c));
            step(contact);
        }
    }
    if (oneTransaction)
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    for (sqlite3_stmt* st : {project, spec, plan, contact})
        sqlite3_finalize(st);
}

void BM_TranslatedStatementAtATime(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString file = dir.filePath("Desktop.mdb");
        brevant::db::createDesktopDatabase(file);
        brevant::db::Connection db;
        db.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.path() +
                "\\Desktop.mdb;Persist Security Info=False");
        state.ResumeTiming();
        runTranslated(db);
        state.PauseTiming();
        db.close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kProjects * (1 + kSpecs + kPlans + kContacts));
}

void rawBenchmark(benchmark::State& state, bool oneTransaction) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString file = dir.filePath("Desktop.mdb");
        brevant::db::createDesktopDatabase(file);
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                     nullptr);
        state.ResumeTiming();
        runRaw(db, oneTransaction);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kProjects * (1 + kSpecs + kPlans + kContacts));
}

void BM_RawPreparedOneTransaction(benchmark::State& state) {
    rawBenchmark(state, true);
}
// Not a target, a reference: what committing every statement on its own costs by itself.
void BM_RawPreparedStatementAtATime(benchmark::State& state) {
    rawBenchmark(state, false);
}

BENCHMARK(BM_TranslatedStatementAtATime)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawPreparedOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawPreparedStatementAtATime)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
