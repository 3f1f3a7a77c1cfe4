#pragma once
// An SMTP server that accepts every message (AUTH LOGIN and PLAIN accepted with any
// credentials) and stores it as a file DIR/mail/<time>-<n>.eml, envelope first, so that
// e-mailing documents works in the demo and can be checked in tests.
#include "service/net/GuardedServer.h"

#include <QString>

namespace brevant::service {

class SmtpSink : public GuardedServer {
public:
    SmtpSink(const QString& mailFolder, const ConnectionLimits& limits, QObject* parent = nullptr);

    QString folder() const { return folder_; }
    // The file name for the next stored message.
    QString nextMessagePath();

protected:
    void startSession(QTcpSocket* socket) override;
    QByteArray busyReply() const override;
    QString kindName() const override { return "smtp"; }

private:
    QString folder_;
    int counter_ = 0;
};

} // namespace brevant::service
