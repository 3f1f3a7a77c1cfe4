// The "Program Statistics" of the Preferences dialog: the four project counts and the size of
// the store (the database file, or what the server reports).
#include "platform/db/Connection.h"
#include "platform/db/DataPath.h"
#include "platform/db/StoreCheck.h"
#include "shell/Preferences.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <exception>
#include <harlix/miscStuff.h>

namespace brevant::shell {

Statistics readStatistics(db::Connection* connection, const QString& dataLocation) {
    Statistics s;
    if (connection) {
        try {
            const store::ProjectCounts c = store::countProjects(*connection);
            s.tracked = QString::number(c.tracked);
            s.fresh = QString::number(c.fresh);
            s.viewed = QString::number(c.viewed);
            s.total = QString::number(c.total);
        } catch (const std::exception&) {
            // A database that cannot be counted leaves the boxes empty; the dialog still opens.
        }
    }
    qint64 size = -1;
    if (connection && db::storeMaintainsItself(*connection)) {
        size = db::storeSizeBytes(*connection);
    } else if (!dataLocation.isEmpty()) {
        const QFileInfo file(
            db::resolveCaseInsensitive(dataLocation + QStringLiteral("/desktop.mdb")));
        if (file.isFile())
            size = file.size();
    }
    if (size >= 0) {
        try {
            harlix::miscStuff misc;
            s.databaseSize = QString::fromStdString(misc.FormatSize(size));
        } catch (const std::exception&) {
            s.databaseSize =
                QCoreApplication::translate("brevant::shell::PreferencesStatistics", "%1 bytes")
                    .arg(size);
        }
    }
    return s;
}

} // namespace brevant::shell
