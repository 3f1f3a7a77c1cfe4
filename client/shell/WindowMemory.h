#pragma once
// What the main window remembers from one run to the next besides its column widths: its size,
// place and tool bar, the two splitters, the project list's sort and filter and the current
// project. Kept as settings; the forms only hand over and take back their state.
#include "store/ProjectList.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace brevant::shell {

struct WindowMemory {
    QByteArray geometry;   // the window's size, place and maximised state
    QByteArray state;      // where the tool bar is
    QByteArray splitList;  // the list beside the project's panes
    QByteArray splitPanes; // the project's details above its documents
    store::SortState sort;
    store::Filter filter = store::Filter::All;
    std::optional<int> currentJobId;
};

// The remembered state; what is missing or unreadable comes back as at a first start.
WindowMemory ReadWindowMemory();
// Stores the state. A value that cannot be written is skipped: closing must not fail on it.
void SaveWindowMemory(const WindowMemory& memory);

} // namespace brevant::shell
