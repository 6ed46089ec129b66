#include "duiWrap/CMoveNodeWnd.h"

#include "app/UserSession.h"
#include "duiWrap/NodeTreeItems.h"
#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/ShowMsgTip.h"

namespace {

constexpr UINT_PTR kNodeTag = 1;
constexpr UINT_PTR kCameraTag = 2;

}  // namespace

CMoveNodeWnd::CMoveNodeWnd(std::string sourceNodeId, HWND mainWindow)
    : sourceNodeId_(std::move(sourceNodeId)), mainWindow_(mainWindow)
{
}

void CMoveNodeWnd::ShowMoveNodeWindow(HWND owner, const std::string& nodeId)
{
    auto* window = new CMoveNodeWnd(nodeId, owner);
    if (window->Create(owner, window->GetWindowClassName(), UI_WNDSTYLE_DIALOG, 0) == nullptr)
        return;  // deleted by its OnFinalMessage
    window->CenterWindow();
    window->ShowModal();
}

void CMoveNodeWnd::InitWindow()
{
    nodeTree_ = m_PaintManager.FindControlAs<CTreeViewUI>(QStringLiteral("movenode_tree"));
    NodeRecord source;
    if (DeviceMgr::Instance()->FindNode(sourceNodeId_, source)) {
        SetField("IDC_EDIT_OUTNODENAME", source.nodeName);
        SetField("IDC_EDIT_OUTNODEID", sourceNodeId_);
    }
    if (nodeTree_) {
        std::vector<NodeRecord> roots;
        DeviceMgr::Instance()->GetTree(roots);
        NodeTreeItems::Fill(*nodeTree_, m_PaintManager, UserSession::Instance()->Mobile(), roots);
    }
}

void CMoveNodeWnd::Notify(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (msg.sType == "itemclick" && dynamic_cast<CTreeNodeUI*>(msg.pSender)) {
        PickTarget(msg.pSender);
        return;
    }
    if (msg.sType == "click" && name == "IDC_BTN_OK") {
        Move();
        return;
    }
    if (msg.sType == "click" && (name == "IDC_CLOSE" || name == "IDC_BTN_CANCEL")) {
        Close();
        return;
    }
    WindowImplBase::Notify(msg);
}

void CMoveNodeWnd::PickTarget(CControlUI* item)
{
    SetField("IDC_EDIT_INNODEID", std::string());
    SetField("IDC_EDIT_INNODENAME", std::string());
    const std::string id = item->GetUserData().toStdString();
    if (item->GetTag() == kCameraTag) {
        ShowMsgTip(GetHWND(), QStringLiteral("不能选择摄像头"));
    } else if (item->GetTag() == kNodeTag) {
        DeviceMgr* devices = DeviceMgr::Instance();
        NodeRecord target;
        if (id == sourceNodeId_)
            ShowMsgTip(GetHWND(), QStringLiteral("不能移入本结点"));
        else if (devices->NodeHasAnyDevice(id))
            ShowMsgTip(GetHWND(), QStringLiteral("请选择没有摄像机的结点!"));
        else if (devices->FindNode(id, target)) {
            SetField("IDC_EDIT_INNODEID", target.nodeId);
            SetField("IDC_EDIT_INNODENAME", target.nodeName);
        }
    }
}

void CMoveNodeWnd::Move()
{
    const std::string target = Field("IDC_EDIT_INNODEID");
    if (target.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("请选择要移动的结点"));
        return;
    }
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->MoveNode(Field("IDC_EDIT_OUTNODEID"), target) != 0) {
        ShowMsgTip(GetHWND(), QString::fromStdString(devices->ErrorText()));
        return;
    }
    TreeRefresh::AfterChange(mainWindow_);
    ShowMsgTip(GetHWND(), QStringLiteral("移动成功"));
    Close();
}

void CMoveNodeWnd::SetField(const char* name, const std::string& text)
{
    if (CControlUI* edit = FindControl(QString::fromUtf8(name)))
        edit->SetText(QString::fromStdString(text));
}

std::string CMoveNodeWnd::Field(const char* name) const
{
    CControlUI* edit = FindControl(QString::fromUtf8(name));
    return edit ? edit->GetText().toStdString() : std::string();
}

void CMoveNodeWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
