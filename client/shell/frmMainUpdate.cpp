// The main window's part of the update check: the menu entry and the toolbar button run the
// command on the window's update connection.
#include "server/UpdateCheck.h"
#include "shell/frmMain.h"

namespace brevant::shell {

void frmMain::mnuList_Update_Click() {
    server::CheckForUpdates(*Wirelet1);
}

} // namespace brevant::shell
