#pragma once
// The framed exchange's listening socket: one ExchangeSession per accepted connection, within
// the connection limits.
#include "service/exchange/ServiceContext.h"
#include "service/net/GuardedServer.h"

namespace brevant::service {

class ExchangeServer : public GuardedServer {
public:
    ExchangeServer(ServiceContext& context, QObject* parent = nullptr);

protected:
    void startSession(QTcpSocket* socket) override;
    QByteArray busyReply() const override;
    QString kindName() const override { return "exchange"; }

private:
    ServiceContext& context_;
};

} // namespace brevant::service
