#pragma once
// The document web server: a minimal HTTP/1.1 server for the archives the exchange hands out
// (GET only, Content-Length, one response per connection, 404 for anything unknown), with the
// HTTP faults (a fixed error status, a slow body) when they are switched on.
#include "service/ServiceOptions.h"

#include <QString>
#include <QTcpServer>

namespace brevant::service {

class HttpServer : public QTcpServer {
public:
    HttpServer(const QString& archiveFolder, const FaultOptions& faults, QObject* parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QString folder_;
    const FaultOptions& faults_;
};

} // namespace brevant::service
