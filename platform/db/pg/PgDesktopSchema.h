#pragma once
// The Desktop tables in a PostgreSQL database (internal to platform/db). They mirror the SQLite
// schema (DesktopSchema.cpp) table for table, column for column, with the same keys and indexes;
// names are lower case. The service's values are stored as SQLite stores them, so nothing it
// sends is refused: dates and numbers are text domains (jet_date, jet_numeric), yes/no a smallint
// domain (jet_yesno), text a domain compared without regard to case through a nondeterministic
// ICU collation (jet_text). The two autonumber keys are identity columns. The Jet functions the
// translator calls (jet_left, jet_right, jet_datepart) are SQL functions of the schema.
//
// A version table (brevant_schema) tells which steps a database has; opening runs the missing
// ones forward in one transaction under an advisory lock, so two programs opening a new store at
// once create it once (inside a transaction already open, in that one).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace brevant::db::pg {

class Session;

// The version this program creates and understands.
int desktopSchemaVersion();

// Creates the schema, or brings an older one forward to upTo; returns the version found before
// (0 for an empty database). A database of a newer version is refused (DbError).
int ensureDesktopSchema(Session& session, int upTo = desktopSchemaVersion());

// The version a database has, 0 when it has none of the tables.
int storedDesktopSchemaVersion(Session& session);
// What a login without the right to change the tables is told when they are missing (found 0)
// or of an earlier version than needed.
QString tablesOwnerNeededText(int found, int needed);

// The channel on which the schema's triggers announce committed changes of projects' rows.
QByteArray projectsChannel();

// What a Desktop column holds in the PostgreSQL tables.
enum class DesktopColumnType {
    Key,      // bigint: a project number
    Identity, // bigint numbered by the table
    Text,     // jet_text, compared without regard to case
    Date,     // jet_date: the stored text
    Number,   // jet_numeric: the stored text
    YesNo,    // jet_yesno: smallint
};

struct DesktopColumn {
    QString name; // the program's spelling; the table's column is its lower case
    DesktopColumnType type;
};

struct DesktopTable {
    QString name;
    QString storedAs; // the table that holds its rows (a view of the name shows them)
    std::vector<DesktopColumn> columns;
    QStringList uniqueKey; // the columns of its unique index, empty when it has none
};

// The Desktop tables of the version this program creates, in the order they were made.
std::vector<DesktopTable> desktopTables();

// The table that holds a Desktop table's rows: the name itself, or <name>_Shared where the
// name is a view adding one reader's own column (Projects.New, Plans.Local, Specs.Local).
QString storedTableName(const QString& table);

// The spelling the program uses for a Desktop table's column ("Estimated Cost" for
// "estimated cost"), or an empty text when the table or column is not one of them.
QString desktopColumnSpelling(QStringView table, QStringView column);

} // namespace brevant::db::pg
