#pragma once

#include "ui/WindowImplBase.h"

#include <string>

// The camera registration dialog ("skinRegistDevice.xml"): binds the camera whose id is typed in
// "devidedit" to the node (the request goes out even for an empty id; the service answers). It
// closes after the request, whatever its outcome, and refreshes the main window's tree after a
// success. "IDC_BTNDOWN_GET_LAN" opens the LAN search window. UI thread only.
class CRegistDevice : public WindowImplBase {
public:
    CRegistDevice(std::string nodeId, HWND mainWindow);

    // The menu's "注册设备": runs the dialog modally over the main window and releases it.
    static void ShowRegister(HWND mainWindow, const std::string& nodeId);

    QString GetWindowClassName() const override { return QStringLiteral("RegistDeviceWnd"); }

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinRegistDevice.xml"); }
    void OnClick(TNotifyUI& msg) override;

private:
    void Bind();

    std::string nodeId_;
    HWND mainWindow_;
};
