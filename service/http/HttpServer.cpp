#include "service/http/HttpServer.h"

#include "service/http/HttpConnection.h"

#include <QTcpSocket>

namespace brevant::service {

HttpServer::HttpServer(const QString& archiveFolder, const FaultOptions& faults, QObject* parent)
    : QTcpServer(parent), folder_(archiveFolder), faults_(faults) {}

void HttpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    new HttpConnection(socket, folder_, faults_, this);
}

} // namespace brevant::service
