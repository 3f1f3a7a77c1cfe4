#include "service/smtp/SmtpSink.h"

#include "service/smtp/SmtpSession.h"

#include <QDateTime>
#include <QDir>
#include <QTcpSocket>

namespace brevant::service {

SmtpSink::SmtpSink(const QString& mailFolder, const ConnectionLimits& limits, QObject* parent)
    : GuardedServer(limits, parent), folder_(mailFolder) {
    QDir().mkpath(folder_);
}

QString SmtpSink::nextMessagePath() {
    const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString path;
    do {
        path = QDir(folder_).filePath(
            QString("%1-%2.eml").arg(stamp).arg(++counter_, 4, 10, QChar('0')));
    } while (QFile::exists(path));
    return path;
}

void SmtpSink::startSession(QTcpSocket* socket) {
    new SmtpSession(socket, *this, limits().firstBytesMs, this);
}

QByteArray SmtpSink::busyReply() const {
    return "421 4.7.0 brevant-service too many connections, try again later\r\n";
}

} // namespace brevant::service
