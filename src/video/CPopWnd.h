#pragma once

#include "ui/WindowImplBase.h"

// The split-screen chooser: one button per wall layout. A click sends the layout message to the
// chooser's owner (the main window, which passes it on to the wall); the chooser stays open.
// Its own close command closes only the chooser (result 0). UI thread only.
class CPopWnd : public WindowImplBase {
public:
    // The window the layout messages go to: the owner given to Create unless set otherwise.
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const;

    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

protected:
    QString GetWindowClassName() const override { return "PopWnd"; }
    CDuiString GetSkinFile() override { return "skinSplitScreen.xml"; }
    void InitWindow() override;
    void OnClick(TNotifyUI& msg) override;
    void Notify(TNotifyUI& msg) override;

private:
    void UpdateZoomButtons();

    HWND owner_ = nullptr;
    CControlUI* closeButton_ = nullptr;
    CControlUI* maxButton_ = nullptr;
    CControlUI* restoreButton_ = nullptr;
    CControlUI* minButton_ = nullptr;
    CControlUI* menuButton_ = nullptr;
};
