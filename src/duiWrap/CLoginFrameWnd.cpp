#include "duiWrap/CLoginFrameWnd.h"

#include "app/UserSession.h"
#include "ui/BusyMark.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CComboUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/ModalLoop.h"
#include "ui/ShowMsgTip.h"

#include <glog/logging.h>

namespace {
// The file the switch-user command marks: published when the log-in window opens.
std::string publishedAccountFile;
}  // namespace

std::string CLoginFrameWnd::AccountFilePath()
{
    return publishedAccountFile.empty() ? RememberedAccounts::DefaultPath() : publishedAccountFile;
}

std::string CLoginFrameWnd::FieldText(const char* name) const
{
    CControlUI* control = FindControl(QString::fromUtf8(name));
    return control ? control->GetText().toStdString() : std::string();
}

void CLoginFrameWnd::SetFieldText(const char* name, const std::string& text)
{
    if (CControlUI* control = FindControl(QString::fromUtf8(name)))
        control->SetText(QString::fromStdString(text));
}

bool CLoginFrameWnd::IsChecked(const char* name) const
{
    auto* box = m_PaintManager.FindControlAs<CCheckBoxUI>(QString::fromUtf8(name));
    return box && box->GetCheck();
}

void CLoginFrameWnd::SetChecked(const char* name, bool checked)
{
    if (auto* box = m_PaintManager.FindControlAs<CCheckBoxUI>(QString::fromUtf8(name)))
        box->SetCheck(checked);
}

void CLoginFrameWnd::InitWindow()
{
    if (!accounts_.EnsureFolder()) {
        ShowMsgTip(GetHWND(), QStringLiteral("配置文件目录不存在"));
        PostQuitMessage(0);
        return;
    }
    auto* combo = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("ComboAccount"));
    if (!combo)
        return;
    combo->RemoveAll();
    publishedAccountFile = accounts_.Path();

    FillAccounts();
    const auto& entries = accounts_.Accounts();
    if (!entries.empty())
        combo->SelectItem(0);
    SetFieldText("EditAccount", combo->GetText().toStdString());
    SetFieldText("EditPassword", entries.empty() ? std::string() : entries.front().password);
    if (!entries.empty() && !entries.front().password.empty())
        SetChecked("IDC_CHECK_PASSWORD", true);

    if (accounts_.AutoLogin()) {
        SetChecked("chbAutoLog", true);
        autoLogin_ = true;
        // The previous instance switched user: this start must not log that user in again.
        if (accounts_.UserSwitched()) {
            autoLogin_ = false;
            SetChecked("chbAutoLog", false);
        }
        accounts_.SetUserSwitched(false);
    }

    SetIcon(2000);
    SetWindowText(QStringLiteral("登录"));

    // Posted, not done here: the window is not shown yet, and the user must see it working.
    if (!entries.empty() && autoLogin_)
        PostMessage(kAutoLoginMessage, 0, 0);
}

LRESULT CLoginFrameWnd::HandleCustomMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = uMsg == kAutoLoginMessage;
    if (bHandled && DoLogin())
        Close(kLoggedIn);
    return 0;
}

void CLoginFrameWnd::FillAccounts()
{
    auto* combo = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("ComboAccount"));
    accounts_.LoadRememberedAccounts();
    for (const RememberedAccount& entry : accounts_.Accounts()) {
        auto* item = new CListLabelElementUI;
        item->SetAttribute(QStringLiteral("text"), QString::fromStdString(entry.account));
        if (combo && !combo->Add(item))
            delete item;
    }
}

void CLoginFrameWnd::ShowSelectedAccount()
{
    auto* combo = m_PaintManager.FindControlAs<CComboUI>(QStringLiteral("ComboAccount"));
    if (!combo)
        return;
    SetFieldText("EditAccount", combo->GetText().toStdString());
    const int index = combo->GetCurSel();
    const auto& entries = accounts_.Accounts();
    const bool known = index >= 0 && static_cast<size_t>(index) < entries.size();
    SetFieldText("EditPassword", known ? entries[static_cast<size_t>(index)].password : std::string());
}

bool CLoginFrameWnd::DoLogin()
{
    const std::string account = FieldText("EditAccount");
    const std::string password = FieldText("EditPassword");
    if (account.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("账号不能为空"));
        return false;
    }
    if (password.empty()) {
        ShowMsgTip(GetHWND(), QStringLiteral("密码不能为空"));
        return false;
    }
    UserSession* session = UserSession::Instance();
    int result = 0;
    {
        BusyMark busy(FindControl(QStringLiteral("ButtonLogin")), QStringLiteral("登录中…"));
        result = session->Login(account, password);
    }
    if (result != 0) {
        LOG(INFO) << "log-in refused for " << account << ": " << session->ErrorText();
        ShowMsgTip(GetHWND(), QString::fromStdString(session->ErrorText()));
        return false;
    }
    loggedAccount_ = account;
    loggedPassword_ = password;
    // Without the remember-password box the password is always remembered, as the box's default.
    const bool hasRememberBox = FindControl(QStringLiteral("IDC_CHECK_PASSWORD")) != nullptr;
    accounts_.SaveRememberedAccount(account, password, !hasRememberBox || IsChecked("IDC_CHECK_PASSWORD"),
                                    IsChecked("chbAutoLog"));
    if (session->IsSonAccount())
        session->LoadRights();
    return true;
}

void CLoginFrameWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "itemselect") {
        ShowSelectedAccount();
        return;
    }
    WindowImplBase::Notify(msg);
}

void CLoginFrameWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "ButtonLogin") {
        if (DoLogin())
            Close(kLoggedIn);
    } else if (name == "closebtn") {
        Close(kClosed);
    } else if (name == "minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
}

LRESULT CLoginFrameWnd::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool&)
{
    // Keys are never marked handled: the focused control sees them too.
    if (uMsg != WM_KEYDOWN)
        return FALSE;
    if (wParam == VK_RETURN) {
        if (FieldText("EditAccount").empty()) {
            if (CControlUI* edit = FindControl(QStringLiteral("EditAccount")))
                edit->SetFocus();
        } else if (FieldText("EditPassword").empty()) {
            if (CControlUI* edit = FindControl(QStringLiteral("EditPassword")))
                edit->SetFocus();
        } else if (DoLogin()) {
            Close(kLoggedIn);
        }
    } else if (wParam == VK_ESCAPE) {
        PostQuitMessage(0);
    }
    return FALSE;
}
