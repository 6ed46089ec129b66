#include "duiWrap/CChildAccountMgrWnd.h"

#include "duiWrap/RolePage.h"
#include "duiWrap/SubAccountPage.h"
#include "service/ChildAccountMgr.h"
#include "service/ClientRole.h"
#include "service/DeviceMgr.h"
#include "service/RoleMgr.h"
#include "ui/CTabLayoutUI.h"

void CChildAccountMgrWnd::Show(HWND owner)
{
    CChildAccountMgrWnd window;
    window.Create(owner, QStringLiteral("子账号管理"), 0x96C80000, 0x100);
    window.CenterWindow();
    window.ShowModal();
}

CChildAccountMgrWnd::CChildAccountMgrWnd() = default;
CChildAccountMgrWnd::~CChildAccountMgrWnd() = default;

void CChildAccountMgrWnd::InitWindow()
{
    pages_ = m_PaintManager.FindControlAs<CTabLayoutUI>(QStringLiteral("switch"));
    subAccountPage_ = std::make_unique<SubAccountPage>(m_PaintManager, GetHWND(), *ChildAccountMgr::Instance(),
                                                       *DeviceMgr::Instance());
    rolePage_ = std::make_unique<RolePage>(m_PaintManager, GetHWND(), *RoleMgr::Instance(),
                                           [this](const std::vector<ClientRole>& roles) { subAccountPage_->ShowRoles(roles); });
    subAccountPage_->Load();
    rolePage_->Load();
    initialised_ = true;
}

void CChildAccountMgrWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "itemselect" && msg.pSender) {
        if (!initialised_)
            return;
        const QString name = msg.pSender->GetName();
        if (!subAccountPage_->OnItemSelect(name))
            rolePage_->OnItemSelect(name);
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
    else if (subAccountPage_ && !subAccountPage_->OnClick(name) && rolePage_)
        rolePage_->OnClick(name);
}
