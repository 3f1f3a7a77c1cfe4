#pragma once
// The project store as Preferences shows it: "this computer" (the Desktop.mdb file) or a firm
// server named by its connection fields, turned into the locator the STORE setting keeps and
// read back from it; what the store check found, in plain words.
#include "platform/db/StoreCheck.h"

#include <QString>

namespace brevant::shell {

// A firm server's connection as the dialog's boxes hold it. A service name (pg_service.conf)
// stands for the rest; empty fields are libpq's defaults.
struct FirmServer {
    QString host;     // name, address, or a socket folder (starts with '/')
    QString port;     // empty: 5432
    QString database; // empty: the user's name
    QString user;     // empty: the computer's user name
    QString service;  // pg_service.conf section
    QString sslMode;  // libpq's sslmode; empty: libpq's default ("prefer")
    // Any other keyword the saved locator set (options, connect_timeout...), kept as it was.
    QMap<QString, QString> others;

    bool isEmpty() const { return host.isEmpty() && service.isEmpty(); }
};

// The locator text for the fields: libpq "keyword=value" pairs, values quoted where they hold
// blanks, quotes or backslashes, so no field can add a keyword of its own (a password above
// all). Empty when neither host nor service is given.
QString firmServerLocator(const FirmServer& server);
// The fields of a PostgreSQL locator (keywords or URI); empty fields for anything else.
FirmServer firmServerFields(const db::StoreLocator& locator);

// This machine: no host, a socket folder, "localhost", or a loopback address.
bool isLocalHost(const QString& host);
// The encryption to suggest: "verify-full" for a host that is not local while no mode was
// chosen; otherwise the current mode.
QString suggestedSslMode(const QString& host, const QString& currentMode);

// One sentence for what the check found ("The server refused the connection ..."), followed by
// the engine's own words when there are any.
QString storeCheckText(const db::StoreCheck& check);

} // namespace brevant::shell
