#pragma once
// `brevant --check-updates`: the update request and merge of "Check for Updates on Selected
// Project(s)" without a window, for scripts and timers. One line per project on out, messages
// on err, and an exit code: 0 when every project was merged, 1 when the request failed or a
// project could not be merged, 2 for what the caller asked wrongly, 75 (a temporary failure, as
// sysexits.h has it) when another check holds the store.
#include <QList>
#include <QString>
#include <QTextStream>
#include <optional>

namespace brevant::server {
struct ProjectMergeOutcome;
}

namespace brevant::shell {

// The exit code when another check (on any workstation sharing the store) is running.
constexpr int kAnotherCheckRunning = 75;

struct HeadlessCheckOptions {
    bool tracked = false; // every tracked ("Tagged") project
    QList<int> jobs;      // these projects
    QString user;
    QString password;
    // Tell the desktop when projects changed (a notice that opens them when clicked).
    bool notify = false;
};

// Needs a QCoreApplication (the exchange runs on its event loop). Opens the database the
// settings name, as the window's start-up does.
int RunHeadlessUpdateCheck(const HeadlessCheckOptions& options, QTextStream& out, QTextStream& err);

// The result line of one merged project: "number name: what was found", the name (the
// service's text) escaped so it can neither forge a line nor drive the terminal.
QString OutcomeLine(const QString& name, const server::ProjectMergeOutcome& outcome);

// "12,34" as project numbers; nullopt when any part is not a whole number.
std::optional<QList<int>> parseJobList(const QString& text);

} // namespace brevant::shell
