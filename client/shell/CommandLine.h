#pragma once
// The program's command line (Qt's parser): --help, --version and the options that do their
// work without a window. It is handled before any widget exists, with a QCoreApplication at
// most, so it works on a machine with no display.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>
#include <vector>

namespace brevant::shell {

// Runs once the arguments are parsed: returns an exit code to end the program there, or
// nothing to go on (to the next option's handler and finally the main window).
using OptionHandler = std::function<std::optional<int>(const QCommandLineParser&)>;

struct ProgramOption {
    QCommandLineOption option;
    // Called when the option was given, in the order of ProgramOptions(). Empty for an option
    // that only qualifies another (say, a list of projects for an export).
    OptionHandler handler;
};

// The options besides --help and --version. A capability that adds one appends it here, with
// its handler in its own file.
std::vector<ProgramOption> ProgramOptions();

// "--jobs 12,34": the projects a window-less command works on; shared by those commands.
const QCommandLineOption& JobsOption();
// The options of each capability, in their own files.
std::vector<ProgramOption> ExportProgramOptions(); // ExportOptions.cpp
std::vector<ProgramOption> ShowProjectsOptions();  // ShowProjectsOption.cpp
// --store (first: the commands after it use its store), --migrate-store, --merge.
std::vector<ProgramOption> StoreProgramOptions(); // StoreOptions.cpp
// The projects --show-projects named, empty when it was not given.
const QList<int>& ProjectsToShow();

// "Brevant Desktop 1.0.0".
QString ProgramVersionLine();

// Parses the arguments (the program's name first) and handles them: --help and --version
// print to out and give 0; an unknown option or a stray argument prints why to err and gives
// 2; then each given option's handler runs. Nothing is returned when the window is to start.
// Qt's own window-system options (-platform, -style, -session, ...) are accepted and left to
// QApplication.
std::optional<int> HandleCommandLine(const QStringList& arguments,
                                     const std::vector<ProgramOption>& options, QTextStream& out,
                                     QTextStream& err);

// main()'s entry: with any argument, parses under a QCoreApplication that ends before the
// window's QApplication is made; stdout and stderr are the streams.
std::optional<int> HandleCommandLine(int& argc, char** argv);

} // namespace brevant::shell
