#pragma once

#include "device/PtzControl.h"
#include "ui/WinDef.h"

#include <QString>

#include <functional>
#include <string>

class CommandSink;
class CPaintManagerUI;
class DeviceMessenger;

// The main window's pan-tilt-zoom page ("IDC_BTNLEFT" ... "IDC_BTNSMALL", "IDC_SLIDSPEED",
// "IDC_COMBO_POINT" and the five preset buttons). The move buttons post their messages on the left
// button's press (wParam 1) and release (wParam 0), not on clicks, so a movement lasts exactly as long
// as the button is held; the window hands those messages back to HandleMessage in the order they came.
//
// Threads: UI thread only.
class PtzPanel {
public:
    // Sends a command directly (the main window's SendCmdDirect).
    using DirectSender = std::function<void(const std::string& deviceId, const std::string& text)>;

    PtzPanel(CPaintManagerUI& manager, CommandSink& queue, DeviceMessenger& presence, DirectSender sendDirect);

    // Fills the preset list with "1" to "255" and selects the first, hooks the move buttons so they post
    // to `target`, and reads the speed.
    void Init(HWND target);
    // On "valuechanged" (of any control): the speed follows the slider.
    void ReadSpeed();
    // A preset button's "click" for the current camera; false when the control is none of them.
    bool OnClick(const QString& name, const std::string& deviceId);
    // A move button's message for the current camera; false when the message is none of them.
    bool HandleMessage(UINT message, WPARAM wParam, const std::string& deviceId);
    // The camera came online: it gets the releases it missed while it was away.
    void OnDeviceOnline(const std::string& deviceId);

    int Speed() const { return control_.Speed(); }

private:
    int SelectedPreset() const;

    CPaintManagerUI& manager_;
    PtzControl control_;
    DirectSender sendDirect_;
};
