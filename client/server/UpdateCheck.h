#pragma once
// "Check for Updates on Selected Project(s)": the command that asks the service for the
// current records of the ticked projects, and the step that merges the update document it
// sends back into Desktop.mdb and shows the result in the main window.
#include "server/ServerConnection.h"
#include "server/UpdateMerge.h"

#include <QString>
#include <functional>

namespace brevant::server {

// The comma-separated project numbers of the update request under way; empty otherwise.
extern QString PendingUpdateArgument;

// Merges the unpacked update document at path (called by the exchange when the archive is
// unpacked): a parse failure shows "Error parsing results." and the reason, a document without
// projects "No data was received."; otherwise every project is merged, its list row gets icon
// 15 (new rows logged) or 14, a changed bid date is shown in bold, and the selected project's
// views are redrawn. Afterwards the file is deleted, the main window released (UpdateBusy
// cleared, wait window closed, status emptied, commands enabled, pointer restored) and the
// problems, if any, reported in one message. Returns what was merged.
// stop (optional) is asked before each project: true ends the merge there, keeping the projects
// merged so far (the user cancelled). The status bar then says what the check did
// (UpdateCheckStatusText) and the changed rows are brought into view.
MergeSummary MergeProjectUpdates(const QString& path, const std::function<bool()>& stop = {});

// "N checked, M changed" (M: projects whose stored data changed), and how many were left when
// the check was cancelled.
QString UpdateCheckStatusText(const MergeSummary& summary);

// The status after a check cancelled before anything was merged.
QString UpdateCancelledText();

// Sends the update request for the comma-separated projects on the update connection; when the
// reply comes, fetches and unpacks the archive and merges it. done runs once at the end: with
// the merge's summary, or with null when the request was refused, failed (its message was
// shown) or was cancelled. Returns how the connection was opened; done runs only for Connecting
// and Sent. The main window's wait window offers Cancel meanwhile: waiting for the reply, the
// connection is closed; downloading, the transfer stops and leaves no file; merging, the merge
// stops before the next project.
ServerConnection::Open RequestProjectUpdates(ServerConnection& connection, const QString& argument,
                                             std::function<void(const MergeSummary*)> done = {});

// "Check for Updates on Selected Project(s)" on the main window's update connection: the
// ticked rows of the project list, the question, the online and logon checks, the request.
// LASTUPDATE is written when the user declines, when the credentials stay empty and when the
// request is under way; UpdateBusy stays set until the merge has finished or the exchange
// failed. Refused while a documents exchange runs, since both would share the window.
void CheckForUpdates(ServerConnection& connection);

// Today as LASTUPDATE keeps it ("mm/dd/yyyy").
void WriteLastUpdate();

} // namespace brevant::server
