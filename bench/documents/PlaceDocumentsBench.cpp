// PlaceDocuments of a 200 MB archive with 2,000 entries (1,000 plan pages, 500 sections with a
// page image each) into an empty project cache, with the Local flag of every document set and
// its row marked, against "unzip -o" of the same archive into an empty folder.
#include "documents/DocumentLists.h"
#include "documents/PlaceDocuments.h"
#include "platform/archive/ZipWriter.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <filesystem>

namespace {

using namespace brevant;
constexpr int Entries = 2000;
constexpr int EntryBytes = 100 * 1000; // 2,000 x 100 KB = 200 MB
constexpr int Job = 210001;

struct Fixture {
    QTemporaryDir dir;
    QString archive;
    db::Connection connection;
    documents::DocumentRows rows;

    Fixture() {
        archive = dir.filePath("source.zip");
        // Page images are compressed already: the entries are incompressible bytes.
        archive::ZipWriter zip(archive.toStdString());
        QRandomGenerator random(7);
        std::string bytes(EntryBytes, '\0');
        QString plans, specs;
        for (int i = 0; i < Entries; ++i) {
            for (size_t b = 0; b < bytes.size(); b += 4) {
                const quint32 v = random.generate();
                std::memcpy(&bytes[b], &v, std::min<size_t>(4, bytes.size() - b));
            }
            QString name;
            if (i < Entries / 2)
                name = i == 0 ? QStringLiteral("PLAN.SVD")
                              : QStringLiteral("PLAN%1").arg(i, 3, 10, QChar('0'));
            else if (i % 2 == 0)
                name = QStringLiteral("S%1.SVD").arg(i, 4, 10, QChar('0'));
            else
                name = QStringLiteral("S%1_001.tif").arg(i - 1, 4, 10, QChar('0'));
            zip.addBytes(name.toStdString(), bytes);
        }
        zip.write();

        db::createDesktopDatabase(dir.filePath("Desktop.mdb"));
        connection.open(dir.filePath("Desktop.mdb"));
        connection.execute(
            QStringLiteral("Insert into [Projects] ([Job_ID]) values (%1)").arg(Job));
        for (int i = 1; i < Entries / 2; ++i) {
            const QString file = QStringLiteral("PLAN%1").arg(i, 3, 10, QChar('0'));
            connection.execute(
                QStringLiteral("Insert into [Plans] ([JobID], [File], [Description], "
                               "[Size], [Local]) values (%1, '%2', 'SHEET', %3, 0)")
                    .arg(Job)
                    .arg(file)
                    .arg(EntryBytes));
            rows.lists[documents::PlanList].push_back(
                {QStringLiteral("SHEET"), {}, file, {}, 1, true});
        }
        for (int i = Entries / 2; i < Entries; i += 2) {
            const QString spec = QStringLiteral("S%1").arg(i, 4, 10, QChar('0'));
            connection.execute(
                QStringLiteral("Insert into [Specs] ([JobID], [Spec], [Description], "
                               "[Local]) values (%1, '%2', 'SECTION', 0)")
                    .arg(Job)
                    .arg(spec));
            rows.lists[documents::SpecList].push_back(
                {spec, QStringLiteral("SECTION"), spec, {}, 1, true});
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_PlaceDocuments(benchmark::State& state) {
    Fixture& f = fixture();
    ui::ScopedScriptedUi ui;
    const QString download = f.dir.filePath("documents-000001.zip");
    const QString project = f.dir.filePath("cache/210001");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(f.dir.filePath("cache").toStdString());
        QDir().mkpath(f.dir.filePath("cache"));
        QFile::remove(download);
        QFile::copy(f.archive, download);
        state.ResumeTiming();
        documents::PlaceRequest request{download, project, Job, QStringLiteral("x@example.net")};
        const documents::PlaceOutcome out =
            documents::PlaceDocuments(request, f.connection, f.rows);
        if (!out.ok() || out.placed != Entries)
            state.SkipWithError(out.reason.toUtf8().constData());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(Entries) * EntryBytes);
}

void BM_UnzipCommand(benchmark::State& state) {
    Fixture& f = fixture();
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty()) {
        state.SkipWithError("unzip is not installed");
        return;
    }
    const QString target = f.dir.filePath("unzipped");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(target.toStdString());
        QDir().mkpath(target);
        state.ResumeTiming();
        QProcess p;
        p.start(unzip, {QStringLiteral("-o"), QStringLiteral("-q"), f.archive, QStringLiteral("-d"),
                        target});
        p.waitForFinished(-1);
        if (p.exitCode() != 0)
            state.SkipWithError("unzip failed");
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(Entries) * EntryBytes);
}

BENCHMARK(BM_PlaceDocuments)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_UnzipCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
