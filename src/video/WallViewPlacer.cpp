#include "video/WallViewPlacer.h"

#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CvyrProDlg.h"

#include <glog/logging.h>

UINT WallViewPlacer::LayoutMessage(int count)
{
    switch (count) {
    case 1: return WM_LAYOUT_1;
    case 4: return WM_LAYOUT_4;
    case 6: return WM_LAYOUT_6;
    case 8: return WM_LAYOUT_8;
    case 9: return WM_LAYOUT_9;
    case 14: return WM_LAYOUT_14;
    case 16: return WM_LAYOUT_16;
    case 17: return WM_LAYOUT_17;
    case 25: return WM_LAYOUT_25;
    case 36: return WM_LAYOUT_36;
    case 49: return WM_LAYOUT_49;
    case 64: return WM_LAYOUT_64;
    default: return 0;
    }
}

void WallViewPlacer::Clear()
{
    wall_.StopAll();
}

void WallViewPlacer::Restore(const SavedView& view)
{
    Clear();
    if (const UINT message = LayoutMessage(view.layoutCount))
        ::SendMessage(wall_.GetHWND(), message, 0, 0);
    for (const auto& [cell, camera] : view.cameras) {
        CDlgPanel* panel = wall_.Panel(cell);
        if (panel == nullptr)
            continue;
        std::string url;
        if (addresses_.lookup && addresses_.lookup(camera, url)) {
            panel->Play(camera, url);
        } else {
            wall_.AwaitAddress(cell, camera);
            if (addresses_.request)
                addresses_.request(camera);
        }
    }
}

SavedView WallViewPlacer::Capture(const std::string& name) const
{
    SavedView view{name, wall_.LayoutCount() == 0 ? 1 : wall_.LayoutCount(), wall_.WaitingCells()};
    for (const CDlgPanel* panel : wall_.BuiltPanels())
        if (!panel->DeviceId().empty() && panel->IsActive())
            view.cameras[panel->CellIndex()] = panel->DeviceId();
    return view;
}
