// --show-projects 12,34: the window starts with these projects checked in the list and the
// first of them on screen. A click on the update check's desktop notice starts it so.
#include "shell/CommandLine.h"
#include "shell/HeadlessUpdateCheck.h"

namespace brevant::shell {

namespace {

QList<int>& projectsToShow() {
    static QList<int> ids;
    return ids;
}

} // namespace

const QList<int>& ProjectsToShow() {
    return projectsToShow();
}

std::vector<ProgramOption> ShowProjectsOptions() {
    auto remember = [](const QCommandLineParser& p) -> std::optional<int> {
        const auto ids = parseJobList(p.value(QStringLiteral("show-projects")));
        if (!ids) {
            QTextStream(stderr) << "--show-projects takes project numbers separated by commas, "
                                   "such as 12,34."
                                << Qt::endl;
            return 2;
        }
        projectsToShow() = *ids;
        return std::nullopt; // on to the window
    };
    return {{QCommandLineOption(QStringLiteral("show-projects"),
                                QStringLiteral("Start the window with these projects checked "
                                               "and the first of them shown."),
                                QStringLiteral("ids")),
             remember}};
}

} // namespace brevant::shell
