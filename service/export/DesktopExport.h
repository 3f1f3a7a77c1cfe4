#pragma once
// Writes the catalogue's projects into a client database (Desktop.mdb) as if the client had
// imported them all: projects (New), specifications, plan sheets, contacts and awards, with the
// fields upper-cased where the client's import does so. Used by the demo to start the client
// with a few hundred projects.
#include <QString>

namespace brevant::service {

class Catalogue;

// path: a file (created with the client's schema when it is missing) or a PostgreSQL store's
// locator (an empty database gets the schema). Projects already in it are replaced, all in one
// transaction. Returns the number of projects written; throws brevant::db::DbError on failure.
int exportDesktopDatabase(const Catalogue& catalogue, const QString& path);

} // namespace brevant::service
