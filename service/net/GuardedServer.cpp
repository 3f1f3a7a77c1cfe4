#include "service/net/GuardedServer.h"

#include "service/log/LogLine.h"

#include <QTcpSocket>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace brevant::service {

namespace {
constexpr int FirstBackoffMs = 50;
constexpr int LongestBackoffMs = 2000;
constexpr int BusyLingerMs = 2000;
constexpr int MaxAcceptsAtOnce = 64;
} // namespace

GuardedServer::GuardedServer(const ConnectionLimits& limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, [this] { resume(); });
}

bool GuardedServer::listenOn(const QHostAddress& address, quint16 port) {
    if (!listen(address, port))
        return false;
    // QTcpServer's own notifier stays off; this server's takes the waiting connections.
    pauseAccepting();
    waiting_ = std::make_unique<QSocketNotifier>(socketDescriptor(), QSocketNotifier::Read);
    connect(waiting_.get(), &QSocketNotifier::activated, this, [this] { acceptWaiting(); });
    return true;
}

void GuardedServer::acceptWaiting() {
    // A bounded batch, so that a flood does not keep the event loop from the open sessions.
    for (int i = 0; i < MaxAcceptsAtOnce && waiting_ && waiting_->isEnabled(); ++i) {
        const int descriptor = ::accept4(int(socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor >= 0) {
            incomingConnection(descriptor);
            continue;
        }
        switch (errno) {
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return; // nobody waits any more
        case EINTR:
        case ECONNABORTED: // the peer gave up while it waited
        case EPROTO:
            continue;
        default:
            // Out of descriptors or memory: the connection stays waiting and would wake us
            // at once again.
            pauseAfterFailure(errno);
            return;
        }
    }
}

void GuardedServer::pauseAfterFailure(int error) {
    waiting_->setEnabled(false);
    backoffMs_ = backoffMs_ == 0 ? FirstBackoffMs : std::min(backoffMs_ * 2, LongestBackoffMs);
    if (!resume_.isActive())
        resume_.start(backoffMs_);
    writeLogLine(QString("%1 accept failed (%2, errno %3); paused for %4 ms")
                     .arg(kindName(), QString::fromLocal8Bit(std::strerror(error)))
                     .arg(error)
                     .arg(backoffMs_));
}

void GuardedServer::resume() {
    resume_.stop();
    if (waiting_ && isListening())
        waiting_->setEnabled(true);
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
    if (resume_.isActive())
        resume();
}

} // namespace brevant::service
