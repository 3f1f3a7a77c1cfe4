#pragma once
// Placing a downloaded document archive into a project's cache folder: plan pages and the plan
// set into PLANS, sections, addenda and their page images into SPECS, each placed document's
// Local flag set and its row marked as cached.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace brevant::db {
class Connection;
}

namespace brevant::documents {

class DocumentViews;

// Largest entry placed into the cache.
constexpr std::uint64_t MaxEntryBytes = 4ull << 30;

enum class PlaceResult {
    Placed,  // every entry placed (or the archive was empty); the archive was deleted
    Missing, // the archive does not exist
    Refused, // an entry would leave the folder or not fit: nothing was written
    Failed,  // the archive is unreadable or a file could not be written
};

struct PlaceOutcome {
    PlaceResult result = PlaceResult::Failed;
    QString reason;      // why it was refused or failed, for the status line and tests
    int placed = 0;      // files written
    QStringList revised; // plan pages whose stored revision the placed drawing raised
    bool ok() const { return result == PlaceResult::Placed; }
};

struct PlaceRequest {
    QString archivePath;   // the archive in the program's "Download" folder
    QString projectFolder; // CacheLocation + "/" + Job_ID
    int jobId = 0;
    QString supportEmail; // for the "no longer available" message
};

// Whether an archive entry is a plan page or the plan set ("PLAN" + three digits first, or
// "PLAN.SVD" in any case).
bool isPlanEntry(const QString& name);
// The Spec of a document entry ("0100.svd" -> "0100"), or an empty text when the name holds no
// ".SVD" (a page image).
QString specOfEntry(const QString& name);

// PlaceDocuments: every entry is checked before anything is written (names that would leave the
// folder, entries over MaxEntryBytes, more bytes than the cache's file system has free), so a
// refused archive leaves the cache as it was and stays where it is. The main window's commands
// are disabled while it runs. An archive without entries shows the "no longer available"
// message. A plan page whose entry comment says "Revision=N" raises the sheet's stored revision
// to N when it is lower (with a Change_History row), so a download of a revised sheet leaves
// the revision current even without an update check.
PlaceOutcome PlaceDocuments(const PlaceRequest& request, db::Connection& connection,
                            DocumentViews& views);

} // namespace brevant::documents
