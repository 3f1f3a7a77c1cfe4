#include "platform/desktop/DesktopNotice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace brevant::desktop {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// How long the service may take to answer the Notify call.
constexpr int kCallTimeoutMs = 10000;

} // namespace

// Collects the service's ActionInvoked and NotificationClosed signals. They may arrive before
// the reply naming our notice's id has been handled, so they are kept until it is known.
class NoticeSignals : public QObject {
    Q_OBJECT
public:
    // Subscribes to the signals only when listen; unsubscribes when it goes.
    NoticeSignals(QDBusConnection bus, bool listen) : bus_(std::move(bus)), listening_(listen) {
        if (listening_)
            hook(true);
    }
    ~NoticeSignals() override {
        if (listening_)
            hook(false);
    }
    NoticeSignals(const NoticeSignals&) = delete;
    NoticeSignals& operator=(const NoticeSignals&) = delete;

    std::vector<std::pair<uint, QString>> actions;
    std::vector<uint> closed;
Q_SIGNALS:
    void arrived();
public Q_SLOTS:
    void actionInvoked(uint id, const QString& key) {
        actions.emplace_back(id, key);
        Q_EMIT arrived();
    }
    void notificationClosed(uint id, uint /*reason*/) {
        closed.push_back(id);
        Q_EMIT arrived();
    }

private:
    void hook(bool on) {
        const auto one = [&](const QString& name, const char* slot) {
            if (on)
                bus_.connect(kService, kPath, kInterface, name, this, slot);
            else
                bus_.disconnect(kService, kPath, kInterface, name, this, slot);
        };
        one(QStringLiteral("ActionInvoked"), SLOT(actionInvoked(uint, QString)));
        one(QStringLiteral("NotificationClosed"), SLOT(notificationClosed(uint, uint)));
    }
    QDBusConnection bus_;
    bool listening_;
};

QString NoticeBodyText(const QString& body, int maxChars) {
    QString text = body;
    if (text.size() > maxChars)
        text = text.left(maxChars - 1) + QChar(0x2026);
    return text.toHtmlEscaped();
}

NoticeResult ShowNotice(const QDBusConnection& constBus, const Notice& notice, int waitMs) {
    QDBusConnection bus = constBus;
    if (!bus.isConnected())
        return {NoticeEnd::NotShown, QStringLiteral("no session bus")};

    const bool waiting = !notice.clickLabel.isEmpty() && waitMs > 0;
    NoticeSignals signals_(bus, waiting);

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QStringList actions;
    if (!notice.clickLabel.isEmpty())
        actions << QStringLiteral("default") << notice.clickLabel;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), notice.desktopEntry);
    call << notice.appName << uint(0) << notice.icon << notice.summary
         << NoticeBodyText(notice.body) << actions << hints << int(-1);

    // Asynchronous, so that a service living in this very process (as in tests) can answer.
    QEventLoop loop;
    QDBusPendingCallWatcher watcher(bus.asyncCall(call, kCallTimeoutMs));
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec();
    const QDBusPendingReply<uint> reply = watcher;
    if (reply.isError()) {
        QString why = reply.error().message();
        if (why.isEmpty())
            why = reply.error().name();
        return {NoticeEnd::NotShown, why.simplified()};
    }
    if (!waiting)
        return {NoticeEnd::TimedOut, {}};

    const uint id = reply.value();
    std::optional<NoticeEnd> end;
    auto look = [&] {
        for (const auto& [action, key] : signals_.actions)
            if (action == id && key == QLatin1String("default"))
                end = NoticeEnd::Clicked;
        if (!end &&
            std::find(signals_.closed.begin(), signals_.closed.end(), id) != signals_.closed.end())
            end = NoticeEnd::Closed;
        if (end)
            loop.quit();
    };
    look();
    if (!end) {
        QObject::connect(&signals_, &NoticeSignals::arrived, &loop, look);
        QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return {end.value_or(NoticeEnd::TimedOut), {}};
}

} // namespace brevant::desktop

#include "DesktopNotice.moc"
