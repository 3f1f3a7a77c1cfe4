#include "platform/db/NativeQuery.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"

namespace brevant::db {

std::vector<QVariantList> queryNative(Connection& connection, const QString& nativeSql,
                                      const QVariantList& params) {
    return connection.backend().queryNative(nativeSql, params);
}

bool tableExists(Connection& connection, const QString& name) {
    return connection.backend().tableExists(name);
}

} // namespace brevant::db
