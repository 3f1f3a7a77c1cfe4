#pragma once
// Where the client keeps its files. The program folder holds what it writes (Work, Download,
// unpacked files, current.rtf, the default cache root); the data folder holds what it only
// reads (images, menu bitmaps).
#include <QString>

namespace brevant::base {

// $BREVANT_HOME, else $XDG_DATA_HOME/Brevant (~/.local/share/Brevant when unset); created when
// missing. Never ends with a separator.
QString ProgramFolder();

// Where the project store (Desktop.mdb) is kept when the settings name no other folder
// (DATALOC): the program folder's "Work".
QString DefaultStoreFolder();

// The folder of the project store the client uses: the DATALOC setting, else
// DefaultStoreFolder().
QString StoreFolder();

// The installed share/brevant beside the program's bin/ folder, else the source tree's
// share/brevant (a program run from its build folder). $BREVANT_SHARE overrides both.
QString ReadOnlyDataFolder();

// A file of the read-only data folder, e.g. "Graphics/Menus/FIND.bmp".
QString DataFile(const QString& relativePath);

// "Version 1.0.0": the program's major, minor and revision numbers.
QString VersionText();

} // namespace brevant::base
