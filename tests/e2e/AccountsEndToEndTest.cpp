// The account windows of the whole client against the demo stack: the lock screen, the password
// window and the sub-account manager, reached as a user reaches them (the lock button, the menu
// commands), and what cloudsim then lets a sub-account do at log-in. The demo account's password is
// changed and always restored: the other suites log in with it.
#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"
#include "app/UserSession.h"
#include "duiWrap/CChangePwdWnd.h"
#include "duiWrap/CChildAccountMgrWnd.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CLockScreenWnd.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceNode.h"
#include "service/ChildAccountMgr.h"
#include "service/RoleMgr.h"
#include "ui/CComboUI.h"
#include "ui/CDateTimeUI.h"
#include "ui/CListElementUI.h"
#include "ui/CListUI.h"
#include "ui/COptionUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/MenuCommand.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CPopWnd.h"
#include "video/CvyrProDlg.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstring>
#include <ctime>
#include <functional>

namespace {

using namespace e2e;

constexpr const char* kNewPassword = "kelvue-new1";
constexpr const char* kSubMobile = "13600136001";
constexpr const char* kSubPassword = "patrol88";

// The command a menu item sends to the main window.
void MenuCommandToMain(const char* item)
{
    auto* command = new MenuCommand;
    std::strcpy(command->szName, item);
    ASSERT_TRUE(ClientEndToEnd::Main()->PostMessage(WM_MENU_COMMAND, reinterpret_cast<WPARAM>(command), 0));
}

// Runs `act` on the window of type T once it is the active modal window (it is run by a nested loop
// the test cannot return from until it closes).
template <typename T>
void WhenModal(std::function<void(T&)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* window = dynamic_cast<T*>(CWindowWnd::FromWidget(QApplication::activeModalWidget()));
        if (!window)
            return;
        poll->stop();
        poll->deleteLater();
        act(*window);
    });
    poll->start(50);
}

// A password change as another client of the account would make it.
bool ChangePasswordOnService(const std::string& from, const std::string& to)
{
    httplib::Client cloud("127.0.0.1", 8000);
    auto reply = cloud.Post("/vyr-api/ws/api/reqCmd",
                            R"({"cmd":35,"mobile":")" + std::string(kAccount) + R"(","oldPassword":")" + from +
                                R"(","newPassword":")" + to + R"("})",
                            "application/json");
    return reply && reply->status == 200 && reply->body.find("\"code\":0") != std::string::npos;
}

QString Shot(const char* name)
{
    return QString::fromStdString(ClientEndToEnd::ScreenshotDir() + "/" + name);
}

void TypeInto(WindowImplBase& window, const char* name, const QString& text)
{
    CControlUI* control = window.FindControl(QString::fromUtf8(name));
    ASSERT_NE(control, nullptr) << name;
    control->SetText(text);
}

void SetTime(WindowImplBase& window, const char* picker, int hour, int minute, int second)
{
    auto* control = uitest::Find<CDateTimeUI>(window, QString::fromUtf8(picker));
    ASSERT_NE(control, nullptr) << picker;
    SYSTEMTIME time = control->GetTime();
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    control->SetTime(&time);
}

int ComboIndexOf(CComboUI* combo, const QString& text)
{
    for (int i = 0; combo && i < combo->GetCount(); ++i)
        if (combo->GetItemAt(i)->GetText() == text)
            return i;
    return -1;
}

CTreeNodeUI* TreeItem(CTreeNodeUI* from, const std::string& id)
{
    if (from->GetUserData().toStdString() == id)
        return from;
    for (int i = 0; i < from->GetCountChild(); ++i)
        if (CTreeNodeUI* found = TreeItem(from->GetChildNode(i), id))
            return found;
    return nullptr;
}

QStringList PeriodRows(WindowImplBase& window)
{
    QStringList rows;
    auto* list = uitest::Find<CListUI>(window, QStringLiteral("IDC_LIST_TIME"));
    for (int i = 0; list && i < list->GetCount(); ++i)
        if (auto* row = dynamic_cast<CListTextElementUI*>(list->GetItemAt(i)))
            rows << row->GetText(0) + "-" + row->GetText(1);
    return rows;
}

bool FindSub(ChildAccount& account, const std::string& mobile = kSubMobile)
{
    ChildAccountMgr* accounts = ChildAccountMgr::Instance();
    if (accounts->ReqCCList() != 0)
        return false;
    for (const ChildAccount& listed : accounts->GetChildAccounts())
        if (listed.mobile == mobile)
            return accounts->ReqOneAllInfo(listed.clientInfoId) == 0 &&
                   accounts->FindChildAccount(listed.clientInfoId, account);
    return false;
}

// The grants of a sub-account as the service lists them: nodes and (node, camera) pairs.
QStringList Grants(const std::vector<NodeRecord>& nodes)
{
    QStringList grants;
    for (const NodeRecord& node : nodes) {
        grants << QString::fromStdString(node.nodeId);
        for (const DeviceRecord& camera : node.childDevices)
            grants << QString::fromStdString(node.nodeId + "/" + camera.deviceId);
        grants << Grants(node.childNodes);
    }
    return grants;
}

class AccountsEndToEnd : public ClientEndToEnd {
public:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        StartClient();
    }
};

TEST_F(AccountsEndToEnd, LockedWindowTakesNoInputAndOnlyThePasswordUnlocks)
{
    CDuiFrameWnd* main = Main();
    uitest::MsgTipRecorder boxes;
    ASSERT_TRUE(ActivateCamera("kv100101"));
    int cell = -1;
    ASSERT_TRUE(uitest::PumpUntil([&] { return (cell = CellPlaying("kv100101")) >= 0; }, 10000)) << WallState();
    VideoSurface* surface = main->VideoWall()->Panel(cell)->Inner()->Surface();

    auto* lockButton = uitest::Find<COptionUI>(*main, QStringLiteral("IDC_BTN_LOCKSCREEN"));
    ASSERT_NE(lockButton, nullptr);
    uitest::Click(lockButton);
    ASSERT_TRUE(LocalConfig::Instance()->IsScreenLocked());
    EXPECT_TRUE(lockButton->IsSelected());

    // A press on the split button opens the lock screen, not the split chooser. A wrong password is
    // refused and the screen stays locked; the close button leaves it locked too.
    QStringList seen;
    WhenModal<CLockScreenWnd>([&](CLockScreenWnd& lock) {
        seen << lock.FindControl(QStringLiteral("EditAccount"))->GetText();
        uitest::SaveScreenshot(lock, Shot("lock_screen.png"));
        uitest::Click(lock.FindControl(QStringLiteral("ButtonUnlock")));  // empty
        TypeInto(lock, "EditPassword", QStringLiteral("KELVUE123"));
        uitest::Click(lock.FindControl(QStringLiteral("ButtonUnlock")));
        uitest::Click(lock.FindControl(QStringLiteral("closebtn")));
    });
    const int framesBefore = surface->FramesPainted();
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTN_SPLITSCREEN")));
    EXPECT_TRUE(uitest::PumpUntil([&] { return seen.size() == 1 && !uitest::ShownWindow<CLockScreenWnd>(); }, 5000));
    EXPECT_EQ(seen, QStringList{QString::fromUtf8(kAccount)});
    EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("输入的密码不正确！"), QStringLiteral("输入的密码不正确！")}));
    EXPECT_TRUE(LocalConfig::Instance()->IsScreenLocked());
    EXPECT_TRUE(main->SplitPopup() == nullptr || !main->SplitPopup()->GetWidget()->isVisible());

    // Keys and presses on the wall are held back too, while the video keeps playing behind.
    bool asked = false;
    WhenModal<CLockScreenWnd>([&](CLockScreenWnd& lock) {
        asked = true;
        uitest::Click(lock.FindControl(QStringLiteral("closebtn")));
    });
    uitest::PressKey(*main, Qt::Key_Escape);
    EXPECT_TRUE(uitest::PumpUntil([&] { return asked; }, 5000));
    uitest::Pump(300);
    EXPECT_GT(surface->FramesPainted(), framesBefore);

    // The password of the log-in unlocks (Enter does as the button), and the lock button follows.
    boxes.texts.clear();
    WhenModal<CLockScreenWnd>([&](CLockScreenWnd& lock) {
        TypeInto(lock, "EditPassword", QString::fromUtf8(kPassword));
        uitest::PressKey(lock, Qt::Key_Return);
    });
    uitest::Click(main->FindControl(QStringLiteral("CameraName")));
    EXPECT_TRUE(uitest::PumpUntil([] { return !LocalConfig::Instance()->IsScreenLocked(); }, 5000));
    EXPECT_TRUE(uitest::PumpUntil([&] { return !lockButton->IsSelected(); }, 2000));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(AccountsEndToEnd, PasswordWindowChecksInOrderAndTheNewPasswordIsTheOneAskedFor)
{
    struct Restore {
        ~Restore()
        {
            // Whatever happened, the demo account gets its password back for the other suites.
            ChangePasswordOnService(kNewPassword, kPassword);
            ChangePasswordOnService("elsewhere9", kPassword);
        }
    } restore;
    uitest::MsgTipRecorder boxes;
    MenuCommandToMain("ID_CHANGEPASSWORD");
    CChangePwdWnd* window = nullptr;
    ASSERT_TRUE(uitest::PumpUntil([&] { return (window = uitest::ShownWindow<CChangePwdWnd>()) != nullptr; }, 3000));
    uitest::SaveScreenshot(*window, Shot("change_password.png"));
    auto attempt = [&](const char* oldPassword, const char* newPassword, const char* repeated) {
        TypeInto(*window, "OldPwdEdit", QString::fromUtf8(oldPassword));
        TypeInto(*window, "NewPwdEdit", QString::fromUtf8(newPassword));
        TypeInto(*window, "RepPwdEdit", QString::fromUtf8(repeated));
        uitest::Click(window->FindControl(QStringLiteral("IDC_BTNDOWN_OK")));
    };
    attempt("", "", "");
    attempt(kPassword, kNewPassword, "");
    attempt("KELVUE123", kNewPassword, kNewPassword);
    attempt(kPassword, kNewPassword, "kelvue-new2");
    // Changed by another client meanwhile: the service refuses the password this client knows.
    ASSERT_TRUE(ChangePasswordOnService(kPassword, "elsewhere9"));
    attempt(kPassword, kNewPassword, kNewPassword);
    ASSERT_TRUE(ChangePasswordOnService("elsewhere9", kPassword));
    ASSERT_EQ(boxes.texts.size(), 5) << boxes.texts.join('|').toStdString();
    EXPECT_EQ(boxes.texts.mid(0, 4), (QStringList{QStringLiteral("输入框内不能为空"), QStringLiteral("输入框内不能为空"),
                                                  QStringLiteral("现有密码错误"), QStringLiteral("新密码与重复密码不一样")}));
    EXPECT_EQ(boxes.texts[4], QStringLiteral("原密码错误，请重新输入"));

    boxes.texts.clear();
    attempt(kPassword, kNewPassword, kNewPassword);
    EXPECT_TRUE(uitest::PumpUntil([] { return uitest::ShownWindow<CChangePwdWnd>() == nullptr; }, 3000));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
    EXPECT_EQ(UserSession::Instance()->Password(), kNewPassword);
    RememberedAccounts remembered(CLoginFrameWnd::AccountFilePath());
    remembered.LoadRememberedAccounts();
    ASSERT_FALSE(remembered.Accounts().empty());
    EXPECT_EQ(remembered.Accounts().front().password, kNewPassword);

    // The lock screen now asks for the new password.
    uitest::Click(Main()->FindControl(QStringLiteral("IDC_BTN_LOCKSCREEN")));
    WhenModal<CLockScreenWnd>([&](CLockScreenWnd& lock) {
        TypeInto(lock, "EditPassword", QString::fromUtf8(kPassword));
        uitest::Click(lock.FindControl(QStringLiteral("ButtonUnlock")));
        TypeInto(lock, "EditPassword", QString::fromUtf8(kNewPassword));
        uitest::Click(lock.FindControl(QStringLiteral("ButtonUnlock")));
    });
    uitest::Click(Main()->FindControl(QStringLiteral("CameraName")));
    EXPECT_TRUE(uitest::PumpUntil([] { return !LocalConfig::Instance()->IsScreenLocked(); }, 5000));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("输入的密码不正确！")});

    // The next log-in: the old password is refused, the remembered new one logs in.
    EXPECT_EQ(UserSession::Instance()->Login(kAccount, kPassword), -1);
    {
        CLoginFrameWnd login;
        login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
        EXPECT_EQ(uitest::RunModal(login, [] {}), CLoginFrameWnd::kLoggedIn) << boxes.texts.join('|').toStdString();
    }

    // Back to the demo password through the window again.
    MenuCommandToMain("ID_CHANGEPASSWORD");
    ASSERT_TRUE(uitest::PumpUntil([&] { return (window = uitest::ShownWindow<CChangePwdWnd>()) != nullptr; }, 3000));
    attempt(kNewPassword, kPassword, kPassword);
    EXPECT_TRUE(uitest::PumpUntil([] { return uitest::ShownWindow<CChangePwdWnd>() == nullptr; }, 3000));
    EXPECT_EQ(UserSession::Instance()->Password(), kPassword);
}

TEST_F(AccountsEndToEnd, SubAccountManagerEditsSubAccountsPeriodsGrantsAndRoles)
{
    uitest::MsgTipRecorder boxes;
    std::string roleId;
    bool done = false;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int away = (local.tm_hour + 12) % 24;  // an hour of the day that is not now

    WhenModal<CChildAccountMgrWnd>([&](CChildAccountMgrWnd& window) {
        auto* subs = uitest::Find<CComboUI>(window, QStringLiteral("IDC_COMBO_SUBUSERLIST"));
        auto* roles = uitest::Find<CComboUI>(window, QStringLiteral("IDC_COMBO_ROLE"));
        auto* accountRole = uitest::Find<CComboUI>(window, QStringLiteral("COMBO_ROLE"));
        auto* funList = uitest::Find<CListUI>(window, QStringLiteral("funlist"));
        auto* tree = uitest::Find<CTreeViewUI>(window, QStringLiteral("camtreelist"));
        auto click = [&](const char* name) { uitest::Click(window.FindControl(QString::fromUtf8(name))); };
        auto field = [&](const char* name) { return window.FindControl(QString::fromUtf8(name))->GetText(); };
        [&] {
            ASSERT_TRUE(subs && roles && accountRole && funList && tree);
            ASSERT_EQ(subs->GetItemAt(0)->GetText(), QStringLiteral("新增子账号"));

            // The demo sub-account as the service holds it: fields, periods, granted items ticked.
            const int duty = ComboIndexOf(subs, QStringLiteral("值班员小李"));
            ASSERT_GT(duty, 0);
            uitest::ChooseComboItem(subs, duty);
            EXPECT_EQ(field("IDC_EDIT_SUBUSERID"), QStringLiteral("13900139000"));
            EXPECT_EQ(field("IDC_EDIT_MAXONLINENUM"), QStringLiteral("100"));
            EXPECT_EQ(accountRole->GetText(), QStringLiteral("值班员"));
            EXPECT_EQ(PeriodRows(window), (QStringList{"00:00:00-11:59:59", "12:00:00-23:59:59"}));
            CTreeNodeUI* root = dynamic_cast<CTreeNodeUI*>(tree->GetItemAt(0));
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(root->GetText(), QString::fromUtf8(kAccount));
            EXPECT_TRUE(TreeItem(root, "2006")->IsCheckBoxSelected());    // 一号仓库, granted whole
            EXPECT_TRUE(TreeItem(root, "kv100106")->IsCheckBoxSelected());
            EXPECT_FALSE(TreeItem(root, "2002")->IsCheckBoxSelected());   // 一楼大厅
            EXPECT_FALSE(TreeItem(root, "kv100101")->IsCheckBoxSelected());
            uitest::SaveScreenshot(window, Shot("subaccounts_page.png"));
            // Saved unchanged, it keeps exactly its grants (the nodes above them are only partly ticked).
            ChildAccount before;
            ASSERT_TRUE(FindSub(before, "13900139000"));
            click("IDC_BTN_SAVEUSER");
            ChildAccount after;
            ASSERT_TRUE(FindSub(after, "13900139000"));
            EXPECT_EQ(Grants(after.nodes), Grants(before.nodes));
            EXPECT_EQ(Grants(after.nodes), (QStringList{"2006", "2006/kv100106", "2006/kv100107", "2008", "2009", "2009/kv100112"}));
            EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("修改成功！")});
            boxes.texts.clear();

            // "新增子账号" empties the fields and sets the maximum back to 1.
            uitest::ChooseComboItem(subs, 0);
            EXPECT_EQ(field("IDC_EDIT_SUBUSERID"), QString());
            EXPECT_EQ(field("IDC_EDIT_MAXONLINENUM"), QStringLiteral("1"));
            EXPECT_FALSE(root->IsCheckBoxSelected());

            // The role page: a new role with two rights of the PC type, saved and read back; another
            // one added and deleted.
            click("IDC_OPT_CONFIGROLE");
            TypeInto(window, "IDC_EDIT_NAME", QStringLiteral("巡检角色"));
            click("IDC_BTN_ADDROLE");
            TypeInto(window, "IDC_EDIT_NAME", QStringLiteral("临时角色"));
            click("IDC_BTN_ADDROLE");
            const int temporary = ComboIndexOf(roles, QStringLiteral("临时角色"));
            ASSERT_GE(temporary, 0);
            uitest::ChooseComboItem(roles, temporary);
            click("IDC_BTN_DEL");
            EXPECT_EQ(ComboIndexOf(roles, QStringLiteral("临时角色")), -1);
            const int patrolRole = ComboIndexOf(roles, QStringLiteral("巡检角色"));
            ASSERT_GE(patrolRole, 0);
            uitest::ChooseComboItem(roles, patrolRole);
            roleId = roles->GetItemAt(patrolRole)->GetUserData().toStdString();
            ASSERT_EQ(funList->GetCount(), 11);
            for (int i = 0; i < funList->GetCount(); ++i)
                if (funList->GetItemAt(i)->GetUserData() == "2016031501" || funList->GetItemAt(i)->GetUserData() == "2016031502")
                    uitest::ClickRow(funList, i);
            click("IDC_BTN_SAVE");
            EXPECT_EQ(boxes.texts.value(0), QStringLiteral("修改成功"));
            QStringList ticked;
            for (int i = 0; i < funList->GetCount(); ++i)
                if (static_cast<CListElementUI*>(funList->GetItemAt(i))->GetCheck())
                    ticked << funList->GetItemAt(i)->GetUserData();
            EXPECT_EQ(ticked, (QStringList{"2016031501", "2016031502"}));
            uitest::SaveScreenshot(window, Shot("subaccounts_roles_page.png"));

            // A new sub-account: checks first, then periods that overlap are refused, and saved with
            // the root unchecked and no period.
            click("IDC_OPT_CONFIGCAMERA");
            uitest::ChooseComboItem(subs, 0);
            boxes.texts.clear();
            TypeInto(window, "IDC_EDIT_SUBUSERID", QString::fromUtf8(kSubMobile));
            TypeInto(window, "IDC_EDIT_SUBUSERKEY", QString::fromUtf8(kSubPassword));
            click("IDC_BTN_SAVEUSER");
            TypeInto(window, "IDC_EDIT_SUBUSERNAME", QStringLiteral("巡检员"));
            TypeInto(window, "IDC_EDIT_MAXONLINENUM", QString());
            click("IDC_BTN_SAVEUSER");
            TypeInto(window, "IDC_EDIT_MAXONLINENUM", QStringLiteral("1a"));  // not saved as 1, or 0
            click("IDC_BTN_SAVEUSER");
            TypeInto(window, "IDC_EDIT_MAXONLINENUM", QStringLiteral("1"));
            uitest::ChooseComboItem(accountRole, ComboIndexOf(accountRole, QStringLiteral("巡检角色")));
            SetTime(window, "dt_starttime", 9, 0, 0);
            SetTime(window, "dt_endtime", 10, 0, 0);
            click("IDC_BTN_ADDPERIOD");
            SetTime(window, "dt_starttime", 8, 0, 0);
            SetTime(window, "dt_endtime", 12, 0, 0);
            click("IDC_BTN_ADDPERIOD");
            SetTime(window, "dt_starttime", 12, 0, 0);
            click("IDC_BTN_ADDPERIOD");
            EXPECT_EQ(PeriodRows(window), QStringList{"09:00:00-10:00:00"});
            uitest::ClickRow(uitest::Find<CListUI>(window, QStringLiteral("IDC_LIST_TIME")), 0);
            click("IDC_BTN_DELETEPERIOD");
            EXPECT_TRUE(PeriodRows(window).isEmpty());
            click("IDC_BTN_SAVEUSER");
            EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("账号或密码不能为空"), QStringLiteral("请输入正确的最大在线人数"),
                                                QStringLiteral("请输入正确的最大在线人数"),
                                                QStringLiteral("试图添加的时间段与已经存在的时间段相互覆盖!"),
                                                QStringLiteral("开始时间不能大于或等于结束时间！"),
                                                QStringLiteral("创建成功！")}));
            ChildAccount created;
            ASSERT_TRUE(FindSub(created));
            EXPECT_EQ(created.watchTime, "00:00:00-23:59:59");
            EXPECT_TRUE(created.nodes.empty());
            EXPECT_EQ(created.maxLoginCount, 1);
            EXPECT_EQ(created.clientRoleId, roleId);

            // Modified: periods that only touch are accepted, one node granted with its cameras.
            boxes.texts.clear();
            uitest::ChooseComboItem(subs, ComboIndexOf(subs, QStringLiteral("巡检员")));
            EXPECT_EQ(field("IDC_EDIT_SUBUSERKEY"), QString::fromUtf8(kSubPassword));
            EXPECT_EQ(PeriodRows(window), QStringList{"00:00:00-23:59:59"});  // no period is the whole day
            uitest::ClickRow(uitest::Find<CListUI>(window, QStringLiteral("IDC_LIST_TIME")), 0);
            click("IDC_BTN_DELETEPERIOD");
            SetTime(window, "dt_starttime", 8, 0, 0);
            SetTime(window, "dt_endtime", 12, 0, 0);
            click("IDC_BTN_ADDPERIOD");
            SetTime(window, "dt_starttime", 12, 0, 0);
            SetTime(window, "dt_endtime", 13, 0, 0);
            click("IDC_BTN_ADDPERIOD");
            EXPECT_EQ(PeriodRows(window), (QStringList{"08:00:00-12:00:00", "12:00:00-13:00:00"}));
            uitest::ClickNodeCheck(tree, TreeItem(root, "2002"));
            click("IDC_BTN_SAVEUSER");
            ChildAccount modified;
            ASSERT_TRUE(FindSub(modified));
            EXPECT_EQ(modified.clientInfoId, created.clientInfoId);
            EXPECT_EQ(modified.watchTime, "08:00:00-12:00:00#12:00:00-13:00:00");
            ASSERT_EQ(modified.nodes.size(), 1u);
            EXPECT_EQ(modified.nodes[0].nodeId, "2002");  // 总部大楼 above it only partly ticked
            ASSERT_EQ(modified.nodes[0].childDevices.size(), 2u);
            EXPECT_EQ(modified.nodes[0].childDevices[0].deviceId, "kv100101");

            // Only a period away from the present hour: the log-in below is refused.
            uitest::ChooseComboItem(subs, ComboIndexOf(subs, QStringLiteral("巡检员")));
            auto* periods = uitest::Find<CListUI>(window, QStringLiteral("IDC_LIST_TIME"));
            while (periods->GetCount() > 0) {
                uitest::ClickRow(periods, 0);
                click("IDC_BTN_DELETEPERIOD");
            }
            SetTime(window, "dt_starttime", away, 0, 0);
            SetTime(window, "dt_endtime", away, 59, 59);
            click("IDC_BTN_ADDPERIOD");
            click("IDC_BTN_SAVEUSER");

            // Another sub-account created and deleted.
            uitest::ChooseComboItem(subs, 0);
            TypeInto(window, "IDC_EDIT_SUBUSERID", QStringLiteral("13600136002"));
            TypeInto(window, "IDC_EDIT_SUBUSERKEY", QStringLiteral("temp1234"));
            TypeInto(window, "IDC_EDIT_SUBUSERNAME", QStringLiteral("临时子账号"));
            uitest::ChooseComboItem(accountRole, ComboIndexOf(accountRole, QStringLiteral("巡检角色")));
            click("IDC_BTN_SAVEUSER");
            uitest::ChooseComboItem(subs, ComboIndexOf(subs, QStringLiteral("临时子账号")));
            click("IDC_BTN_DELUSER");
            EXPECT_EQ(ComboIndexOf(subs, QStringLiteral("临时子账号")), -1);
            EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("修改成功！"), QStringLiteral("修改成功！"),
                                                QStringLiteral("创建成功！"), QStringLiteral("删除成功！")}));
        }();
        done = true;
        click("IDC_BTN_CLOSE");
    });
    MenuCommandToMain("ID_CHILDRENUSER_ADD");
    ASSERT_TRUE(uitest::PumpUntil([&] { return done && uitest::ShownWindow<CChildAccountMgrWnd>() == nullptr; }, 60000));
}

// A sub-account named by another client (17 characters, 16 of them outside the basic plane) is shown
// whole, and a save without changes keeps its name and password as the service holds them.
TEST_F(AccountsEndToEnd, SubAccountSavedUnchangedKeepsWhatAnotherClientGaveIt)
{
    uitest::MsgTipRecorder boxes;
    const QString name = QString::fromUtf8("\xF0\x9F\x8F\xA2").repeated(16) + QStringLiteral("岗");
    ASSERT_EQ(RoleMgr::Instance()->ReqRoleList(), 0);
    ASSERT_FALSE(RoleMgr::Instance()->GetRoles().empty());
    ChildAccount elsewhere;
    elsewhere.mobile = "13600136003";
    if (ChildAccount left; FindSub(left, elsewhere.mobile))  // from a run that stopped half-way
        ChildAccountMgr::Instance()->DeleteChildAccount(left.clientInfoId);
    elsewhere.name = name.toStdString();
    elsewhere.password = "Kv-0123456789-abcdefghij-ABCDEF";  // 32 characters
    elsewhere.clientRoleId = RoleMgr::Instance()->GetRoles().front().clientRoleId;
    elsewhere.maxLoginCount = 2;
    elsewhere.expireTime = "2030-1-1";
    elsewhere.watchTime = "00:00:00-23:59:59";
    ASSERT_EQ(ChildAccountMgr::Instance()->CreateChildAccount(elsewhere), 0) << ChildAccountMgr::Instance()->ErrorText();

    bool done = false;
    WhenModal<CChildAccountMgrWnd>([&](CChildAccountMgrWnd& window) {
        auto* subs = uitest::Find<CComboUI>(window, QStringLiteral("IDC_COMBO_SUBUSERLIST"));
        auto field = [&](const char* control) { return window.FindControl(QString::fromUtf8(control))->GetText(); };
        [&] {
            ASSERT_NE(subs, nullptr);
            const int index = ComboIndexOf(subs, name);
            ASSERT_GT(index, 0);
            uitest::ChooseComboItem(subs, index);
            EXPECT_EQ(field("IDC_EDIT_SUBUSERNAME"), name);
            EXPECT_EQ(field("IDC_EDIT_SUBUSERKEY"), QString::fromStdString(elsewhere.password));
            uitest::Click(window.FindControl(QStringLiteral("IDC_BTN_SAVEUSER")));
            ChildAccount after;
            ASSERT_TRUE(FindSub(after, elsewhere.mobile));
            EXPECT_EQ(QString::fromStdString(after.name), name);
            EXPECT_EQ(after.password, elsewhere.password);
            uitest::ChooseComboItem(subs, ComboIndexOf(subs, name));
            uitest::Click(window.FindControl(QStringLiteral("IDC_BTN_DELUSER")));
            EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("修改成功！"), QStringLiteral("删除成功！")}));
        }();
        done = true;
        uitest::Click(window.FindControl(QStringLiteral("IDC_BTN_CLOSE")));
    });
    MenuCommandToMain("ID_CHILDRENUSER_ADD");
    ASSERT_TRUE(uitest::PumpUntil([&] { return done && uitest::ShownWindow<CChildAccountMgrWnd>() == nullptr; }, 60000));
}

// The role page ticks the chosen role's rights of whichever resource type is chosen, so that a save
// after a change of type sends them unchanged; a role a sub-account holds stays, with the service's
// reason shown.
TEST_F(AccountsEndToEnd, RolePageShowsTheRightsOfEachTypeAndKeepsARoleInUse)
{
    uitest::MsgTipRecorder boxes;
    bool done = false;
    auto held = [](const std::string& roleId, int type) {
        QStringList ids;
        for (const ClientRole& role : RoleMgr::Instance()->GetRoles())
            if (auto rights = role.rights.find(type); role.clientRoleId == roleId && rights != role.rights.end())
                for (const std::string& id : rights->second)
                    ids << QString::fromStdString(id);
        ids.sort();
        return ids;
    };
    WhenModal<CChildAccountMgrWnd>([&](CChildAccountMgrWnd& window) {
        auto* roles = uitest::Find<CComboUI>(window, QStringLiteral("IDC_COMBO_ROLE"));
        auto* types = uitest::Find<CComboUI>(window, QStringLiteral("IDC_CB_DEVTYPE"));
        auto* accountRole = uitest::Find<CComboUI>(window, QStringLiteral("COMBO_ROLE"));
        auto* funList = uitest::Find<CListUI>(window, QStringLiteral("funlist"));
        auto click = [&](const char* name) { uitest::Click(window.FindControl(QString::fromUtf8(name))); };
        auto ticked = [&] {
            QStringList ids;
            for (int i = 0; i < funList->GetCount(); ++i)
                if (static_cast<CListElementUI*>(funList->GetItemAt(i))->GetCheck())
                    ids << funList->GetItemAt(i)->GetUserData();
            ids.sort();
            return ids;
        };
        [&] {
            ASSERT_TRUE(roles && types && accountRole && funList);
            auto* subs = uitest::Find<CComboUI>(window, QStringLiteral("IDC_COMBO_SUBUSERLIST"));
            uitest::ChooseComboItem(subs, ComboIndexOf(subs, QStringLiteral("值班员小李")));
            ASSERT_EQ(accountRole->GetText(), QStringLiteral("值班员"));
            click("IDC_OPT_CONFIGROLE");
            const int duty = ComboIndexOf(roles, QStringLiteral("值班员"));
            ASSERT_GE(duty, 0);
            uitest::ChooseComboItem(roles, duty);
            const std::string dutyId = roles->GetItemAt(duty)->GetUserData().toStdString();
            const QStringList pcRights = held(dutyId, 1);
            ASSERT_FALSE(pcRights.isEmpty());
            EXPECT_EQ(ticked(), pcRights);
            uitest::ChooseComboItem(types, 1);
            EXPECT_EQ(funList->GetCount(), 4);
            EXPECT_EQ(ticked(), held(dutyId, 2));
            uitest::ChooseComboItem(types, 0);
            EXPECT_EQ(ticked(), pcRights);
            click("IDC_BTN_SAVE");
            EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("修改成功")});
            EXPECT_EQ(held(dutyId, 1), pcRights);
            EXPECT_EQ(accountRole->GetText(), QStringLiteral("值班员")) << "the roles read again keep the account's";

            // "值班员小李" holds the role.
            boxes.texts.clear();
            uitest::ChooseComboItem(roles, ComboIndexOf(roles, QStringLiteral("值班员")));
            click("IDC_BTN_DEL");
            ASSERT_EQ(boxes.texts.size(), 1);
            EXPECT_FALSE(boxes.texts[0].isEmpty());
            EXPECT_EQ(boxes.texts[0].toStdString(), RoleMgr::Instance()->ErrorText());
            EXPECT_GE(ComboIndexOf(roles, QStringLiteral("值班员")), 0);
            EXPECT_GE(ComboIndexOf(accountRole, QStringLiteral("值班员")), 0);
            EXPECT_EQ(held(dutyId, 1), pcRights);
        }();
        done = true;
        click("IDC_BTN_CLOSE");
    });
    MenuCommandToMain("ID_CHILDRENUSER_ADD");
    ASSERT_TRUE(uitest::PumpUntil([&] { return done && uitest::ShownWindow<CChildAccountMgrWnd>() == nullptr; }, 60000));
}

// Last: the client logs in as the sub-account made above.
TEST_F(AccountsEndToEnd, SubAccountLogsInOnlyInItsPeriodsAndSeesOnlyWhatItWasGranted)
{
    ChildAccount patrol;
    ASSERT_TRUE(FindSub(patrol)) << "needs the sub-account of the previous test";
    uitest::MsgTipRecorder boxes;
    auto logIn = [&] {
        RememberedAccounts(CLoginFrameWnd::AccountFilePath()).SetUserSwitched(true);  // no automatic log-in
        CLoginFrameWnd login;
        login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
        login.FindControl(QStringLiteral("EditAccount"))->SetText(QString::fromUtf8(kSubMobile));
        login.FindControl(QStringLiteral("EditPassword"))->SetText(QString::fromUtf8(kSubPassword));
        return uitest::RunModal(login, [&] {
            uitest::Click(login.FindControl(QStringLiteral("ButtonLogin")));
            if (!boxes.texts.isEmpty())
                login.Close(CLoginFrameWnd::kClosed);
        });
    };
    EXPECT_EQ(logIn(), CLoginFrameWnd::kClosed);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("观看的时段"))) << boxes.texts[0].toStdString();

    patrol.watchTime = "00:00:00-23:59:59";
    ASSERT_EQ(ChildAccountMgr::Instance()->ModifyChildAccount(patrol), 0) << ChildAccountMgr::Instance()->ErrorText();
    boxes.texts.clear();
    ASSERT_EQ(logIn(), CLoginFrameWnd::kLoggedIn) << boxes.texts.join('|').toStdString();
    UserSession* session = UserSession::Instance();
    EXPECT_TRUE(session->IsSonAccount());
    EXPECT_TRUE(session->HasRight("2016031502"));
    EXPECT_FALSE(session->HasRight("2016031505"));
    // Its maximum of one client at once is reached.
    EXPECT_EQ(logIn(), CLoginFrameWnd::kClosed);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("上限"))) << boxes.texts[0].toStdString();

    // The tree fetched again shows exactly the granted node with its cameras.
    CamListUI* tree = Main()->DeviceList();
    MenuCommandToMain("ID_FLASH");
    EXPECT_TRUE(uitest::PumpUntil([&] { return RowOf(tree, "kv100101", false) >= 0 && RowOf(tree, "kv100106", false) < 0; }, 5000));
    QStringList rows;
    for (int i = 0; i < tree->GetCount(); ++i)
        if (tree->NodeAt(i) != Main()->DeviceRoot())
            rows << QString::fromStdString(tree->NodeAt(i)->id);
    EXPECT_EQ(rows, (QStringList{"2002", "kv100101", "kv100102"}));

    // A cell's toolbar made for this account lacks every function its role does not hold.
    CCPlayToolBarWnd toolbar(Main()->VideoWall()->Panel(63)->Inner(), 63);
    for (const char* button : {"btn_playback", "btn_bitrateswitch", "btn_snapshot", "btn_record"}) {
        CControlUI* control = toolbar.FindControl(QString::fromUtf8(button));
        ASSERT_NE(control, nullptr) << button;
        EXPECT_FALSE(control->IsVisible()) << button;
    }
}

}  // namespace
