#pragma once

#include "device/DeviceReplyView.h"
#include "ui/WinDef.h"

#include <QString>

#include <functional>
#include <string>

class CamParamMgr;
class CPaintManagerUI;
class StreamRequestMgr;

// The main window's parameter page: the device information edits, the encoding panel
// ("IDC_EDIT_BITSTREAM", "IDC_CMBVSIZE", "IDC_CMBQLY", "IDC_CMBFRATE"), the image panel (five rows,
// each a layout with a slider and an edit, shown only when the camera offers the parameter), the audio
// check box, and the refresh and save buttons. Values come from CamParamMgr's store once the camera
// answered; the reply router calls the Show operations.
//
// Threads: UI thread only.
class CamParamPanel {
public:
    // Stops every wall cell playing the camera; they are restarted when the camera accepted the new size.
    using CellStopper = std::function<void(const std::string& deviceId)>;

    CamParamPanel(CPaintManagerUI& manager, HWND owner, CamParamMgr& params, StreamRequestMgr& streams,
                  CellStopper stopCells);

    // "click" of the refresh or save button for the current camera; false for any other control.
    bool OnClick(const QString& name, const std::string& deviceId);
    void Refresh(const std::string& deviceId);
    void Save(const std::string& deviceId);

    void ShowDeviceInfo(const DeviceInfo& info);
    void ShowImagePanel(const std::string& deviceId);
    void ShowEncodePanel(const std::string& deviceId);
    void SetAudioChecked(bool checked);

private:
    QString Text(const char* name) const;
    void SetText(const char* name, const std::string& text);

    CPaintManagerUI& manager_;
    HWND owner_;
    CamParamMgr& params_;
    StreamRequestMgr& streams_;
    CellStopper stopCells_;
};
