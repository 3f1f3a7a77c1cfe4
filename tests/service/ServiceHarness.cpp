#include "ServiceHarness.h"

#include "platform/archive/ZipReader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QUrl>
#include <sys/resource.h>

namespace brevant::service::test {

ServiceProcess::ServiceProcess(const QStringList& extra, const QString& dataDir, int maxOpenFiles) {
    if (dataDir.isEmpty()) {
        temp_ = std::make_unique<QTemporaryDir>();
        dataDir_ = temp_->path();
    } else {
        dataDir_ = dataDir;
    }
    QStringList args = {"--host",
                        "127.0.0.1",
                        "--port",
                        "0",
                        "--http-port",
                        "0",
                        "--smtp-port",
                        "0",
                        "--data",
                        dataDir_,
                        "--projects",
                        QString::number(TestProjects),
                        "--seed",
                        QString::number(TestSeed),
                        "--today",
                        testToday().toString(Qt::ISODate),
                        "--user",
                        "test:secret",
                        "--user",
                        "viewer:pw:noaccess",
                        "--request-idle-ms",
                        "60"};
    args << extra;
    // The log goes to a file: a pipe nobody drains would stall the service once it is full.
    process_.setStandardErrorFile(dataDir_ + "/service.log");
    process_.setProgram(BREVANT_SERVICE_EXE);
    process_.setArguments(args);
    if (maxOpenFiles > 0) {
        // UBSan checks an object's type by reading its vtable through a pipe it opens for the
        // purpose; with every descriptor taken that pipe fails and the runtime calls a live
        // object invalid ("<memory cannot be printed>"). The starved process goes on after a
        // report; the test tells that artefact from a real one (see starvedRuntimeErrors).
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString ubsan = env.value("UBSAN_OPTIONS");
        env.insert("UBSAN_OPTIONS",
                   (ubsan.isEmpty() ? QString() : ubsan + ":") + "halt_on_error=0");
        process_.setProcessEnvironment(env);
        process_.setChildProcessModifier([maxOpenFiles] {
            const rlimit limit{rlim_t(maxOpenFiles), rlim_t(maxOpenFiles)};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        });
    }
    process_.start();
    if (!process_.waitForStarted(10000)) {
        error_ = process_.errorString();
        return;
    }
    QByteArray out;
    QDeadlineTimer deadline(30000);
    static const QRegularExpression ready("ready port=(\\d+) http-port=(\\d+) smtp-port=(-?\\d+)");
    while (!deadline.hasExpired()) {
        if (!process_.waitForReadyRead(200) && process_.state() != QProcess::Running)
            break;
        out += process_.readAllStandardOutput();
        const auto m = ready.match(QString::fromUtf8(out));
        if (m.hasMatch()) {
            port = m.captured(1).toInt();
            httpPort = m.captured(2).toInt();
            smtpPort = m.captured(3).toInt();
            return;
        }
    }
    error_ = "service did not start: " + QString::fromUtf8(out) + stderrText();
}

ServiceProcess::~ServiceProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
}

QString ServiceProcess::stderrText() const {
    QFile log(dataDir_ + "/service.log");
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QByteArray frame(int kind, const QString& user, const QString& password, const QString& version,
                 const QString& argument) {
    const char k = static_cast<char>(kind);
    return QByteArray(1, k) + user.toUtf8() + "|" + password.toUtf8() + "|" + version.toUtf8() +
           QByteArray(1, k) + argument.toUtf8();
}

QByteArray frame(int kind, const QString& argument) {
    return frame(kind, "test", "secret", "2.0.0", argument);
}

class QTcpSocketHolder : public QTcpSocket {};

namespace {

Received readReply(QTcpSocket& socket, int timeoutMs, const QByteArray& marker = {}) {
    Received r;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(50)) {
            if (socket.state() != QAbstractSocket::ConnectedState) {
                r.data += socket.readAll();
                r.closed = true;
                break;
            }
            continue;
        }
        const QByteArray piece = socket.readAll();
        if (piece.isEmpty())
            continue;
        ++r.reads;
        r.data += piece;
        if (r.data.contains('\x01') || (!marker.isEmpty() && r.data.contains(marker)))
            break;
    }
    r.terminated = r.data.endsWith('\x01');
    return r;
}

} // namespace

Received exchange(int port, const QByteArray& request, int timeoutMs) {
    Connection c(port);
    if (!c.connected())
        return {};
    return c.request(request, timeoutMs);
}

Received exchangeUntil(int port, const QByteArray& request, const QByteArray& marker,
                       int timeoutMs) {
    Connection c(port);
    if (!c.connected())
        return {};
    c.send(request);
    return c.read(timeoutMs, marker);
}

Connection::Connection(int port) : socket_(std::make_unique<QTcpSocketHolder>()) {
    socket_->connectToHost("127.0.0.1", quint16(port));
    socket_->waitForConnected(5000);
}

Connection::~Connection() = default;

bool Connection::connected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

Received Connection::request(const QByteArray& request, int timeoutMs) {
    socket_->write(request);
    socket_->waitForBytesWritten(5000);
    return readReply(*socket_, timeoutMs);
}

void Connection::send(const QByteArray& bytes) {
    socket_->write(bytes);
    socket_->waitForBytesWritten(5000);
}

Received Connection::read(int timeoutMs, const QByteArray& marker) {
    return readReply(*socket_, timeoutMs, marker);
}

bool Connection::waitClosed(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (socket_->state() != QAbstractSocket::ConnectedState)
            return true;
        socket_->waitForReadyRead(50);
        socket_->readAll();
    }
    return socket_->state() != QAbstractSocket::ConnectedState;
}

HttpResult httpGet(const QString& url, int timeoutMs) {
    HttpResult r;
    const QUrl u(url);
    QTcpSocket socket;
    socket.connectToHost(u.host(), quint16(u.port()));
    if (!socket.waitForConnected(5000))
        return r;
    socket.write("GET " + u.path(QUrl::FullyEncoded).toUtf8() +
                 " HTTP/1.1\r\nHost: " + u.host().toUtf8() + "\r\nConnection: close\r\n\r\n");
    QByteArray all;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(50)) {
            if (socket.state() != QAbstractSocket::ConnectedState)
                break;
            continue;
        }
        ++r.reads;
        all += socket.readAll();
    }
    all += socket.readAll();
    const qsizetype end = all.indexOf("\r\n\r\n");
    if (end < 0)
        return r;
    r.head = all.left(end);
    r.body = all.mid(end + 4);
    r.status = r.head.split(' ').value(1).toInt();
    return r;
}

QList<ZipEntry> zipEntries(const QByteArray& zip) {
    QTemporaryFile file;
    file.open();
    file.write(zip);
    file.flush();
    brevant::archive::ZipReader reader(file.fileName().toStdString());
    QList<ZipEntry> entries;
    for (std::int64_t i = 0; i < reader.entryCount(); ++i) {
        const std::string data = reader.readAll(i);
        entries.push_back({QString::fromStdString(reader.entryName(i)),
                           QByteArray(data.data(), qsizetype(data.size())),
                           QString::fromStdString(reader.entryComment(i))});
    }
    return entries;
}

} // namespace brevant::service::test
