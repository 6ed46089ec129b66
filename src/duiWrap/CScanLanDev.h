#pragma once

#include "ui/WindowImplBase.h"

// The LAN search window ("ScanLanDev.xml"), opened from the camera registration dialog. It searches
// nothing: its layout tells the user where the device id is found, "Search_lable" stays empty, and
// either button closes it. UI thread only.
class CScanLanDev : public WindowImplBase {
public:
    // Runs the window modally over `owner` (the registration dialog) and destroys it.
    static void ShowScan(HWND owner);

    QString GetWindowClassName() const override { return QStringLiteral("ScanLanDevWnd"); }

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("ScanLanDev.xml"); }
    void InitWindow() override;
    void OnClick(TNotifyUI& msg) override;
};
