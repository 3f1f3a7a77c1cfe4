#pragma once
// A notice on the desktop through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus), and waiting for the user to click it.
#include <QDBusConnection>
#include <QString>

namespace brevant::desktop {

struct Notice {
    QString appName = QStringLiteral("Brevant Desktop");
    QString icon = QStringLiteral("brevant");
    // The desktop entry the notice belongs to (without ".desktop").
    QString desktopEntry = QStringLiteral("brevant");
    QString summary;
    QString body; // plain text; escaped here, since services may read it as markup
    // The label of the "default" action, the one a click on the notice runs; empty for none.
    QString clickLabel;
};

enum class NoticeEnd {
    NotShown, // no bus, no service, or the service refused it
    Clicked,  // the default action was invoked
    Closed,   // dismissed or expired
    TimedOut, // still up when the wait ended, or shown without waiting
};

struct NoticeResult {
    NoticeEnd end = NoticeEnd::NotShown;
    QString why; // with NotShown: the reason, one line
};

// Shows the notice. With a clickLabel and waitMs > 0 it then runs the event loop until the
// notice is clicked or closed, or waitMs has passed. Needs a QCoreApplication.
NoticeResult ShowNotice(const QDBusConnection& bus, const Notice& notice, int waitMs);

// The body as sent: &, < and > as entities (the service's markup), kept to maxChars.
QString NoticeBodyText(const QString& body, int maxChars = 1000);

} // namespace brevant::desktop
