#pragma once
// The document cache on disk: where a project's documents are, opening them with the desktop's
// program for their type, and clearing the cache of chosen projects.
#include <QString>
#include <functional>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::documents {

// CacheLocation + "/" + Job_ID, looked up without regard to case.
QString ProjectCacheFolder(const QString& cacheLocation, int jobId);

// The file a document row opens, or an empty text when it is not in the cache: a plan page
// opens the plan set "PLANS/PLAN.SVD" (only when the page file itself is there), a section or
// addendum "SPECS/<Spec>.svd".
QString PlanSetFile(const QString& cacheLocation, int jobId);
QString PlanPageDocument(const QString& cacheLocation, int jobId, const QString& pageFile);
QString SectionDocument(const QString& cacheLocation, int jobId, const QString& spec);

// Opens a cached document with harlix OpenDocument (xdg-open, its folder as working folder;
// never run as a program, whatever its permissions). An empty path does nothing (a missing file
// is not reported); a failure of the desktop's program, such as no program for the type, is
// shown ("System Error"). True when the document was handed over.
bool OpenDocumentFile(const QString& path);

// Removes the cached documents of one project: the PLANS and SPECS folders with everything in
// them, then the files of the project folder and the folder itself. Only what lies inside the
// project folder goes: links are removed, never followed. Files the user attached to the project
// (the Attachments rows) stay, and so does the folder holding them. Failures of single files are
// passed over. Then the project's Local flags are reset.
void ClearProjectCache(db::Connection& connection, const QString& cacheLocation, int jobId);

// The "Clear Cache for Selected Project(s)" command over the ticked projects of the main
// window: "No project(s) selected ..." when none is ticked; otherwise the status text and the
// wait window while each is cleared (yielding between projects), then the project list refilled
// with the current filter. hourglass(true/false) shows and restores the busy pointer.
void ClearCacheCommand(db::Connection& connection, const QString& cacheLocation,
                       const std::function<void(bool)>& hourglass = {});

} // namespace brevant::documents
