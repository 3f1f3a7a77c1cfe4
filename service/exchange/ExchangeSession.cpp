#include "service/exchange/ExchangeSession.h"

#include "service/exchange/Reply.h"
#include "service/exchange/RequestHandlers.h"
#include "service/log/LogLine.h"

namespace brevant::service {

namespace {
constexpr int InactiveMs = 300000;
constexpr int DrainMs = 2000;
constexpr int RequestDeadlineMs = 60000;

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
    header_.setSingleShot(true);
    deadline_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { onIdle(); });
    connect(&inactive_, &QTimer::timeout, this, [this] { socket_->abort(); });
    connect(&header_, &QTimer::timeout, this, [this] {
        if (state_ != State::Reading)
            return;
        if (buffer_.isEmpty()) {
            log("silent", QString(), QString(), 0,
                QString("closed: nothing sent within %1 ms").arg(header_.interval()));
            socket_->abort();
        } else {
            refuseAndClose(refusals::Malformed,
                           QString("header not whole within %1 ms").arg(header_.interval()));
        }
    });
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (state_ == State::Reading)
            refuseAndClose(refusals::Malformed,
                           QString("request not whole within %1 ms").arg(RequestDeadlineMs));
    });
    connect(&drain_, &QTimer::timeout, this, [this] { socket_->disconnectFromHost(); });
    connect(socket_, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        state_ = State::Done;
        deleteLater();
    });
    inactive_.start(InactiveMs);
    header_.start(context_.options.limits.firstBytesMs);
}

void ExchangeSession::onReadyRead() {
    inactive_.start(InactiveMs);
    if (state_ != State::Reading) {
        // One request at a time; anything sent meanwhile, or after the end, is dropped.
        socket_->readAll();
        return;
    }
    if (buffer_.isEmpty())
        deadline_.start(RequestDeadlineMs);
    buffer_ += socket_->readAll();
    if (buffer_.size() > MaxRequestBytes) {
        refuseAndClose(refusals::TooLarge, QString("request over %1 bytes").arg(MaxRequestBytes));
        return;
    }
    if (headerWhole_) {
        // Only the argument grew: the pause after it decides, no need to read the header again.
        idle_.start(context_.options.requestIdleMs);
        return;
    }
    const FrameResult frame = parseRequestFrame(buffer_);
    if (frame.status == FrameResult::Status::Malformed) {
        refuseAndClose(refusals::Malformed, frame.problem);
        return;
    }
    if (frame.status == FrameResult::Status::Complete) {
        header_.stop();
        headerWhole_ = true;
        if (frame.request.kind == RequestKind::AccessCheck) {
            // The access check carries no argument: its header is the whole request.
            idle_.stop();
            answer(frame.request);
            return;
        }
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
    deadline_.stop();
    buffer_.clear();
    headerWhole_ = false;
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
    header_.stop();
    deadline_.stop();
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
    // The limit counts the client's characters; escaping comes after, so nothing is cut in two.
    const QString arg = argument.size() > 200 ? logEscaped(QStringView(argument).left(200)) + "..."
                                              : logEscaped(argument);
    // One arg() call: a "%1" in a client's text is not a place holder.
    writeLogLine(QString("%1 user=%2 arg=\"%3\" reply=%4 bytes%5")
                     .arg(kind, logEscaped(user), arg, QString::number(replyBytes),
                          note.isEmpty() ? QString() : " (" + logEscaped(note) + ")"));
}

} // namespace brevant::service
