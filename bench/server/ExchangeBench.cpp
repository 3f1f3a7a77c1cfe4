// The listing import of 1,000 projects (20 sections, 30 plan sheets, 15 contacts each) through
// the client's import, against the same rows written with raw SQLite prepared statements in one
// transaction; and a 5,000-project search reply read and shown in frmTrack.
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"
#include "server/ListingDocument.h"
#include "server/ListingImport.h"
#include "server/ProjectSearch.h"
#include "server/frmTrack.h"
#include "tests/support/ThousandProjects.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace brevant;

namespace {

QByteArray listing(int projects, int specs, int plans, int contacts, int firstId = 210001) {
    return fixtures::listingDocument(projects, specs, plans, contacts, firstId);
}

QString freshDatabase(QTemporaryDir& dir, int n) {
    const QString file = dir.filePath(QStringLiteral("db%1/Desktop.mdb").arg(n));
    QDir().mkpath(QFileInfo(file).path());
    db::createDesktopDatabase(file);
    return file;
}

void BM_ImportListing_Client(benchmark::State& state) {
    const QByteArray xml = listing(1000, 20, 30, 15);
    QTemporaryDir dir;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        db::Connection c;
        c.open(freshDatabase(dir, n++));
        state.ResumeTiming();
        const server::ImportOutcome out = server::ImportListingData(xml, c);
        if (out.imported != 1000)
            state.SkipWithError("not every project was imported");
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

// The same rows through raw prepared statements in one transaction: parse with the same
// reader, bind, step, reset. With range(0) 1, one transaction per project as the client commits
// them (a project is stored whole or not at all): what those commits cost on their own.
void BM_ImportListing_RawSqlite(benchmark::State& state) {
    const bool perProject = state.range(0) == 1;
    const QByteArray xml = listing(1000, 20, 30, 15);
    QTemporaryDir dir;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString file = freshDatabase(dir, 10000 + n++);
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr,
                     nullptr);
        state.ResumeTiming();
        server::ListingDocument doc;
        server::ParseListingDocument(xml, doc, nullptr);
        sqlite3_stmt *project, *spec, *plan, *contact;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Projects (Job_ID, City, State, Due_Date, Name, "
                           "Description, \"Estimated Cost\", \"Estimated Cost End\", Other, Bins, "
                           "Addendum, Pre_Bid, Mandatory, Pre_Bid_Date, Building, Region) VALUES "
                           "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &project, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO Specs (JobID, Spec, Description) VALUES (?,?,?)", -1,
                           &spec, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO Plans (JobID, File, Description, Size) VALUES (?,?,?,?)",
                           -1, &plan, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, "
                           "Address1, Address2, City, State, Zip, Type) VALUES "
                           "(?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &contact, nullptr);
        auto text = [](sqlite3_stmt* s, int i, const QString& v) {
            const QByteArray b = v.toUtf8();
            sqlite3_bind_text(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        };
        static const char* fields[] = {
            "Job_ID",    "City",         "State",          "Due_Date",
            "Name",      "Description",  "Estimated_Cost", "Estimated_Cost_End",
            "Other",     "Bins",         "Addendum",       "Pre_Bid",
            "Mandatory", "Pre_Bid_Date", "Building",       "Region"};
        static const char* contactFields[] = {"Name",  "Contact",  "Phone",    "Extension",
                                              "Fax",   "Address1", "Address2", "City",
                                              "State", "Zip",      "Type"};
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const server::ListingProject& p : doc.projects) {
            if (perProject && &p != &doc.projects.front())
                sqlite3_exec(db, "COMMIT; BEGIN", nullptr, nullptr, nullptr);
            const int id = p.field("Job_ID").toInt();
            for (int i = 0; i < 16; ++i)
                text(project, i + 1, p.field(QLatin1String(fields[i])));
            sqlite3_step(project);
            sqlite3_reset(project);
            for (const server::AttributeRow& r : p.specs) {
                sqlite3_bind_int(spec, 1, id);
                text(spec, 2, server::attribute(r, "Name").toUpper());
                text(spec, 3, server::attribute(r, "Description").toUpper());
                sqlite3_step(spec);
                sqlite3_reset(spec);
            }
            for (const server::AttributeRow& r : p.plans) {
                sqlite3_bind_int(plan, 1, id);
                text(plan, 2, server::attribute(r, "Name").toUpper());
                text(plan, 3, server::attribute(r, "Description").toUpper());
                sqlite3_bind_int(plan, 4, server::attribute(r, "Size").toInt());
                sqlite3_step(plan);
                sqlite3_reset(plan);
            }
            for (const server::AttributeRow& r : p.contacts) {
                sqlite3_bind_int(contact, 1, id);
                for (int i = 0; i < 11; ++i)
                    text(contact, i + 2, server::attribute(r, QLatin1String(contactFields[i])));
                sqlite3_step(contact);
                sqlite3_reset(contact);
            }
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        for (sqlite3_stmt* s : {project, spec, plan, contact})
            sqlite3_finalize(s);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

// A search reply of 5,000 projects read (each checked against the local database) and shown
// as rows of the import dialog.
void BM_SearchReply_ParseAndFillTrack(benchmark::State& state) {
    const QByteArray reply = listing(5000, 0, 0, 0, 300001);
    QTemporaryDir dir;
    db::Connection c;
    c.open(freshDatabase(dir, 0));
    for (auto _ : state) {
        const server::SearchResults results = server::ReadSearchResults(reply, c);
        server::frmTrack track;
        for (const server::FoundProject& p : results.rows)
            track.addProject(p);
        benchmark::DoNotOptimize(results.rows.size());
        if (results.rows.size() != 5000)
            state.SkipWithError("rows missing");
    }
}

} // namespace

BENCHMARK(BM_ImportListing_Client)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportListing_RawSqlite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchReply_ParseAndFillTrack)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::ScopedScriptedUi ui;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
