#pragma once

#include "ui/WindowImplBase.h"

#include <memory>

class CTabLayoutUI;
class RolePage;
class SubAccountPage;

// The sub-account manager ("SkinUseControlr.xml"), modal over the main window, with two pages: the
// sub-accounts (SubAccountPage) and the roles (RolePage). The window creates them, routes each click
// and selection to the page that owns the control, switches pages and closes. Every opening reloads
// everything from the service (ChildAccountMgr, RoleMgr). UI thread only.
class CChildAccountMgrWnd : public WindowImplBase {
public:
    // Opens the window over `owner` with the title "子账号管理" and runs it modally.
    static void Show(HWND owner);

    CChildAccountMgrWnd();
    ~CChildAccountMgrWnd() override;
    QString GetWindowClassName() const override { return QStringLiteral("ChildAccountMgrDialog"); }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("SkinUseControlr.xml"); }
    void OnClick(TNotifyUI& msg) override;

private:
    std::unique_ptr<SubAccountPage> subAccountPage_;
    std::unique_ptr<RolePage> rolePage_;
    CTabLayoutUI* pages_ = nullptr;
    bool initialised_ = false;
};
