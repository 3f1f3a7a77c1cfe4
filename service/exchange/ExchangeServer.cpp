#include "service/exchange/ExchangeServer.h"

#include "service/exchange/ExchangeSession.h"
#include "service/exchange/Reply.h"
#include "service/exchange/ReplySender.h"

#include <QTcpSocket>

namespace brevant::service {

ExchangeServer::ExchangeServer(ServiceContext& context, QObject* parent)
    : GuardedServer(context.options.limits, parent), context_(context) {}

void ExchangeServer::startSession(QTcpSocket* socket) {
    new ExchangeSession(socket, context_, this);
}

QByteArray ExchangeServer::busyReply() const {
    return Reply::refusal(refusals::ServerError).body + ReplyEnd;
}

} // namespace brevant::service
