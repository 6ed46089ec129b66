#pragma once

#include "ui/WindowImplBase.h"

// The lock screen ("screenlock.xml"): shows the signed-in mobile number and unlocks only with the
// password of the log-in (compared locally, exact). Unlocking clears LocalConfig's screenLocked and
// posts WM_LOCK_CHANGED to the owner; its close button leaves the screen locked. UI thread only.
class CLockScreenWnd : public WindowImplBase {
public:
    // Runs a lock screen modally over `owner` and returns when it closes. While one is open a second
    // call returns at once (every press on a locked window asks for it).
    static void Show(HWND owner);

    QString GetWindowClassName() const override { return QStringLiteral("CLockScreenWnd"); }
    void InitWindow() override;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("screenlock.xml"); }
    void OnClick(TNotifyUI& msg) override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;

private:
    explicit CLockScreenWnd(HWND owner) : owner_(owner) {}
    // The password of the log-in unlocks and closes; another one is refused and the screen stays locked.
    void Unlock();

    HWND owner_;
    CControlUI* passwordEdit = nullptr;
};
