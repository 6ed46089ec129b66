#include "duiWrap/CScanLanDev.h"

#include "ui/CControlUI.h"

void CScanLanDev::ShowScan(HWND owner)
{
    CScanLanDev scan;
    scan.Create(owner, QStringLiteral("注册设备"), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE);
    scan.CenterWindow();
    scan.ShowModal();
}

void CScanLanDev::InitWindow()
{
    if (CControlUI* label = FindControl(QStringLiteral("Search_lable")))
        label->SetText(QString());
}

void CScanLanDev::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "closebtn" || name == "IDC_BTNDOWN_OK")
        Close();
    else
        WindowImplBase::OnClick(msg);
}
