#include "ViewerStore.h"

#include "base/ChosenStore.h"
#include "platform/db/Connection.h"

#include <exception>

namespace brevant::viewer {

std::vector<documents::PlanSheetEntry> StoredPlanSheets(int jobId) {
    try {
        db::Connection connection;
        const db::StoreLocator store = base::ChosenStore();
        // Only read: the client may have the file open at the same time. A server store is
        // shared by design.
        if (store.kind() == db::StoreLocator::Kind::SqliteFile)
            connection.openReadOnly(store.text(), {QStringLiteral("Plans")});
        else
            connection.open(store);
        return documents::PlanSheetsOfProject(connection, jobId);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace brevant::viewer
