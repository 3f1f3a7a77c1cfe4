// Merging an update document of 1,000 projects into a Desktop.mdb that holds them (each with
// 20 specification sections, 30 plan sheets, 15 contacts and 3 awards; the update brings a new
// bid date, description and one new row of each kind). Once through the client's merge (the
// Jet statements one at a time through platform/db, one transaction per project, the change
// log and the history), once as raw SQLite running the same statements, prepared, in a single
// transaction: the floor any database layer could reach.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "server/ProjectDocument.h"
#include "server/UpdateMerge.h"
#include "tests/support/ThousandProjects.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace {

using fixtures::kAwards;
using fixtures::kContacts;
using fixtures::kPlans;
using fixtures::kProjects;
using fixtures::kSpecs;

QString section(int s) {
    return fixtures::sectionNumber(s);
}

// The stored database every run starts from.
QString baseDatabase(const QString& folder) {
    return fixtures::makeThousandProjectsFile(folder + "/base.mdb");
}

QByteArray updateDocument() {
    return fixtures::thousandProjectsUpdate();
}

struct Fixture {
    QTemporaryDir dir;
    QString base = baseDatabase(dir.path());
    QByteArray xml = updateDocument();

    QString freshCopy() {
        const QString file = dir.path() + "/run.mdb";
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(file + suffix);
        QFile::copy(base, file);
        return file;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ClientMerge(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        const QString file = f.freshCopy();
        brevant::db::Connection c;
        c.open(file);
        state.ResumeTiming();
        const auto read = brevant::server::readProjectDocument(f.xml);
        const auto summary = brevant::server::mergeUpdateDocument(c, *read.document);
        benchmark::DoNotOptimize(summary.merged.size());
        if (summary.merged.size() != size_t(kProjects) || !summary.problems.isEmpty())
            state.SkipWithError("merge incomplete");
    }
}

class Raw {
public:
    explicit Raw(sqlite3* db) : db_(db) {}
    ~Raw() {
        for (const auto& [sql, statement] : cache_)
            sqlite3_finalize(statement);
    }
    // Binds the texts (an empty one as NULL) and runs; returns the changed rows.
    int run(const char* sql, std::initializer_list<QByteArray> values) {
        sqlite3_stmt*& st = cache_[sql];
        if (!st)
            sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        int i = 0;
        for (const QByteArray& v : values) {
            ++i;
            if (v.isEmpty())
                sqlite3_bind_null(st, i);
            else
                sqlite3_bind_text(st, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
        }
        sqlite3_reset(st);
        return sqlite3_changes(db_);
    }

private:
    sqlite3* db_;
    std::map<const char*, sqlite3_stmt*> cache_;
};

void rawMerge(sqlite3* db, bool perProject) {
    Raw r(db);
    // The change log row and the history row of something added.
    auto added = [&r](const QByteArray& n, const QByteArray& update, const char* what,
                      const QByteArray& value) {
        r.run("INSERT INTO Updates (JobID, \"Update\", Added) VALUES (?, ?, ?)",
              {n, update, "2027-03-02 00:00:00"});
        r.run("INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) "
              "VALUES (?, ?, ?, ?, ?)",
              {n, "2027-03-02 07:30:00", what, "", value});
    };
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int p = 1; p <= kProjects; ++p) {
        if (perProject && p > 1)
            sqlite3_exec(db, "COMMIT; BEGIN", nullptr, nullptr, nullptr);
        const QByteArray n = QByteArray::number(p);
        r.run("SELECT * FROM Projects WHERE Job_ID = ?", {n});
        r.run("DELETE FROM Updates WHERE JobID = ?", {n});
        r.run("INSERT INTO Updates (JobID, \"Update\", Added) VALUES (?, ?, ?)",
              {n, "BID DATE CHANGED FROM 3/1/2027 TO 3/15/2027", "2027-03-02 00:00:00"});
        r.run("UPDATE Projects SET City=?, State=?, Due_Date=?, Name=?, Description=?, "
              "\"Estimated Cost\"=?, \"Estimated Cost End\"=?, Other=?, Bins=?, Addendum=?, "
              "Pre_Bid=?, Mandatory=?, Pre_Bid_Date=?, Building=?, Region=? WHERE Job_ID=?",
              {"SALEM", "OR", "2027-03-15 14:00:00", "SCHOOL " + n, "New scope", "1000000",
               "2000000", "", "", "1 ADDENDA ISSUED", "1", "0", "", "1", "3", n});
        r.run("SELECT * FROM Projects WHERE Job_ID = ?", {n});
        for (const char* what : {"Due_Date", "Description", "Addendum"})
            r.run("INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value) "
                  "VALUES (?, ?, ?, ?, ?)",
                  {n, "2027-03-02 07:30:00", what, "old", "new"});
        for (int s = 0; s <= kSpecs; ++s) {
            const QByteArray sec = section(s).toUtf8();
            if (r.run("UPDATE Specs SET Description = ? WHERE JobID = ? AND Spec = ?",
                      {"SECTION " + QByteArray::number(s), n, sec}) == 0) {
                r.run("INSERT INTO Specs (JobID, Spec, Description) VALUES (?, ?, ?)",
                      {n, sec, "SECTION " + QByteArray::number(s)});
                added(n, "SPECIFICATION ADDED - NEW VALUE: " + sec, "SPECIFICATION", sec);
            }
        }
        for (int s = 0; s <= kPlans; ++s) {
            const QByteArray file = "PLAN" + QByteArray::number(s);
            if (r.run("INSERT OR IGNORE INTO Plans (JobID, File, Description, Size) "
                      "VALUES (?, ?, ?, ?)",
                      {n, file, "SHEET " + QByteArray::number(s), "1234"}) > 0) {
                added(n, "PLAN PAGE ADDED: " + file, "PLAN PAGE", file);
            }
        }
        for (int k = 0; k <= kContacts; ++k) {
            const QByteArray name = "FIRM " + QByteArray::number(k);
            if (r.run("UPDATE Contacts SET Contact=?, Phone=?, Extension=?, Fax=?, Address1=?, "
                      "Address2=?, City=?, State=?, Zip=? WHERE Job_ID=? AND Name=? AND "
                      "Type=?",
                      {"JO", "555-1234", "", "", "", "", "", "", "", n, name, "B"}) == 0) {
                r.run("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, "
                      "Address1, Address2, City, State, Zip, Type) VALUES "
                      "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {n, name, "JO", "555-1234", "", "", "", "", "", "", "", "B"});
                added(n, "CONTACT ADDED - NEW VALUE: " + name, "CONTACT", name);
            }
        }
        for (int k = 0; k <= kAwards; ++k) {
            const QByteArray name = "Firm " + QByteArray::number(k);
            if (r.run("UPDATE Awards SET Contact=?, Phone=?, Name=?, Comment=?, Awarded=?, "
                      "Bid=?, Fax=?, Extension=?, Email=? WHERE JobID=? AND Name=?",
                      {"", "", name, "", "0", "100000", "", "", "", n, name}) == 0) {
                r.run("INSERT INTO Awards (JobID, Name, Contact, Phone, Comment, Bid, Awarded, "
                      "Fax, Extension, Email) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {n, name.toUpper(), "", "", "", "100000", "0", "", "", ""});
                added(n, "AWARDS / LOW BIDDER(S) ADDED - " + name, "AWARD", name);
            }
        }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

void BM_RawSqliteOneTransaction(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        const QByteArray file = f.freshCopy().toUtf8();
        sqlite3* db = nullptr;
        sqlite3_open(file.constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                     nullptr);
        state.ResumeTiming();
        rawMerge(db, state.range(0) == 1);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ClientMerge)->Unit(benchmark::kMillisecond)->MinTime(3.0);
// Arg 1: one transaction per project, as the client commits them; what those commits cost alone.
BENCHMARK(BM_RawSqliteOneTransaction)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
