#pragma once
// The command-line options of the window-less update check: --check-updates with --tracked or
// --jobs 12,34, and --user NAME. The password never comes from the command line, where other
// users could read it: from BREVANT_PASSWORD, or the first line of standard input when unset.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QTextStream>

namespace brevant::shell {

// --check-updates, --tracked, --jobs, --user (the first one starts the check).
QList<QCommandLineOption> CheckUpdatesOptions();

// Runs the check for a parsed command line that has --check-updates; returns the exit code.
// in is read for the password when BREVANT_PASSWORD is not set.
int RunCheckUpdatesOption(const QCommandLineParser& parser, QTextStream& out, QTextStream& err,
                          QTextStream& in);

} // namespace brevant::shell
