#pragma once
// A listening socket that a flood of connections cannot take over: it holds at most so many
// connections in all and from one address (a connection over either limit gets a short "busy"
// answer and is closed), and when accepting fails for want of file descriptors (EMFILE) it
// stops listening for a while instead of being woken for the same waiting connection again and
// again. Each server says what a session is and what its busy answer reads.
#include "service/net/ConnectionLimits.h"

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

namespace brevant::service {

class GuardedServer : public QTcpServer {
public:
    GuardedServer(const ConnectionLimits& limits, QObject* parent);

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
    void onAcceptError(QAbstractSocket::SocketError error);
    void release(const QHostAddress& address);

    ConnectionLimits limits_;
    QHash<QHostAddress, int> perAddress_;
    int total_ = 0;
    QTimer resume_;     // listening again after accepting failed
    int backoffMs_ = 0; // grows while accepting keeps failing
};

} // namespace brevant::service
