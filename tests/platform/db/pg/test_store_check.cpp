// checkStore against the test cluster (a missing database, tables of other versions, a port
// nobody listens on) and against a small hostile server on 127.0.0.1 that speaks just enough of
// the PostgreSQL protocol to ask for a password and refuse it, or to refuse TLS.
#include "PgFixture.h"
#include "platform/db/Connection.h"
#include "platform/db/StoreCheck.h"
#include "platform/db/pg/PgDesktopSchema.h"

#include <QTemporaryDir>
#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using brevant::db::checkStore;
using brevant::db::StoreCheck;
using brevant::db::StoreLocator;
using Kind = StoreCheck::Kind;

StoreCheck check(const QString& text) {
    return checkStore(StoreLocator::parse(text));
}

// A listening socket on 127.0.0.1 with a port of its own.
class Listener {
public:
    Listener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            ADD_FAILURE() << "no loopback socket: " << std::strerror(errno);
        port_ = ntohs(a.sin_port);
    }
    ~Listener() { close(); }
    void listen() { ::listen(fd_, 4); }
    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    int accept() { return ::accept(fd_, nullptr, nullptr); }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

bool readFully(int fd, char* buf, size_t n) {
    while (n > 0) {
        const ssize_t got = ::read(fd, buf, n);
        if (got <= 0)
            return false;
        buf += got;
        n -= size_t(got);
    }
    return true;
}

quint32 be32(const char* p) {
    quint32 v;
    std::memcpy(&v, p, 4);
    return ntohl(v);
}

bool send(int fd, const QByteArray& data) {
    return ::write(fd, data.constData(), size_t(data.size())) == data.size();
}

void put32(QByteArray& out, quint32 v) {
    v = htonl(v);
    out.append(reinterpret_cast<const char*>(&v), 4);
}

// One message of the startup phase: its length word, then the rest (bounded: this is a test
// peer, not a server).
std::optional<QByteArray> readStartupPacket(int fd) {
    char head[4];
    if (!readFully(fd, head, 4))
        return std::nullopt;
    const quint32 len = be32(head);
    if (len < 8 || len > 10000)
        return std::nullopt;
    QByteArray body(int(len - 4), '\0');
    if (!readFully(fd, body.data(), size_t(body.size())))
        return std::nullopt;
    return body;
}

// Serves one client: refuses TLS ('N'), asks for a clear-text password, and answers whatever
// comes with the server's "password authentication failed" (SQLSTATE 28P01).
void servePasswordRefusal(Listener& l) {
    const int fd = l.accept();
    if (fd < 0)
        return;
    for (int round = 0; round < 3; ++round) {
        auto body = readStartupPacket(fd);
        if (!body)
            break;
        const quint32 code = be32(body->constData());
        if (code == 80877103 || code == 80877104) { // SSLRequest, GSSENCRequest
            if (!send(fd, QByteArrayLiteral("N")))
                break;
            continue;
        }
        QByteArray ask("R");
        put32(ask, 8);
        put32(ask, 3); // AuthenticationCleartextPassword
        if (!send(fd, ask))
            break;
        char type;
        char len[4];
        if (!readFully(fd, &type, 1) || !readFully(fd, len, 4))
            break;
        QByteArray fields("SFATAL");
        fields += '\0';
        fields += "C28P01";
        fields += '\0';
        fields += "Mpassword authentication failed for user \"estimator\"";
        fields += '\0';
        fields += '\0';
        QByteArray error("E");
        put32(error, quint32(fields.size() + 4));
        error += fields;
        send(fd, error);
        break;
    }
    ::close(fd);
}

QString tcpLocator(int port, const QString& more = QString()) {
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=projects user=estimator %2")
        .arg(port)
        .arg(more);
}

TEST(StoreCheck, NothingListeningIsRefusedAndAnUnresolvableNameIsHostNotFound) {
    int port = 0;
    {
        Listener l; // bound, never listening, then closed: nothing answers on its port
        port = l.port();
    }
    StoreCheck c = check(tcpLocator(port));
    EXPECT_EQ(c.kind, Kind::Refused) << c.detail.toStdString();
    EXPECT_FALSE(c.usable());
    EXPECT_FALSE(c.detail.isEmpty());

    // An empty label makes the name fail in the resolver itself, without asking any name
    // server.
    c = check(QStringLiteral("host=no..such.invalid port=5432 dbname=projects"));
    EXPECT_EQ(c.kind, Kind::HostNotFound) << c.detail.toStdString();

    // A socket folder without a server in it.
    QTemporaryDir empty;
    c = check(QStringLiteral("host=%1 dbname=projects").arg(empty.path()));
    EXPECT_EQ(c.kind, Kind::Refused) << c.detail.toStdString();
}

TEST(StoreCheck, AWrongOrMissingPasswordIsTold) {
    QTemporaryDir dir;
    // A password file with a wrong password for the peer: sent, and refused.
    const QString passfile = dir.filePath(QStringLiteral("pgpass"));
    {
        QFile f(passfile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("*:*:*:estimator:not-the-password\n");
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    for (const QString& extra : {QStringLiteral("sslmode=disable passfile=%1").arg(passfile),
                                 // No password anywhere: libpq gives up before sending one.
                                 QStringLiteral("sslmode=disable passfile=%1")
                                     .arg(dir.filePath(QStringLiteral("none")))}) {
        Listener l;
        l.listen();
        std::thread peer([&] { servePasswordRefusal(l); });
        const StoreCheck c = check(tcpLocator(l.port(), extra));
        l.close();
        peer.join();
        EXPECT_EQ(c.kind, Kind::Password) << extra.toStdString() << ": " << c.detail.toStdString();
    }
}

TEST(StoreCheck, TlsRequiredByTheLocatorButRefusedByTheServerIsTold) {
    Listener l;
    l.listen();
    std::thread peer([&] { servePasswordRefusal(l); });
    const StoreCheck c = check(tcpLocator(l.port(), QStringLiteral("sslmode=require")));
    l.close();
    peer.join();
    EXPECT_EQ(c.kind, Kind::Tls) << c.detail.toStdString();
}

TEST(StoreCheck, APasswordInTheLocatorIsRefusedBeforeAnyConnection) {
    const StoreCheck c = check(QStringLiteral("host=127.0.0.1 port=1 dbname=p password=secret"));
    EXPECT_EQ(c.kind, Kind::PasswordInLocator);
    EXPECT_FALSE(c.detail.contains(QLatin1String("secret")));
}

class StoreCheckOnCluster : public pgtest::ScratchDatabase {};

TEST_F(StoreCheckOnCluster, MissingDatabaseAndTheTablesVersionsAreTold) {
    QString why;
    const QString cluster = pgtest::clusterLocator(&why);
    StoreCheck c = check(cluster + QStringLiteral(" dbname=no_such_database_here"));
    EXPECT_EQ(c.kind, Kind::DatabaseMissing) << c.detail.toStdString();

    // The test's own schema starts empty: the first open will create the tables.
    c = check(locator());
    EXPECT_EQ(c.kind, Kind::Empty) << c.detail.toStdString();
    EXPECT_TRUE(c.usable());

    {
        brevant::db::Connection store;
        store.open(locator());
    }
    c = check(locator());
    EXPECT_EQ(c.kind, Kind::Ready) << c.detail.toStdString();
    EXPECT_EQ(c.foundVersion, brevant::db::pg::desktopSchemaVersion());

    brevant::db::pg::Session own; // in the test's schema, as the store's own sessions are
    own.open(locator());
    own.run("UPDATE brevant_schema SET version = 1");
    c = check(locator());
    EXPECT_EQ(c.kind, Kind::OlderSchema);
    EXPECT_TRUE(c.usable());

    own.run("UPDATE brevant_schema SET version = " +
            QByteArray::number(brevant::db::pg::desktopSchemaVersion() + 1));
    c = check(locator());
    EXPECT_EQ(c.kind, Kind::NewerSchema);
    EXPECT_FALSE(c.usable());
    EXPECT_EQ(c.foundVersion, brevant::db::pg::desktopSchemaVersion() + 1);
}

TEST_F(StoreCheckOnCluster, SizeComesFromTheStore) {
    brevant::db::Connection store;
    store.open(locator());
    EXPECT_TRUE(brevant::db::storeMaintainsItself(store));
    const qint64 pgSize = brevant::db::storeSizeBytes(store);
    EXPECT_GT(pgSize, 1000000) << "pg_database_size of a database with tables";
    brevant::db::pg::Session own;
    own.open(locator());
    const auto r = own.run("SELECT pg_database_size(current_database())");
    EXPECT_NEAR(double(pgSize), r.text(0, 0).toDouble(), 1e6);

    QTemporaryDir dir;
    brevant::db::Connection file;
    file.open(dir.filePath(QStringLiteral("Desktop.mdb")), brevant::db::Connection::Mode::Create);
    file.executeNative(
        QStringLiteral("CREATE TABLE t (x); INSERT INTO t VALUES (zeroblob(200000))"));
    EXPECT_FALSE(brevant::db::storeMaintainsItself(file));
    file.close();
    const qint64 onDisk = QFileInfo(dir.filePath(QStringLiteral("Desktop.mdb"))).size();
    file.open(dir.filePath(QStringLiteral("Desktop.mdb")));
    EXPECT_EQ(brevant::db::storeSizeBytes(file), onDisk);
    EXPECT_GT(onDisk, 200000);
}

} // namespace
