#include "duiWrap/CAlertUserInofWnd.h"

#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/ShowMsgTip.h"

CAlertUserInofWnd::CAlertUserInofWnd(QString captionText, std::string parentId, HWND mainWindow)
    : captionText_(std::move(captionText)), parentId_(std::move(parentId)), mainWindow_(mainWindow)
{
}

void CAlertUserInofWnd::ShowAddNode(HWND mainWindow, const std::string& parentId)
{
    const QString title = QStringLiteral("新增节点");
    CAlertUserInofWnd dialog(title, parentId, mainWindow);
    dialog.Create(mainWindow, title, UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE);
    dialog.CenterWindow();
    dialog.ShowModal();
}

void CAlertUserInofWnd::InitWindow()
{
    if (CControlUI* caption = FindControl(QStringLiteral("caption")))
        caption->SetText(captionText_);
}

void CAlertUserInofWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_CLOSE")
        Close();
    else if (name == "IDC_BTN_OK")
        AddNode();
    else
        WindowImplBase::OnClick(msg);
}

void CAlertUserInofWnd::AddNode()
{
    CControlUI* edit = FindControl(QStringLiteral("edit1"));
    const std::string name = edit ? edit->GetText().toStdString() : std::string();
    if (name.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("账号不能为空"));
        return;
    }
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->AddUserNode(name, parentId_) == 0) {
        TreeRefresh::AfterChange(mainWindow_);
        ShowMsgTip(GetHWND(), QStringLiteral("增加成功!"));
    } else {
        ShowMsgTip(GetHWND(), QString::fromStdString(devices->ErrorText()));
    }
    Close();
}
