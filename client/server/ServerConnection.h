#pragma once
// One connection to the service's server and its own reply state: the shared connect sequence,
// the request sent when the connection is ready, the reply collected chunk by chunk, refusals
// and communication errors shown and cleaned up. What a reply means is the owner's (the search,
// the listing import, the update, the access check, the documents), through the callbacks.
//
// Beyond the bare protocol: a request is given up when the server sends nothing for
// SERVERTIMEOUT seconds, when it lasts longer than SERVERTIMEOUT seconds plus one second for
// every SERVERMINRATE KB received (a server dripping bytes ends like a silent one), or when a
// reply grows beyond 64 MB; a connection that closes before its reply is complete is a
// communication error (10054), not a wait without end. A refusal's text is shown cut to a few
// hundred characters.
#include "platform/wirelet/Wirelet.h"
#include "server/ReplyAssembler.h"
#include "server/RequestKind.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace brevant::server {

class ServerConnection : public QObject {
    Q_OBJECT
public:
    explicit ServerConnection(RequestKind kind, QObject* parent = nullptr);
    ~ServerConnection() override;

    RequestKind kind() const { return kind_; }
    wirelet::Wirelet& control() { return control_; }
    ReplyAssembler& reply() { return reply_; }
    // From OpenConnection until the reply has come or the request failed.
    bool active() const { return active_; }

    enum class Open {
        NotOnline,        // the kind's message was shown
        LogonCancelled,   // the logon dialog was cancelled
        AlreadyConnected, // the kind's "already connected" rule applied; nothing new was sent
        Failed,           // the connection could not start; the kind's message was shown
        Connecting,       // the request goes out when the connection is ready
        Sent,             // a search on the connection left open: sent at once
    };
    // The connect sequence shared by every kind; the argument goes after the header.
    Open OpenConnection(const QString& argument);
    // Sends the request: waits (pumping the control) until it reports itself connected, then
    // sends the framed request in one piece.
    void SendRequest();
    // Closes the connection; nothing more is reported for the request under way.
    void Disconnect();

    // Seconds of silence before a request is given up (default: ServerTimeoutSeconds()).
    void setTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    // The slowest reply kept, in KB a second; 0: no overall deadline (default:
    // ServerMinRateKilobytes()).
    void setMinRateKilobytes(int rate) { minRateKilobytes_ = rate; }

    // The owner's part; every callback is optional and runs after the shared steps.
    std::function<void(const QString&)> onLabel;    // "Connecting...", "Connected", ""
    std::function<void(std::int64_t)> onBytes;      // bytes of the reply so far, per chunk
    std::function<void(const QByteArray&)> onReply; // the success text (UTF-8 bytes)
    std::function<void()> onEnded; // after a refusal or failure was shown and cleaned up

private:
    void connected();
    void dataArrived(const QByteArray& data);
    void peerClosed();
    void fail(int code, const QString& description);
    void refuse();
    void restartTimer();
    void startDeadline();
    void armDeadline();
    int timeoutSeconds() const;
    int minRateKilobytes() const;
    void finish();

    RequestKind kind_;
    wirelet::Wirelet control_;
    ReplyAssembler reply_;
    QTimer idle_;
    QTimer deadline_;       // the overall deadline, moved on by every byte received
    QElapsedTimer started_; // since the request began
    std::int64_t deadlineBaseMs_ = 0;
    std::int64_t minBytesPerSecond_ = 0;
    QString argument_;
    int timeoutSeconds_ = 0;
    int minRateKilobytes_ = -1;
    bool active_ = false;  // a request is under way
    bool sent_ = false;    // its text went out
    bool reused_ = false;  // sent on a connection left open by an earlier request
    bool reached_ = false; // the connection to the server (or its proxy) was made
};

// The setting SERVERMINRATE: KB a second a reply must average (default 2; 0: no such limit).
int ServerMinRateKilobytes();

// "Error communicating with server - <code> <description>"
QString communicationErrorText(int code, const QString& description);

} // namespace brevant::server
