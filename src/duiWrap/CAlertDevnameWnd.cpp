#include "duiWrap/CAlertDevnameWnd.h"

#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"

CAlertDevnameWnd::CAlertDevnameWnd(std::string deviceId, HWND mainWindow)
    : deviceId_(std::move(deviceId)), mainWindow_(mainWindow)
{
}

void CAlertDevnameWnd::ShowRenameCamera(HWND mainWindow, const std::string& deviceId)
{
    auto* dialog = new CAlertDevnameWnd(deviceId, mainWindow);
    if (dialog->Create(mainWindow, dialog->GetWindowClassName(), UI_WNDSTYLE_DIALOG, 0) == nullptr)
        return;  // deleted by its OnFinalMessage
    dialog->CenterWindow();
    dialog->ShowModal();
}

void CAlertDevnameWnd::InitWindow()
{
    nameEdit_ = FindControl(QStringLiteral("edit1"));
}

void CAlertDevnameWnd::Notify(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (msg.sType == "click" && name == "IDC_CLOSE") {
        Close();
        return;
    }
    if ((msg.sType == "click" && name == "IDC_BTN_OK") || msg.sType == "return") {
        Rename();
        return;
    }
    WindowImplBase::Notify(msg);
}

void CAlertDevnameWnd::Rename()
{
    const std::string name = nameEdit_ ? nameEdit_->GetText().toStdString() : std::string();
    if (name.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("请输入名称"));
        return;
    }
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->UpdateDeviceName(deviceId_, name) != 0) {
        ShowMsgTip(GetHWND(), QString::fromStdString(devices->ErrorText()));
        return;
    }
    TreeRefresh::AfterChange(mainWindow_);
    ShowMsgTip(GetHWND(), QStringLiteral("修改成功"));
    Close();
}

void CAlertDevnameWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
