#include "platform/db/StoreCheck.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/pg/PgSession.h"

#include <QFileInfo>
#include <libpq-fe.h>

namespace brevant::db {

namespace {

using Kind = StoreCheck::Kind;

// libpq has no error codes for a connection that failed before a session existed: its words
// (and the server's, at the cluster's lc_messages) are all there is. What the connection
// itself can tell (a password asked for or used) is asked first.
Kind connectionFailureKind(PGconn* conn, const QString& message) {
    const auto has = [&](const char* words) {
        return message.contains(QLatin1String(words), Qt::CaseInsensitive);
    };
    if (has("could not translate host name") || has("Name or service not known") ||
        has("Temporary failure in name resolution"))
        return Kind::HostNotFound;
    if (has("SSL") || has("certificate") || has("GSSAPI encryption"))
        return Kind::Tls;
    if (PQconnectionNeedsPassword(conn) || has("password authentication failed") ||
        has("no password supplied") || (PQconnectionUsedPassword(conn) && has("authentication")))
        return Kind::Password;
    if (has("Connection refused") || has("No such file or directory"))
        return Kind::Refused;
    if (has("database \"") && has("does not exist"))
        return Kind::DatabaseMissing;
    return Kind::Other;
}

StoreCheck checkPostgres(const StoreLocator& locator) {
    StoreCheck out;
    out.programVersion = pg::desktopSchemaVersion();
    // connect_timeout comes first so that one in the locator, expanded from dbname, wins.
    const QByteArray timeout = QByteArray::number(ConnectTimeoutSeconds);
    const QByteArray info = locator.text().toUtf8();
    const char* const keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* const values[] = {timeout.constData(), info.constData(), nullptr};
    PGconn* conn = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn) != CONNECTION_OK) {
        out.detail = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        out.kind = connectionFailureKind(conn, out.detail);
        PQfinish(conn);
        return out;
    }
    PQfinish(conn);
    // The version is read the way opening the store will read it.
    try {
        pg::Session session;
        session.open(locator.text());
        out.foundVersion = pg::storedDesktopSchemaVersion(session);
    } catch (const DbError& e) {
        out.kind = Kind::Other;
        out.detail = e.description();
        return out;
    }
    if (out.foundVersion == 0)
        out.kind = Kind::Empty;
    else if (out.foundVersion == out.programVersion)
        out.kind = Kind::Ready;
    else if (out.foundVersion < out.programVersion)
        out.kind = Kind::OlderSchema;
    else
        out.kind = Kind::NewerSchema;
    return out;
}

StoreCheck checkFile(const StoreLocator& locator) {
    StoreCheck out;
    Connection c;
    try {
        c.open(locator);
        out.kind = Kind::Ready;
    } catch (const DbError& e) {
        out.detail = e.description();
        // The file engine's own words for a file that is not there (names are looked up
        // without regard to case, so only it can tell).
        out.kind = e.description().startsWith(QLatin1String("Could not find file"))
                       ? Kind::FileMissing
                       : Kind::Other;
    }
    return out;
}

} // namespace

StoreCheck checkStore(const StoreLocator& locator) {
    if (locator.hasPassword()) {
        StoreCheck out;
        out.kind = Kind::PasswordInLocator;
        out.detail = locator.whyNotSavable();
        return out;
    }
    if (locator.kind() == StoreLocator::Kind::PostgreSql)
        return checkPostgres(locator);
    return checkFile(locator);
}

qint64 storeSizeBytes(Connection& connection) {
    if (!connection.isOpen())
        return -1;
    if (connection.dialect() == Dialect::PostgreSql) {
        try {
            const auto rows = connection.backend().queryNative(
                QStringLiteral("SELECT pg_database_size(current_database())"), {});
            if (rows.empty() || rows.front().isEmpty())
                return -1;
            bool ok = false;
            const qint64 n = rows.front().front().toLongLong(&ok);
            return ok ? n : -1;
        } catch (const DbError&) {
            return -1;
        }
    }
    const QFileInfo file(connection.path());
    return file.exists() ? file.size() : -1;
}

bool storeMaintainsItself(const Connection& connection) {
    return connection.isOpen() && connection.dialect() == Dialect::PostgreSql;
}

} // namespace brevant::db
