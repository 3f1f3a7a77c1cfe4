#pragma once
// The 10000-range socket error numbers and their usual texts, so that a communication error
// reads the same whatever layer noticed it.
#include <QAbstractSocket>
#include <QString>

namespace brevant::wirelet {

namespace codes {
constexpr int Interrupted = 10004;
constexpr int InvalidArgument = 10022;
constexpr int MessageTooLong = 10040;
constexpr int AddressNotAvailable = 10049;
constexpr int NetworkDown = 10050;
constexpr int ConnectionAborted = 10053;
constexpr int ConnectionReset = 10054;
constexpr int NotConnected = 10057;
constexpr int TimedOut = 10060;
constexpr int ConnectionRefused = 10061;
constexpr int HostUnreachable = 10065;
constexpr int HostNotFound = 11001;
} // namespace codes

// The usual text of a code ("Connection refused" for 10061); "Unknown error" for others.
QString socketErrorText(int code);

// The code for a QTcpSocket error (proxy errors included).
int socketErrorCode(QAbstractSocket::SocketError error);

} // namespace brevant::wirelet
