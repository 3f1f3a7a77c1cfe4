#pragma once
// One connection of the document web server: reads the request head, answers, closes.
#include "service/ServiceOptions.h"

#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

namespace brevant::service {

class HttpConnection : public QObject {
public:
    // firstBytesMs: a connection that sends nothing by then is closed, so idle connections cannot
    // hold the server's places for long.
    HttpConnection(QTcpSocket* socket, const QString& folder, const FaultOptions& faults,
                   int firstBytesMs, QObject* parent);

    static constexpr qsizetype MaxHeadBytes = 16384;

private:
    void onReadyRead();
    void respond(int status, const QByteArray& body, const QByteArray& contentType);
    void sendSlowly();
    void log(const QByteArray& requestLine, int status, qsizetype bytes) const;

    QTcpSocket* socket_;
    QString folder_;
    const FaultOptions& faults_;
    QByteArray head_;
    QByteArray pending_;
    qsizetype offset_ = 0;
    QTimer pace_;
    QTimer timeout_;
    QTimer firstBytes_;
    bool answered_ = false;
};

} // namespace brevant::service
