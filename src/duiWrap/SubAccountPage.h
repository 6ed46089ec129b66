#pragma once

#include "ui/WinDef.h"

#include <QString>

#include <map>
#include <string>
#include <vector>

class ChildAccountMgr;
class CComboUI;
class CDateTimeUI;
class CListUI;
class CPaintManagerUI;
class CTreeNodeUI;
class CTreeViewUI;
class DeviceMgr;
struct ClientRole;
struct NodeRecord;

// The sub-account page of the sub-account manager ("SkinUseControlr.xml"): the sub-account list
// ("IDC_COMBO_SUBUSERLIST", first "新增子账号"), the fields, the role ("COMBO_ROLE"), the validity date,
// the viewing periods ("IDC_LIST_TIME") and the check tree of the nodes and cameras a sub-account may
// see ("camtreelist"). The window routes the page's clicks and selections here.
//
// Threads: UI thread only.
class SubAccountPage {
public:
    SubAccountPage(CPaintManagerUI& manager, HWND owner, ChildAccountMgr& accounts, DeviceMgr& devices);

    // Fills the check tree from the device tree held, then requests the sub-accounts and their details.
    void Load();
    // The roles a sub-account can be given, as the role list was last read.
    void ShowRoles(const std::vector<ClientRole>& roles);

    // "click" of the save, delete, add-period or delete-period button; false for any other control.
    bool OnClick(const QString& name);
    // "itemselect" of the sub-account list; false for any other control.
    bool OnItemSelect(const QString& name);

private:
    void ShowCams();
    void ShowCAList();
    CTreeNodeUI* AddTreeItem(CTreeNodeUI* parent, const QString& markup, const std::string& id, int nodeType);
    void AddNodeItems(CTreeNodeUI* parent, const NodeRecord& node);
    CTreeNodeUI* Root() const;
    void ShowSubAccount();
    // Chooses the role item of that id, if listed.
    void ChooseRole(const std::string& roleId);
    void TickGrants(CTreeNodeUI* root, const std::vector<NodeRecord>& granted);
    // The grants of a ticked or partly ticked node item and what is ticked below it, appended to `into`.
    void CollectGrants(CTreeNodeUI* item, std::vector<NodeRecord>& into) const;
    void SaveSubAccount();
    void DeleteSubAccount();
    void ReloadSubAccounts();
    void AddPeriod();
    void DeletePeriod();

    CPaintManagerUI& manager_;
    HWND owner_;
    ChildAccountMgr& accounts_;
    DeviceMgr& devices_;

    std::map<std::string, std::string> nodeNames_;      // node id -> name
    std::map<std::string, std::string> cameraAliases_;  // camera id -> alias

    CTreeViewUI* tree_ = nullptr;
    CComboUI* subAccounts_ = nullptr;
    CComboUI* role_ = nullptr;
    CDateTimeUI* expireDate_ = nullptr;
    CDateTimeUI* periodStart_ = nullptr;
    CDateTimeUI* periodEnd_ = nullptr;
    CListUI* periods_ = nullptr;
};
