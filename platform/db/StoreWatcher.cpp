#include "platform/db/StoreWatcher.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/pg/PgSession.h"

#include <QSocketNotifier>

namespace brevant::db {

StoreWatcher::StoreWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &StoreWatcher::changed);
}

StoreWatcher::~StoreWatcher() {
    stop();
}

bool StoreWatcher::watch(const StoreLocator& locator) {
    stop();
    if (locator.kind() != StoreLocator::Kind::PostgreSql)
        return false;
    auto session = std::make_unique<pg::Session>();
    try {
        session->open(locator.text());
        session->run(QByteArrayView("LISTEN " + pg::projectsChannel()));
    } catch (const DbError&) {
        return false;
    }
    session_ = std::move(session);
    notifier_ = new QSocketNotifier(qintptr(session_->socket()), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StoreWatcher::readAnnouncements);
    return true;
}

void StoreWatcher::stop() {
    delete notifier_;
    notifier_ = nullptr;
    session_.reset();
    settle_.stop();
}

bool StoreWatcher::watching() const {
    return session_ != nullptr;
}

void StoreWatcher::readAnnouncements() {
    bool any = false;
    try {
        while (const std::optional<pg::Notification> n = session_->nextNotification()) {
            if (n->senderPid != ignoredPid_)
                any = true;
        }
    } catch (const DbError&) {
        // The server went away: no more live updates until the window opens the store again.
        stop();
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
