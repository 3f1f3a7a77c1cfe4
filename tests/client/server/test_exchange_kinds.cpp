// ServerConnection for every request kind against brevant-service and against a scripted server
// in the test process: the access check's digit, an update archive fetched and unpacked (into a
// folder of its own, whatever its entry is named), a refusal with an empty message and one of a
// megabyte, a kept-open search connection that the server closed, and the exchange through a
// real SOCKS 5 server (dante).
#include "ExchangeTestEnv.h"
#include "ImportDatabase.h"
#include "base/ProgramFolders.h"
#include "platform/ui/PeerText.h"
#include "server/ArchiveFetch.h"
#include "server/ListingDocument.h"
#include "server/Request.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"
#include "server/UpdateCheck.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

using namespace test;

struct Outcome {
    bool ended = false;
    bool replied = false;
    QByteArray text;
};

void watch(ServerConnection& c, Outcome& o) {
    c.onReply = [&o](const QByteArray& t) {
        o.replied = true;
        o.text = t;
    };
    c.onEnded = [&o] { o.ended = true; };
}

bool waitFor(Outcome& o) {
    return waitUntil([&] { return o.replied || o.ended; });
}

TEST(ExchangeKinds, AccessCheckAndAnUpdateArchive) {
    ExchangeTestEnv env;
    ASSERT_TRUE(env.service.started());
    {
        ServerConnection access(RequestKind::AccessCheck);
        Outcome o;
        watch(access, o);
        ASSERT_EQ(access.OpenConnection(QString()), ServerConnection::Open::Connecting);
        ASSERT_TRUE(waitFor(o));
        EXPECT_EQ(o.text, QByteArray("1"));
        EXPECT_FALSE(access.control().connected()); // closed once the reply is whole
        modResources::UserName = QStringLiteral("viewer");
        modResources::Password = QStringLiteral("pw");
        o = {};
        ASSERT_EQ(access.OpenConnection(QString()), ServerConnection::Open::Connecting);
        ASSERT_TRUE(waitFor(o));
        EXPECT_EQ(o.text, QByteArray("0"));
    }
    modResources::UserName = QStringLiteral("test");
    modResources::Password = QStringLiteral("secret");
    ServerConnection update(RequestKind::ProjectUpdate);
    Outcome o;
    watch(update, o);
    ASSERT_EQ(update.OpenConnection(QStringLiteral("210001,210002")),
              ServerConnection::Open::Connecting);
    ASSERT_TRUE(waitFor(o));
    ASSERT_TRUE(o.replied) << messages(env.ui).join('|').toStdString();
    const QString download = env.home() + QStringLiteral("/Download");
    {
        const FetchedArchive fetched =
            FetchArchive(RequestKind::ProjectUpdate, QString::fromUtf8(o.text), {});
        ASSERT_TRUE(fetched.ok);
        EXPECT_TRUE(fetched.archivePath.startsWith(download + QStringLiteral("/update-")));
        EXPECT_FALSE(QFile::exists(fetched.archivePath)); // deleted once unpacked
        // Entry 0 lands alone in a folder made for it under Download.
        const QFileInfo unpacked(fetched.unpackedPath);
        EXPECT_EQ(unpacked.fileName(), QFileInfo(fetched.archivePath).fileName());
        EXPECT_EQ(QFileInfo(unpacked.absolutePath()).absolutePath(), download);
        EXPECT_TRUE(unpacked.absolutePath().startsWith(download + QStringLiteral("/unpack.")));
        QFile f(fetched.unpackedPath);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ListingDocument doc;
        QString reason;
        ASSERT_TRUE(ParseListingDocument(f.readAll(), doc, &reason)) << reason.toStdString();
        ASSERT_EQ(doc.projects.size(), 2);
        EXPECT_EQ(doc.projects[1].firstAttribute, QStringLiteral("210002"));
    }
    EXPECT_EQ(QDir(download).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

// The update archive's entry is named like the program's lock file (in another case): the
// merge reads it from a folder of its own, and the check leaves the program folder as it was
// and nothing of the exchange in "Download".
TEST(ExchangeKinds, AnUpdateEntryNamedLikeTheLockFileReplacesNothing) {
    ExchangeTestEnv env({"--entry-name", "BREVANT.LOCK", "--fault-kind", "3"});
    ASSERT_TRUE(env.service.started());
    openClientDatabase(env);
    QFile lock(env.home() + QStringLiteral("/brevant.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("12345\n");
    lock.close();

    ServerConnection update(RequestKind::ProjectUpdate);
    bool done = false, merged = false;
    ASSERT_EQ(RequestProjectUpdates(update, QStringLiteral("210001"),
                                    [&](const MergeSummary* summary) {
                                        done = true;
                                        merged = summary != nullptr;
                                    }),
              ServerConnection::Open::Connecting);
    ASSERT_TRUE(waitUntil([&] { return done; }));
    EXPECT_TRUE(merged) << messages(env.ui).join('|').toStdString();
    ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
    EXPECT_EQ(lock.readAll(), QByteArray("12345\n"));
    EXPECT_EQ(QDir(env.home() + QStringLiteral("/Download"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST(ExchangeKinds, ListingAndDocumentsRefuseASecondConnection) {
    ExchangeTestEnv env({"--no-terminator", "--fault-kind", "2"});
    ASSERT_TRUE(env.service.started());
    ServerConnection listing(RequestKind::ProjectListing);
    ASSERT_EQ(listing.OpenConnection(QStringLiteral("210001")), ServerConnection::Open::Connecting);
    ASSERT_TRUE(waitUntil([&] { return listing.control().connected(); }));
    EXPECT_EQ(listing.OpenConnection(QStringLiteral("210001")),
              ServerConnection::Open::AlreadyConnected);
    EXPECT_EQ(messages(env.ui), QStringList{alreadyConnectedText()});
    EXPECT_FALSE(listing.control().connected());
}

// A server in the test process: answers each request with the next scripted reply, and can
// close its side of the connection.
class ScriptedServer : public QObject {
public:
    QList<QByteArray> replies;
    QList<QByteArray> requests;
    int connections = 0;
    QTcpSocket* last = nullptr;
    ScriptedServer() {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            ++connections;
            last = s;
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                requests << s->readAll();
                if (!replies.isEmpty())
                    s->write(replies.takeFirst());
            });
        });
    }
    QTcpServer server;
};

// A client pointed at a ScriptedServer, with credentials set.
struct ScriptedExchange {
    ScriptedExchange() {
        modResources::UserName = QStringLiteral("u");
        modResources::Password = QStringLiteral("p");
        ExchangeTestEnv::pointTo(server.server.serverPort());
    }
    shell::test::ShellTestEnv shellEnv;
    ui::ScopedScriptedUi ui;
    ScriptedServer server;
};

TEST(ExchangeKinds, EmptyRefusalAndAReopenedSearchConnection) {
    ScriptedExchange x;
    auto& [shellEnv, ui, server] = x;

    ServerConnection search(RequestKind::Search);
    Outcome o;
    watch(search, o);
    server.replies << QByteArray("+NOOK+\x01");
    ASSERT_EQ(search.OpenConnection(QStringLiteral("WHERE x")), ServerConnection::Open::Connecting);
    ASSERT_TRUE(waitFor(o));
    EXPECT_TRUE(o.ended);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, QString());
    EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
    EXPECT_EQ(ui.last().icon, ui::Icon::Information);
    EXPECT_FALSE(search.control().connected());
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_EQ(server.requests[0], BuildRequest(RequestKind::Search, "u", "p", "WHERE x").toUtf8());

    // A successful search keeps the connection; the server then closes it.
    o = {};
    server.replies << QByteArray("<Jobs/>\x01");
    search.OpenConnection(QStringLiteral("WHERE y"));
    ASSERT_TRUE(waitFor(o));
    EXPECT_EQ(o.text, QByteArray("<Jobs/>"));
    EXPECT_TRUE(search.control().connected());
    server.last->disconnectFromHost();
    // The next search goes out on a new connection, noticed closed or not.
    o = {};
    server.replies << QByteArray("<Jobs></Jobs>\x01");
    search.OpenConnection(QStringLiteral("WHERE z"));
    ASSERT_TRUE(waitFor(o));
    EXPECT_TRUE(o.replied) << messages(ui).join('|').toStdString();
    EXPECT_EQ(o.text, QByteArray("<Jobs></Jobs>"));
    EXPECT_EQ(server.connections, 3); // the refused one, the kept one, the new one
    EXPECT_TRUE(server.requests.last().endsWith("WHERE z"));
}

// A refusal's text comes from the server: a megabyte of it is shown as its first few hundred
// characters and a mark of the cut, not whole.
TEST(ExchangeKinds, AHugeRefusalIsShownCut) {
    ScriptedExchange x;
    auto& [shellEnv, ui, server] = x;

    ServerConnection search(RequestKind::Search);
    Outcome o;
    watch(search, o);
    const QByteArray text = "Your subscription has ended. " + QByteArray(1 << 20, 'r');
    server.replies << "+NOOK+" + text + "\x01";
    ASSERT_EQ(search.OpenConnection(QStringLiteral("WHERE x")), ServerConnection::Open::Connecting);
    ASSERT_TRUE(waitFor(o));
    EXPECT_TRUE(o.ended);
    ASSERT_EQ(ui.shown().size(), 1);
    const QString shown = ui.last().text;
    EXPECT_EQ(shown.size(), ui::MaxPeerTextChars + 1);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Your subscription has ended. rrr")));
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
}

TEST(ExchangeKinds, ThroughASocks5Server) {
    if (!QFile::exists(QStringLiteral("/usr/sbin/danted")))
        GTEST_SKIP() << "dante-server is not installed";
    ExchangeTestEnv env;
    ASSERT_TRUE(env.service.started());
    QTemporaryDir dir;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int socksPort = probe.serverPort();
    probe.close();
    QFile conf(dir.filePath("sockd.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("logoutput: %1\ninternal: 127.0.0.1 port = %2\nexternal: 127.0.0.1\n"
                              "clientmethod: none\nsocksmethod: none\nuser.privileged: root\n"
                              "user.unprivileged: nobody\nclient pass {\n from: 127.0.0.0/8 to: "
                              "0.0.0.0/0\n}\nsocks pass {\n from: 127.0.0.0/8 to: 0.0.0.0/0\n "
                              "command: connect\n protocol: tcp\n log: connect\n}\n")
                   .arg(dir.filePath("sockd.log"))
                   .arg(socksPort)
                   .toUtf8());
    conf.close();
    QProcess dante;
    dante.start(QStringLiteral("/usr/sbin/danted"),
                {"-f", conf.fileName(), "-p", dir.filePath("sockd.pid")});
    ASSERT_TRUE(dante.waitForStarted());
    ASSERT_TRUE(waitUntil([&] {
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), quint16(socksPort));
        return s.waitForConnected(200);
    }));

    modResources::ProxyOn = true;
    WriteSetting(QStringLiteral("PROXYSOCKS"), QStringLiteral("127.0.0.1"));
    WriteSetting(QStringLiteral("PROXYSOCKSPORT"), QString::number(socksPort));
    ServerConnection search(RequestKind::Search);
    Outcome o;
    watch(search, o);
    search.OpenConnection(QStringLiteral("WHERE [Job Information].Job_ID = 210001"));
    ASSERT_TRUE(waitFor(o));
    EXPECT_TRUE(o.replied) << messages(env.ui).join('|').toStdString();
    EXPECT_TRUE(o.text.contains("<Job_ID>210001</Job_ID>"));
    EXPECT_EQ(search.control().FirewallType, 3);
    QFile log(dir.filePath("sockd.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains(QByteArray::number(env.service.port)));

    // The SOCKS server gone: a communication error, not a hang.
    dante.terminate();
    dante.waitForFinished(5000);
    search.Disconnect();
    o = {};
    search.OpenConnection(QStringLiteral("WHERE [Job Information].Job_ID = 210001"));
    ASSERT_TRUE(waitFor(o));
    EXPECT_TRUE(o.ended);
    EXPECT_EQ(messages(env.ui).value(0),
              QStringLiteral("Error communicating with server - 10061 Connection refused"));
    modResources::ProxyOn = false;
}

} // namespace
} // namespace brevant::server
