#include "platform/wirelet/Wirelet.h"

#include "platform/wirelet/SocketErrors.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpSocket>

namespace brevant::wirelet {

WireletError::WireletError(int code, const QString& description)
    : std::runtime_error(QString::number(code).toStdString() + " " + description.toStdString()),
      code_(code), description_(description) {}

Wirelet::Wirelet(QObject* parent) : QObject(parent), socket_(new QTcpSocket(this)) {
    socket_->setProxy(QNetworkProxy::NoProxy);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Q_EMIT Connected();
        if (socket_->state() == QAbstractSocket::ConnectedState)
            Q_EMIT ReadyToSend();
    });
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        const QByteArray data = socket_->readAll();
        if (!data.isEmpty())
            Q_EMIT DataArrived(data);
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (!closing_)
            Q_EMIT Disconnected();
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] { onError(); });
}

Wirelet::~Wirelet() {
    closing_ = true;
    socket_->abort();
}

bool Wirelet::connected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

bool Wirelet::connecting() const {
    return socket_->state() != QAbstractSocket::UnconnectedState;
}

void Wirelet::setConnected(bool on) {
    if (!on) {
        closing_ = true;
        socket_->abort();
        closing_ = false;
        return;
    }
    if (connecting())
        return;
    if (RemoteHost.trimmed().isEmpty())
        throw WireletError(codes::HostNotFound, socketErrorText(codes::HostNotFound));
    if (RemotePort <= 0 || RemotePort > 65535)
        throw WireletError(codes::AddressNotAvailable, socketErrorText(codes::AddressNotAvailable));
    if (FirewallType == FirewallSocks5) {
        if (FirewallHost.trimmed().isEmpty() || FirewallPort <= 0 || FirewallPort > 65535)
            throw WireletError(codes::InvalidArgument, socketErrorText(codes::InvalidArgument));
        socket_->setProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, FirewallHost.trimmed(),
                                        quint16(FirewallPort), FirewallUser, FirewallPassword));
    } else if (FirewallType == FirewallNone) {
        socket_->setProxy(QNetworkProxy::NoProxy);
    } else {
        throw WireletError(codes::InvalidArgument, socketErrorText(codes::InvalidArgument));
    }
    socket_->connectToHost(RemoteHost.trimmed(), quint16(RemotePort));
}

void Wirelet::sendText(const QString& text) {
    sendBytes(text.toUtf8());
}

void Wirelet::sendBytes(const QByteArray& bytes) {
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return;
    socket_->write(bytes);
    socket_->flush();
}

void Wirelet::pumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Wirelet::onError() {
    if (closing_)
        return;
    const QAbstractSocket::SocketError e = socket_->error();
    // The peer closing an open connection is the Disconnected event, not a failure.
    if (e == QAbstractSocket::RemoteHostClosedError)
        return;
    const int code = socketErrorCode(e);
    Q_EMIT Error(code, socketErrorText(code));
}

} // namespace brevant::wirelet
