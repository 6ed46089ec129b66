#pragma once

#include "ui/WindowImplBase.h"

// The password window ("ChangePwd.xml"): the current password and the new one twice, checked in
// this order (all filled, the current one as logged in, the two new ones equal), then changed on the
// service. After a change the session, and the remembered account's stored password when the user
// had it remembered, hold the new one. Not modal; one at a time; deletes itself when closed.
// UI thread only.
class CChangePwdWnd : public WindowImplBase {
public:
    // Opens the window over `owner`, or brings the open one to the front.
    static void Show(HWND owner);

    QString GetWindowClassName() const override { return QStringLiteral("ChangePwdWnd"); }
    void InitWindow() override;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("ChangePwd.xml"); }
    void OnClick(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    CChangePwdWnd() = default;
    void ChangePassword();

    CControlUI* oldPwdEdit = nullptr;
    CControlUI* newPwdEdit = nullptr;
    CControlUI* repPwdEdit = nullptr;
};
