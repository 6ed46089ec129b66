#include "duiWrap/TreeRefresh.h"

#include "duiWrap/DeviceListLoader.h"
#include "ui/WindowRegistry.h"
#include "ui/WindowMessages.h"

void TreeRefresh::AfterChange(HWND mainWindow)
{
    if (DeviceListLoader::Load(mainWindow))
        ::PostMessage(mainWindow, WM_REBUILD_TREE, 0, 0);
}
