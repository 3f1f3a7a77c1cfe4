#include "platform/db/StoreWatcher.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/pg/PgSession.h"

#include <QSocketNotifier>
#include <algorithm>

namespace brevant::db {

StoreWatcher::StoreWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &StoreWatcher::changed);
    reconnect_.setSingleShot(true);
    connect(&reconnect_, &QTimer::timeout, this, &StoreWatcher::reconnect);
}

StoreWatcher::~StoreWatcher() {
    stop();
}

bool StoreWatcher::watch(const StoreLocator& locator) {
    stop();
    if (locator.kind() != StoreLocator::Kind::PostgreSql)
        return false;
    locator_ = locator;
    return listen();
}

bool StoreWatcher::listen() {
    auto session = std::make_unique<pg::Session>();
    try {
        session->open(locator_.text(), locator_.passwordAllowed());
        session->run(QByteArrayView("LISTEN " + pg::projectsChannel()));
    } catch (const DbError&) {
        return false;
    }
    session_ = std::move(session);
    notifier_ = new QSocketNotifier(qintptr(session_->socket()), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StoreWatcher::readAnnouncements);
    return true;
}

void StoreWatcher::dropSession() {
    // Called from the notifier's own signal: it goes once that has returned.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
    }
    notifier_ = nullptr;
    session_.reset();
}

void StoreWatcher::stop() {
    dropSession();
    settle_.stop();
    reconnect_.stop();
    reconnectAttempts_ = 0;
}

bool StoreWatcher::watching() const {
    return session_ != nullptr || reconnect_.isActive();
}

int StoreWatcher::sessionId() const {
    return session_ ? session_->backendPid() : 0;
}

void StoreWatcher::reconnect() {
    if (listen()) {
        reconnectAttempts_ = 0;
        // Whatever was announced while no session listened is lost: the list is read again.
        settle_.start();
        return;
    }
    if (++reconnectAttempts_ >= ReconnectAttempts) {
        stop(); // live updates end until the window opens the store again
        return;
    }
    reconnect_.start(std::min(30000, 500 << std::min(reconnectAttempts_ - 1, 6)));
}

void StoreWatcher::readAnnouncements() {
    bool any = false;
    try {
        while (const std::optional<pg::Notification> n = session_->nextNotification()) {
            if (n->senderPid != ignoredPid_)
                any = true;
        }
    } catch (const DbError&) {
        // The server dropped the session: listen again on a new one.
        dropSession();
        reconnectAttempts_ = 0;
        reconnect_.start(0);
        return;
    }
    if (any)
        settle_.start();
}

int storeSessionId(Connection& connection) {
    if (connection.dialect() != Dialect::PostgreSql)
        return 0;
    const std::vector<QVariantList> rows =
        connection.backend().queryNative(QStringLiteral("SELECT pg_backend_pid()"), {});
    return rows.empty() ? 0 : rows.front().value(0).toInt();
}

} // namespace brevant::db
