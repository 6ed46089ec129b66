#pragma once

#include "ui/WinDef.h"

#include <QString>

#include <functional>
#include <vector>

class CComboUI;
class CListUI;
class CPaintManagerUI;
class RoleMgr;
struct ClientRole;

// The role page of the sub-account manager ("SkinUseControlr.xml"): the roles ("IDC_COMBO_ROLE"),
// the resource types ("IDC_CB_DEVTYPE": PC, phone, all), the resources of the chosen type as check
// rows ("funlist") ticked as the chosen role holds them, and the add, delete and save buttons. The
// window routes the page's clicks and selections here.
//
// Threads: UI thread only.
class RolePage {
public:
    // Called with every reading of the role list (empty when it failed): the sub-account page offers them.
    using RolesListed = std::function<void(const std::vector<ClientRole>&)>;

    // Fills the resource types and chooses the first; no request yet.
    RolePage(CPaintManagerUI& manager, HWND owner, RoleMgr& roles, RolesListed rolesListed);

    // Requests the resources of the first type, the roles and every role's rights.
    void Load();

    // "click" of the add, delete or save button; false for any other control.
    bool OnClick(const QString& name);
    // "itemselect" of the role or the resource type; false for any other control.
    bool OnItemSelect(const QString& name);

private:
    void ShowFunList(int resourceType);
    void ShowRoleList();
    void ReloadRoles();
    void ShowRoleRights();
    void AddRole();
    void DeleteRole();
    void SaveRights();
    int SelectedResourceType() const;

    CPaintManagerUI& manager_;
    HWND owner_;
    RoleMgr& roles_;
    RolesListed rolesListed_;

    CComboUI* roleList_ = nullptr;
    CComboUI* resourceTypes_ = nullptr;
    CListUI* funList_ = nullptr;
};
