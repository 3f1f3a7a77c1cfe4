#pragma once
// What the command lines of brevant and brevant-viewer share: the parser's set-up with --help,
// --version and the options QApplication reads itself (-platform, -style, -session, ...,
// accepted and hidden from --help so that they reach QApplication), the answers to --help and
// --version, and the refusal of a mistake.
#include <QCommandLineParser>
#include <QTextStream>
#include <optional>

namespace brevant::base {

// Sets the parser up; parse() the arguments afterwards.
void setUpProgramParser(QCommandLineParser& parser, const QString& description);

// For parsed arguments with --help or --help-all (which Qt adds; it prints the same text) or
// --version: prints the answer to out and gives 0. Nothing otherwise.
std::optional<int> answerHelpOrVersion(const QCommandLineParser& parser, const QString& versionLine,
                                       QTextStream& out);

// "program: why" and a hint to --help on err; gives 2, the exit code of a wrong command line.
int refuseCommandLine(const QString& program, const QString& why, QTextStream& err);

} // namespace brevant::base
