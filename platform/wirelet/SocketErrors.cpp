#include "platform/wirelet/SocketErrors.h"

namespace brevant::wirelet {

QString socketErrorText(int code) {
    switch (code) {
    case codes::Interrupted:
        return QStringLiteral("Interrupted function call");
    case codes::InvalidArgument:
        return QStringLiteral("Invalid argument");
    case codes::MessageTooLong:
        return QStringLiteral("Message too long");
    case codes::AddressNotAvailable:
        return QStringLiteral("Cannot assign requested address");
    case codes::NetworkDown:
        return QStringLiteral("Network is down");
    case codes::ConnectionAborted:
        return QStringLiteral("Software caused connection abort");
    case codes::ConnectionReset:
        return QStringLiteral("Connection reset by peer");
    case codes::NotConnected:
        return QStringLiteral("Socket is not connected");
    case codes::TimedOut:
        return QStringLiteral("Connection timed out");
    case codes::ConnectionRefused:
        return QStringLiteral("Connection refused");
    case codes::HostUnreachable:
        return QStringLiteral("No route to host");
    case codes::HostNotFound:
        return QStringLiteral("Host not found");
    default:
        return QStringLiteral("Unknown error");
    }
}

int socketErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionRefusedError:
        return codes::ConnectionRefused;
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::ProxyConnectionClosedError:
        return codes::ConnectionReset;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyNotFoundError:
        return codes::HostNotFound;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return codes::TimedOut;
    case QAbstractSocket::NetworkError:
        return codes::NetworkDown;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return codes::AddressNotAvailable;
    case QAbstractSocket::DatagramTooLargeError:
        return codes::MessageTooLong;
    default:
        // Proxy authentication or protocol failures and everything else: the link was given up.
        return codes::ConnectionAborted;
    }
}

} // namespace brevant::wirelet
