#include "platform/db/TextIndex.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"

namespace brevant::db {

void ensureTextIndex(Connection& connection, const TextIndex& index) {
    connection.backend().ensureTextIndex(index);
}

std::vector<qint64> searchTextIndex(Connection& connection, const TextIndex& index,
                                    const QStringList& words) {
    if (words.isEmpty())
        return {};
    Backend& backend = connection.backend();
    // A store opened before its index was made (or whose index could not be made at start):
    // made now, or the reason why not is what the search reports.
    if (!backend.tableExists(index.name))
        backend.ensureTextIndex(index);
    return backend.searchTextIndex(index, words);
}

} // namespace brevant::db
