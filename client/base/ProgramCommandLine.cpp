#include "base/ProgramCommandLine.h"

namespace brevant::base {

void setUpProgramParser(QCommandLineParser& parser, const QString& description) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
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

std::optional<int> answerHelpOrVersion(const QCommandLineParser& parser, const QString& versionLine,
                                       QTextStream& out) {
    // The toolkit's options --help-all would add are left out, as they are from --help.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText();
        out.flush();
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << versionLine << Qt::endl;
        return 0;
    }
    return std::nullopt;
}

int refuseCommandLine(const QString& program, const QString& why, QTextStream& err) {
    err << program << ": " << why << Qt::endl
        << "Try '" << program << " --help' for more information." << Qt::endl;
    return 2;
}

} // namespace brevant::base
