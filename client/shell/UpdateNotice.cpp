#include "shell/UpdateNotice.h"

#include "platform/desktop/DesktopNotice.h"
#include "platform/ui/TerminalText.h"

#include <QProcess>

namespace brevant::shell {

namespace {

// A notice is read at a glance: a few titles, each short enough for one line.
constexpr int kTitlesShown = 3;
constexpr int kTitleChars = 60;

} // namespace

QString UpdateNoticeSummary(int count, bool tracked) {
    return QStringLiteral("%1 %2project%3 changed")
        .arg(count)
        .arg(tracked ? QStringLiteral("tracked ") : QString())
        .arg(count == 1 ? "" : "s");
}

QString UpdateNoticeBody(const QList<ChangedProject>& changed) {
    QStringList lines;
    for (int i = 0; i < changed.size() && i < kTitlesShown; ++i) {
        // The service's text, on one line and without controls.
        QString title = changed[i].name.simplified();
        if (title.isEmpty())
            title = QStringLiteral("Project %1").arg(changed[i].jobId);
        if (title.size() > kTitleChars)
            title = title.left(kTitleChars - 1) + QChar(0x2026);
        lines << title;
    }
    if (changed.size() > kTitlesShown)
        lines << QStringLiteral("and %1 more").arg(changed.size() - kTitlesShown);
    return lines.join(QLatin1Char('\n'));
}

Launcher DetachedLauncher() {
    return [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
}

void NotifyChangedProjects(const QList<ChangedProject>& changed, bool tracked,
                           const QDBusConnection& bus, int waitMs, const QString& program,
                           const Launcher& launch, QTextStream& err) {
    if (changed.isEmpty())
        return;
    desktop::Notice notice;
    notice.summary = UpdateNoticeSummary(changed.size(), tracked);
    notice.body = UpdateNoticeBody(changed);
    notice.clickLabel = QStringLiteral("Open");
    const desktop::NoticeResult shown = desktop::ShowNotice(bus, notice, waitMs);
    if (shown.end == desktop::NoticeEnd::NotShown) {
        err << "No desktop notice: " << ui::escapeForTerminal(shown.why) << Qt::endl;
        return;
    }
    if (shown.end != desktop::NoticeEnd::Clicked)
        return;
    QStringList ids;
    for (const ChangedProject& p : changed)
        ids << QString::number(p.jobId);
    if (!launch(program, {QStringLiteral("--show-projects"), ids.join(QLatin1Char(','))}))
        err << "Could not start " << program << '.' << Qt::endl;
}

} // namespace brevant::shell
