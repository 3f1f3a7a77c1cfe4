#pragma once
// Tells a window when other workstations changed the projects of a shared store: a session of
// its own LISTENs for what the store's triggers announce (an import, a delete, a merge), read
// from its socket as it becomes readable, with no polling. A burst of changes (a merge of many
// projects) comes out as one changed() shortly after it ends. When the server drops the session
// (a restart, the network) the watcher opens a new one and LISTENs again, a bounded number of
// times with growing pauses, and then says changed(): what happened meanwhile was not announced
// to it. On an SQLite file, which one workstation uses, it does nothing.
#include "platform/db/StoreLocator.h"

#include <QObject>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace brevant::db {

namespace pg {
class Session;
}

class StoreWatcher : public QObject {
    Q_OBJECT
public:
    explicit StoreWatcher(QObject* parent = nullptr);
    ~StoreWatcher() override;

    // Starts listening on the store; false (and nothing happens) for an SQLite file or when
    // the store cannot be reached (the window works on without live updates).
    bool watch(const StoreLocator& locator);
    void stop();
    // True while listening, and while a dropped session is being opened again.
    bool watching() const;
    // The server process of the listening session (0 when there is none), for the logs and the
    // tests.
    int sessionId() const;
    // Announcements from this server session (the window's own connection: its own changes
    // are already in its list) are not passed on.
    void ignoreSession(int backendPid) { ignoredPid_ = backendPid; }

    // How long a burst of announcements is gathered before changed() goes out.
    static constexpr int SettleMs = 250;
    // Attempts to listen again after the session was dropped, the first at once, the pauses
    // doubling from 500 ms up to 30 s (about three minutes in all); then live updates stop
    // until the window opens the store again.
    static constexpr int ReconnectAttempts = 12;

Q_SIGNALS:
    // Projects changed elsewhere; the window reads its list again.
    void changed();

private:
    void readAnnouncements();
    // Opens the listening session; false when the store cannot be reached.
    bool listen();
    void dropSession();
    void reconnect();

    StoreLocator locator_;
    std::unique_ptr<pg::Session> session_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer settle_;
    QTimer reconnect_;
    int reconnectAttempts_ = 0;
    int ignoredPid_ = 0;
};

// The server session of a connection to a PostgreSQL store (0 for an SQLite file), for
// StoreWatcher::ignoreSession.
class Connection;
int storeSessionId(Connection& connection);

} // namespace brevant::db
