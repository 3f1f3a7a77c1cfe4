#include "shell/StoreChoice.h"

#include <QCoreApplication>
#include <QHostAddress>

namespace brevant::shell {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("brevant::shell::StoreChoice", text);
}

// libpq's quoting: a value with blanks, quotes or backslashes goes in single quotes with its
// quotes and backslashes escaped.
QString quoted(const QString& value) {
    bool plain = !value.isEmpty();
    for (const QChar c : value)
        if (c.isSpace() || c == QLatin1Char('\'') || c == QLatin1Char('\\') ||
            c == QLatin1Char('='))
            plain = false;
    if (plain)
        return value;
    QString out = QStringLiteral("'");
    for (const QChar c : value) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('\'');
}

} // namespace

QString firmServerLocator(const FirmServer& s) {
    if (s.isEmpty())
        return {};
    QStringList pairs;
    const auto add = [&](const char* keyword, const QString& value) {
        const QString v = value.trimmed();
        if (!v.isEmpty())
            pairs << QString::fromLatin1(keyword) + QLatin1Char('=') + quoted(v);
    };
    add("service", s.service);
    add("host", s.host);
    add("port", s.port);
    add("dbname", s.database);
    add("user", s.user);
    add("sslmode", s.sslMode);
    for (auto it = s.others.cbegin(); it != s.others.cend(); ++it)
        if (it.key().compare(QLatin1String("password"), Qt::CaseInsensitive) != 0)
            add(it.key().toLatin1().constData(), it.value());
    return pairs.join(QLatin1Char(' '));
}

FirmServer firmServerFields(const db::StoreLocator& locator) {
    QMap<QString, QString> k = db::storeConnectionKeywords(locator);
    FirmServer s;
    s.host = k.take(QStringLiteral("host"));
    s.port = k.take(QStringLiteral("port"));
    s.database = k.take(QStringLiteral("dbname"));
    s.user = k.take(QStringLiteral("user"));
    s.service = k.take(QStringLiteral("service"));
    s.sslMode = k.take(QStringLiteral("sslmode"));
    k.remove(QStringLiteral("password"));
    s.others = k;
    return s;
}

bool isLocalHost(const QString& host) {
    const QString h = host.trimmed();
    if (h.isEmpty() || h.startsWith(QLatin1Char('/')) ||
        h.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(h);
    return !address.isNull() && address.isLoopback();
}

QString suggestedSslMode(const QString& host, const QString& currentMode) {
    if (currentMode.trimmed().isEmpty() && !isLocalHost(host))
        return QStringLiteral("verify-full");
    return currentMode;
}

QString storeCheckText(const db::StoreCheck& check) {
    using Kind = db::StoreCheck::Kind;
    QString text;
    switch (check.kind) {
    case Kind::Ready:
        text = tr("The connection works, and the store holds this program's tables.");
        break;
    case Kind::Empty:
        text = tr("The connection works. The database is empty: the program creates its tables "
                  "the first time it opens it.");
        break;
    case Kind::OlderSchema:
        text = tr("The connection works. The store's tables are of an earlier version (%1); the "
                  "program brings them to version %2 when it opens them.")
                   .arg(check.foundVersion)
                   .arg(check.programVersion);
        break;
    case Kind::NewerSchema:
        text = tr("The store's tables are of version %1, made by a later release of the program; "
                  "this one knows version %2 and must not change them. Install the release the "
                  "other computers use.")
                   .arg(check.foundVersion)
                   .arg(check.programVersion);
        break;
    case Kind::PasswordInLocator:
        text = tr("The connection holds a password, which the settings must not keep. Put the "
                  "password in ~/.pgpass instead.");
        break;
    case Kind::HostNotFound:
        text = tr("The server's name was not found. Check the host name.");
        break;
    case Kind::Refused:
        text = tr("The server refused the connection: nothing answers at that address and port. "
                  "Check the port, and that the database server is running.");
        break;
    case Kind::Password:
        text = tr("The server did not accept the password for this user, or none was found. Put "
                  "the password in ~/.pgpass.");
        break;
    case Kind::Tls:
        text = tr("The encrypted connection could not be set up (TLS). Check the encryption "
                  "setting and the server's certificate.");
        break;
    case Kind::DatabaseMissing:
        text = tr("The server has no database of that name. Check the database name, or ask "
                  "the administrator to create it.");
        break;
    case Kind::FileMissing:
        text = tr("The database file does not exist.");
        break;
    case Kind::Other:
        text = tr("The store could not be opened.");
        break;
    }
    if (!check.detail.isEmpty())
        text += QStringLiteral("\n\n") + check.detail;
    return text;
}

} // namespace brevant::shell
