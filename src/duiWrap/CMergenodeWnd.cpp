#include "duiWrap/CMergenodeWnd.h"

#include "app/UserSession.h"
#include "duiWrap/NodeTreeItems.h"
#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CListUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/ShowMsgTip.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kNodeTag = 1;
constexpr UINT_PTR kCameraTag = 2;

}  // namespace

void CMergenodeWnd::ShowMerge(HWND mainWindow)
{
    auto* window = new CMergenodeWnd(mainWindow);
    if (window->Create(mainWindow, window->GetWindowClassName(), UI_WNDSTYLE_DIALOG, 0) == nullptr)
        return;  // deleted by its OnFinalMessage
    window->CenterWindow();
    window->ShowModal();
}

void CMergenodeWnd::InitWindow()
{
    chosenList_ = m_PaintManager.FindControlAs<CListUI>(QStringLiteral("outputNodeList"));
    nodeTree_ = m_PaintManager.FindControlAs<CTreeViewUI>(QStringLiteral("inputNodeList"));
    newNameEdit_ = FindControl(QStringLiteral("IDC_EDIT_NEWNODE"));
    if (nodeTree_) {
        std::vector<NodeRecord> roots;
        DeviceMgr::Instance()->GetTree(roots);
        NodeTreeItems::Fill(*nodeTree_, m_PaintManager, UserSession::Instance()->Mobile(), roots);
    }
}

void CMergenodeWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_BTN_MOVE")
        AddChosen();
    else if (name == "IDC_BTN_DEL")
        RemoveChosen();
    else if (name == "IDC_BTN_OK")
        Merge();
    else if (name == "IDC_CLOSE" || name == "IDC_BTN_CANCLE")
        Close();
    else
        WindowImplBase::OnClick(msg);
}

std::vector<std::string> CMergenodeWnd::ChosenIds() const
{
    std::vector<std::string> ids;
    for (int i = 0; chosenList_ && i < chosenList_->GetCount(); ++i)
        ids.push_back(chosenList_->GetItemAt(i)->GetUserData().toStdString());
    return ids;
}

void CMergenodeWnd::AddChosen()
{
    CTreeNodeUI* item = nodeTree_ ? nodeTree_->GetSelectedNode() : nullptr;
    if (item == nullptr || item->GetParentNode() == nullptr || item->GetTag() == kCameraTag) {
        ShowMsgTip(GetHWND(), QStringLiteral("请选择正确的节点"));
        return;
    }
    if (item->GetTag() != kNodeTag || chosenList_ == nullptr)
        return;
    const std::string id = NodeTreeItems::IdOf(item);
    const std::vector<std::string> chosen = ChosenIds();
    if (std::find(chosen.begin(), chosen.end(), id) != chosen.end()) {
        ShowMsgTip(GetHWND(), QStringLiteral("不能添加重复节点"));
        return;
    }
    DeviceMgr* devices = DeviceMgr::Instance();
    for (const std::string& other : chosen)
        if (devices->NodeHasNode(other, id) || devices->NodeHasNode(id, other)) {
            ShowMsgTip(GetHWND(), QStringLiteral("不能添加父子节点"));
            return;
        }
    auto* row = new CListLabelElementUI;
    row->SetText(QStringLiteral("{x 4}{i Icon/list_icon_b.png}{x 4}") + item->GetText());
    row->SetUserData(QString::fromStdString(id));
    chosenList_->Add(row);
}

void CMergenodeWnd::RemoveChosen()
{
    const int selected = chosenList_ ? chosenList_->GetCurSel() : -1;
    if (selected < 0) {
        ShowMsgTip(GetHWND(), QStringLiteral("请选择正确的节点"));
        return;
    }
    chosenList_->RemoveAt(selected);
}

void CMergenodeWnd::Merge()
{
    MergeNodesRequest request;
    request.nodeName = newNameEdit_ ? newNameEdit_->GetText().toStdString() : std::string();
    request.nodeIds = ChosenIds();
    if (request.nodeName.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("请输入正确的节点名"));
        return;
    }
    if (request.nodeIds.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("请选择要合并的节点"));
        return;
    }
    if (request.nodeIds.size() == 1) {
        ShowMsgTip(GetHWND(), QStringLiteral("至少要选择二个节点"));
        return;
    }
    DeviceMgr* devices = DeviceMgr::Instance();
    if (devices->MergeNodes(request) == 0) {
        TreeRefresh::AfterChange(mainWindow_);
        ShowMsgTip(GetHWND(), QStringLiteral("合并成功！"));
    } else {
        ShowMsgTip(GetHWND(), QString::fromStdString(devices->ErrorText()));
    }
}

void CMergenodeWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
