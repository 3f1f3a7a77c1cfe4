#pragma once
// Everything the service is told on its command line (README.md lists the switches).
#include "service/net/ConnectionLimits.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace brevant::service {

struct Account {
    QString user, password;
    bool documentAccess = true; // false for NAME:PASSWORD:noaccess
};

struct Version {
    int major = 0, minor = 0, revision = 0;
    auto operator<=>(const Version&) const = default;
    QString text() const { return QString("%1.%2.%3").arg(major).arg(minor).arg(revision); }
    // "1.2.3" (decimal numbers only); nullopt for anything else.
    static std::optional<Version> parse(const QString& text);
};

// Faults injected on purpose, for the client's tests.
struct FaultOptions {
    int faultKind = 0;         // 0: the exchange faults below apply to every kind; else to one
    int chunkSize = 0;         // > 0: replies go out in pieces of this many bytes
    int chunkDelayMs = 0;      // pause between pieces
    bool noTerminator = false; // replies never end: no character 1, connection left open
    qint64 dropAfter = -1;     // >= 0: the connection is closed after this many reply bytes
    bool brokenXml = false;    // XML documents are cut short
    bool emptyArchive = false; // archives have no entries
    bool hostileNames = false; // archive entry names try to leave the target folder
    QString entryName;         // non-empty: entry 0 of every archive bears this name
    int httpStatus = 0;        // non-zero: every HTTP request is answered with this status
    int httpSlowMs = 0;        // > 0: HTTP bodies go out 1 KB at a time with this pause
    // Not empty: replies wait until this file exists, so a test decides when one goes out.
    QString holdUntilFile;

    bool appliesTo(int kind) const { return faultKind == 0 || faultKind == kind; }
};

struct ServiceOptions {
    QString host = "127.0.0.1"; // listening address, and the host in the URLs handed out
    int port = 555;             // 0 picks a free port (reported on standard output)
    int httpPort = 8080;
    int smtpPort = -1; // -1: no SMTP sink
    QString dataDir = "brevant-service-data";
    int projects = 300;
    quint64 seed = 1;
    QDate today = QDate::currentDate();
    std::optional<Version> minVersion;
    QVector<Account> accounts;
    int requestIdleMs = 150; // a request is complete when nothing more came for this long
    int searchTimeMs = 3000; // a search running longer is refused as invalid criteria
    ConnectionLimits limits; // per listening socket (exchange and SMTP sink)
    FaultOptions faults;
    QString exportDesktop; // non-empty: write a client database there and exit

    const Account* account(const QString& user) const;
};

// Parses the arguments (argv[0] included). On a bad switch it returns nullopt and fills error.
std::optional<ServiceOptions> parseServiceOptions(const QStringList& arguments, QString& error);

} // namespace brevant::service
