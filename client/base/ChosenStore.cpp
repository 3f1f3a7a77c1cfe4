#include "base/ChosenStore.h"

#include "base/ProgramFolders.h"
#include "base/Settings.h"
#include "base/modResources.h"

#include <QMutex>
#include <QMutexLocker>
#include <optional>

namespace brevant::base {

namespace {

// Set once by a command-line option, read by whatever opens a store; a mutex keeps a reader on
// another thread from seeing half a string.
QMutex overrideMutex;
std::optional<db::StoreLocator> storeOverride;

} // namespace

QString DefaultDataLocation() {
    return ProgramFolder() + QStringLiteral("/Work");
}

db::StoreLocator ThisComputerStore() {
    QString folder = modResources::DataLocation;
    if (folder.isEmpty())
        folder = ReadSetting(QStringLiteral("DATALOC"), DefaultDataLocation());
    return db::StoreLocator::parse(folder + QStringLiteral("/Desktop.mdb"));
}

db::StoreLocator ChosenStore() {
    {
        QMutexLocker lock(&overrideMutex);
        if (storeOverride)
            return *storeOverride;
    }
    const QString chosen = ReadSetting(QString::fromLatin1(kStoreSetting)).trimmed();
    if (chosen.isEmpty())
        return ThisComputerStore();
    return db::StoreLocator::parse(chosen);
}

bool ChosenStoreIsThisComputer() {
    if (HasStoreOverride())
        return false;
    return ReadSetting(QString::fromLatin1(kStoreSetting)).trimmed().isEmpty();
}

void OverrideStore(const db::StoreLocator& locator) {
    QMutexLocker lock(&overrideMutex);
    if (locator.text().trimmed().isEmpty())
        storeOverride.reset();
    else
        storeOverride = locator;
}

void ClearStoreOverride() {
    QMutexLocker lock(&overrideMutex);
    storeOverride.reset();
}

bool HasStoreOverride() {
    QMutexLocker lock(&overrideMutex);
    return storeOverride.has_value();
}

} // namespace brevant::base
