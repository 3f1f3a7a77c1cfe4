#include "base/ProgramFolders.h"

#include "base/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brevant::base {

QString ProgramFolder() {
    QString folder = qEnvironmentVariable("BREVANT_HOME");
    if (folder.isEmpty()) {
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty())
            base = QDir::homePath() + QStringLiteral("/.local/share");
        folder = base + QStringLiteral("/Brevant");
    }
    folder = QDir::cleanPath(folder);
    QDir().mkpath(folder);
    return folder;
}

QString DefaultStoreFolder() {
    return ProgramFolder() + QStringLiteral("/Work");
}

QString StoreFolder() {
    return ReadSetting(QStringLiteral("DATALOC"), DefaultStoreFolder());
}

QString ReadOnlyDataFolder() {
    const QString fromEnv = qEnvironmentVariable("BREVANT_SHARE");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/../share/brevant"));
        if (QFileInfo::exists(installed + QStringLiteral("/Graphics")))
            return installed;
    }
#ifdef BREVANT_SOURCE_SHARE
    return QStringLiteral(BREVANT_SOURCE_SHARE);
#else
    return QString();
#endif
}

QString DataFile(const QString& relativePath) {
    return ReadOnlyDataFolder() + QLatin1Char('/') + relativePath;
}

QString VersionText() {
    return QCoreApplication::translate("brevant::base::ProgramFolders", "Version %1.%2.%3")
        .arg(BREVANT_VERSION_MAJOR)
        .arg(BREVANT_VERSION_MINOR)
        .arg(BREVANT_VERSION_PATCH);
}

} // namespace brevant::base
