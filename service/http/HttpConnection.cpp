#include "service/http/HttpConnection.h"

#include "platform/archive/EntryName.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <cstdio>

namespace brevant::service {

namespace {

constexpr int SlowPiece = 1024;

QByteArray reasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, const QString& folder,
                               const FaultOptions& faults, int firstBytesMs, QObject* parent)
    : QObject(parent), socket_(socket), folder_(folder), faults_(faults) {
    socket_->setParent(this);
    pace_.setSingleShot(true);
    connect(&pace_, &QTimer::timeout, this, [this] { sendSlowly(); });
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { socket_->abort(); });
    timeout_.start(30000);
    firstBytes_.setSingleShot(true);
    connect(&firstBytes_, &QTimer::timeout, this, [this] {
        if (head_.isEmpty())
            socket_->abort();
    });
    firstBytes_.start(firstBytesMs);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { deleteLater(); });
}

void HttpConnection::onReadyRead() {
    if (answered_) {
        socket_->readAll();
        return;
    }
    head_ += socket_->readAll();
    if (!head_.isEmpty())
        firstBytes_.stop();
    const qsizetype end = head_.indexOf("\r\n\r\n");
    if (end < 0) {
        if (head_.size() > MaxHeadBytes)
            respond(431, "request head too large\n", "text/plain");
        return;
    }
    const QByteArray requestLine = head_.left(head_.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1.")) {
        log(requestLine, 400, 0);
        respond(400, "bad request\n", "text/plain");
        return;
    }
    if (parts[0] != "GET") {
        log(requestLine, 405, 0);
        respond(405, "only GET is served\n", "text/plain");
        return;
    }
    if (faults_.httpStatus != 0) {
        log(requestLine, faults_.httpStatus, 0);
        respond(faults_.httpStatus, "fault injected\n", "text/plain");
        return;
    }
    const QString path = QUrl(QString::fromLatin1(parts[1])).path(QUrl::FullyDecoded);
    const QString prefix = "/archives/";
    const QString name = path.startsWith(prefix) ? path.mid(prefix.size()) : QString();
    QFile file(QDir(folder_).filePath(name));
    if (name.isEmpty() || !brevant::archive::isSafeEntryName(name.toStdString()) ||
        !file.open(QIODevice::ReadOnly)) {
        log(requestLine, 404, 0);
        respond(404, "not found\n", "text/plain");
        return;
    }
    const QByteArray body = file.readAll();
    log(requestLine, 200, body.size());
    respond(200, body,
            name.endsWith(".zip") || !name.contains('.') ? "application/zip"
                                                         : "application/octet-stream");
}

void HttpConnection::respond(int status, const QByteArray& body, const QByteArray& contentType) {
    answered_ = true;
    timeout_.stop();
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " " + reasonOf(status) + "\r\n";
    head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket_->write(head);
    if (faults_.httpSlowMs > 0 && status == 200) {
        pending_ = body;
        offset_ = 0;
        sendSlowly();
        return;
    }
    socket_->write(body);
    socket_->disconnectFromHost();
}

void HttpConnection::sendSlowly() {
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return;
    const qsizetype n = std::min<qsizetype>(SlowPiece, pending_.size() - offset_);
    socket_->write(pending_.constData() + offset_, n);
    socket_->flush();
    offset_ += n;
    if (offset_ < pending_.size())
        pace_.start(faults_.httpSlowMs);
    else
        socket_->disconnectFromHost();
}

void HttpConnection::log(const QByteArray& requestLine, int status, qsizetype bytes) const {
    std::fprintf(stderr, "%s brevant-service: http \"%s\" %d %lld bytes\n",
                 QDateTime::currentDateTime().toString(Qt::ISODate).toLocal8Bit().constData(),
                 requestLine.left(200).toPercentEncoding(" /:?=&.-_").constData(), status,
                 static_cast<long long>(bytes));
    std::fflush(stderr);
}

} // namespace brevant::service
