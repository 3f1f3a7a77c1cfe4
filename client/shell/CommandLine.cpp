#include "shell/CommandLine.h"

#include "base/ProgramCommandLine.h"
#include "shell/CheckUpdatesOption.h"

#include <QCoreApplication>
#include <cstdio>

namespace brevant::shell {

std::vector<ProgramOption> ProgramOptions() {
    std::vector<ProgramOption> all{{JobsOption(), {}}};
    for (auto* part :
         {&StoreProgramOptions, &ExportProgramOptions, &CheckUpdatesOptions, &ShowProjectsOptions})
        for (ProgramOption& o : part())
            all.push_back(std::move(o));
    return all;
}

QString ProgramVersionLine() {
    return QStringLiteral("Brevant Desktop %1.%2.%3")
        .arg(BREVANT_VERSION_MAJOR)
        .arg(BREVANT_VERSION_MINOR)
        .arg(BREVANT_VERSION_PATCH);
}

std::optional<int> HandleCommandLine(const QStringList& arguments,
                                     const std::vector<ProgramOption>& options, QTextStream& out,
                                     QTextStream& err) {
    QCommandLineParser parser;
    base::setUpProgramParser(
        parser, QStringLiteral("Find, track and download construction projects open for bidding.\n"
                               "Without options the main window starts."));
    for (const ProgramOption& o : options)
        parser.addOption(o.option);

    const QString program = arguments.isEmpty() ? QStringLiteral("brevant") : arguments.first();
    if (!parser.parse(arguments))
        return base::refuseCommandLine(program, parser.errorText(), err);
    if (const std::optional<int> code =
            base::answerHelpOrVersion(parser, ProgramVersionLine(), out))
        return code;
    if (!parser.positionalArguments().isEmpty())
        return base::refuseCommandLine(
            program,
            QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()),
            err);
    for (const ProgramOption& o : options) {
        if (!o.handler || !parser.isSet(o.option))
            continue;
        if (const std::optional<int> code = o.handler(parser))
            return code;
    }
    return std::nullopt;
}

std::optional<int> HandleCommandLine(int& argc, char** argv) {
    if (argc <= 1)
        return std::nullopt; // the usual start: nothing to parse
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brevant"));
    QCoreApplication::setApplicationVersion(ProgramVersionLine());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HandleCommandLine(QCoreApplication::arguments(), ProgramOptions(), out, err);
}

} // namespace brevant::shell
