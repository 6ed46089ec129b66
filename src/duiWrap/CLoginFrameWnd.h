#pragma once

#include "app/RememberedAccounts.h"
#include "ui/WindowImplBase.h"

#include <string>

// The log-in window ("skinLogin.xml"): pick or type a mobile number and a password and log in. It
// offers the remembered accounts with their remembered passwords, can log in automatically at start
// (unless the previous instance ended by switching user), and closes with 1 only after a successful
// log-in (the rights of a sub-account loaded first); 2 after its close button. Escape ends the
// program's message loop. UI thread only.
class CLoginFrameWnd : public WindowImplBase {
public:
    static constexpr UINT kLoggedIn = 1;
    static constexpr UINT kClosed = 2;

    CLoginFrameWnd() = default;

    QString GetWindowClassName() const override { return QStringLiteral("UILoginFrame"); }
    UINT GetClassStyle() const override { return 0x80B; }
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

    // Logs in with the typed account and password; shows why when it cannot.
    bool DoLogin();

    // The remembered-accounts file this window works on; the main window's switch-user command marks it.
    static std::string AccountFilePath();

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinLogin.xml"); }
    void OnClick(TNotifyUI& msg) override;

private:
    // Posted by InitWindow: the automatic log-in runs once the window is on the screen.
    static constexpr UINT kAutoLoginMessage = WM_APP + 1;

    void FillAccounts();
    void ShowSelectedAccount();
    std::string FieldText(const char* name) const;
    void SetFieldText(const char* name, const std::string& text);
    bool IsChecked(const char* name) const;
    void SetChecked(const char* name, bool checked);

    RememberedAccounts accounts_;
    std::string loggedAccount_;
    std::string loggedPassword_;
    bool autoLogin_ = false;
};
