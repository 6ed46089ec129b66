#include "duiWrap/CChangeNode.h"

#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"

CChangeNode::CChangeNode(std::string nodeName, std::string nodeId, HWND mainWindow)
    : nodeName_(std::move(nodeName)), nodeId_(std::move(nodeId)), mainWindow_(mainWindow)
{
}

void CChangeNode::ShowChangeNode(HWND mainWindow, const std::string& nodeName, const std::string& nodeId)
{
    CChangeNode dialog(nodeName, nodeId, mainWindow);
    dialog.Create(mainWindow, QStringLiteral("修改节点"), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE);
    dialog.CenterWindow();
    dialog.ShowModal();
}

void CChangeNode::InitWindow()
{
    if (CControlUI* name = FindControl(QStringLiteral("IDC_EDIT_NODENAME")))
        name->SetText(QString::fromStdString(nodeName_));
    for (const char* coordinate : {"IDC_EDIT_LONG", "IDC_EDIT_LAT"})
        if (CControlUI* edit = FindControl(QString::fromUtf8(coordinate)))
            edit->SetText(QStringLiteral("0.00000000"));
}

void CChangeNode::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_ChangeNode_CLOSE")
        Close();
    else if (name == "IDC_BTN_OK")
        Rename();
    else
        WindowImplBase::OnClick(msg);
}

void CChangeNode::Rename()
{
    CControlUI* edit = FindControl(QStringLiteral("IDC_EDIT_NODENAME"));
    const std::string name = edit ? edit->GetText().toStdString() : std::string();
    if (name.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("新名字不能为空"));
        return;
    }
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->UpdateUserNode(nodeId_, name) == 0) {
        TreeRefresh::AfterChange(mainWindow_);
        ShowMsgTip(GetHWND(), QStringLiteral("修改成功!"));
    } else {
        ShowMsgTip(GetHWND(), QString::fromStdString(devices->ErrorText()));
    }
    Close();
}
