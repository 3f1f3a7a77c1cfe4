#pragma once
// SQL functions the translated statements call in place of Jet's own: jet_left, jet_right
// and jet_datepart. Registered on every connection.
struct sqlite3;

namespace brevant::db {

// Returns an SQLite result code.
int registerJetFunctions(sqlite3* db);

} // namespace brevant::db
