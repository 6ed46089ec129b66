#include "duiWrap/CLockScreenWnd.h"

#include "app/LocalConfig.h"
#include "app/UserSession.h"
#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

void CLockScreenWnd::Show(HWND owner)
{
    static bool open = false;
    if (open)
        return;
    open = true;
    CLockScreenWnd window(owner);
    window.Create(owner, window.GetWindowClassName(), 0x96C80000, 0x100);
    window.CenterWindow();
    window.ShowModal();
    open = false;
}

void CLockScreenWnd::InitWindow()
{
    passwordEdit = FindControl(QStringLiteral("EditPassword"));
    if (passwordEdit) {
        passwordEdit->SetText(QString());
        passwordEdit->SetFocus();
    }
    if (CControlUI* account = FindControl(QStringLiteral("EditAccount")))
        account->SetText(QString::fromStdString(UserSession::Instance()->Mobile()));
}

void CLockScreenWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "closebtn")
        Close(0);
    else if (name == "ButtonUnlock")
        Unlock();
}

LRESULT CLockScreenWnd::ResponseDefaultKeyEvent(WPARAM wParam)
{
    // Enter in the password field unlocks as the button does.
    if (wParam == VK_RETURN) {
        Unlock();
        return TRUE;
    }
    return WindowImplBase::ResponseDefaultKeyEvent(wParam);
}

void CLockScreenWnd::Unlock()
{
    if (!passwordEdit)
        return;
    if (passwordEdit->GetText().toStdString() != UserSession::Instance()->Password()) {
        ShowMsgTip(GetHWND(), QStringLiteral("输入的密码不正确！"));
        return;
    }
    LocalConfig::Instance()->SetScreenLocked(false);
    ::PostMessage(owner_, WM_LOCK_CHANGED, 0, 0);
    Close(0);
}
