#pragma once
// The viewer reads the project store the client uses (the same settings find it) for what the
// document itself does not say, such as the names of a plan set's sheets.
#include "documents/PlanSheets.h"

#include <vector>

namespace brevant::viewer {

// The sheets of the project's plan set from the store; none when the store cannot be read
// (the pages still show).
std::vector<documents::PlanSheetEntry> StoredPlanSheets(int jobId);

} // namespace brevant::viewer
