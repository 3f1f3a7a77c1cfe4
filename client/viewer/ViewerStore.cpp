#include "ViewerStore.h"

#include "base/ProgramFolders.h"
#include "platform/db/Connection.h"

#include <exception>

namespace brevant::viewer {

std::vector<documents::PlanSheetEntry> StoredPlanSheets(int jobId) {
    try {
        db::Connection connection;
        // Only read: the client may have the store open at the same time.
        connection.openReadOnly(base::StoreFolder() + QStringLiteral("/Desktop.mdb"),
                                {QStringLiteral("Plans")});
        return documents::PlanSheetsOfProject(connection, jobId);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace brevant::viewer
