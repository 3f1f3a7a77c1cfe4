#pragma once
// The tables of Desktop.mdb. Used where an empty database is made: the client's first run and
// the local service's demo export.
#include <QString>

namespace brevant::db {

class Connection;

// Creates the tables and their indexes (existing ones are left alone), in one transaction.
void createDesktopSchema(Connection& connection);

// Adds what was made after the first release (Change_History, the takeoff tables, the
// Plans.Revision column) to a database that lacks them, leaving everything else as it is. Cheap
// when nothing is missing.
void upgradeDesktopSchema(Connection& connection);

// Creates the file at path (a path or connection string; folders must exist) with the schema,
// atomically; an existing file only gets the tables and indexes it lacks.
void createDesktopDatabase(const QString& path);

} // namespace brevant::db
