#pragma once
// What the viewer remembers from one run to the next: its window's size and place, kept in the
// client's settings (written whole or not at all).
class QWidget;

namespace brevant::viewer {

// Gives the window the remembered size and place; a missing or damaged value leaves it as it is.
void RestoreViewerGeometry(QWidget& window);
// Stores the window's size and place. A value that cannot be written is skipped: closing must
// not fail on it.
void SaveViewerGeometry(const QWidget& window);

} // namespace brevant::viewer
