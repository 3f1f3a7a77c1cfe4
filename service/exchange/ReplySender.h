#pragma once
// Sends one reply on a connection: the body, then the character 1 that ends it, with the
// exchange faults applied when they are switched on for the request's kind (pieces of N bytes
// with a pause, no end at all, the connection dropped after N bytes, or the reply held until a
// file exists).
#include "service/ServiceOptions.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

namespace brevant::service {

class ReplySender : public QObject {
public:
    enum class Outcome { Complete, Dropped, Unterminated };

    ReplySender(QTcpSocket* socket, QObject* parent);

    // done runs once the reply is out (not for an unterminated reply, which never is).
    void send(const QByteArray& body, const FaultOptions& faults, int kind,
              std::function<void(Outcome)> done);

private:
    void sendNextPiece();

    QPointer<QTcpSocket> socket_;
    QTimer pause_;
    QTimer hold_; // looks for the file that releases a held reply
    QString holdUntil_;
    QByteArray pending_;
    qsizetype offset_ = 0;
    int pieceSize_ = 0;
    int pauseMs_ = 0;
    qint64 dropAfter_ = -1;
    bool unterminated_ = false;
    std::function<void(Outcome)> done_;
};

// The terminating character of every reply.
constexpr char ReplyEnd = '\x01';

} // namespace brevant::service
