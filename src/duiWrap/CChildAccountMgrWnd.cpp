#include "duiWrap/CChildAccountMgrWnd.h"

#include "app/UserSession.h"
#include "duiWrap/RowMarkup.h"
#include "duiWrap/WatchPeriods.h"
#include "service/ChildAccountMgr.h"
#include "service/DeviceMgr.h"
#include "service/RoleMgr.h"
#include "ui/CComboUI.h"
#include "ui/CDateTimeUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/ShowMsgTip.h"

#include <QDate>
#include <QTreeWidgetItem>

#include <glog/logging.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

constexpr int kNodeType = 1;
constexpr int kCameraType = 2;
constexpr const char* kNodeMarkup = "{x 4}{i gameicons.png 18 7}{x 7}";
constexpr const char* kCameraMarkup = "{x 4}{i gameicons.png 18 4}{x 7}";

struct ResourceType {
    const char* name;
    int type;
};
constexpr ResourceType kResourceTypes[] = {{"PC", 1}, {"手机", 2}, {"所有", 3}};

QString Utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

CListLabelElementUI* ComboItem(const std::string& text, const std::string& userData)
{
    auto* item = new CListLabelElementUI;
    item->SetText(Utf8(text));
    item->SetUserData(Utf8(userData));
    return item;
}

// A tree item counts as granted when it is ticked, or partly ticked because something below it is.
bool IsGranted(const CTreeNodeUI* item)
{
    return item->Item() && item->Item()->checkState(0) != Qt::Unchecked;
}

std::string ClockText(const SYSTEMTIME& time)
{
    return QString::asprintf("%02d:%02d:%02d", time.wHour, time.wMinute, time.wSecond).toStdString();
}

}  // namespace

void CChildAccountMgrWnd::Show(HWND owner)
{
    CChildAccountMgrWnd window;
    window.Create(owner, QStringLiteral("子账号管理"), 0x96C80000, 0x100);
    window.CenterWindow();
    window.ShowModal();
}

std::string CChildAccountMgrWnd::FieldText(const char* name) const
{
    CControlUI* control = FindControl(QString::fromUtf8(name));
    return control ? control->GetText().toStdString() : std::string();
}

void CChildAccountMgrWnd::SetFieldText(const char* name, const std::string& text)
{
    if (CControlUI* control = FindControl(QString::fromUtf8(name)))
        control->SetText(Utf8(text));
}

std::string CChildAccountMgrWnd::SelectedUserData(CComboUI* combo) const
{
    CControlUI* item = combo ? combo->GetItemAt(combo->GetCurSel()) : nullptr;
    return item ? item->GetUserData().toStdString() : std::string();
}

int CChildAccountMgrWnd::SelectedResourceType() const
{
    CControlUI* item = resourceTypes_ ? resourceTypes_->GetItemAt(resourceTypes_->GetCurSel()) : nullptr;
    return item ? static_cast<int>(item->GetTag()) : 1;
}

void CChildAccountMgrWnd::InitWindow()
{
    tree_ = m_PaintManager.FindControlAs<CTreeViewUI>(QStringLiteral("camtreelist"));
    pages_ = m_PaintManager.FindControlAs<CTabLayoutUI>(QStringLiteral("switch"));
    funList_ = m_PaintManager.FindControlAs<CListUI>(QStringLiteral("funlist"));
    resourceTypes_ = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("IDC_CB_DEVTYPE"));
    roles_ = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("IDC_COMBO_ROLE"));
    accountRole_ = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("COMBO_ROLE"));
    subAccounts_ = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("IDC_COMBO_SUBUSERLIST"));
    expireDate_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("dt_expiretime"));
    periodStart_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("dt_starttime"));
    periodEnd_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("dt_endtime"));
    periods_ = m_PaintManager.FindControlAs<CListUI>(QStringLiteral("IDC_LIST_TIME"));
    if (resourceTypes_) {
        resourceTypes_->RemoveAll();
        for (const ResourceType& type : kResourceTypes) {
            CListLabelElementUI* item = ComboItem(type.name, std::string());
            item->SetTag(static_cast<UINT_PTR>(type.type));
            resourceTypes_->Add(item);
        }
        resourceTypes_->SelectItem(0);
    }

    ChildAccountMgr* accounts = ChildAccountMgr::Instance();
    ShowCams();
    if (accounts->ReqCCList() != 0)
        LOG(INFO) << "ReqCCList ERROR " << accounts->ErrorText();
    ShowCAList();
    if (accounts->ReqAllInfo() != 0)
        LOG(INFO) << "ReqAllInfo ERROR " << accounts->ErrorText();
    ShowFunList(1);
    ReloadRoles();
    initialised_ = true;
}

// ---- filling ----

CTreeNodeUI* CChildAccountMgrWnd::AddTreeItem(CTreeNodeUI* parent, const QString& markup, const std::string& id,
                                              int nodeType)
{
    CDialogBuilder builder;
    auto* item = dynamic_cast<CTreeNodeUI*>(builder.Create(QStringLiteral("treeitem.xml"), QString(), this, &m_PaintManager));
    if (!item)
        item = new CTreeNodeUI;
    item->SetItemText(markup);
    item->SetUserData(Utf8(id));
    item->SetTag(static_cast<UINT_PTR>(nodeType));
    const bool added = parent ? parent->Add(item) : tree_->Add(item);
    if (!added) {
        delete item;
        return nullptr;
    }
    return item;
}

void CChildAccountMgrWnd::AddNodeItems(CTreeNodeUI* parent, const NodeRecord& node)
{
    CTreeNodeUI* item = AddTreeItem(parent, kNodeMarkup + Utf8(RowMarkup::Name(node.nodeName)), node.nodeId, kNodeType);
    if (!item)
        return;
    nodeNames_[node.nodeId] = node.nodeName;
    for (const DeviceRecord& camera : node.childDevices) {
        cameraAliases_[camera.deviceId] = camera.alias;
        AddTreeItem(item, kCameraMarkup + Utf8(RowMarkup::Name(camera.alias)), camera.deviceId, kCameraType);
    }
    for (const NodeRecord& child : node.childNodes)
        AddNodeItems(item, child);
}

void CChildAccountMgrWnd::ShowCams()
{
    LOG(INFO) << "ShowCams";
    nodeNames_.clear();
    cameraAliases_.clear();
    if (!tree_)
        return;
    tree_->RemoveAll();
    CTreeNodeUI* root = AddTreeItem(nullptr, Utf8(RowMarkup::Name(UserSession::Instance()->Mobile())), std::string(), 0);
    if (!root)
        return;
    std::vector<NodeRecord> tops;
    DeviceMgr::Instance()->GetTree(tops);
    for (const NodeRecord& node : tops)
        AddNodeItems(root, node);
    root->SetExpanded(true);
}

void CChildAccountMgrWnd::ShowCAList()
{
    LOG(INFO) << "ShowCAList";
    if (!subAccounts_)
        return;
    subAccounts_->RemoveAll();
    subAccounts_->Add(ComboItem("新增子账号", std::string()));
    for (const ChildAccount& account : ChildAccountMgr::Instance()->GetChildAccounts())
        subAccounts_->Add(ComboItem(account.name, account.clientInfoId));
    subAccounts_->SelectItem(0);
}

void CChildAccountMgrWnd::ShowFunList(int resourceType)
{
    LOG(INFO) << "ShowFunList";
    if (!funList_)
        return;
    funList_->RemoveAll();
    RoleMgr* roles = RoleMgr::Instance();
    if (roles->ReqResList(resourceType) != 0)
        LOG(INFO) << "ReqResList ERROR " << roles->ErrorText();
    std::vector<ClientResource> resources;
    roles->GetResList(resourceType, resources);
    LOG(INFO) << "GetResList size = " << resources.size();
    for (size_t i = 0; i < resources.size(); ++i) {
        auto* row = new CListTextElementUI;
        row->SetCheckable(true);  // a click on the row ticks or clears it
        funList_->Add(row);
        row->SetText(0, QString::number(i));
        row->SetText(1, Utf8(resources[i].resourceName));
        row->SetUserData(Utf8(resources[i].clientResourceId));
    }
}

void CChildAccountMgrWnd::ShowRoleList()
{
    LOG(INFO) << "ShowRoleList";
    if (roles_)
        roles_->RemoveAll();
    if (accountRole_)
        accountRole_->RemoveAll();
    RoleMgr* roles = RoleMgr::Instance();
    if (roles->ReqRoleList() != 0) {
        LOG(INFO) << "角色列表请求失败" << roles->ErrorText();
        ShowMsgTip(GetHWND(), QStringLiteral("角色列表请求失败"));
        return;
    }
    const std::vector<ClientRole> list = roles->GetRoles();
    LOG(INFO) << "role list size" << list.size();
    for (const ClientRole& role : list) {
        if (roles_)
            roles_->Add(ComboItem(role.clientRoleName, role.clientRoleId));
        if (accountRole_)
            accountRole_->Add(ComboItem(role.clientRoleName, role.clientRoleId));
    }
}

void CChildAccountMgrWnd::ReloadRoles()
{
    // Reloading the role list forgets every role's rights: they are read again with it.
    ShowRoleList();
    RoleMgr* roles = RoleMgr::Instance();
    if (roles->ReqAllRoleResList() != 0)
        LOG(INFO) << "ReqAllRoleResList ERROR " << roles->ErrorText();
}

// ---- notifications ----

void CChildAccountMgrWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "itemselect" && msg.pSender) {
        const QString name = msg.pSender->GetName();
        if (!initialised_)
            return;
        if (name == "IDC_COMBO_SUBUSERLIST")
            ShowSubAccount();
        else if (name == "IDC_CB_DEVTYPE")
            ShowFunList(SelectedResourceType());
        else if (name == "IDC_COMBO_ROLE")
            ShowRoleRights();
        return;
    }
    WindowImplBase::Notify(msg);
}

void CChildAccountMgrWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "IDC_BTN_CLOSE" || name == "closebtn")
        Close(1);
    else if (name == "IDC_OPT_CONFIGCAMERA" && pages_)
        pages_->SelectItem(0);
    else if (name == "IDC_OPT_CONFIGROLE" && pages_)
        pages_->SelectItem(1);
    else if (name == "IDC_BTN_SAVEUSER")
        SaveSubAccount();
    else if (name == "IDC_BTN_DELUSER")
        DeleteSubAccount();
    else if (name == "IDC_BTN_ADDPERIOD")
        AddPeriod();
    else if (name == "IDC_BTN_DELETEPERIOD" && periods_ && periods_->GetCurSel() >= 0)
        periods_->RemoveAt(periods_->GetCurSel());
    else if (name == "IDC_BTN_ADDROLE")
        AddRole();
    else if (name == "IDC_BTN_DEL")
        DeleteRole();
    else if (name == "IDC_BTN_SAVE")
        SaveRights();
}

// ---- the sub-account page ----

void CChildAccountMgrWnd::ShowSubAccount()
{
    if (!subAccounts_)
        return;
    CTreeNodeUI* root = tree_ ? dynamic_cast<CTreeNodeUI*>(tree_->GetItemAt(0)) : nullptr;
    if (subAccounts_->GetCurSel() <= 0) {
        SetFieldText("IDC_EDIT_SUBUSERNAME", std::string());
        SetFieldText("IDC_EDIT_SUBUSERID", std::string());
        SetFieldText("IDC_EDIT_SUBUSERKEY", std::string());
        SetFieldText("IDC_EDIT_MAXONLINENUM", "1");
        // The periods of the account shown before must not pass to the new one.
        if (periods_)
            periods_->RemoveAll();
        if (root)
            root->SetCheckBoxSelected(false);
        return;
    }
    ChildAccount account;
    if (!ChildAccountMgr::Instance()->FindChildAccount(SelectedUserData(subAccounts_), account))
        return;
    SetFieldText("IDC_EDIT_SUBUSERNAME", account.name);
    SetFieldText("IDC_EDIT_SUBUSERID", account.mobile);
    SetFieldText("IDC_EDIT_SUBUSERKEY", account.password);
    SetFieldText("IDC_EDIT_MAXONLINENUM", std::to_string(account.maxLoginCount));
    if (expireDate_) {
        QDate day = QDate::fromString(Utf8(account.expireTime), QStringLiteral("yyyy-M-d"));
        if (!day.isValid())
            day = QDate::currentDate();
        SYSTEMTIME time;
        time.wYear = static_cast<WORD>(day.year());
        time.wMonth = static_cast<WORD>(day.month());
        time.wDay = static_cast<WORD>(day.day());
        expireDate_->SetTime(&time);
    }
    if (accountRole_)
        for (int i = 0; i < accountRole_->GetCount(); ++i)
            if (accountRole_->GetItemAt(i)->GetUserData().toStdString() == account.clientRoleId)
                accountRole_->SelectItem(i);
    if (periods_) {
        periods_->RemoveAll();
        for (const auto& [start, end] : WatchPeriods::Split(account.watchTime)) {
            auto* row = new CListTextElementUI;
            periods_->Add(row);
            row->SetText(0, Utf8(start));
            row->SetText(1, Utf8(end));
        }
    }
    if (!root)
        return;
    // The granted items ticked one by one; every item above a granted one shows partly ticked and
    // open, so that the user sees the grants and a save without changes sends them again.
    tree_->SetCheckPropagation(false);
    std::function<void(CTreeNodeUI*)> clear = [&](CTreeNodeUI* item) {
        item->SetCheckBoxSelected(false);
        for (int i = 0; i < item->GetCountChild(); ++i)
            clear(item->GetChildNode(i));
    };
    clear(root);
    // Grants by node and by (node, camera): a camera bound under two nodes may be granted under one.
    std::set<std::string> grantedNodes;
    std::set<std::pair<std::string, std::string>> grantedCameras;
    std::function<void(const NodeRecord&)> collect = [&](const NodeRecord& node) {
        grantedNodes.insert(node.nodeId);
        for (const DeviceRecord& camera : node.childDevices)
            grantedCameras.emplace(node.nodeId, camera.deviceId);
        for (const NodeRecord& child : node.childNodes)
            collect(child);
    };
    for (const NodeRecord& node : account.nodes)
        collect(node);
    std::function<bool(CTreeNodeUI*)> tick = [&](CTreeNodeUI* item) {
        const std::string id = item->GetUserData().toStdString();
        const bool granted = item->GetTag() == kCameraType
                                 ? grantedCameras.count({item->GetParentNode()->GetUserData().toStdString(), id}) > 0
                                 : grantedNodes.count(id) > 0;
        bool below = false;
        for (int i = 0; i < item->GetCountChild(); ++i)
            below = tick(item->GetChildNode(i)) || below;
        if (granted)
            item->SetCheckBoxSelected(true);
        else if (below)
            tree_->SetItemPartlyChecked(item);
        if (below)
            item->SetExpanded(true);
        return granted || below;
    };
    bool any = false;
    for (int i = 0; i < root->GetCountChild(); ++i)
        any = tick(root->GetChildNode(i)) || any;
    if (any)
        root->SetCheckBoxSelected(true);
    tree_->SetCheckPropagation(true);
}

void CChildAccountMgrWnd::CollectGrants(CTreeNodeUI* item, std::vector<NodeRecord>& into) const
{
    if (!IsGranted(item) || item->GetTag() != kNodeType)
        return;
    NodeRecord node;
    node.nodeId = item->GetUserData().toStdString();
    const auto name = nodeNames_.find(node.nodeId);
    node.nodeName = name == nodeNames_.end() ? std::string() : name->second;
    node.nodeType = kNodeType;
    std::vector<NodeRecord> below;
    for (int i = 0; i < item->GetCountChild(); ++i) {
        CTreeNodeUI* child = item->GetChildNode(i);
        if (child->GetTag() == kNodeType) {
            CollectGrants(child, below);
        } else if (child->GetTag() == kCameraType && IsGranted(child)) {
            DeviceRecord camera;
            camera.deviceId = child->GetUserData().toStdString();
            const auto alias = cameraAliases_.find(camera.deviceId);
            camera.alias = alias == cameraAliases_.end() ? std::string() : alias->second;
            camera.nodeType = kCameraType;
            node.childDevices.push_back(camera);
        }
    }
    // A node that is only partly ticked for the sake of nodes below it is not granted itself: those
    // nodes stand in its place, as the service lists a granted node whose parent is not granted.
    const bool itself = item->Item()->checkState(0) == Qt::Checked || !node.childDevices.empty();
    if (!itself) {
        into.insert(into.end(), below.begin(), below.end());
        return;
    }
    node.childNodes = std::move(below);
    into.push_back(std::move(node));
}

void CChildAccountMgrWnd::SaveSubAccount()
{
    ChildAccount account;
    account.name = FieldText("IDC_EDIT_SUBUSERNAME");
    account.mobile = FieldText("IDC_EDIT_SUBUSERID");
    account.password = FieldText("IDC_EDIT_SUBUSERKEY");
    if (account.name.empty() || account.mobile.empty() || account.password.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("账号或密码不能为空"));
        return;
    }
    const std::string maxOnline = FieldText("IDC_EDIT_MAXONLINENUM");
    if (maxOnline.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("请输入正确的最大在线人数"));
        return;
    }
    if (!accountRole_ || accountRole_->GetCurSel() < 0) {
        ShowMsgTip(GetHWND(), QStringLiteral("请选择正确的角色"));
        return;
    }
    account.clientRoleId = SelectedUserData(accountRole_);
    if (expireDate_) {
        const SYSTEMTIME& day = expireDate_->GetTime();
        account.expireTime = std::to_string(day.wYear) + "-" + std::to_string(day.wMonth) + "-" + std::to_string(day.wDay);
    }
    account.maxLoginCount = Utf8(maxOnline).toInt();
    std::vector<WatchPeriods::Period> periods;
    for (int i = 0; periods_ && i < periods_->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListTextElementUI*>(periods_->GetItemAt(i)))
            periods.emplace_back(row->GetText(0).toStdString(), row->GetText(1).toStdString());
    account.watchTime = WatchPeriods::Join(periods);
    CTreeNodeUI* root = tree_ ? dynamic_cast<CTreeNodeUI*>(tree_->GetItemAt(0)) : nullptr;
    if (root && IsGranted(root))
        for (int i = 0; i < root->GetCountChild(); ++i)
            CollectGrants(root->GetChildNode(i), account.nodes);

    ChildAccountMgr* accounts = ChildAccountMgr::Instance();
    if (!subAccounts_ || subAccounts_->GetCurSel() <= 0) {
        if (accounts->CreateChildAccount(account) != 0) {
            ShowMsgTip(GetHWND(), Utf8(accounts->ErrorText()));
            return;
        }
        ReloadSubAccounts();
        ShowMsgTip(GetHWND(), QStringLiteral("创建成功！"));
        return;
    }
    account.clientInfoId = SelectedUserData(subAccounts_);
    if (accounts->ModifyChildAccount(account) != 0) {
        ShowMsgTip(GetHWND(), Utf8(accounts->ErrorText()));
        return;
    }
    ReloadSubAccounts();
    ShowMsgTip(GetHWND(), QStringLiteral("修改成功！"));
}

// After every change, a creation included: the list alone would show a new sub-account with an
// empty password, maximum and role, which a save would then send.
void CChildAccountMgrWnd::ReloadSubAccounts()
{
    ChildAccountMgr* accounts = ChildAccountMgr::Instance();
    accounts->ReqCCList();
    ShowCAList();
    accounts->ReqAllInfo();
}

void CChildAccountMgrWnd::DeleteSubAccount()
{
    if (!subAccounts_ || subAccounts_->GetCurSel() <= 0)
        return;
    ChildAccountMgr* accounts = ChildAccountMgr::Instance();
    if (accounts->DeleteChildAccount(SelectedUserData(subAccounts_)) != 0) {
        ShowMsgTip(GetHWND(), Utf8(accounts->ErrorText()));
        return;
    }
    ReloadSubAccounts();
    ShowMsgTip(GetHWND(), QStringLiteral("删除成功！"));
}

void CChildAccountMgrWnd::AddPeriod()
{
    if (!periodStart_ || !periodEnd_ || !periods_)
        return;
    const std::string start = ClockText(periodStart_->GetTime());
    const std::string end = ClockText(periodEnd_->GetTime());
    std::vector<WatchPeriods::Period> listed;
    for (int i = 0; i < periods_->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListTextElementUI*>(periods_->GetItemAt(i)))
            listed.emplace_back(row->GetText(0).toStdString(), row->GetText(1).toStdString());
    switch (WatchPeriods::CanAdd(listed, start, end)) {
    case WatchPeriods::Check::StartNotBeforeEnd:
        ShowMsgTip(GetHWND(), QStringLiteral("开始时间不能大于或等于结束时间！"));
        return;
    case WatchPeriods::Check::Overlaps:
        ShowMsgTip(GetHWND(), QStringLiteral("试图添加的时间段与已经存在的时间段相互覆盖!"));
        return;
    case WatchPeriods::Check::Accepted:
        break;
    }
    auto* row = new CListTextElementUI;
    periods_->Add(row);
    row->SetText(0, Utf8(start));
    row->SetText(1, Utf8(end));
}

// ---- the role page ----

void CChildAccountMgrWnd::ShowRoleRights()
{
    const std::string roleId = SelectedUserData(roles_);
    if (roleId.empty() || !funList_)
        return;
    std::vector<std::string> held;
    for (const ClientRole& role : RoleMgr::Instance()->GetRoles())
        if (role.clientRoleId == roleId) {
            const auto rights = role.rights.find(SelectedResourceType());
            if (rights != role.rights.end())
                held = rights->second;
        }
    for (int i = 0; i < funList_->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListElementUI*>(funList_->GetItemAt(i)))
            row->SetCheck(std::find(held.begin(), held.end(), row->GetUserData().toStdString()) != held.end());
}

void CChildAccountMgrWnd::AddRole()
{
    const std::string name = FieldText("IDC_EDIT_NAME");
    if (name.empty())
        return;
    RoleMgr* roles = RoleMgr::Instance();
    if (roles->AddRole(name) != 0) {
        ShowMsgTip(GetHWND(), Utf8(roles->ErrorText()));
        return;
    }
    SetFieldText("IDC_EDIT_NAME", std::string());
    ReloadRoles();
}

void CChildAccountMgrWnd::DeleteRole()
{
    const std::string roleId = SelectedUserData(roles_);
    if (roleId.empty())
        return;
    RoleMgr* roles = RoleMgr::Instance();
    if (roles->DeleteRole(roleId) != 0) {
        ShowMsgTip(GetHWND(), Utf8(roles->ErrorText()));
        return;
    }
    ReloadRoles();
}

void CChildAccountMgrWnd::SaveRights()
{
    const std::string roleId = SelectedUserData(roles_);
    if (roleId.empty() || !funList_)
        return;
    std::vector<std::string> checked;
    for (int i = 0; i < funList_->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListElementUI*>(funList_->GetItemAt(i)); row && row->GetCheck())
            checked.push_back(row->GetUserData().toStdString());
    RoleMgr* roles = RoleMgr::Instance();
    roles->SetRoleRights(roleId, SelectedResourceType(), checked);
    if (roles->UpdateRole(roleId) != 0) {
        ShowMsgTip(GetHWND(), Utf8(roles->ErrorText()));
        return;
    }
    ReloadRoles();
    // The role stays chosen, showing the rights as the service has them now.
    for (int i = 0; roles_ && i < roles_->GetCount(); ++i)
        if (roles_->GetItemAt(i)->GetUserData().toStdString() == roleId)
            roles_->SelectItem(i);
    ShowRoleRights();
    ShowMsgTip(GetHWND(), QStringLiteral("修改成功"));
}
