#pragma once
// The document web server: a minimal HTTP/1.1 server for the archives the exchange hands out
// (GET only, Content-Length, one response per connection, 404 for anything unknown), with the
// HTTP faults (a fixed error status, a slow body) when they are switched on. Connections are
// capped like the exchange's: over the limits a client is told 503 and closed.
#include "service/ServiceOptions.h"
#include "service/net/GuardedServer.h"

#include <QString>

namespace brevant::service {

class HttpServer : public GuardedServer {
public:
    HttpServer(const QString& archiveFolder, const FaultOptions& faults,
               const ConnectionLimits& limits, QObject* parent = nullptr);

protected:
    void startSession(QTcpSocket* socket) override;
    QByteArray busyReply() const override;
    QString kindName() const override { return "http"; }

private:
    QString folder_;
    const FaultOptions& faults_;
};

} // namespace brevant::service
