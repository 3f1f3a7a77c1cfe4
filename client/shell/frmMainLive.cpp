// The list follows a shared store: when another workstation imports, deletes or merges projects,
// the list is read again, keeping the current project and the check marks. The store announces
// its changes (db::StoreWatcher); an SQLite file, used by one workstation, is not watched.
#include "base/ChosenStore.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/StoreWatcher.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QTreeWidget>

namespace brevant::shell {

void frmMain::watchStore() {
    if (!liveWatcher_) {
        liveWatcher_ = new db::StoreWatcher(this);
        connect(liveWatcher_, &db::StoreWatcher::changed, this, &frmMain::followStore);
        liveRetry_.setSingleShot(true);
        liveRetry_.setInterval(db::StoreWatcher::SettleMs);
        connect(&liveRetry_, &QTimer::timeout, this, &frmMain::followStore);
    }
    liveWatcher_->stop();
    if (!modResources::DbConnection || !modResources::DbConnection->isOpen())
        return;
    try {
        liveWatcher_->ignoreSession(db::storeSessionId(*modResources::DbConnection));
    } catch (const db::DbError&) {
        return; // the store went away; the next start-up or Preferences tries again
    }
    liveWatcher_->watch(base::ChosenStore());
}

bool frmMain::followingStore() const {
    return liveWatcher_ && liveWatcher_->watching();
}

void frmMain::followStore() {
    // The window's own work (a fill, an import, a merge, a download, a dialog) comes first;
    // the list follows once it is done.
    if (filling_ || UpdateBusy || DocumentsBusy || QApplication::activeModalWidget() ||
        QApplication::overrideCursor()) {
        liveRetry_.start();
        return;
    }
    const std::vector<int> checked = checkedJobIds();
    RefreshProjects();
    for (int id : checked)
        if (QTreeWidgetItem* row = FindProjectRow(id))
            row->setCheckState(0, Qt::Checked);
}

} // namespace brevant::shell
