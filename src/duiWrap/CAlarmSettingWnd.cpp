#include "duiWrap/CAlarmSettingWnd.h"

#include "app/UserSession.h"
#include "duiWrap/DeviceListLoader.h"
#include "duiWrap/RowMarkup.h"
#include "service/AlarmMgr.h"
#include "service/DeviceMgr.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kCameraTag = 2;

CTreeNodeUI* MakeItem(const std::string& text, const std::string& userData, UINT_PTR tag)
{
    auto* item = new CTreeNodeUI;
    item->SetItemText(QString::fromStdString(text));
    item->SetUserData(QString::fromStdString(userData));
    item->SetTag(tag);
    return item;
}

}  // namespace

void CAlarmSettingWnd::Open(HWND owner)
{
    auto* window = new CAlarmSettingWnd(owner);
    window->Create(owner, QStringLiteral("CAlarmSettingWnd"), 0x96C80000, 0);
    window->CenterWindow();
    window->ShowModal();
}

void CAlarmSettingWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

void CAlarmSettingWnd::InitWindow()
{
    tree_ = m_PaintManager.FindControlAs<CTreeViewUI>(QStringLiteral("movenode_tree"));
    receivers_ = m_PaintManager.FindControlAs<CListUI>(QStringLiteral("IDC_LIST"));
    armSwitch_ = m_PaintManager.FindControlAs<CCheckBoxUI>(QStringLiteral("IDC_AlarmSwitch"));
    // The arming state and the cameras come from the service as they are now; the main window's
    // device list is rebuilt from the same copy.
    if (DeviceListLoader::Load(GetHWND()))
        ::PostMessage(owner_, WM_REBUILD_TREE, 0, 0);
    BuildTree();
}

void CAlarmSettingWnd::BuildTree()
{
    if (!tree_)
        return;
    tree_->RemoveAll();
    cameraItems_.clear();
    nodeItems_.clear();
    CTreeNodeUI* root = MakeItem(UserSession::Instance()->Mobile(), std::string(), 0);
    tree_->Add(root);
    std::vector<NodeRecord> topNodes;
    DeviceMgr::Instance()->GetTree(topNodes);
    for (const NodeRecord& node : topNodes)
        AddNode(root, node);
    root->SetExpanded(true);
}

void CAlarmSettingWnd::AddNode(CTreeNodeUI* parent, const NodeRecord& node)
{
    CTreeNodeUI* item = MakeItem("{x 4}{i gameicons.png 18 7}{x 7}" + RowMarkup::Name(node.nodeName), node.nodeId,
                                 static_cast<UINT_PTR>(node.nodeType));
    parent->Add(item);
    nodeItems_.push_back(item);
    for (const DeviceRecord& device : node.childDevices) {
        CTreeNodeUI* camera = MakeItem("{x 4}{i gameicons.png 18 4}{x 7}" + RowMarkup::Name(device.alias),
                                       device.deviceId, static_cast<UINT_PTR>(device.nodeType));
        item->Add(camera);
        cameraItems_.push_back(camera);
    }
    for (const NodeRecord& child : node.childNodes)
        AddNode(item, child);
    item->SetExpanded(true);
}

std::vector<std::string> CAlarmSettingWnd::CheckedCameras() const
{
    // A camera bound under two nodes has two items; it is one camera to arm.
    std::vector<std::string> ids;
    for (const CTreeNodeUI* camera : cameraItems_) {
        const std::string id = camera->GetUserData().toStdString();
        if (camera->GetTag() == kCameraTag && camera->IsCheckBoxSelected() &&
            std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return ids;
}

CTreeNodeUI* CAlarmSettingWnd::ItemOf(const std::string& id, bool camera) const
{
    for (CTreeNodeUI* item : camera ? cameraItems_ : nodeItems_)
        if (item->GetUserData().toStdString() == id)
            return item;
    return nullptr;
}

void CAlarmSettingWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "itemclickcheck" && tree_ && dynamic_cast<CTreeNodeUI*>(msg.pSender) &&
        static_cast<CTreeNodeUI*>(msg.pSender)->GetTreeView() == tree_) {
        ShowReceivers();
        return;
    }
    WindowImplBase::Notify(msg);
}

void CAlarmSettingWnd::ShowReceivers()
{
    const std::vector<std::string> cameras = CheckedCameras();
    if (receivers_)
        receivers_->RemoveAll();
    if (cameras.size() != 1) {
        if (armSwitch_)
            armSwitch_->SetCheck(false, false);
        return;
    }
    const std::string& deviceId = cameras.front();
    DeviceRecord device;
    DeviceMgr::Instance()->FindDevice(deviceId, device);
    if (armSwitch_)
        armSwitch_->SetCheck(device.warnStatus != 0, false);
    AlarmMgr* alarms = AlarmMgr::Instance();
    if (alarms->ReqWarnSettings(deviceId) != 0) {
        ShowMsgTip(GetHWND(), QString::fromStdString(alarms->GetErrorText()));
        return;
    }
    std::vector<WarnSetting> settings;
    alarms->GetWarnSettings(deviceId, settings);
    if (!receivers_)
        return;
    for (const WarnSetting& setting : settings) {
        auto* row = new CListTextElementUI;
        row->SetAttribute(QStringLiteral("style"), QStringLiteral("listex_item_style"));
        row->SetAttribute(QStringLiteral("itemclickcheck"), QStringLiteral("true"));
        row->SetUserData(QString::fromStdString(setting.warnSettingId));
        row->SetCheck(setting.warnStatus != 0);
        row->SetText(1, QString::fromStdString(setting.mobile));
        const auto type = ClientTypeNames().find(setting.clientType);
        row->SetText(2, type == ClientTypeNames().end() ? QString() : QString::fromStdString(type->second));
        row->SetText(3, QString::fromStdString(setting.loginUUID));
        receivers_->Add(row);
    }
}

void CAlarmSettingWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_BTN_CLOSE" || name == "IDC_BTN_CANCEL")
        Close(kClosed);
    else if (name == "IDC_BTN_OK")
        Apply();
}

void CAlarmSettingWnd::Apply()
{
    const std::vector<std::string> cameras = CheckedCameras();
    if (cameras.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("请完成相关配置"));
        return;
    }
    // The receivers shown belong to the one camera ticked; with several cameras none are switched.
    std::vector<WarnSetting> settings;
    if (cameras.size() == 1 && receivers_) {
        for (int i = 0; i < receivers_->GetCount(); ++i) {
            auto* row = dynamic_cast<CListElementUI*>(receivers_->GetItemAt(i));
            WarnSetting setting;
            setting.warnSettingId = row->GetUserData().toStdString();
            setting.warnStatus = row->GetCheck() ? 1 : 0;
            settings.push_back(setting);
        }
    }
    AlarmMgr* alarms = AlarmMgr::Instance();
    if (alarms->ReqArming(cameras, settings, armSwitch_ && armSwitch_->GetCheck() ? 1 : 0) != 0) {
        ShowMsgTip(GetHWND(), QString::fromStdString(alarms->GetErrorText()));
        return;
    }
    if (DeviceListLoader::Load(GetHWND()))
        ::PostMessage(owner_, WM_REBUILD_TREE, 0, 0);
    ShowMsgTip(GetHWND(), QStringLiteral("设置成功"));
}
