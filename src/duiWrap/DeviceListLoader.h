#pragma once

#include "ui/WinDef.h"

#include <QString>

#include <string>

// Fetches the device list for the main window and says so when it could not be loaded: a failed list
// must not pass for an account without cameras. DeviceMgr keeps the last good tree on a failure, so
// the window keeps showing it. UI thread only.
class DeviceListLoader {
public:
    // The device-list query. On a failure the reason is shown over `owner` from the event loop, so a
    // window that is still being initialised appears first. True when the tree was replaced.
    static bool Load(HWND owner);

    static QString FailureText(const std::string& reason);
};
