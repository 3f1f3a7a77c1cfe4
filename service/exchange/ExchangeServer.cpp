#include "service/exchange/ExchangeServer.h"

#include "service/exchange/ExchangeSession.h"

#include <QTcpSocket>

namespace brevant::service {

ExchangeServer::ExchangeServer(ServiceContext& context, QObject* parent)
    : QTcpServer(parent), context_(context) {}

void ExchangeServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    new ExchangeSession(socket, context_, this);
}

} // namespace brevant::service
