#include "service/smtp/SmtpSink.h"

#include "service/smtp/SmtpSession.h"

#include <QDateTime>
#include <QDir>
#include <QTcpSocket>

namespace brevant::service {

SmtpSink::SmtpSink(const QString& mailFolder, QObject* parent)
    : QTcpServer(parent), folder_(mailFolder) {
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

void SmtpSink::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    new SmtpSession(socket, *this, this);
}

} // namespace brevant::service
