// The log-in window without a service: what it does with the remembered accounts and the keys
// before any request is sent. Log-ins against the service are in tests/e2e.
#include "UiTestKit.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"
#include "duiWrap/CLoginFrameWnd.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QWindow>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class LoginWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        uitest::EnsureApp();
        dir_ = fs::temp_directory_path().string() + "/kelvue-login-" + std::to_string(::getpid()) + "/";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        LocalConfig::Instance()->InitAt(dir_, dir_ + "kelvue");
    }
    void TearDown() override
    {
        if (login_)
            login_->DestroyWindow();
        login_.reset();
        fs::remove_all(dir_);
    }

    void Remember(const std::string& account, const std::string& password, bool autoLogin)
    {
        RememberedAccounts accounts;
        ASSERT_TRUE(accounts.EnsureFolder());
        accounts.LoadRememberedAccounts();
        ASSERT_TRUE(accounts.SaveRememberedAccount(account, password, true, autoLogin));
    }

    void Open()
    {
        login_ = std::make_unique<CLoginFrameWnd>();
        login_->Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
        login_->ShowWindow(true);
        uitest::Pump(20);
    }
    QString Text(const char* name) { return login_->FindControl(QString::fromUtf8(name))->GetText(); }
    bool Checked(const char* name) { return uitest::Find<CCheckBoxUI>(*login_, QString::fromUtf8(name))->GetCheck(); }

    std::string dir_;
    std::unique_ptr<CLoginFrameWnd> login_;
    uitest::MsgTipRecorder boxes_;
};

TEST_F(LoginWindow, WithoutRememberedAccountsEverythingStartsEmpty)
{
    // "load" on but no account: nothing is ticked and no log-in is tried.
    RememberedAccounts accounts;
    ASSERT_TRUE(accounts.EnsureFolder());
    IniFile(accounts.Path()).WriteString("windows", "load", "true");
    Open();
    EXPECT_EQ(login_->GetWindowText(), QStringLiteral("登录"));
    EXPECT_EQ(Text("EditAccount"), QString());
    EXPECT_EQ(Text("EditPassword"), QString());
    EXPECT_FALSE(Checked("IDC_CHECK_PASSWORD"));
    EXPECT_TRUE(boxes_.texts.isEmpty());
    EXPECT_EQ(CLoginFrameWnd::AccountFilePath(), dir_ + "Vyr/LoginAccount.ini");
}

TEST_F(LoginWindow, EmptyFieldsAreRefusedBeforeAnyRequest)
{
    Open();
    uitest::Click(login_->FindControl(QStringLiteral("ButtonLogin")));
    uitest::Type(login_->FindControl(QStringLiteral("EditAccount")), QStringLiteral("13800138000"));
    uitest::Click(login_->FindControl(QStringLiteral("ButtonLogin")));
    EXPECT_EQ(boxes_.texts, (QStringList{QStringLiteral("账号不能为空"), QStringLiteral("密码不能为空")}));
}

TEST_F(LoginWindow, EnterMovesTheFocusToTheFirstEmptyField)
{
    Open();
    uitest::PressKey(*login_, Qt::Key_Return);
    EXPECT_TRUE(login_->FindControl(QStringLiteral("EditAccount"))->IsFocused());
    uitest::Type(login_->FindControl(QStringLiteral("EditAccount")), QStringLiteral("13800138000"));
    uitest::PressKey(*login_, Qt::Key_Return);
    EXPECT_TRUE(login_->FindControl(QStringLiteral("EditPassword"))->IsFocused());
    EXPECT_TRUE(boxes_.texts.isEmpty()) << "nothing is sent while a field is empty";
}

TEST_F(LoginWindow, SwitchedUserSuppressesOneAutomaticLogIn)
{
    Remember("13900139000", "second", true);
    Remember("13800138000", "", true);  // a remembered account whose password was not kept
    RememberedAccounts(RememberedAccounts::DefaultPath()).SetUserSwitched(true);
    Open();
    // Entry 0 fills the fields; no log-in was tried (it would have shown a connection failure).
    EXPECT_EQ(Text("EditAccount"), "13900139000");
    EXPECT_EQ(Text("EditPassword"), "second");
    EXPECT_TRUE(Checked("IDC_CHECK_PASSWORD"));
    EXPECT_FALSE(Checked("chbAutoLog"));
    EXPECT_TRUE(boxes_.texts.isEmpty());
    EXPECT_FALSE(RememberedAccounts(RememberedAccounts::DefaultPath()).UserSwitched());

    // Choosing the other account replaces both fields; its empty password empties the field.
    uitest::ChooseComboItem(uitest::Find<CComboUI>(*login_, QStringLiteral("ComboAccount")), 1);
    EXPECT_EQ(Text("EditAccount"), "13800138000");
    EXPECT_EQ(Text("EditPassword"), QString());
    EXPECT_TRUE(Checked("IDC_CHECK_PASSWORD")) << "the remember box is left as it was";
}

// The drop-down of remembered accounts: every row shows its number (not only the highlighted one)
// and the list stays inside the window although the combo sits at its right edge.
TEST_F(LoginWindow, RememberedAccountsDropDownShowsEveryRowInsideTheWindow)
{
    Remember("13700137000", "third", false);
    Remember("13900139000", "second", false);
    Remember("13800138000", "first", false);
    Open();
    login_->CenterWindow();
    auto* combo = qobject_cast<QComboBox*>(login_->FindControl(QStringLiteral("ComboAccount"))->GetWidget());
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    combo->showPopup();
    QWidget* dropDown = combo->view()->window();
    ASSERT_TRUE(uitest::PumpUntil([&] { return dropDown->isVisible(); }));
    uitest::Pump(50);
    const QRect window = login_->GetWidget()->frameGeometry();
    const QRect list = dropDown->frameGeometry();
    EXPECT_GE(list.left(), window.left());
    EXPECT_LE(list.right(), window.right()) << "the list sticks out of the window";

    const QImage rows = combo->view()->viewport()->grab().toImage();
    for (int i = 0; i < combo->count(); ++i) {
        const QRect row = combo->view()->visualRect(combo->model()->index(i, 0)).intersected(rows.rect());
        const QRgb background = rows.pixel(row.left() + 1, row.top() + 1);
        int ink = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left(); x <= row.right(); ++x)
                ink += qGray(rows.pixel(x, y)) - qGray(background) > 60 || qGray(background) - qGray(rows.pixel(x, y)) > 60;
        EXPECT_GT(ink, 30) << "row " << i << " (" << combo->itemText(i).toStdString() << ") shows no text";
    }
    EXPECT_TRUE(uitest::SaveScreen(QDir::currentPath() + "/screenshots/login-dropdown.png"));
    combo->hidePopup();
}

// A window manager may size the window below what its layout needs; it grows back so that every
// control stays reachable.
TEST_F(LoginWindow, TooSmallASizeGrowsBackToTheMinimum)
{
    Open();
    QWidget* window = login_->GetWidget();
    EXPECT_TRUE(uitest::ClippedControls(*login_).isEmpty()) << uitest::ClippedControls(*login_).join(' ').toStdString();
    window->windowHandle()->resize(200, 120);
    uitest::Pump(100);
    EXPECT_GE(window->width(), window->minimumWidth());
    EXPECT_GE(window->height(), window->minimumHeight());
    EXPECT_TRUE(uitest::ClippedControls(*login_).isEmpty()) << uitest::ClippedControls(*login_).join(' ').toStdString();
}

TEST_F(LoginWindow, CloseButtonEndsWithTwoAndEscapeQuits)
{
    Open();
    EXPECT_EQ(uitest::RunModal(*login_, [&] { uitest::Click(login_->FindControl(QStringLiteral("closebtn"))); }),
              CLoginFrameWnd::kClosed);
    login_.reset();
    Open();
    EXPECT_NE(uitest::RunModal(*login_, [&] { uitest::PressKey(*login_, Qt::Key_Escape); }), CLoginFrameWnd::kLoggedIn);
}

}  // namespace
