// Stands in for the PostgreSQL engine while it is not built in: a locator naming a PostgreSQL
// store fails to open with a clear message instead of being taken for a file name.
#include "platform/db/Backend.h"
#include "platform/db/DbError.h"

namespace brevant::db {

std::unique_ptr<Backend> openPgBackend(const StoreLocator&, Connection::Mode) {
    throw DbError(errors::Unspecified, QStringLiteral("PostgreSQL store support is not built in"),
                  Condition::Other);
}

} // namespace brevant::db
