#pragma once
// Removes one project's rows from every table of Desktop.mdb (the database keeps no relations,
// so the client cascades itself). The cache folders are removed by the caller.
namespace brevant::db {
class Connection;
}

namespace brevant::store {

// Runs the deletes as one transaction, in a fixed order: plans, specifications, the project,
// contacts, attachments, change log, awards, change history. A failing statement throws
// db::DbError and leaves the project whole.
void DeleteProjectRecords(db::Connection& connection, int jobId);

} // namespace brevant::store
