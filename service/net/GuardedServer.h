#pragma once
// A listening socket that a flood of connections cannot take over: it holds at most so many
// connections in all and from one address (a connection over either limit gets a short "busy"
// answer and is closed), and when accepting fails for want of file descriptors (EMFILE) it
// stops listening for a while instead of being woken for the same waiting connection again and
// again. Each server says what a session is and what its busy answer reads.
//
// It accepts on its own rather than through QTcpServer's loop: that loop keeps the first error
// its socket engine ever saw, so after one "no connection waiting" it took a later EMFILE for
// the same harmless condition and spun on the waiting connection at full speed.
#include "service/net/ConnectionLimits.h"

#include <QHash>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTimer>
#include <memory>

class QTcpSocket;

namespace brevant::service {

class GuardedServer : public QTcpServer {
public:
    GuardedServer(const ConnectionLimits& limits, QObject* parent);

    // Listens as QTcpServer::listen does, with this server's own accepting.
    bool listenOn(const QHostAddress& address, quint16 port);

    int openConnections() const { return total_; }

protected:
    // Starts a session on the connected socket; the socket is owned by the session from then on
    // and its destruction tells this server that the connection has gone.
    virtual void startSession(QTcpSocket* socket) = 0;
    // What a connection over the limits is told before it is closed.
    virtual QByteArray busyReply() const = 0;
    // For the log line of a refused connection.
    virtual QString kindName() const = 0;

    const ConnectionLimits& limits() const { return limits_; }

private:
    void incomingConnection(qintptr descriptor) final;
    void acceptWaiting();
    void pauseAfterFailure(int error);
    void resume();
    void release(const QHostAddress& address);

    ConnectionLimits limits_;
    QHash<QHostAddress, int> perAddress_;
    int total_ = 0;
    std::unique_ptr<QSocketNotifier> waiting_; // a connection waits to be accepted
    QTimer resume_;                            // listening again after accepting failed
    int backoffMs_ = 0;                        // grows while accepting keeps failing
};

} // namespace brevant::service
