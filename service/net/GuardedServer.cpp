#include "service/net/GuardedServer.h"

#include "service/log/LogLine.h"

#include <QTcpSocket>
#include <algorithm>

namespace brevant::service {

namespace {
constexpr int FirstBackoffMs = 50;
constexpr int LongestBackoffMs = 2000;
constexpr int BusyLingerMs = 2000;
} // namespace

GuardedServer::GuardedServer(const ConnectionLimits& limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, [this] {
        if (isListening())
            resumeAccepting();
    });
    connect(this, &QTcpServer::acceptError, this,
            [this](QAbstractSocket::SocketError e) { onAcceptError(e); });
}

void GuardedServer::onAcceptError(QAbstractSocket::SocketError error) {
    // Out of descriptors (or another accept failure): the waiting connection stays in the
    // backlog and would wake us at once, so listening pauses until a connection closes or the
    // back-off passes, whichever comes first.
    pauseAccepting();
    backoffMs_ = backoffMs_ == 0 ? FirstBackoffMs : std::min(backoffMs_ * 2, LongestBackoffMs);
    if (!resume_.isActive())
        resume_.start(backoffMs_);
    writeLogLine(QString("%1 accept failed (%2, error %3); paused for %4 ms")
                     .arg(kindName(), logEscaped(errorString()))
                     .arg(int(error))
                     .arg(backoffMs_));
}

void GuardedServer::incomingConnection(qintptr descriptor) {
    backoffMs_ = 0;
    auto* socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    int& fromPeer = perAddress_[peer];
    if (total_ >= limits_.total || fromPeer >= limits_.perAddress) {
        if (fromPeer == 0)
            perAddress_.remove(peer);
        writeLogLine(QString("%1 connection from %2 refused: %3 open, %4 from that address")
                         .arg(kindName(), peer.toString())
                         .arg(total_)
                         .arg(perAddress_.value(peer)));
        // A short answer and the connection closes; the socket is gone at the latest after a
        // moment even when the peer never reads.
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(BusyLingerMs, socket, [socket] { socket->abort(); });
        socket->write(busyReply());
        socket->disconnectFromHost();
        return;
    }
    ++fromPeer;
    ++total_;
    connect(socket, &QObject::destroyed, this, [this, peer] { release(peer); });
    startSession(socket);
}

void GuardedServer::release(const QHostAddress& address) {
    --total_;
    auto it = perAddress_.find(address);
    if (it != perAddress_.end() && --*it <= 0)
        perAddress_.erase(it);
    // A descriptor came free: no need to wait for the rest of the back-off.
    if (resume_.isActive()) {
        resume_.stop();
        if (isListening())
            resumeAccepting();
    }
}

} // namespace brevant::service
