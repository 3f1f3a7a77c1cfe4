#include "service/ServiceOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace brevant::service {

std::optional<Version> Version::parse(const QString& text) {
    static const QRegularExpression form("^(\\d{1,9})\\.(\\d{1,9})\\.(\\d{1,9})$");
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return Version{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
}

const Account* ServiceOptions::account(const QString& user) const {
    for (const Account& a : accounts) {
        if (a.user == user)
            return &a;
    }
    return nullptr;
}

namespace {

bool toInt(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

} // namespace

std::optional<ServiceOptions> parseServiceOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser p;
    p.setApplicationDescription("Local stand-in for the Brevant subscription service.");
    p.addHelpOption();
    const QList<QCommandLineOption> valued = {
        {"host", "Address to listen on and to put in URLs.", "address", "127.0.0.1"},
        {"port", "Port of the framed exchange (0: any free port).", "port", "555"},
        {"http-port", "Port of the document web server (0: any free port).", "port", "8080"},
        {"smtp-port", "Port of the SMTP sink (0: any free port; off when not given).", "port"},
        {"data", "Folder of the catalogue, archives, documents and mail.", "dir",
         "brevant-service-data"},
        {"projects", "Number of projects in the catalogue.", "n", "300"},
        {"seed", "Seed of the catalogue.", "s", "1"},
        {"today", "The day bid dates are spread around (yyyy-mm-dd).", "date"},
        {"min-version", "Refuse clients older than this version (major.minor.revision).",
         "version"},
        {"user", "An account NAME:PASSWORD[:noaccess]; repeatable.", "account"},
        {"request-idle-ms", "Quiet time that ends a request.", "ms", "150"},
        {"max-connections", "Connections open at once per listening socket.", "n", "256"},
        {"max-per-address", "Connections open at once from one client address.", "n", "32"},
        {"first-bytes-ms", "Time a new connection has to send its first bytes.", "ms", "5000"},
        {"search-ms", "Time a search may run before it is refused.", "ms", "3000"},
        {"export-desktop",
         "Write the catalogue into a client database (a file, or a PostgreSQL store's "
         "connection string) and exit.",
         "path"},
        {"fault-kind", "Apply the exchange faults to this request kind only (1-5).", "kind"},
        {"chunk", "Send replies in pieces of this many bytes.", "bytes"},
        {"chunk-delay", "Pause between reply pieces.", "ms"},
        {"drop-after", "Close the connection after this many reply bytes.", "bytes"},
        {"http-status", "Answer every HTTP request with this status (404, 500...).", "code"},
        {"http-slow", "Send HTTP bodies 1 KB at a time with this pause.", "ms"},
        {"entry-name", "Name entry 0 of every archive so (a name of a file the client keeps).",
         "name"},
        {"hold-until", "Hold replies until this file exists.", "path"},
    };
    for (const auto& o : valued)
        p.addOption(o);
    p.addOption({"no-terminator", "Replies never end (no character 1)."});
    p.addOption({"broken-xml", "Send XML documents cut short."});
    p.addOption({"empty-archive", "Send archives without entries."});
    p.addOption({"hostile-names", "Send archives whose entry names leave the target folder."});
    if (!p.parse(arguments)) {
        error = p.errorText();
        return std::nullopt;
    }
    if (p.isSet("help")) {
        error = p.helpText();
        return std::nullopt;
    }
    if (!p.positionalArguments().isEmpty()) {
        error = "unexpected argument " + p.positionalArguments().first();
        return std::nullopt;
    }

    ServiceOptions o;
    o.host = p.value("host");
    o.dataDir = p.value("data");
    o.exportDesktop = p.value("export-desktop");
    auto number = [&](const char* name, int low, int high, int& out) {
        if (!p.isSet(name) && p.value(name).isEmpty())
            return true;
        if (toInt(p.value(name), low, high, out))
            return true;
        error = QString("--%1: expected a number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    };
    FaultOptions& f = o.faults;
    int dropAfter = -1;
    if (!number("port", 0, 65535, o.port) || !number("http-port", 0, 65535, o.httpPort) ||
        !number("smtp-port", 0, 65535, o.smtpPort) || !number("projects", 0, 1000000, o.projects) ||
        !number("request-idle-ms", 1, 60000, o.requestIdleMs) ||
        !number("max-connections", 1, 100000, o.limits.total) ||
        !number("max-per-address", 1, 100000, o.limits.perAddress) ||
        !number("first-bytes-ms", 1, 600000, o.limits.firstBytesMs) ||
        !number("search-ms", 1, 600000, o.searchTimeMs) ||
        !number("fault-kind", 1, 5, f.faultKind) || !number("chunk", 1, 1 << 24, f.chunkSize) ||
        !number("chunk-delay", 0, 600000, f.chunkDelayMs) ||
        !number("drop-after", 0, 1 << 30, dropAfter) ||
        !number("http-status", 100, 599, f.httpStatus) ||
        !number("http-slow", 1, 600000, f.httpSlowMs))
        return std::nullopt;
    f.dropAfter = dropAfter;
    f.noTerminator = p.isSet("no-terminator");
    f.brokenXml = p.isSet("broken-xml");
    f.emptyArchive = p.isSet("empty-archive");
    f.hostileNames = p.isSet("hostile-names");
    f.entryName = p.value("entry-name");
    f.holdUntilFile = p.value("hold-until");

    bool ok = false;
    o.seed = p.value("seed").toULongLong(&ok);
    if (!ok) {
        error = "--seed: expected a number";
        return std::nullopt;
    }
    if (p.isSet("today")) {
        o.today = QDate::fromString(p.value("today"), Qt::ISODate);
        if (!o.today.isValid()) {
            error = "--today: expected yyyy-mm-dd";
            return std::nullopt;
        }
    }
    if (p.isSet("min-version")) {
        o.minVersion = Version::parse(p.value("min-version"));
        if (!o.minVersion) {
            error = "--min-version: expected major.minor.revision";
            return std::nullopt;
        }
    }
    for (const QString& spec : p.values("user")) {
        const QStringList parts = spec.split(':');
        if (parts.size() < 2 || parts.size() > 3 || parts[0].isEmpty() ||
            (parts.size() == 3 && parts[2] != "noaccess")) {
            error = "--user: expected NAME:PASSWORD or NAME:PASSWORD:noaccess, got " + spec;
            return std::nullopt;
        }
        o.accounts.push_back(Account{parts[0], parts[1], parts.size() == 2});
    }
    if (o.accounts.isEmpty())
        o.accounts.push_back(Account{"demo", "demo", true});
    return o;
}

} // namespace brevant::service
