#pragma once
// One client connection of the framed exchange: collects the request, waits for the pause that
// ends it, answers through the handlers and closes (the search connection stays open for the
// next search). Garbage, oversized requests and silence are answered or closed, never trusted.
#include "service/exchange/ReplySender.h"
#include "service/exchange/RequestFrame.h"
#include "service/exchange/ServiceContext.h"

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

namespace brevant::service {

class ExchangeSession : public QObject {
public:
    ExchangeSession(QTcpSocket* socket, ServiceContext& context, QObject* parent);

    // Requests larger than this are refused.
    static constexpr qsizetype MaxRequestBytes = 1024 * 1024;

private:
    enum class State { Reading, Replying, Draining, Done };

    void onReadyRead();
    void onIdle();
    void answer(const Request& request);
    void refuseAndClose(const QString& message, const QString& why);
    void finishReply(bool keepOpen, ReplySender::Outcome outcome);
    void log(const QString& kind, const QString& user, const QString& argument,
             qsizetype replyBytes, const QString& note) const;

    QTcpSocket* socket_;
    ServiceContext& context_;
    ReplySender sender_;
    QTimer idle_;     // the pause that ends a request
    QTimer inactive_; // a connection that says nothing for long is closed
    QTimer header_;   // a new connection's header must be whole soon
    QTimer deadline_; // and a request, once begun, whole within a minute (a trickle ends too)
    QTimer drain_;    // after refusing a flood, read and drop it for a moment before closing
    QByteArray buffer_;
    bool headerWhole_ = false; // the buffer's header was read already: only the argument grows
    State state_ = State::Reading;
};

} // namespace brevant::service
