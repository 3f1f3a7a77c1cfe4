// How long the user waits: from starting the client to a shown main window (the splash hold
// left out), and for the project list to refill over 10,000 stored projects.
#include "base/ProgramFolders.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace brevant;

namespace {

// A program folder whose Work/Desktop.mdb holds `count` projects.
QString makeProgramFolder(QTemporaryDir& root, int count) {
    const QString home = root.filePath(QStringLiteral("home%1").arg(count));
    QDir().mkpath(home + QStringLiteral("/Work"));
    const QString file = home + QStringLiteral("/Work/Desktop.mdb");
    if (QFileInfo::exists(file))
        return home;
    db::createDesktopDatabase(file);
    db::Connection c;
    c.open(file);
    // Rows are made by SQLite itself: a third new, a third tagged, a fifth assigned.
    c.executeNative(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                   "WHERE i < ") +
                    QString::number(count) +
                    QStringLiteral(") INSERT INTO Projects (Job_ID, Name, Due_Date, New, Tracked, "
                                   "Assignment, City, State) SELECT 100000 + i, 'PROJECT NUMBER ' "
                                   "|| i, printf('%04d-%02d-%02d 00:00:00', 2026 + i % 3, 1 + i % "
                                   "12, 1 + i % 28), i % 3 = 0, i % 3 = 1, CASE WHEN i % 5 = 0 "
                                   "THEN 'JOE' END, 'SPRINGFIELD', 'IL' FROM n;"));
    c.close();
    return home;
}

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

void useProgramFolder(const QString& home) {
    qputenv("BREVANT_HOME", home.toUtf8());
    qputenv("BREVANT_REGISTRY", (home + QStringLiteral("/registry")).toUtf8());
}

// Main() up to the shown window, without the splash hold and the event loop.
void BM_StartupToShownMainWindow(benchmark::State& state) {
    useProgramFolder(makeProgramFolder(scratch(), int(state.range(0))));
    for (auto _ : state) {
        shell::SingleInstance guard(base::ProgramFolder());
        if (!guard.acquire())
            state.SkipWithError("lock held");
        auto* splash = new shell::frmSplash;
        splash->show();
        QCoreApplication::processEvents();
        auto* window = new shell::frmMain;
        window->Form_Load();
        splash->close();
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        delete window;
        shell::CloseDatabase();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToShownMainWindow)->Arg(300)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LoadProjects(benchmark::State& state) {
    useProgramFolder(makeProgramFolder(scratch(), int(state.range(0))));
    shell::frmMain window;
    window.Form_Load();
    window.show();
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    for (auto _ : state) {
        window.LoadProjects(QStringLiteral("ALL"), true);
        benchmark::DoNotOptimize(list->topLevelItemCount());
    }
    state.counters["rows"] = list->topLevelItemCount();
    shell::CloseDatabase();
}
BENCHMARK(BM_LoadProjects)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::ScopedScriptedUi dialogs; // nothing may wait for a click
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
