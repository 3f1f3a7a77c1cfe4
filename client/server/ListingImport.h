#pragma once
// Inserting the projects of a listing document into Projects, Specs, Plans and Contacts.
//
// Each project is written in one transaction, all of its rows or none. A project that is
// already stored, has no usable Job_ID or fails to insert is skipped and named in one report at
// the end; the others are imported. A project element without children is skipped silently.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace brevant::db {
class Connection;
}

namespace brevant::server {

struct ListingProject;

struct ImportOutcome {
    enum class Status { Imported, ParseError, NoJobs };
    Status status = Status::Imported;
    QString parseReason; // ParseError
    int imported = 0;    // projects written
    QStringList skipped; // one line per project not written: "<Job_ID> <name> - <reason>"
    int cutTexts = 0;    // texts cut to MaxTextChars (written to the log)
    int notImported = 0; // projects left when the import was stopped (cancelled)
};

// What the status bar says after an import: "3 projects imported", with the skipped ones and
// those a cancel left out counted.
QString ImportedStatusText(const ImportOutcome& outcome);

// Imports the document held in memory. yield runs after each project (the message loop); stop
// is asked before each project and true ends the import there: the projects written so far
// stay, whole, and no project is written in part.
ImportOutcome ImportListingData(const QByteArray& xml, db::Connection& connection,
                                const std::function<void()>& yield = {},
                                const std::function<bool()>& stop = {});

// Writes one project as one unit of work (its lock first, then the check, then the rows): true
// when it was written, false when the store holds the project already (another estimator's
// import may have stored it meanwhile). Throws db::DbError when an insert fails, after the
// transaction was rolled back.
bool InsertListingProject(const ListingProject& project, int jobId, db::Connection& connection);

// Reads the file and imports it, showing the outcome: "Error parsing results ..." CR LF reason
// ("System Error", exclamation), "No data was received." ("System Message", information), and
// the skipped projects in one message ("System Message", exclamation). A missing file is a
// parse error, and so is a file over the document size cap.
ImportOutcome ImportListing(const QString& path, db::Connection& connection,
                            const std::function<void()>& yield = {},
                            const std::function<bool()>& stop = {});

// The text of the report of skipped projects.
QString SkippedProjectsText(const QStringList& skipped);

// The number of rows of Projects with this Job_ID (0 when the query returns no row).
int CountLocalProject(db::Connection& connection, int jobId);

} // namespace brevant::server
