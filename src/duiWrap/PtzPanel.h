#pragma once

#include "device/PtzControl.h"
#include "duiWrap/CameraCommandGate.h"
#include "ui/WinDef.h"

#include <QString>

#include <functional>
#include <set>
#include <string>

class CommandSink;
class CPaintManagerUI;
class DeviceMessenger;

// The main window's pan-tilt-zoom page ("IDC_BTNLEFT" ... "IDC_BTNSMALL", "IDC_SLIDSPEED",
// "IDC_COMBO_POINT" and the five preset buttons). The move buttons post their messages on the left
// button's press (wParam 1) and release (wParam 0), not on clicks, so a movement lasts exactly as long
// as the button is held; the window hands those messages back to HandleMessage in the order they came.
// A button for no camera or for an offline one says so (once per press: its release sends nothing and
// says nothing) instead of the command vanishing in the queue.
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
    // A move button's message for the current camera; false when the message is none of them. The
    // message box of a refused press comes from here, so `Init`'s target must be a window.
    bool HandleMessage(UINT message, WPARAM wParam, const std::string& deviceId);
    // The camera came online: it gets the releases it missed while it was away.
    void OnDeviceOnline(const std::string& deviceId);

    int Speed() const { return control_.Speed(); }

private:
    int SelectedPreset() const;
    CameraCommandGate Gate() const { return {target_, presence_}; }

    CPaintManagerUI& manager_;
    DeviceMessenger& presence_;
    PtzControl control_;
    DirectSender sendDirect_;
    HWND target_ = nullptr;
    std::set<UINT> refusedPresses_;  // move buttons whose press was refused and not yet released
};
