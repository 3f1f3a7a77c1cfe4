#pragma once
// Names the project store a connection opens: an SQLite file (a path, or the Jet connection
// string "Provider=...;Data Source=<folder>\Desktop.mdb;...") or a PostgreSQL database (a libpq
// connection string "host=... dbname=...", a postgresql:// or postgres:// URI, or a service
// name "service=firm" from pg_service.conf). Passwords belong in ~/.pgpass or the environment,
// never in the settings file.
#include <QString>

namespace brevant::db {

class StoreLocator {
public:
    enum class Kind { SqliteFile, PostgreSql };

    StoreLocator() = default;
    // Any text is a locator: what is not recognisably PostgreSQL is a file path.
    static StoreLocator parse(const QString& text);
    // The same for a locator typed on a command line: it may hold a password, used to connect
    // and kept in memory only (describe() leaves it out wherever the store is named).
    static StoreLocator parseTyped(const QString& text);

    Kind kind() const { return kind_; }
    // The text as given.
    const QString& text() const { return text_; }
    // The text fit to show or log: a password (URI user info, "password=" keyword or query
    // parameter) is left out.
    QString describe() const;
    bool hasPassword() const;
    // An empty text when the locator may be written to the settings file, otherwise why not.
    QString whyNotSavable() const;
    // A password in the text may be used to connect (parseTyped).
    bool passwordAllowed() const { return passwordAllowed_; }

private:
    Kind kind_ = Kind::SqliteFile;
    QString text_;
    bool passwordAllowed_ = false;
};

} // namespace brevant::db
