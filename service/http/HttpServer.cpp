#include "service/http/HttpServer.h"

#include "service/http/HttpConnection.h"

namespace brevant::service {

HttpServer::HttpServer(const QString& archiveFolder, const FaultOptions& faults,
                       const ConnectionLimits& limits, QObject* parent)
    : GuardedServer(limits, parent), folder_(archiveFolder), faults_(faults) {}

void HttpServer::startSession(QTcpSocket* socket) {
    new HttpConnection(socket, folder_, faults_, limits().firstBytesMs, this);
}

QByteArray HttpServer::busyReply() const {
    return "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\n"
           "Content-Length: 20\r\nConnection: close\r\n\r\ntoo many connections";
}

} // namespace brevant::service
