#pragma once

#include "ui/WinDef.h"

#include <QString>

#include <string>

class DeviceMessenger;

// Whether a command of the camera pages (pan-tilt-zoom, parameters) can reach its camera. The command
// queue drops what is meant for no camera or for an offline one without a word; the pages ask here
// first, and the user is told which of the two it was instead.
//
// Threads: UI thread only.
class CameraCommandGate {
public:
    static const QString kNoCameraText;  // "请先选定摄像头"
    static const QString kOfflineText;   // "摄像头不在线", as for a double click on an offline camera

    CameraCommandGate(HWND owner, DeviceMessenger& presence);

    // True when `deviceId` names an online camera. Otherwise shows `noCameraText` (no camera chosen)
    // or kOfflineText in the message box over the owner and returns false.
    bool Admit(const std::string& deviceId, const QString& noCameraText = kNoCameraText) const;

private:
    HWND owner_;
    DeviceMessenger& presence_;
};
