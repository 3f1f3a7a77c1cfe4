#pragma once
// The command-line options of the window-less update check: --check-updates with --tracked or
// --jobs 12,34, and --user NAME. The password never comes from the command line, where other
// users could read it: from a private file (--password-file), BREVANT_PASSWORD, or the first
// line of standard input.
#include "shell/CommandLine.h"

#include <QTextStream>
#include <vector>

namespace brevant::shell {

// --check-updates (runs the check on the standard streams), and --tracked, --jobs, --user,
// --password-file and --notify that qualify it.
std::vector<ProgramOption> CheckUpdatesOptions();

// Runs the check for a parsed command line that has --check-updates; returns the exit code.
// The password comes from --password-file, else BREVANT_PASSWORD, else a line of in.
int RunCheckUpdatesOption(const QCommandLineParser& parser, QTextStream& out, QTextStream& err,
                          QTextStream& in);

} // namespace brevant::shell
