// The TCP control against a server in the test process on 127.0.0.1: its events in order, the
// text it sends, the error codes it reports, and what it refuses before connecting.
#include "platform/wirelet/SocketErrors.h"
#include "platform/wirelet/Wirelet.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace brevant::wirelet {
namespace {

bool waitUntil(const std::function<bool()>& done, int ms = 20000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

struct Recorder {
    QStringList events;
    QByteArray data;
    int code = 0;
    QString description;
    explicit Recorder(Wirelet& w) {
        QObject::connect(&w, &Wirelet::Connected, [this] { events << "Connected"; });
        QObject::connect(&w, &Wirelet::ReadyToSend, [this] { events << "ReadyToSend"; });
        QObject::connect(&w, &Wirelet::DataArrived, [this](const QByteArray& d) { data += d; });
        QObject::connect(&w, &Wirelet::Disconnected, [this] { events << "Disconnected"; });
        QObject::connect(&w, &Wirelet::Error, [this](int c, const QString& t) {
            events << "Error";
            code = c;
            description = t;
        });
    }
};

TEST(Wirelet, ConnectsSendsReceivesAndHearsThePeerClose) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    Wirelet w;
    Recorder rec(w);
    w.RemoteHost = QStringLiteral("127.0.0.1");
    w.RemotePort = server.serverPort();
    EXPECT_FALSE(w.connected());
    w.setConnected(true);
    ASSERT_TRUE(waitUntil([&] { return rec.events.contains("ReadyToSend"); }));
    EXPECT_EQ(rec.events, (QStringList{"Connected", "ReadyToSend"}));
    EXPECT_TRUE(w.connected());
    ASSERT_TRUE(waitUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    w.sendText(QStringLiteral("\x01user|p\u00e4ss|1.0.0\x01"));
    QByteArray got;
    ASSERT_TRUE(waitUntil([&] {
        got += peer->readAll();
        return got.size() >= 17;
    }));
    EXPECT_EQ(got, QStringLiteral("\x01user|p\u00e4ss|1.0.0\x01").toUtf8());
    peer->write("reply\x01");
    ASSERT_TRUE(waitUntil([&] { return rec.data == "reply\x01"; }));
    peer->disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return rec.events.contains("Disconnected"); }));
    EXPECT_FALSE(rec.events.contains("Error")); // a close by the peer is no failure
    EXPECT_FALSE(w.connected());
}

TEST(Wirelet, ClosingLocallyRaisesNoEvent) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    Wirelet w;
    Recorder rec(w);
    w.RemoteHost = QStringLiteral("127.0.0.1");
    w.RemotePort = server.serverPort();
    w.setConnected(true);
    ASSERT_TRUE(waitUntil([&] { return w.connected(); }));
    w.setConnected(false);
    EXPECT_FALSE(w.connected());
    QCoreApplication::processEvents();
    EXPECT_EQ(rec.events, (QStringList{"Connected", "ReadyToSend"}));
}

TEST(Wirelet, RefusedConnectionReports10061) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close(); // nothing listens there now
    Wirelet w;
    Recorder rec(w);
    w.RemoteHost = QStringLiteral("127.0.0.1");
    w.RemotePort = port;
    w.setConnected(true);
    ASSERT_TRUE(waitUntil([&] { return rec.events.contains("Error"); }));
    EXPECT_EQ(rec.code, 10061);
    EXPECT_EQ(rec.description, QStringLiteral("Connection refused"));
    EXPECT_FALSE(rec.events.contains("Connected"));
}

TEST(Wirelet, FailuresToStartRaiseAtOnce) {
    Wirelet w;
    try {
        w.setConnected(true); // no host
        FAIL() << "no error";
    } catch (const WireletError& e) {
        EXPECT_EQ(e.code(), 11001);
        EXPECT_EQ(e.description(), QStringLiteral("Host not found"));
    }
    w.RemoteHost = QStringLiteral("127.0.0.1");
    w.RemotePort = 70000;
    EXPECT_THROW(w.setConnected(true), WireletError);
    w.RemotePort = 555;
    w.FirewallType = 2; // only none and SOCKS 5 are known
    EXPECT_THROW(w.setConnected(true), WireletError);
    w.FirewallType = FirewallSocks5; // without a firewall host
    EXPECT_THROW(w.setConnected(true), WireletError);
    EXPECT_FALSE(w.connecting());
}

TEST(SocketErrors, CodesAndTheirUsualTexts) {
    EXPECT_EQ(socketErrorCode(QAbstractSocket::ConnectionRefusedError), 10061);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::SocketTimeoutError), 10060);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::RemoteHostClosedError), 10054);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::HostNotFoundError), 11001);
    EXPECT_EQ(socketErrorCode(QAbstractSocket::ProxyConnectionRefusedError), 10061);
    EXPECT_EQ(socketErrorText(10060), QStringLiteral("Connection timed out"));
    EXPECT_EQ(socketErrorText(10054), QStringLiteral("Connection reset by peer"));
}

} // namespace
} // namespace brevant::wirelet
