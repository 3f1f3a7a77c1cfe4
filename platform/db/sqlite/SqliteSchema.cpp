// The Desktop tables in SQLite's words: created in a new file, completed in an old one.
#include "platform/db/sqlite/SqliteBackend.h"

#include <QString>
#include <sqlite3.h>

namespace brevant::db {

namespace {

// Declared types carry the column kinds the translator and recordsets rely on: DATETIME
// columns hold "YYYY-MM-DD HH:MM:SS" texts, BOOLEAN columns 0/1. Text compares without
// regard to case, as the client expects of the database.
const char* const kSchema = R"SQL(
BEGIN;
CREATE TABLE IF NOT EXISTS Projects (
    Job_ID INTEGER NOT NULL,
    City TEXT COLLATE NOCASE,
    State TEXT COLLATE NOCASE,
    Due_Date DATETIME,
    Name TEXT COLLATE NOCASE,
    Description TEXT COLLATE NOCASE,
    "Estimated Cost" NUMERIC,
    "Estimated Cost End" NUMERIC,
    Other TEXT COLLATE NOCASE,
    Bins TEXT COLLATE NOCASE,
    Addendum TEXT COLLATE NOCASE,
    Pre_Bid BOOLEAN DEFAULT 0,
    Mandatory BOOLEAN DEFAULT 0,
    Pre_Bid_Date DATETIME,
    Building NUMERIC,
    Region NUMERIC,
    New BOOLEAN DEFAULT 1,
    Tracked BOOLEAN DEFAULT 0,
    Notes TEXT COLLATE NOCASE,
    Assignment TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX IF NOT EXISTS Projects_Job_ID ON Projects (Job_ID);

CREATE TABLE IF NOT EXISTS Plans (
    JobID INTEGER,
    File TEXT COLLATE NOCASE,
    Description TEXT COLLATE NOCASE,
    Size NUMERIC,
    Local BOOLEAN DEFAULT 0
);
-- The update merge relies on a duplicate sheet being refused.
CREATE UNIQUE INDEX IF NOT EXISTS Plans_JobID_File ON Plans (JobID, File);

CREATE TABLE IF NOT EXISTS Specs (
    JobID INTEGER,
    Spec TEXT COLLATE NOCASE,
    Description TEXT COLLATE NOCASE,
    Local BOOLEAN DEFAULT 0
);
CREATE INDEX IF NOT EXISTS Specs_JobID_Spec ON Specs (JobID, Spec);

CREATE TABLE IF NOT EXISTS Contacts (
    Job_ID INTEGER,
    Name TEXT COLLATE NOCASE,
    Contact TEXT COLLATE NOCASE,
    Phone TEXT COLLATE NOCASE,
    Extension TEXT COLLATE NOCASE,
    Fax TEXT COLLATE NOCASE,
    Address1 TEXT COLLATE NOCASE,
    Address2 TEXT COLLATE NOCASE,
    City TEXT COLLATE NOCASE,
    State TEXT COLLATE NOCASE,
    Zip TEXT COLLATE NOCASE,
    Type TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS Contacts_Job_ID ON Contacts (Job_ID);

CREATE TABLE IF NOT EXISTS Awards (
    JobID INTEGER,
    Name TEXT COLLATE NOCASE,
    Contact TEXT COLLATE NOCASE,
    Phone TEXT COLLATE NOCASE,
    Comment TEXT COLLATE NOCASE,
    Bid NUMERIC,
    Awarded NUMERIC,
    Fax NUMERIC,
    Extension NUMERIC,
    Email TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS Awards_JobID ON Awards (JobID);

CREATE TABLE IF NOT EXISTS Updates (
    JobID INTEGER,
    "Update" TEXT COLLATE NOCASE,
    Added DATETIME
);
CREATE INDEX IF NOT EXISTS Updates_JobID ON Updates (JobID);

CREATE TABLE IF NOT EXISTS Attachments (
    JobID INTEGER,
    FileName TEXT COLLATE NOCASE,
    Path TEXT COLLATE NOCASE,
    Description TEXT COLLATE NOCASE,
    Type TEXT COLLATE NOCASE,
    Added DATETIME
);
CREATE INDEX IF NOT EXISTS Attachments_JobID ON Attachments (JobID);

CREATE TABLE IF NOT EXISTS Custom_Search (
    Search_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Search_Name TEXT COLLATE NOCASE,
    Name TEXT COLLATE NOCASE,
    "Desc" TEXT COLLATE NOCASE,
    Date1 TEXT COLLATE NOCASE,
    Date2 TEXT COLLATE NOCASE,
    CSI1 TEXT COLLATE NOCASE,
    CSI2 TEXT COLLATE NOCASE,
    CSI TEXT COLLATE NOCASE
);
COMMIT;
)SQL";

// Tables added after the first release: created in databases made before them as well, each
// time a database is opened.
const char* const kAddedTables = R"SQL(
BEGIN;
-- Every change an update check found, kept across checks (Updates keeps only the latest).
CREATE TABLE IF NOT EXISTS Change_History (
    Change_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    JobID INTEGER,
    Found DATETIME,
    What TEXT COLLATE NOCASE,
    Old_Value TEXT COLLATE NOCASE,
    New_Value TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS Change_History_JobID ON Change_History (JobID);

-- The takeoff: items, the marks measured for them on a document's page (its points as text,
-- the document's revision when measured), each page's scale, and frozen totals.
CREATE TABLE IF NOT EXISTS Takeoff_Items (
    JobID INTEGER NOT NULL,
    Item_ID INTEGER NOT NULL,
    Name TEXT COLLATE NOCASE,
    Kind TEXT COLLATE NOCASE,
    Colour TEXT COLLATE NOCASE,
    Unit TEXT COLLATE NOCASE,
    Waste NUMERIC
);
CREATE UNIQUE INDEX IF NOT EXISTS Takeoff_Items_Key ON Takeoff_Items (JobID, Item_ID);

CREATE TABLE IF NOT EXISTS Takeoff_Marks (
    JobID INTEGER NOT NULL,
    Mark_ID INTEGER NOT NULL,
    Item_ID INTEGER NOT NULL,
    Document TEXT COLLATE NOCASE,
    Page INTEGER,
    Points TEXT COLLATE NOCASE,
    Revision INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS Takeoff_Marks_Key ON Takeoff_Marks (JobID, Mark_ID);

CREATE TABLE IF NOT EXISTS Takeoff_Scales (
    JobID INTEGER NOT NULL,
    Document TEXT COLLATE NOCASE,
    Page INTEGER,
    Label TEXT COLLATE NOCASE,
    Family TEXT COLLATE NOCASE,
    Ratio NUMERIC
);
CREATE UNIQUE INDEX IF NOT EXISTS Takeoff_Scales_Key ON Takeoff_Scales (JobID, Document, Page);

CREATE TABLE IF NOT EXISTS Takeoff_Snapshots (
    JobID INTEGER NOT NULL,
    Snapshot_ID INTEGER NOT NULL,
    Taken DATETIME,
    Note TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX IF NOT EXISTS Takeoff_Snapshots_Key ON Takeoff_Snapshots (JobID, Snapshot_ID);

CREATE TABLE IF NOT EXISTS Takeoff_Snapshot_Lines (
    JobID INTEGER NOT NULL,
    Snapshot_ID INTEGER NOT NULL,
    Item_ID INTEGER,
    Name TEXT COLLATE NOCASE,
    Kind TEXT COLLATE NOCASE,
    Unit TEXT COLLATE NOCASE,
    Quantity NUMERIC,
    Waste NUMERIC
);
CREATE INDEX IF NOT EXISTS Takeoff_Snapshot_Lines_Key ON Takeoff_Snapshot_Lines (JobID, Snapshot_ID);
COMMIT;
)SQL";

// Columns added to tables after they were made.
struct AddedColumn {
    const char* table;
    const char* column;
    const char* declaration;
};

const AddedColumn kAddedColumns[] = {
    // A sheet's revision, raised when a revised version of it arrives: takeoff marks measured
    // on an earlier one are stale.
    {"Plans", "Revision", "INTEGER NOT NULL DEFAULT 0"},
    // Who found a change: the estimator whose check, download or notes wrote the row.
    {"Updates", "Found_By", "TEXT COLLATE NOCASE"},
    {"Change_History", "Found_By", "TEXT COLLATE NOCASE"},
};

} // namespace

void SqliteBackend::runSchemaText(const char* text) {
    try {
        executeNative(QString::fromUtf8(text));
    } catch (...) {
        rollback(); // no transaction may be left open
        throw;
    }
}

bool SqliteBackend::hasColumn(const char* table, const char* column) const {
    return sqlite3_table_column_metadata(db_, "main", table, column, nullptr, nullptr, nullptr,
                                         nullptr, nullptr) == SQLITE_OK;
}

bool SqliteBackend::addMissingColumns() {
    bool added = false;
    for (const AddedColumn& a : kAddedColumns) {
        if (hasColumn(a.table, a.column))
            continue;
        const QByteArray sql = QByteArray("BEGIN;\nALTER TABLE ") + a.table + " ADD COLUMN " +
                               a.column + ' ' + a.declaration + ";\nCOMMIT;\n";
        try {
            runSchemaText(sql.constData());
        } catch (...) {
            if (!hasColumn(a.table, a.column)) // else another program added it meanwhile
                throw;
        }
        added = true;
    }
    return added;
}

void SqliteBackend::createSchema() {
    runSchemaText(kSchema);
    runSchemaText(kAddedTables);
    addMissingColumns();
}

bool SqliteBackend::upgradeSchema() {
    const bool tables =
        hasColumn("Takeoff_Snapshot_Lines", nullptr) && hasColumn("Change_History", nullptr);
    if (!tables)
        runSchemaText(kAddedTables);
    const bool columns = addMissingColumns();
    return !tables || columns;
}

} // namespace brevant::db
