#pragma once
// The command-line options of the window-less update check: --check-updates with --tracked or
// --jobs 12,34, and --user NAME. The password never comes from the command line, where other
// users could read it: from BREVANT_PASSWORD, or the first line of standard input when unset.
#include "shell/CommandLine.h"

#include <QTextStream>
#include <vector>

namespace brevant::shell {

// --check-updates (runs the check on the standard streams), and --tracked, --jobs and --user
// that qualify it.
std::vector<ProgramOption> CheckUpdatesOptions();

// Runs the check for a parsed command line that has --check-updates; returns the exit code.
// in is read for the password when BREVANT_PASSWORD is not set.
int RunCheckUpdatesOption(const QCommandLineParser& parser, QTextStream& out, QTextStream& err,
                          QTextStream& in);

} // namespace brevant::shell
