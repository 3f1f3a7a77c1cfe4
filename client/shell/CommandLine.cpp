#include "shell/CommandLine.h"

#include "shell/CheckUpdatesOption.h"

#include <QCoreApplication>
#include <cstdio>

namespace brevant::shell {

namespace {

// Options QApplication reads itself; accepted here so that they reach it.
void addWindowSystemOptions(QCommandLineParser& parser) {
    const char* const withValue[] = {"platform",        "platformpluginpath",
                                     "platformtheme",   "plugin",
                                     "qwindowgeometry", "qwindowicon",
                                     "qwindowtitle",    "style",
                                     "stylesheet",      "session",
                                     "display",         "geometry"};
    const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* name : withValue) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    for (const char* name : flags) {
        QCommandLineOption o(QString::fromLatin1(name));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
}

} // namespace

std::vector<ProgramOption> ProgramOptions() {
    std::vector<ProgramOption> all{{JobsOption(), {}}};
    for (auto* part : {&ExportProgramOptions, &CheckUpdatesOptions})
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
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Find, track and download construction projects open for bidding.\n"
                       "Without options the main window starts."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    addWindowSystemOptions(parser);
    for (const ProgramOption& o : options)
        parser.addOption(o.option);

    const QString program = arguments.isEmpty() ? QStringLiteral("brevant") : arguments.first();
    if (!parser.parse(arguments)) {
        err << program << ": " << parser.errorText() << Qt::endl
            << "Try '" << program << " --help' for more information." << Qt::endl;
        return 2;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        out.flush();
        return 0;
    }
    if (parser.isSet(version)) {
        out << ProgramVersionLine() << Qt::endl;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << program << ": unexpected argument '" << parser.positionalArguments().first() << "'."
            << Qt::endl
            << "Try '" << program << " --help' for more information." << Qt::endl;
        return 2;
    }
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
