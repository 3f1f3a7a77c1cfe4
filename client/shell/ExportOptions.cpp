// The exports' command-line options: --export-calendar FILE [--jobs 12,34] and
// --export-list FILE.csv [--filter NAME]. They run without a window and end the program.
#include "platform/ui/ConsoleUi.h"
#include "shell/CommandLine.h"
#include "shell/HeadlessExports.h"

#include <cstdio>

namespace brevant::shell {

namespace {

const QCommandLineOption kCalendar(QStringLiteral("export-calendar"),
                                   QStringLiteral("Write the bid calendar (iCalendar) of every "
                                                  "tagged project, or of --jobs, to <file>."),
                                   QStringLiteral("file"));
const QCommandLineOption kList(QStringLiteral("export-list"),
                               QStringLiteral("Write the project list as CSV to <file>."),
                               QStringLiteral("file"));
const QCommandLineOption kFilter(QStringLiteral("filter"),
                                 QStringLiteral("With --export-list: ALL (default), NEW, TRACK "
                                                "or VIEW."),
                                 QStringLiteral("name"), QStringLiteral("ALL"));

} // namespace

const QCommandLineOption& JobsOption() {
    static const QCommandLineOption jobs(QStringLiteral("jobs"),
                                         QStringLiteral("The projects to work on, as 12,34."),
                                         QStringLiteral("ids"));
    return jobs;
}

std::vector<ProgramOption> ExportProgramOptions() {
    auto calendar = [](const QCommandLineParser& p) -> std::optional<int> {
        QTextStream out(stdout), err(stderr);
        std::vector<int> jobs;
        if (p.isSet(JobsOption())) {
            const auto parsed = ParseJobList(p.value(JobsOption()));
            if (!parsed) {
                err << "--jobs takes project numbers separated by commas, as 12,34." << Qt::endl;
                return 2;
            }
            jobs = *parsed;
        }
        ui::ScopedConsoleUi console(err);
        return ExportCalendarCommand(p.value(kCalendar), jobs, out, err);
    };
    auto list = [](const QCommandLineParser& p) -> std::optional<int> {
        QTextStream out(stdout), err(stderr);
        ui::ScopedConsoleUi console(err);
        return ExportListCommand(p.value(kList), p.value(kFilter), out, err);
    };
    return {{kCalendar, calendar}, {kList, list}, {kFilter, {}}};
}

} // namespace brevant::shell
