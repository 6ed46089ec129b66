#pragma once

#include "ui/WinDef.h"

// What every window that changed the node tree on the service does next: the device list is
// fetched again and, once it could be loaded, the main window is told to rebuild its device tree
// (WM_REBUILD_TREE). A list that cannot be loaded is reported over the main window and the tree
// that is shown stays. UI thread only.
class TreeRefresh {
public:
    static void AfterChange(HWND mainWindow);
};
