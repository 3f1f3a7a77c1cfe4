#include "service/exchange/ExchangeSession.h"

#include "service/exchange/Reply.h"
#include "service/exchange/RequestHandlers.h"

#include <QDateTime>
#include <cstdio>

namespace brevant::service {

namespace {
constexpr int InactiveMs = 300000;
constexpr int DrainMs = 2000;

QString kindName(RequestKind kind) {
    switch (kind) {
    case RequestKind::Search:
        return "search";
    case RequestKind::ProjectListing:
        return "listing";
    case RequestKind::ProjectUpdate:
        return "update";
    case RequestKind::AccessCheck:
        return "access";
    case RequestKind::Documents:
        return "documents";
    }
    return "?";
}
} // namespace

ExchangeSession::ExchangeSession(QTcpSocket* socket, ServiceContext& context, QObject* parent)
    : QObject(parent), socket_(socket), context_(context), sender_(socket, this) {
    socket_->setParent(this);
    idle_.setSingleShot(true);
    inactive_.setSingleShot(true);
    drain_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { onIdle(); });
    connect(&inactive_, &QTimer::timeout, this, [this] { socket_->abort(); });
    connect(&drain_, &QTimer::timeout, this, [this] { socket_->disconnectFromHost(); });
    connect(socket_, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        state_ = State::Done;
        deleteLater();
    });
    inactive_.start(InactiveMs);
}

void ExchangeSession::onReadyRead() {
    inactive_.start(InactiveMs);
    if (state_ != State::Reading) {
        // One request at a time; anything sent meanwhile, or after the end, is dropped.
        socket_->readAll();
        return;
    }
    buffer_ += socket_->readAll();
    if (buffer_.size() > MaxRequestBytes) {
        refuseAndClose(refusals::TooLarge, QString("request over %1 bytes").arg(MaxRequestBytes));
        return;
    }
    const FrameResult frame = parseRequestFrame(buffer_);
    if (frame.status == FrameResult::Status::Malformed) {
        refuseAndClose(refusals::Malformed, frame.problem);
        return;
    }
    if (frame.status == FrameResult::Status::Complete &&
        frame.request.kind == RequestKind::AccessCheck) {
        // The access check carries no argument: its header is the whole request.
        idle_.stop();
        answer(frame.request);
        return;
    }
    idle_.start(context_.options.requestIdleMs);
}

void ExchangeSession::onIdle() {
    if (state_ != State::Reading || buffer_.isEmpty())
        return;
    const FrameResult frame = parseRequestFrame(buffer_);
    if (frame.status != FrameResult::Status::Complete) {
        refuseAndClose(refusals::Malformed,
                       frame.problem.isEmpty() ? QString("incomplete header") : frame.problem);
        return;
    }
    answer(frame.request);
}

void ExchangeSession::answer(const Request& request) {
    state_ = State::Replying;
    buffer_.clear();
    const Reply reply = dispatchRequest(request, context_);
    log(kindName(request.kind), request.user, request.argument, reply.body.size(), reply.note);
    const bool refused = reply.body.startsWith("+NOOK+");
    sender_.send(reply.body, context_.options.faults, int(request.kind),
                 [this, keep = reply.keepOpen && !refused](ReplySender::Outcome outcome) {
                     finishReply(keep, outcome);
                 });
}

void ExchangeSession::finishReply(bool keepOpen, ReplySender::Outcome outcome) {
    if (outcome != ReplySender::Outcome::Complete) {
        state_ = State::Done;
        return;
    }
    if (keepOpen) {
        state_ = State::Reading;
        return;
    }
    state_ = State::Done;
    socket_->disconnectFromHost();
}

void ExchangeSession::refuseAndClose(const QString& message, const QString& why) {
    idle_.stop();
    state_ = State::Draining;
    const QByteArray head = buffer_.left(60);
    log("invalid", QString(), QString::fromLatin1(head.toPercentEncoding(" |.,@~:")),
        message.size() + 6, "refused: " + why);
    buffer_.clear();
    // The refusal goes out whole, faults or not: the client must be able to read it.
    socket_->write("+NOOK+" + message.toUtf8() + ReplyEnd);
    socket_->flush();
    drain_.start(DrainMs);
}

void ExchangeSession::log(const QString& kind, const QString& user, const QString& argument,
                          qsizetype replyBytes, const QString& note) const {
    QString arg = argument;
    if (arg.size() > 200)
        arg = arg.left(200) + "...";
    const QString line =
        QString("%1 brevant-service: %2 user=%3 arg=\"%4\" reply=%5 bytes%6")
            .arg(QDateTime::currentDateTime().toString(Qt::ISODate), kind, user, arg)
            .arg(replyBytes)
            .arg(note.isEmpty() ? QString() : " (" + note + ")");
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace brevant::service
