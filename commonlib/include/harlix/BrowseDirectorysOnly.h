#pragma once
// The folder dialog behind miscStuff::FolderPicker: folders only, starting at a given folder,
// showing the folder under the cursor as its status text.
#include "harlix/WindowHandle.h"

#include <string>

namespace harlix {

class BrowseDirectorysOnly {
public:
    // Shows the dialog over the owner window (when the handle names one of the application's
    // windows); the chosen folder, or "" on Cancel. StartDir that is not a folder starts at
    // the home folder. Needs a running QApplication; throws ComError otherwise.
    std::string BrowseForFolder(WindowHandle ownerHwnd, const std::string& Title,
                                const std::string& StartDir);
};

} // namespace harlix
