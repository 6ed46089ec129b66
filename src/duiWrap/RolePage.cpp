#include "duiWrap/RolePage.h"

#include "duiWrap/FormControls.h"
#include "service/ClientRole.h"
#include "service/RoleMgr.h"
#include "ui/CComboUI.h"
#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/ShowMsgTip.h"

#include <glog/logging.h>

#include <algorithm>

namespace {

struct ResourceType {
    const char* name;
    int type;
};
constexpr ResourceType kResourceTypes[] = {{"PC", 1}, {"手机", 2}, {"所有", 3}};

}  // namespace

RolePage::RolePage(CPaintManagerUI& manager, HWND owner, RoleMgr& roles, RolesListed rolesListed)
    : manager_(manager), owner_(owner), roles_(roles), rolesListed_(std::move(rolesListed))
{
    roleList_ = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_COMBO_ROLE"));
    resourceTypes_ = manager_.FindControlAs<CComboUI>(QStringLiteral("IDC_CB_DEVTYPE"));
    funList_ = manager_.FindControlAs<CListUI>(QStringLiteral("funlist"));
    if (resourceTypes_) {
        resourceTypes_->RemoveAll();
        for (const ResourceType& type : kResourceTypes) {
            CListLabelElementUI* item = FormControls::ComboItem(type.name, std::string());
            item->SetTag(static_cast<UINT_PTR>(type.type));
            resourceTypes_->Add(item);
        }
        resourceTypes_->SelectItem(0);
    }
}

void RolePage::Load()
{
    ShowFunList(1);
    ReloadRoles();
}

bool RolePage::OnClick(const QString& name)
{
    if (name == "IDC_BTN_ADDROLE")
        AddRole();
    else if (name == "IDC_BTN_DEL")
        DeleteRole();
    else if (name == "IDC_BTN_SAVE")
        SaveRights();
    else
        return false;
    return true;
}

bool RolePage::OnItemSelect(const QString& name)
{
    if (name == "IDC_CB_DEVTYPE") {
        // The chosen role's rights of the new type are ticked: rows left clear would read as rights it
        // lacks, and a save would take them away.
        ShowFunList(SelectedResourceType());
        ShowRoleRights();
    } else if (name == "IDC_COMBO_ROLE")
        ShowRoleRights();
    else
        return false;
    return true;
}

int RolePage::SelectedResourceType() const
{
    CControlUI* item = resourceTypes_ ? resourceTypes_->GetItemAt(resourceTypes_->GetCurSel()) : nullptr;
    return item ? static_cast<int>(item->GetTag()) : 1;
}

void RolePage::ShowFunList(int resourceType)
{
    LOG(INFO) << "ShowFunList";
    if (!funList_)
        return;
    funList_->RemoveAll();
    if (roles_.ReqResList(resourceType) != 0)
        LOG(INFO) << "ReqResList ERROR " << roles_.ErrorText();
    std::vector<ClientResource> resources;
    roles_.GetResList(resourceType, resources);
    LOG(INFO) << "GetResList size = " << resources.size();
    for (size_t i = 0; i < resources.size(); ++i) {
        auto* row = new CListTextElementUI;
        row->SetCheckable(true);  // a click on the row ticks or clears it
        funList_->Add(row);
        row->SetText(0, QString::number(i));
        row->SetText(1, QString::fromStdString(resources[i].resourceName));
        row->SetUserData(QString::fromStdString(resources[i].clientResourceId));
    }
}

void RolePage::ShowRoleList()
{
    LOG(INFO) << "ShowRoleList";
    if (roleList_)
        roleList_->RemoveAll();
    if (roles_.ReqRoleList() != 0) {
        LOG(INFO) << "角色列表请求失败" << roles_.ErrorText();
        rolesListed_({});
        ShowMsgTip(owner_, QStringLiteral("角色列表请求失败"));
        return;
    }
    const std::vector<ClientRole> list = roles_.GetRoles();
    LOG(INFO) << "role list size" << list.size();
    for (const ClientRole& role : list)
        if (roleList_)
            roleList_->Add(FormControls::ComboItem(role.clientRoleName, role.clientRoleId));
    rolesListed_(list);
}

void RolePage::ReloadRoles()
{
    // Reloading the role list forgets every role's rights: they are read again with it.
    ShowRoleList();
    if (roles_.ReqAllRoleResList() != 0)
        LOG(INFO) << "ReqAllRoleResList ERROR " << roles_.ErrorText();
}

void RolePage::ShowRoleRights()
{
    const std::string roleId = FormControls::SelectedId(roleList_);
    if (roleId.empty() || !funList_)
        return;
    std::vector<std::string> held;
    for (const ClientRole& role : roles_.GetRoles())
        if (role.clientRoleId == roleId) {
            const auto rights = role.rights.find(SelectedResourceType());
            if (rights != role.rights.end())
                held = rights->second;
        }
    for (int i = 0; i < funList_->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListElementUI*>(funList_->GetItemAt(i)))
            row->SetCheck(std::find(held.begin(), held.end(), row->GetUserData().toStdString()) != held.end());
}

void RolePage::AddRole()
{
    const std::string name = FormControls::Text(manager_, "IDC_EDIT_NAME");
    if (name.empty())
        return;
    if (roles_.AddRole(name) != 0) {
        ShowMsgTip(owner_, QString::fromStdString(roles_.ErrorText()));
        return;
    }
    FormControls::SetText(manager_, "IDC_EDIT_NAME", std::string());
    ReloadRoles();
}

void RolePage::DeleteRole()
{
    const std::string roleId = FormControls::SelectedId(roleList_);
    if (roleId.empty())
        return;
    if (roles_.DeleteRole(roleId) != 0) {
        ShowMsgTip(owner_, QString::fromStdString(roles_.ErrorText()));
        return;
    }
    ReloadRoles();
}

void RolePage::SaveRights()
{
    const std::string roleId = FormControls::SelectedId(roleList_);
    if (roleId.empty() || !funList_)
        return;
    std::vector<std::string> checked;
    for (int i = 0; i < funList_->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListElementUI*>(funList_->GetItemAt(i)); row && row->GetCheck())
            checked.push_back(row->GetUserData().toStdString());
    roles_.SetRoleRights(roleId, SelectedResourceType(), checked);
    if (roles_.UpdateRole(roleId) != 0) {
        ShowMsgTip(owner_, QString::fromStdString(roles_.ErrorText()));
        return;
    }
    ReloadRoles();
    // The role stays chosen, showing the rights as the service has them now.
    for (int i = 0; roleList_ && i < roleList_->GetCount(); ++i)
        if (roleList_->GetItemAt(i)->GetUserData().toStdString() == roleId)
            roleList_->SelectItem(i);
    ShowRoleRights();
    ShowMsgTip(owner_, QStringLiteral("修改成功"));
}
