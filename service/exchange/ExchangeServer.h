#pragma once
// The framed exchange's listening socket: one ExchangeSession per accepted connection.
#include "service/exchange/ServiceContext.h"

#include <QTcpServer>

namespace brevant::service {

class ExchangeServer : public QTcpServer {
public:
    ExchangeServer(ServiceContext& context, QObject* parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    ServiceContext& context_;
};

} // namespace brevant::service
