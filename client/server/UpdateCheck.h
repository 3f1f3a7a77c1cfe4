#pragma once
// "Check for Updates on Selected Project(s)": the command that asks the service for the
// current records of the ticked projects, and the step that merges the update document it
// sends back into Desktop.mdb and shows the result in the main window.
#include "server/UpdateMerge.h"

#include <QString>

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
MergeSummary MergeProjectUpdates(const QString& path);

} // namespace brevant::server
