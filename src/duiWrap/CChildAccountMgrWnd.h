#pragma once

#include "ui/WindowImplBase.h"

#include <map>
#include <string>
#include <vector>

class CComboUI;
class CDateTimeUI;
class CListUI;
class CTabLayoutUI;
class CTreeNodeUI;
class CTreeViewUI;
struct NodeRecord;

// The sub-account manager ("SkinUseControlr.xml"), modal over the main window. The sub-account page:
// the sub-accounts, their fields, validity date, viewing periods and a check tree of the nodes and
// cameras they may see. The role page: the roles and, per resource type, the resources a role holds.
// Every opening reloads everything from the service (ChildAccountMgr, RoleMgr). UI thread only.
class CChildAccountMgrWnd : public WindowImplBase {
public:
    // Opens the window over `owner` with the title "子账号管理" and runs it modally.
    static void Show(HWND owner);

    CChildAccountMgrWnd() = default;
    QString GetWindowClassName() const override { return QStringLiteral("ChildAccountMgrDialog"); }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

    void ShowCams();
    void ShowFunList(int resourceType);
    void ShowRoleList();
    void ShowCAList();

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("SkinUseControlr.xml"); }
    void OnClick(TNotifyUI& msg) override;

private:
    CTreeNodeUI* AddTreeItem(CTreeNodeUI* parent, const QString& markup, const std::string& id, int nodeType);
    void AddNodeItems(CTreeNodeUI* parent, const NodeRecord& node);
    // The grants of a ticked or partly ticked node item and what is ticked below it, appended to `into`.
    void CollectGrants(CTreeNodeUI* item, std::vector<NodeRecord>& into) const;
    void ShowSubAccount();
    void SaveSubAccount();
    void DeleteSubAccount();
    void ReloadSubAccounts();
    void AddPeriod();
    void ReloadRoles();
    void ShowRoleRights();
    void AddRole();
    void DeleteRole();
    void SaveRights();
    int SelectedResourceType() const;
    std::string SelectedUserData(CComboUI* combo) const;
    std::string FieldText(const char* name) const;
    void SetFieldText(const char* name, const std::string& text);

    std::map<std::string, std::string> nodeNames_;      // node id -> name
    std::map<std::string, std::string> cameraAliases_;  // camera id -> alias
    bool initialised_ = false;

    CTreeViewUI* tree_ = nullptr;
    CTabLayoutUI* pages_ = nullptr;
    CListUI* funList_ = nullptr;
    CComboUI* resourceTypes_ = nullptr;
    CComboUI* roles_ = nullptr;         // role page
    CComboUI* accountRole_ = nullptr;   // sub-account page
    CComboUI* subAccounts_ = nullptr;
    CDateTimeUI* expireDate_ = nullptr;
    CDateTimeUI* periodStart_ = nullptr;
    CDateTimeUI* periodEnd_ = nullptr;
    CListUI* periods_ = nullptr;
};
