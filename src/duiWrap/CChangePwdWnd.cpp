#include "duiWrap/CChangePwdWnd.h"

#include "app/RememberedAccounts.h"
#include "app/UserSession.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "ui/BusyMark.h"
#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"

#include <QWidget>

namespace {
CChangePwdWnd* openWindow = nullptr;
}

void CChangePwdWnd::Show(HWND owner)
{
    if (openWindow && openWindow->GetWidget()) {
        openWindow->ShowWindow(true);
        openWindow->GetWidget()->raise();
        return;
    }
    openWindow = new CChangePwdWnd;
    openWindow->Create(owner, openWindow->GetWindowClassName(), 0x96C80000, 0);
    openWindow->CenterWindow();
    openWindow->ShowWindow(true);
}

void CChangePwdWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    if (openWindow == this)
        openWindow = nullptr;
    delete this;
}

void CChangePwdWnd::InitWindow()
{
    oldPwdEdit = FindControl(QStringLiteral("OldPwdEdit"));
    newPwdEdit = FindControl(QStringLiteral("NewPwdEdit"));
    repPwdEdit = FindControl(QStringLiteral("RepPwdEdit"));
}

void CChangePwdWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_BTNDOWN_OK")
        ChangePassword();
    else if (name == "IDC_BTNDOWN_CANCEL" || name == "closebtn")
        Close(0);
}

void CChangePwdWnd::ChangePassword()
{
    if (!oldPwdEdit || !newPwdEdit || !repPwdEdit)
        return;
    const std::string oldPassword = oldPwdEdit->GetText().toStdString();
    const std::string newPassword = newPwdEdit->GetText().toStdString();
    if (newPassword.empty() || oldPassword.empty() || repPwdEdit->GetText().isEmpty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("输入框内不能为空"));
        return;
    }
    UserSession* session = UserSession::Instance();
    if (oldPassword != session->Password()) {
        ShowMsgTip(GetHWND(), QStringLiteral("现有密码错误"));
        return;
    }
    if (repPwdEdit->GetText().toStdString() != newPassword) {
        ShowMsgTip(GetHWND(), QStringLiteral("新密码与重复密码不一样"));
        return;
    }
    int result = 0;
    {
        BusyMark busy(FindControl(QStringLiteral("IDC_BTNDOWN_OK")), QStringLiteral("修改中…"));
        result = session->ChangePassword(newPassword);
    }
    if (result != 0) {
        ShowMsgTip(GetHWND(), QString::fromStdString(session->ErrorText()));
        return;
    }
    // The next automatic log-in must not offer the password that no longer works.
    RememberedAccounts(CLoginFrameWnd::AccountFilePath()).FollowPasswordChange(session->Mobile(), newPassword);
    Close(0);
}
