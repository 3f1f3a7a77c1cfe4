#pragma once
// Starts brevant-service as a child process on free ports of 127.0.0.1 with its own data
// folder, and talks to it with plain sockets: framed requests, raw HTTP GETs, zip contents.
#include <QByteArray>
#include <QDate>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace brevant::service::test {

// The catalogue every test service is made from unless told otherwise.
constexpr int TestProjects = 60;
constexpr int TestSeed = 11;
inline QDate testToday() {
    return QDate(2027, 3, 1);
}

class ServiceProcess {
public:
    // Starts the service with the standard test options plus extra; dataDir empty: a fresh one.
    // maxOpenFiles > 0 lowers the service's descriptor limit (RLIMIT_NOFILE) to that number.
    explicit ServiceProcess(const QStringList& extra = {}, const QString& dataDir = {},
                            int maxOpenFiles = 0);
    ~ServiceProcess();

    bool started() const { return port > 0; }
    QString errorText() const { return error_; }
    QString stderrText() const; // the service's log so far
    QString dataDir() const { return dataDir_; }

    int port = 0, httpPort = 0, smtpPort = 0;

private:
    std::unique_ptr<QTemporaryDir> temp_;
    QString dataDir_;
    QProcess process_;
    QString error_;
};

// A request as the client frames it.
QByteArray frame(int kind, const QString& user, const QString& password, const QString& version,
                 const QString& argument);
QByteArray frame(int kind, const QString& argument); // test:secret, version 2.0.0

struct Received {
    QByteArray data;         // everything read, the closing character included
    bool terminated = false; // the character 1 arrived
    bool closed = false;     // the service closed the connection
    int reads = 0;           // separate arrivals
    QByteArray body() const { return terminated ? data.left(data.size() - 1) : data; }
};

// How long a test waits for an answer that must come. Generous, since a loaded machine (a
// sanitizer build beside another build) can be slow; an answer that comes ends the wait at once.
constexpr int kAnswerMs = 60000;

// Connects, sends the request (in one piece) and reads until the character 1, the connection
// closes or timeoutMs pass.
Received exchange(int port, const QByteArray& request, int timeoutMs = kAnswerMs);
// The same, but stops early once `marker` has arrived: for replies that never end, so that the
// test waits for what it expects instead of a fixed time.
Received exchangeUntil(int port, const QByteArray& request, const QByteArray& marker,
                       int timeoutMs = kAnswerMs);

class QTcpSocketHolder;
// A connection kept open for several requests (the search dialog's).
class Connection {
public:
    explicit Connection(int port);
    ~Connection();
    bool connected() const;
    Received request(const QByteArray& request, int timeoutMs = kAnswerMs);
    void send(const QByteArray& bytes);
    Received read(int timeoutMs = kAnswerMs, const QByteArray& marker = {});
    // Waits up to timeoutMs for the service to close the connection.
    bool waitClosed(int timeoutMs);

private:
    std::unique_ptr<QTcpSocketHolder> socket_;
};

struct HttpResult {
    int status = 0;
    QByteArray head, body;
    int reads = 0;
};
// A raw GET of an http://127.0.0.1:port/path URL.
HttpResult httpGet(const QString& url, int timeoutMs = 10000);

// The entries of a zip (name and contents), read through a temporary file.
struct ZipEntry {
    QString name;
    QByteArray data;
    QString comment;
};
QList<ZipEntry> zipEntries(const QByteArray& zip);

} // namespace brevant::service::test
