#include "platform/db/DesktopSchema.h"

#include "platform/db/Backend.h"
#include "platform/db/Compaction.h"
#include "platform/db/Connection.h"
#include "platform/db/DataPath.h"

#include <QFile>
#include <QFileInfo>

namespace brevant::db {

void createDesktopSchema(Connection& connection) {
    try {
        connection.backend().createSchema();
    } catch (...) {
        try {
            connection.reloadSchema(); // what was made before the failure
        } catch (...) {
        }
        throw;
    }
    connection.reloadSchema();
}

void upgradeDesktopSchema(Connection& connection) {
    if (connection.backend().upgradeSchema())
        connection.reloadSchema();
}

void createDesktopDatabase(const QString& path) {
    // A server database has no file to build beside: opening it brings its tables forward.
    if (StoreLocator::parse(path).kind() == StoreLocator::Kind::PostgreSql) {
        Connection c;
        c.open(path);
        createDesktopSchema(c);
        return;
    }
    const QString file = resolveCaseInsensitive(dataSourcePath(path));
    if (QFileInfo(file).isFile()) {
        Connection c;
        c.open(file);
        createDesktopSchema(c);
        return;
    }
    // Built under another name and renamed into place, so that an interrupted first run never
    // leaves a Desktop.mdb without its tables.
    const QString building = file + QStringLiteral(".new");
    QFile::remove(building);
    try {
        Connection c;
        c.open(building, Connection::Mode::Create);
        createDesktopSchema(c);
        c.close();
        replaceFile(building, file);
    } catch (...) {
        QFile::remove(building);
        throw;
    }
}

} // namespace brevant::db
