#pragma once
// Copying a project to a folder the user chooses (removable media, a share): the project's
// folder of the document cache, copied whole, and its full report beside the documents as
// "<Job_ID>.rtf". The copy window only holds the controls; this does the work and talks to
// the user through platform/ui.
#include <QString>
#include <functional>

namespace brevant::db {
class Connection;
}

namespace brevant::reports {

// What the copy window lends the command: its status label, its copying flag, and a yield
// to the event loop between files.
struct CopyHooks {
    std::function<void(const QString&)> status;
    std::function<void(bool)> setCopying;
    std::function<void()> yield;
};

struct CopyOutcome {
    bool copied = false;
    QString location; // the location text the window shows afterwards
};

// The location as the copy uses it: "\" taken as "/", trailing separators removed (the root
// stays "/"), so "x" and "x/" name the same place.
QString NormalizedCopyLocation(const QString& location);

// Copies cacheRoot/<jobId> to location/<jobId>, overwriting files there (each file is written
// beside the old one and swapped in), and writes the full report to
// location/<jobId>/<jobId>.rtf. A missing location is created when its parent exists. Every
// outcome is told to the user: nothing to copy, a destination inside the project's own cache
// folder (refused), a failure with its reason, or success.
CopyOutcome CopyProject(db::Connection& connection, const QString& cacheRoot, qint64 jobId,
                        const QString& location, const CopyHooks& hooks);

} // namespace brevant::reports
