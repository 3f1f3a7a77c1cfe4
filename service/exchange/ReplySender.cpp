#include "service/exchange/ReplySender.h"

#include <QFileInfo>

namespace brevant::service {

ReplySender::ReplySender(QTcpSocket* socket, QObject* parent) : QObject(parent), socket_(socket) {
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, [this] { sendNextPiece(); });
    hold_.setInterval(20);
    connect(&hold_, &QTimer::timeout, this, [this] {
        if (!QFileInfo::exists(holdUntil_))
            return;
        hold_.stop();
        sendNextPiece();
    });
}

void ReplySender::send(const QByteArray& body, const FaultOptions& faults, int kind,
                       std::function<void(Outcome)> done) {
    const bool faulty = faults.appliesTo(kind);
    unterminated_ = faulty && faults.noTerminator;
    pieceSize_ = faulty ? faults.chunkSize : 0;
    pauseMs_ = faulty ? faults.chunkDelayMs : 0;
    dropAfter_ = faulty ? faults.dropAfter : -1;
    pending_ = unterminated_ ? body : body + ReplyEnd;
    offset_ = 0;
    done_ = std::move(done);
    holdUntil_ = faulty ? faults.holdUntilFile : QString();
    if (!holdUntil_.isEmpty() && !QFileInfo::exists(holdUntil_)) {
        hold_.start();
        return;
    }
    sendNextPiece();
}

void ReplySender::sendNextPiece() {
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState)
        return;
    qsizetype n = pending_.size() - offset_;
    if (pieceSize_ > 0)
        n = std::min<qsizetype>(n, pieceSize_);
    if (dropAfter_ >= 0)
        n = std::min<qsizetype>(n, std::max<qsizetype>(0, dropAfter_ - offset_));
    if (n > 0) {
        socket_->write(pending_.constData() + offset_, n);
        socket_->flush();
        offset_ += n;
    }
    if (dropAfter_ >= 0 && offset_ >= dropAfter_ && offset_ < pending_.size()) {
        socket_->disconnectFromHost();
        if (done_)
            done_(Outcome::Dropped);
        return;
    }
    if (offset_ < pending_.size()) {
        pause_.start(pauseMs_);
        return;
    }
    // An unterminated reply leaves the connection hanging until the client gives up.
    if (done_ && !unterminated_)
        done_(Outcome::Complete);
}

} // namespace brevant::service
