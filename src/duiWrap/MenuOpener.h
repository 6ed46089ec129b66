#pragma once

#include "duiWrap/MenuSelection.h"
#include "ui/UIDefs.h"

#include <QString>

#include <map>

class CControlUI;
class CDuiFrameWnd;
class CMenuWnd;
class DeviceNode;

// Opens the main window's popup menus ("menuxml/..." of the skin): the main menu below "menubtn"
// (main accounts only) and the context menus of the device tree's rows (account, node, camera) and
// of the recently-watched list's selected row. It records what the menu was opened on (the
// selection, and the current camera for a camera row) and adjusts the menus: "ID_SPLITNODE" for a
// merged node, "ID_REBOOT_CAMERA" by the sub-account's rights, the delete item of the
// recently-watched list. UI thread only.
class MenuOpener {
public:
    explicit MenuOpener(CDuiFrameWnd& main) : main_(main) {}

    void OpenMainMenu(CControlUI* button);
    // A "menu" notification; rows of other lists and the lists themselves open nothing.
    void OpenContextMenu(const TNotifyUI& msg);

    const MenuSelection& Selection() const { return selection_; }
    // The menu opened last, while it is open (null otherwise).
    CMenuWnd* OpenMenu() const;

private:
    CMenuWnd* Open(const QString& layout, POINT clientPoint);
    void OpenTreeMenu(DeviceNode* node, POINT point);
    void OpenRecentMenu(POINT point);

    CDuiFrameWnd& main_;
    MenuSelection selection_;
    std::map<CDuiString, bool> menuCheckMap_;
    HWND lastMenu_ = nullptr;
};
