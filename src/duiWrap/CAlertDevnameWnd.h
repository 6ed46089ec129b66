#pragma once

#include "ui/WindowImplBase.h"

#include <string>

// The rename-camera dialog ("AlterDeviceName.xml"): the camera's new name in "edit1", sent with
// "IDC_BTN_OK" or Enter. A refused name leaves the dialog open with the service's reason so the user
// can correct it; a success refreshes the main window's tree and closes. The object deletes itself
// once its window is gone. UI thread only.
class CAlertDevnameWnd : public WindowImplBase {
public:
    // The menu's "修改名称": runs the dialog modally over the main window.
    static void ShowRenameCamera(HWND mainWindow, const std::string& deviceId);

    QString GetWindowClassName() const override { return QStringLiteral("CAlertDevnameWnd"); }
    void Notify(TNotifyUI& msg) override;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("AlterDeviceName.xml"); }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    CAlertDevnameWnd(std::string deviceId, HWND mainWindow);
    void Rename();

    std::string deviceId_;
    HWND mainWindow_;
    CControlUI* nameEdit_ = nullptr;
};
