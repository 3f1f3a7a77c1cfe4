#pragma once
// What stands between the program and a project store, told before it is chosen ("Test
// connection"), and facts about an open store that depend on its engine.
#include "platform/db/StoreLocator.h"

#include <QString>

namespace brevant::db {

class Connection;

struct StoreCheck {
    enum class Kind {
        Ready,             // opens, and holds this program's tables
        Empty,             // opens and holds no tables yet: the first open creates them
        OlderSchema,       // tables of an earlier version: the first open brings them forward
        NewerSchema,       // tables of a later program version: this one must not write them
        PasswordInLocator, // the locator itself holds a password, which the settings must not keep
        HostNotFound,      // the server's name does not resolve
        Refused,           // nothing listens at that address and port
        Password,          // the server wants a password and none was found, or it was wrong
        Tls,               // the encrypted connection could not be set up as asked
        DatabaseMissing,   // the server has no database of that name
        FileMissing,       // an SQLite store whose file does not exist
        Other,             // anything else; detail says what
    };
    Kind kind = Kind::Other;
    // The engine's own words (never holding a password), for the user to pass on to whoever
    // runs the server; empty when there is nothing to add.
    QString detail;
    // The versions of the tables found and of this program (schema kinds only).
    int foundVersion = 0;
    int programVersion = 0;

    // The store can be opened as it is (Ready, Empty, OlderSchema).
    bool usable() const {
        return kind == Kind::Ready || kind == Kind::Empty || kind == Kind::OlderSchema;
    }
};

// Tries the store without changing it. A PostgreSQL connection waits at most
// ConnectTimeoutSeconds unless the locator sets connect_timeout itself.
StoreCheck checkStore(const StoreLocator& locator);
inline constexpr int ConnectTimeoutSeconds = 10;

// The bytes the open store takes: the SQLite file's size, or PostgreSQL's pg_database_size of
// the connection's database. -1 when it cannot be told.
qint64 storeSizeBytes(Connection& connection);

// True for a store whose server does its own upkeep (PostgreSQL): compaction and repair are for
// the SQLite file only.
bool storeMaintainsItself(const Connection& connection);

} // namespace brevant::db
