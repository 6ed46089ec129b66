// The edit fields that show what the service holds, or take the account's password, keep the whole
// text: a field that cuts it would show a node or password the service does not have, and send that
// back (a rename left unchanged, a log-in or unlock with a password the password window accepted).
// The windows are the real ones, without a service: nothing here is sent.
#include "UiTestKit.h"

#include "app/LocalConfig.h"
#include "duiWrap/CChangeNode.h"
#include "duiWrap/CChangePwdWnd.h"
#include "duiWrap/CLockScreenWnd.h"
#include "duiWrap/CLoginFrameWnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A password longer than any field of the windows took before (the log-in's took 29 characters, the
// password window's 32).
const QString kLongPassword = QStringLiteral("Kv-0123456789-abcdefghij-ABCDEFGHIJ-xyz!");
// 17 characters outside the basic plane: 34 UTF-16 units, within a service's limit of 32 characters.
const QString kLongName = QString::fromUtf8("\xF0\x9F\x8F\xA2").repeated(16) + QStringLiteral("仓");

class WholeFieldValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        uitest::EnsureApp();
        dir_ = fs::temp_directory_path().string() + "/kelvue-fields-" + std::to_string(::getpid()) + "/";
        fs::create_directories(dir_);
        LocalConfig::Instance()->InitAt(dir_, dir_ + "kelvue");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Typed as a user types it; returns what the field holds then.
    static QString TypedInto(WindowImplBase& window, const char* name, const QString& text)
    {
        CControlUI* field = window.FindControl(QString::fromUtf8(name));
        if (field == nullptr) {
            ADD_FAILURE() << "no field " << name;
            return QString();
        }
        field->SetText(QString());
        uitest::Type(field, text);
        return field->GetText();
    }

    std::string dir_;
    uitest::MsgTipRecorder boxes_;
};

TEST_F(WholeFieldValues, EveryPasswordFieldTakesTheWholePassword)
{
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    EXPECT_EQ(TypedInto(login, "EditPassword", kLongPassword), kLongPassword);
    login.DestroyWindow();

    CChangePwdWnd::Show(nullptr);
    CChangePwdWnd* change = uitest::ShownWindow<CChangePwdWnd>();
    ASSERT_NE(change, nullptr);
    for (const char* field : {"OldPwdEdit", "NewPwdEdit", "RepPwdEdit"})
        EXPECT_EQ(TypedInto(*change, field, kLongPassword), kLongPassword) << field;
    uitest::SaveScreenshot(*change, QStringLiteral("screenshots/change-password-long.png"));
    uitest::Click(change->FindControl(QStringLiteral("closebtn")));
    uitest::Pump(20);

    QString unlockWith;
    QTimer::singleShot(0, [&] {
        CLockScreenWnd* lock = uitest::ShownWindow<CLockScreenWnd>();
        if (lock == nullptr) {
            ADD_FAILURE() << "no lock screen";
            PostQuitMessage(0);
            return;
        }
        unlockWith = TypedInto(*lock, "EditPassword", kLongPassword);
        uitest::Click(lock->FindControl(QStringLiteral("closebtn")));
    });
    CLockScreenWnd::Show(nullptr);
    EXPECT_EQ(unlockWith, kLongPassword);
}

TEST_F(WholeFieldValues, RenameNodeShowsTheWholeCurrentName)
{
    CChangeNode dialog(kLongName.toStdString(), "2002", nullptr);
    dialog.Create(nullptr, QStringLiteral("修改节点"), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE);
    EXPECT_EQ(dialog.FindControl(QStringLiteral("IDC_EDIT_NODENAME"))->GetText(), kLongName);
    uitest::SaveScreenshot(dialog, QStringLiteral("screenshots/rename-node-long-name.png"));
    dialog.DestroyWindow();
}

}  // namespace
