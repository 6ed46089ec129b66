#include "duiWrap/CRegistDevice.h"

#include "duiWrap/CScanLanDev.h"
#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"

CRegistDevice::CRegistDevice(std::string nodeId, HWND mainWindow)
    : nodeId_(std::move(nodeId)), mainWindow_(mainWindow)
{
}

void CRegistDevice::ShowRegister(HWND mainWindow, const std::string& nodeId)
{
    CRegistDevice dialog(nodeId, mainWindow);
    dialog.Create(mainWindow, QStringLiteral("注册设备"), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE);
    dialog.CenterWindow();
    dialog.ShowModal();
}

void CRegistDevice::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "closebtn")
        Close();
    else if (name == "IDC_BTNDOWN_GET_LAN")
        CScanLanDev::ShowScan(GetHWND());
    else if (name == "IDC_BTNDOWN_OK")
        Bind();
    else
        WindowImplBase::OnClick(msg);
}

void CRegistDevice::Bind()
{
    CControlUI* edit = FindControl(QStringLiteral("devidedit"));
    const std::string deviceId = edit ? edit->GetText().toStdString() : std::string();
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->BindIpcToNodes(nodeId_, deviceId) == 0) {
        TreeRefresh::AfterChange(mainWindow_);
        ShowMsgTip(GetHWND(), QStringLiteral("设备添加成功"));
    } else {
        ShowMsgTip(GetHWND(), QString::fromStdString(devices->ErrorText()));
    }
    Close();
}
