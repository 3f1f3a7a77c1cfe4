#pragma once
// The desktop notice of a window-less update check that found changes ("3 tracked projects
// changed" and a few of their titles); a click on it starts the program on those projects.
#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace brevant::shell {

struct ChangedProject {
    int jobId = 0;
    QString name;
};

// "1 tracked project changed", "3 projects changed".
QString UpdateNoticeSummary(int count, bool tracked);
// The first few titles, one a line, each cut to a readable length, and "and N more".
QString UpdateNoticeBody(const QList<ChangedProject>& changed);

// Starts a program detached from this one; false when it could not be started.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;
Launcher DetachedLauncher();

// How long a check waits for a click before it ends.
constexpr int kUpdateNoticeWaitMs = 10 * 60 * 1000;

// Shows the notice on bus and waits up to waitMs; a click starts program --show-projects
// 12,34 through launch. Where no notice can be shown, one line says why on err; nothing fails.
void NotifyChangedProjects(const QList<ChangedProject>& changed, bool tracked,
                           const QDBusConnection& bus, int waitMs, const QString& program,
                           const Launcher& launch, QTextStream& err);

} // namespace brevant::shell
