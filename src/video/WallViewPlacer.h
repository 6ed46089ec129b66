#pragma once

#include "app/SavedView.h"
#include "ui/WinDef.h"

#include <functional>
#include <string>

class CvyrProDlg;

// Where the cells of a restored view get their cameras' play addresses: the cached address, else a
// request whose answer comes back through OfferAddress.
struct CameraAddressBook {
    std::function<bool(const std::string& deviceId, std::string& url)> lookup;
    std::function<void(const std::string& deviceId)> request;
};

// Puts a saved view on one wall and reads a wall back as a view. A restored camera plays in the cell
// the view names (not in the first free one); a camera whose address is not known yet keeps its cell
// until the address comes (the wall's waiting cells). UI thread only.
class WallViewPlacer {
public:
    WallViewPlacer(CvyrProDlg& wall, CameraAddressBook addresses) : wall_(wall), addresses_(std::move(addresses)) {}

    // The wall's layout message for a layout count (0 when there is none).
    static UINT LayoutMessage(int count);

    // Stops every cell, shows the view's layout and starts each camera in its own cell.
    void Restore(const SavedView& view);
    // The wall's stop-all: stops every cell, also one retrying a lost stream, and cancels every wait
    // (for an address, for a turn in "open all").
    void Clear();
    // The wall as a view: its layout (a cell shown alone counts as one cell) and the camera of every
    // cell that plays, tries to, or waits for its address.
    SavedView Capture(const std::string& name) const;

private:
    CvyrProDlg& wall_;
    CameraAddressBook addresses_;
};
