// Downloads from a small HTTP server in the test process on 127.0.0.1: a whole file, HTTP
// errors, a cut transfer, a slow transfer's rising progress, a server that goes silent or
// drips, a body past the cap and a symbolic link planted at the target's name.
#include "platform/http/Download.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace brevant::http {
namespace {

// Answers every request with the given head and body; with pieces > 1 the body goes out in
// that many parts, one per event-loop turn; closeEarly cuts the body in half. With flood > 0 the
// body is that many bytes sent as fast as the client takes them; with dripMs > 0 the body goes
// out one byte per dripMs milliseconds.
class TinyHttpServer : public QObject {
public:
    QByteArray head, body;
    int pieces = 1;
    bool closeEarly = false;
    bool silent = false;
    qint64 flood = 0;
    int dripMs = 0;
    qint64 sent = 0; // body bytes the flood or drip handed to the socket

    TinyHttpServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* s = server_.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                if (!s->readAll().contains("\r\n\r\n") || silent)
                    return;
                s->write(head);
                if (flood > 0)
                    return floodOn(s);
                if (dripMs > 0)
                    return drip(s);
                const QByteArray send = closeEarly ? body.left(body.size() / 2) : body;
                sendPieces(s, send, 0);
            });
        });
    }
    QString url(const QString& path = QStringLiteral("/archives/a")) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

private:
    void floodOn(QTcpSocket* s) {
        auto more = [this, s] {
            if (s->state() != QAbstractSocket::ConnectedState || s->bytesToWrite() > 0)
                return;
            if (sent >= flood)
                return s->disconnectFromHost();
            const QByteArray piece(64 * 1024, 'f');
            sent += s->write(piece);
        };
        connect(s, &QTcpSocket::bytesWritten, this, more);
        more();
    }
    void drip(QTcpSocket* s) {
        if (s->state() != QAbstractSocket::ConnectedState || sent >= body.size())
            return;
        sent += s->write(body.mid(sent, 1));
        QTimer::singleShot(dripMs, s, [this, s] { drip(s); });
    }
    void sendPieces(QTcpSocket* s, QByteArray rest, int index) {
        const int size = int((body.size() + pieces - 1) / pieces);
        s->write(rest.left(size));
        rest.remove(0, size);
        if (rest.isEmpty()) {
            s->disconnectFromHost();
            return;
        }
        QTimer::singleShot(1, s, [this, s, rest, index] { sendPieces(s, rest, index + 1); });
    }
    QTcpServer server_;
};

QByteArray okHead(qsizetype length) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) +
           "\r\nConnection: close\r\n\r\n";
}

class Download : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString target() const { return dir.filePath(QStringLiteral("listing-1")); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    // A file already at the target, which a failed or cancelled transfer must leave alone.
    void writePrevious() const {
        QFile old(target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous");
    }
    QByteArray targetContents() const {
        QFile f(target());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(Download, WholeFileIsWrittenUnderItsNameOnly) {
    TinyHttpServer server;
    server.body = QByteArray(100000, 'z');
    server.head = okHead(server.body.size());
    EXPECT_EQ(DownloadFile(server.url(), target()), QStringLiteral("OK"));
    QFile f(target());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), server.body);
    EXPECT_EQ(files(), QStringList{QStringLiteral("listing-1")});
}

TEST_F(Download, HttpErrorsFailWithStatusAndReason) {
    TinyHttpServer server;
    server.body = "<html>missing</html>";
    for (const auto& [head, expected] :
         {std::pair{QByteArray("HTTP/1.1 404 Not Found\r\n"), QStringLiteral("404 Not Found")},
          std::pair{QByteArray("HTTP/1.1 500 Internal Server Error\r\n"),
                    QStringLiteral("500 Internal Server Error")}}) {
        server.head = head + "Content-Length: 20\r\nConnection: close\r\n\r\n";
        EXPECT_EQ(DownloadFile(server.url(), target()), expected);
        EXPECT_TRUE(files().isEmpty()) << files().join(',').toStdString();
    }
}

TEST_F(Download, CutTransferLeavesThePreviousFileAlone) {
    writePrevious();
    TinyHttpServer server;
    server.body = QByteArray(50000, 'a');
    server.head = okHead(server.body.size());
    server.closeEarly = true;
    const QString result = DownloadFile(server.url(), target());
    EXPECT_NE(result, QStringLiteral("OK"));
    EXPECT_TRUE(result.at(0).isDigit()) << result.toStdString();
    EXPECT_EQ(targetContents(), QByteArray("previous"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("listing-1")});
}

TEST_F(Download, ProgressRisesDuringASlowTransfer) {
    TinyHttpServer server;
    server.body = QByteArray(64 * 1024, 'p');
    server.head = okHead(server.body.size());
    server.pieces = 16;
    std::vector<std::int64_t> seen;
    std::int64_t total = 0;
    DownloadOptions options;
    options.progress = [&](std::int64_t received, std::int64_t t) {
        seen.push_back(received);
        total = t;
    };
    EXPECT_EQ(DownloadFile(server.url(), target(), options), QStringLiteral("OK"));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LT(seen.front(), seen.back());
    EXPECT_EQ(seen.back(), server.body.size());
    EXPECT_EQ(total, server.body.size());
}

// A cancel from the progress step stops the transfer there; one asked while the server is
// silent is seen without any byte arriving. Neither leaves a file, nor touches the old one.
TEST_F(Download, CancelStopsTheTransferAndLeavesNoFile) {
    writePrevious();
    TinyHttpServer server;
    server.body = QByteArray(64 * 1024, 'c');
    server.head = okHead(server.body.size());
    server.pieces = 16;
    bool cancel = false;
    std::int64_t atCancel = 0;
    DownloadOptions options;
    options.progress = [&](std::int64_t received, std::int64_t) {
        if (!cancel)
            atCancel = received;
        cancel = true;
    };
    options.cancelled = [&] { return cancel; };
    EXPECT_EQ(DownloadFile(server.url(), target(), options),
              QStringLiteral("%1 Operation cancelled").arg(DownloadCancelledError));
    EXPECT_LT(atCancel, server.body.size());
    EXPECT_EQ(targetContents(), QByteArray("previous"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("listing-1")});

    TinyHttpServer silent;
    silent.silent = true;
    int asked = 0;
    DownloadOptions quiet;
    quiet.cancelled = [&] { return ++asked > 2; }; // the third check says stop
    EXPECT_EQ(DownloadFile(silent.url(), dir.filePath("other"), quiet),
              QStringLiteral("%1 Operation cancelled").arg(DownloadCancelledError));
    EXPECT_FALSE(QFile::exists(dir.filePath("other")));
    EXPECT_EQ(files(), QStringList{QStringLiteral("listing-1")});
}

TEST_F(Download, SilentServerTimesOutAndBadUrlsFail) {
    TinyHttpServer server;
    server.silent = true;
    DownloadOptions options;
    options.idleTimeoutSeconds = 1;
    EXPECT_EQ(DownloadFile(server.url(), target(), options),
              QStringLiteral("10060 Connection timed out"));
    EXPECT_TRUE(files().isEmpty());
    EXPECT_NE(DownloadFile(QStringLiteral("ftp://127.0.0.1/x"), target()), QStringLiteral("OK"));
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(Download, SymbolicLinkAtTheTargetIsReplacedNotWrittenThrough) {
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("keep me");
    v.close();
    ASSERT_TRUE(QFile::link(victim, target()));
    TinyHttpServer server;
    server.body = QByteArray(4000, 'n');
    server.head = okHead(server.body.size());
    EXPECT_EQ(DownloadFile(server.url(), target()), QStringLiteral("OK"));
    EXPECT_FALSE(QFileInfo(target()).isSymLink());
    QFile f(target());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), server.body);
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), QByteArray("keep me"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("listing-1")});
}

// A peer that keeps sending: the cap counts what arrives, an error page's body included, and
// the transfer ends long before the peer is done.
TEST_F(Download, BodiesPastTheCapEndTheTransferEarly) {
    constexpr qint64 flood = qint64(256) << 20;
    DownloadOptions options;
    options.maxBytes = 1 << 20;
    struct Case {
        QByteArray head;
        QString expected;
    };
    for (const Case& c : {Case{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n",
                               QStringLiteral("10040 The file is larger than allowed")},
                          Case{"HTTP/1.1 200 OK\r\nContent-Length: 100000000000\r\n\r\n",
                               QStringLiteral("10040 The file is larger than allowed")},
                          Case{"HTTP/1.1 404 Not Found\r\nConnection: close\r\n\r\n",
                               QStringLiteral("404 Not Found")}}) {
        TinyHttpServer server;
        server.head = c.head;
        server.flood = flood;
        EXPECT_EQ(DownloadFile(server.url(), target(), options), c.expected);
        EXPECT_LT(server.sent, flood / 4) << c.head.toStdString();
        EXPECT_TRUE(files().isEmpty()) << files().join(',').toStdString();
    }
}

// One byte every 20 ms never lets the idle time-out run out, but is far below the slowest rate
// kept: the transfer ends with the time-out error all the same.
TEST_F(Download, DrippingServerTimesOut) {
    TinyHttpServer server;
    server.body = QByteArray(2000, 'd');
    server.head = okHead(server.body.size());
    server.dripMs = 20;
    DownloadOptions options;
    options.idleTimeoutSeconds = 1;
    EXPECT_EQ(DownloadFile(server.url(), target(), options),
              QStringLiteral("10060 Connection timed out"));
    EXPECT_LT(server.sent, server.body.size());
    EXPECT_TRUE(files().isEmpty());
}

} // namespace
} // namespace brevant::http
