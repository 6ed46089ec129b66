#include "duiWrap/SubAccountPage.h"

#include "app/UserSession.h"
#include "duiWrap/FormControls.h"
#include "duiWrap/RowMarkup.h"
#include "duiWrap/WatchPeriods.h"
#include "service/ChildAccountMgr.h"
#include "service/ClientRole.h"
#include "service/DeviceMgr.h"
#include "ui/CComboUI.h"
#include "ui/CDateTimeUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/ShowMsgTip.h"

#include <QDate>
#include <QTreeWidgetItem>

#include <glog/logging.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

namespace {

constexpr int kNodeType = 1;
constexpr int kCameraType = 2;
constexpr const char* kNodeMarkup = "{x 4}{i gameicons.png 18 7}{x 7}";
constexpr const char* kCameraMarkup = "{x 4}{i gameicons.png 18 4}{x 7}";

QString Utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// A tree item counts as granted when it is ticked, or partly ticked because something below it is.
bool IsGranted(const CTreeNodeUI* item)
{
    return item->Item() && item->Item()->checkState(0) != Qt::Unchecked;
}

// The validity day as the service writes it ("Y-M-D"): the numbers between the "-" separators, so
// that whatever follows the day (a time of day) is left aside. No text, or no such day: today.
QDate ExpiryDay(const std::string& text)
{
    int parts[3] = {0, 0, 0};
    size_t from = 0;
    for (int& part : parts) {
        const size_t dash = text.find('-', from);
        const std::string piece = text.substr(from, dash == std::string::npos ? std::string::npos : dash - from);
        part = static_cast<int>(std::clamp(std::strtol(piece.c_str(), nullptr, 10), -1L, 99999L));
        if (dash == std::string::npos)
            break;
        from = dash + 1;
    }
    const QDate day(parts[0], parts[1], parts[2]);
    return day.isValid() ? day : QDate::currentDate();
}

std::string ClockText(const SYSTEMTIME& time)
{
    return QString::asprintf("%02d:%02d:%02d", time.wHour, time.wMinute, time.wSecond).toStdString();
}

std::vector<WatchPeriods::Period> ListedPeriods(CListUI& periods)
{
    std::vector<WatchPeriods::Period> listed;
    for (int i = 0; i < periods.GetCount(); ++i)
        if (auto* row = dynamic_cast<CListTextElementUI*>(periods.GetItemAt(i)))
            listed.emplace_back(row->GetText(0).toStdString(), row->GetText(1).toStdString());
    return listed;
}

void AddPeriodRow(CListUI& periods, const std::string& start, const std::string& end)
{
    auto* row = new CListTextElementUI;
    periods.Add(row);
    row->SetText(0, Utf8(start));
    row->SetText(1, Utf8(end));
}

}  // namespace

SubAccountPage::SubAccountPage(CPaintManagerUI& manager, HWND owner, ChildAccountMgr& accounts, DeviceMgr& devices)
    : manager_(manager), owner_(owner), accounts_(accounts), devices_(devices)
{
    tree_ = manager_.FindControlAs<CTreeViewUI>(QStringLiteral("camtreelist"));
    subAccounts_ = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_COMBO_SUBUSERLIST"));
    role_ = manager_.FindControlAs<CComboUI>(QStringLiteral("COMBO_ROLE"));
    expireDate_ = manager_.FindControlAs<CDateTimeUI>(QStringLiteral("dt_expiretime"));
    periodStart_ = manager_.FindControlAs<CDateTimeUI>(QStringLiteral("dt_starttime"));
    periodEnd_ = manager_.FindControlAs<CDateTimeUI>(QStringLiteral("dt_endtime"));
    periods_ = manager_.FindControlAs<CListUI>(QStringLiteral("IDC_LIST_TIME"));
}

void SubAccountPage::Load()
{
    ShowCams();
    if (accounts_.ReqCCList() != 0)
        LOG(INFO) << "ReqCCList ERROR " << accounts_.ErrorText();
    ShowCAList();
    if (accounts_.ReqAllInfo() != 0)
        LOG(INFO) << "ReqAllInfo ERROR " << accounts_.ErrorText();
}

void SubAccountPage::ShowRoles(const std::vector<ClientRole>& roles)
{
    if (!role_)
        return;
    // The role page reads the roles again after each change: the account shown keeps its role.
    const std::string chosen = FormControls::SelectedId(role_);
    role_->RemoveAll();
    for (const ClientRole& role : roles)
        role_->Add(FormControls::ComboItem(role.clientRoleName, role.clientRoleId));
    ChooseRole(chosen);
}

void SubAccountPage::ChooseRole(const std::string& roleId)
{
    if (role_)
        for (int i = 0; i < role_->GetCount(); ++i)
            if (role_->GetItemAt(i)->GetUserData().toStdString() == roleId)
                role_->SelectItem(i);
}

bool SubAccountPage::OnClick(const QString& name)
{
    if (name == "IDC_BTN_SAVEUSER")
        SaveSubAccount();
    else if (name == "IDC_BTN_DELUSER")
        DeleteSubAccount();
    else if (name == "IDC_BTN_ADDPERIOD")
        AddPeriod();
    else if (name == "IDC_BTN_DELETEPERIOD")
        DeletePeriod();
    else
        return false;
    return true;
}

bool SubAccountPage::OnItemSelect(const QString& name)
{
    if (name != "IDC_COMBO_SUBUSERLIST")
        return false;
    ShowSubAccount();
    return true;
}

// ---- filling ----

CTreeNodeUI* SubAccountPage::AddTreeItem(CTreeNodeUI* parent, const QString& markup, const std::string& id, int nodeType)
{
    CDialogBuilder builder;
    auto* item = dynamic_cast<CTreeNodeUI*>(builder.Create(QStringLiteral("treeitem.xml"), QString(), nullptr, &manager_));
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

void SubAccountPage::AddNodeItems(CTreeNodeUI* parent, const NodeRecord& node)
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

void SubAccountPage::ShowCams()
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
    devices_.GetTree(tops);
    for (const NodeRecord& node : tops)
        AddNodeItems(root, node);
    root->SetExpanded(true);
}

void SubAccountPage::ShowCAList()
{
    LOG(INFO) << "ShowCAList";
    if (!subAccounts_)
        return;
    subAccounts_->RemoveAll();
    subAccounts_->Add(FormControls::ComboItem("新增子账号", std::string()));
    for (const ChildAccount& account : accounts_.GetChildAccounts())
        subAccounts_->Add(FormControls::ComboItem(account.name, account.clientInfoId));
    subAccounts_->SelectItem(0);
}

CTreeNodeUI* SubAccountPage::Root() const
{
    return tree_ ? dynamic_cast<CTreeNodeUI*>(tree_->GetItemAt(0)) : nullptr;
}

// ---- showing a sub-account ----

void SubAccountPage::ShowSubAccount()
{
    if (!subAccounts_)
        return;
    CTreeNodeUI* root = Root();
    if (subAccounts_->GetCurSel() <= 0) {
        FormControls::SetText(manager_, "IDC_EDIT_SUBUSERNAME", std::string());
        FormControls::SetText(manager_, "IDC_EDIT_SUBUSERID", std::string());
        FormControls::SetText(manager_, "IDC_EDIT_SUBUSERKEY", std::string());
        FormControls::SetText(manager_, "IDC_EDIT_MAXONLINENUM", "1");
        // The periods of the account shown before must not pass to the new one.
        if (periods_)
            periods_->RemoveAll();
        if (root)
            root->SetCheckBoxSelected(false);
        return;
    }
    ChildAccount account;
    if (!accounts_.FindChildAccount(FormControls::SelectedId(subAccounts_), account))
        return;
    FormControls::SetText(manager_, "IDC_EDIT_SUBUSERNAME", account.name);
    FormControls::SetText(manager_, "IDC_EDIT_SUBUSERID", account.mobile);
    FormControls::SetText(manager_, "IDC_EDIT_SUBUSERKEY", account.password);
    FormControls::SetText(manager_, "IDC_EDIT_MAXONLINENUM", std::to_string(account.maxLoginCount));
    if (expireDate_) {
        const QDate day = ExpiryDay(account.expireTime);
        SYSTEMTIME time;
        time.wYear = static_cast<WORD>(day.year());
        time.wMonth = static_cast<WORD>(day.month());
        time.wDay = static_cast<WORD>(day.day());
        expireDate_->SetTime(&time);
    }
    ChooseRole(account.clientRoleId);
    if (periods_) {
        periods_->RemoveAll();
        for (const auto& [start, end] : WatchPeriods::Split(account.watchTime))
            AddPeriodRow(*periods_, start, end);
    }
    if (root)
        TickGrants(root, account.nodes);
}

// The granted items ticked one by one; every item above a granted one shows partly ticked and open,
// so that the user sees the grants and a save without changes sends them again.
void SubAccountPage::TickGrants(CTreeNodeUI* root, const std::vector<NodeRecord>& granted)
{
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
    for (const NodeRecord& node : granted)
        collect(node);
    std::function<bool(CTreeNodeUI*)> tick = [&](CTreeNodeUI* item) {
        const std::string id = item->GetUserData().toStdString();
        const bool isGranted = item->GetTag() == kCameraType
                                   ? grantedCameras.count({item->GetParentNode()->GetUserData().toStdString(), id}) > 0
                                   : grantedNodes.count(id) > 0;
        bool below = false;
        for (int i = 0; i < item->GetCountChild(); ++i)
            below = tick(item->GetChildNode(i)) || below;
        if (isGranted)
            item->SetCheckBoxSelected(true);
        else if (below)
            tree_->SetItemPartlyChecked(item);
        if (below)
            item->SetExpanded(true);
        return isGranted || below;
    };
    bool any = false;
    for (int i = 0; i < root->GetCountChild(); ++i)
        any = tick(root->GetChildNode(i)) || any;
    if (any)
        root->SetCheckBoxSelected(true);
    tree_->SetCheckPropagation(true);
}

// ---- saving ----

void SubAccountPage::CollectGrants(CTreeNodeUI* item, std::vector<NodeRecord>& into) const
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

void SubAccountPage::SaveSubAccount()
{
    ChildAccount account;
    account.name = FormControls::Text(manager_, "IDC_EDIT_SUBUSERNAME");
    account.mobile = FormControls::Text(manager_, "IDC_EDIT_SUBUSERID");
    account.password = FormControls::Text(manager_, "IDC_EDIT_SUBUSERKEY");
    if (account.name.empty() || account.mobile.empty() || account.password.empty()) {
        ShowMsgTip(owner_, QStringLiteral("账号或密码不能为空"));
        return;
    }
    // A count that is not a number would be sent as 0 and reported as saved.
    bool counted = false;
    const int maxOnline = Utf8(FormControls::Text(manager_, "IDC_EDIT_MAXONLINENUM")).trimmed().toInt(&counted);
    if (!counted || maxOnline < 0) {
        ShowMsgTip(owner_, QStringLiteral("请输入正确的最大在线人数"));
        return;
    }
    if (!role_ || role_->GetCurSel() < 0) {
        ShowMsgTip(owner_, QStringLiteral("请选择正确的角色"));
        return;
    }
    account.clientRoleId = FormControls::SelectedId(role_);
    if (expireDate_) {
        const SYSTEMTIME& day = expireDate_->GetTime();
        account.expireTime = std::to_string(day.wYear) + "-" + std::to_string(day.wMonth) + "-" + std::to_string(day.wDay);
    }
    account.maxLoginCount = maxOnline;
    account.watchTime = WatchPeriods::Join(periods_ ? ListedPeriods(*periods_) : std::vector<WatchPeriods::Period>());
    CTreeNodeUI* root = Root();
    if (root && IsGranted(root))
        for (int i = 0; i < root->GetCountChild(); ++i)
            CollectGrants(root->GetChildNode(i), account.nodes);

    if (!subAccounts_ || subAccounts_->GetCurSel() <= 0) {
        if (accounts_.CreateChildAccount(account) != 0) {
            ShowMsgTip(owner_, Utf8(accounts_.ErrorText()));
            return;
        }
        ReloadSubAccounts();
        ShowMsgTip(owner_, QStringLiteral("创建成功！"));
        return;
    }
    account.clientInfoId = FormControls::SelectedId(subAccounts_);
    if (accounts_.ModifyChildAccount(account) != 0) {
        ShowMsgTip(owner_, Utf8(accounts_.ErrorText()));
        return;
    }
    ReloadSubAccounts();
    ShowMsgTip(owner_, QStringLiteral("修改成功！"));
}

// After every change, a creation included: the list alone would show a new sub-account with an
// empty password, maximum and role, which a save would then send.
void SubAccountPage::ReloadSubAccounts()
{
    accounts_.ReqCCList();
    ShowCAList();
    accounts_.ReqAllInfo();
}

void SubAccountPage::DeleteSubAccount()
{
    if (!subAccounts_ || subAccounts_->GetCurSel() <= 0)
        return;
    if (accounts_.DeleteChildAccount(FormControls::SelectedId(subAccounts_)) != 0) {
        ShowMsgTip(owner_, Utf8(accounts_.ErrorText()));
        return;
    }
    ReloadSubAccounts();
    ShowMsgTip(owner_, QStringLiteral("删除成功！"));
}

// ---- viewing periods ----

void SubAccountPage::AddPeriod()
{
    if (!periodStart_ || !periodEnd_ || !periods_)
        return;
    const std::string start = ClockText(periodStart_->GetTime());
    const std::string end = ClockText(periodEnd_->GetTime());
    switch (WatchPeriods::CanAdd(ListedPeriods(*periods_), start, end)) {
    case WatchPeriods::Check::StartNotBeforeEnd:
        ShowMsgTip(owner_, QStringLiteral("开始时间不能大于或等于结束时间！"));
        return;
    case WatchPeriods::Check::Overlaps:
        ShowMsgTip(owner_, QStringLiteral("试图添加的时间段与已经存在的时间段相互覆盖!"));
        return;
    case WatchPeriods::Check::Accepted:
        break;
    }
    AddPeriodRow(*periods_, start, end);
}

void SubAccountPage::DeletePeriod()
{
    if (periods_ && periods_->GetCurSel() >= 0)
        periods_->RemoveAt(periods_->GetCurSel());
}
