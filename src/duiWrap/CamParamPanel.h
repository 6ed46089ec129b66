#pragma once

#include "device/DeviceReplyView.h"
#include "duiWrap/CameraCommandGate.h"
#include "ui/WinDef.h"

#include <QString>

#include <functional>
#include <string>

class CamParamMgr;
class CPaintManagerUI;
class DeviceMessenger;
class StreamRequestMgr;

// The main window's parameter page: the device information edits, the encoding panel
// ("IDC_EDIT_BITSTREAM", "IDC_CMBVSIZE", "IDC_CMBQLY", "IDC_CMBFRATE"), the image panel (five rows,
// each a layout with a slider and an edit, shown only when the camera offers the parameter), the audio
// check box, and the refresh and save buttons. Values come from CamParamMgr's store once the camera
// answered; the reply router calls the Show operations for whichever camera answered, and the panels
// take only the shown camera's (the main window's current one): what a save sends is read from them.
// The audio choice is sent only once it is the shown camera's: its answer set the box, or the user
// clicked it.
// Refresh and save say so when there is no camera or it is offline, instead of queueing for nothing;
// save also says so when a bit rate is entered but no picture size is chosen (the camera's sizes come
// with a refresh), rather than asking the camera for a picture of 0x0.
//
// Threads: UI thread only.
class CamParamPanel {
public:
    // Stops every wall cell playing the camera; they are restarted when the camera accepted the new size.
    using CellStopper = std::function<void(const std::string& deviceId)>;

    CamParamPanel(CPaintManagerUI& manager, HWND owner, CamParamMgr& params, StreamRequestMgr& streams,
                  DeviceMessenger& presence, CellStopper stopCells);

    // "click" of the refresh or save button or the audio check box for the current camera; false for
    // any other control.
    bool OnClick(const QString& name, const std::string& deviceId);
    void Refresh(const std::string& deviceId);
    void Save(const std::string& deviceId);

    // The camera the page shows (the main window's current one). Another camera than before empties
    // the encoding panel and the device information, hides the image rows and clears the audio box
    // until its answers come (a refresh), so that a save never sends one camera's settings to another.
    void ShowCamera(const std::string& deviceId);

    // A camera's answer: shown when it is the shown camera's, otherwise left to the store.
    void ShowDeviceInfo(const std::string& deviceId, const DeviceInfo& info);
    void ShowImagePanel(const std::string& deviceId);
    void ShowEncodePanel(const std::string& deviceId);
    void SetAudioChecked(const std::string& deviceId, bool checked);

private:
    bool IsShown(const std::string& deviceId) const;
    QString Text(const char* name) const;
    void SetText(const char* name, const std::string& text);

    CPaintManagerUI& manager_;
    HWND owner_;
    CamParamMgr& params_;
    StreamRequestMgr& streams_;
    CameraCommandGate gate_;
    CellStopper stopCells_;
    std::string camera_;  // the shown camera: only its answers fill the panels
    bool audioKnown_ = false;  // the audio box holds the shown camera's status or the user's choice
};
