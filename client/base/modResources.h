#pragma once
// The process-wide state of the client, alive from start-up to shutdown: the database
// connection and the shared recordset of the selected project, the folders and switches read
// from the settings, and the service credentials (kept in memory only, never on disk).
#include <QDate>
#include <QString>
#include <memory>

namespace brevant::db {
class Connection;
class Recordset;
} // namespace brevant::db

namespace brevant::modResources {

// The open connection to Desktop.mdb; null before start-up and after shutdown.
extern std::unique_ptr<db::Connection> DbConnection;
// Holds the row of the project selected in the project list; reopened on every selection.
extern std::unique_ptr<db::Recordset> DbRecordset;

extern QString CacheLocation; // root of the document cache (CACHELOC)
extern QString DataLocation;  // folder of Desktop.mdb (DATALOC)

extern bool ProxyOn;      // PROXY: documents and server connections go through the proxies
extern bool ShowReminder; // MESSAGE: remind of the last update at start-up
extern QDate LastUpdate;  // LASTUPDATE; read only when ShowReminder, else null
extern bool FirstDown;    // FIRSTDOWN; read at start-up, nothing depends on it

// The HTTP proxy the document downloads use (PROXYURL / PROXYPORT when ProxyOn, else empty
// and 80). The download code reads it each time it sets up a transfer.
struct HttpProxySetting {
    QString server;
    int port = 80;
};
extern HttpProxySetting HttpProxy;

extern QString UserName; // service credentials from the logon dialog
extern QString Password;
extern bool LogonCancelled; // the last logon was cancelled or left a field empty

// Set by the document lists when the user picked documents; cleared at start-up.
extern bool DocumentsSelected;

// Forgets everything (the database objects are closed and released first). For start-up of a
// reloaded main window and for tests.
void Reset();

// Closes and releases DbRecordset and DbConnection, ignoring errors (shutdown and clean-up).
void CloseDatabase();

} // namespace brevant::modResources
