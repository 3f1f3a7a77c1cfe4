// What the main window remembers between runs: its geometry and tool bar, the splitters, the
// list's sort and filter, and the current project. The settings are shell/WindowMemory's.
#include "shell/WindowMemory.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QSplitter>
#include <QTreeWidget>

namespace brevant::shell {

void frmMain::restoreWindowMemory(const WindowMemory& memory) {
    // Size, place and splitters once per window: a second load (another database folder) must
    // not move a window the user is working in.
    if (!layoutRestored_) {
        layoutRestored_ = true;
        if (!memory.geometry.isEmpty())
            restoreGeometry(memory.geometry);
        if (!memory.state.isEmpty())
            restoreState(memory.state);
        if (auto* split = findChild<QSplitter*>(QStringLiteral("splitMain"));
            split && !memory.splitList.isEmpty())
            split->restoreState(memory.splitList);
        if (auto* split = findChild<QSplitter*>(QStringLiteral("splitDetail"));
            split && !memory.splitPanes.isEmpty())
            split->restoreState(memory.splitPanes);
    }
    sort_ = memory.sort;
    showHeaderSortIcons();
    const QString filter = store::filterName(memory.filter);
    mnuListAllRec->setChecked(filter == QLatin1String("ALL"));
    mnuListNewRec->setChecked(filter == QLatin1String("NEW"));
    mnuListTrackRec->setChecked(filter == QLatin1String("TRACK"));
    mnuListVeiwedRec->setChecked(filter == QLatin1String("VIEW"));
}

void frmMain::selectRememberedProject(std::optional<int> jobId) {
    // A project deleted (or filtered out) meanwhile leaves the list's first row current.
    QTreeWidgetItem* row = jobId ? FindProjectRow(*jobId) : nullptr;
    if (!row || row == ListView1->currentItem())
        return;
    ListView1_ItemClick(row);
    ListView1->scrollToItem(row);
}

void frmMain::saveWindowMemory() {
    WindowMemory memory;
    memory.geometry = saveGeometry();
    memory.state = saveState();
    if (auto* split = findChild<QSplitter*>(QStringLiteral("splitMain")))
        memory.splitList = split->saveState();
    if (auto* split = findChild<QSplitter*>(QStringLiteral("splitDetail")))
        memory.splitPanes = split->saveState();
    memory.sort = sort_;
    memory.filter = store::filterFromName(currentFilter());
    memory.currentJobId = selectedJobId();
    SaveWindowMemory(memory);
}

} // namespace brevant::shell
