// The main window's menus and the windows they open, through the whole client against the demo
// stack (cloudsim, camsim, prosody): each menu's items for a main account, a sub-account and a
// merged node; adding, renaming, moving, merging, splitting and deleting nodes; binding, renaming
// and unbinding cameras (a camera bound twice from the node of its row); rebooting a camera; stopping
// the wall and a view window's wall; the recently-watched list's delete;
// the settings window's folders used by the next captures. What the client shows is checked against
// the tree cloudsim holds. The tests run in order on one client.
#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "app/SavedViews.h"
#include "app/UserSession.h"
#include "device/StreamRequestMgr.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceNode.h"
#include "duiWrap/MenuOpener.h"
#include "glooxWrap/CIMClient.h"
#include "service/DeviceMgr.h"
#include "ui/CListUI.h"
#include "ui/CMenuElementUI.h"
#include "ui/CMenuWnd.h"
#include "ui/CTreeNodeUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CSettingWnd.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"
#include "video/ViewHistory.h"
#include "video/ViewWindow.h"
#include "video/WallViews.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <json/json.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QTreeWidget>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
using namespace e2e;

class MenusEndToEnd : public ClientEndToEnd {
public:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        StartClient();
    }

protected:
    // A screenshot of the whole screen (menus are windows of their own) or of one window.
    static void Shot(const char* name) { uitest::SaveScreen(QString::fromStdString(ScreenshotDir() + "/" + name)); }
    static void Shot(CWindowWnd& window, const char* name)
    {
        EXPECT_TRUE(uitest::SaveScreenshot(window, QString::fromStdString(ScreenshotDir() + "/" + name)));
    }

    // The device tree's first row that matches, made visible (ancestors expanded) once no camera
    // coming online rebuilds the tree any more; -1 when none matches.
    static int ShowRow(const std::function<bool(const DeviceNode*)>& match)
    {
        const DeviceNode* root = Main()->DeviceRoot();
        for (int quiet = 0; quiet < 10;) {
            uitest::Pump(50);
            quiet = Main()->DeviceRoot() == root ? quiet + 1 : 0;
            root = Main()->DeviceRoot();
        }
        CamListUI* tree = Main()->DeviceList();
        for (int i = 0; i < tree->GetCount(); ++i) {
            DeviceNode* node = tree->NodeAt(i);
            if (!match(node))
                continue;
            std::vector<DeviceNode*> chain;
            for (DeviceNode* n = node->parent; n && !n->IsRoot(); n = n->parent)
                chain.insert(chain.begin(), n);
            for (DeviceNode* n : chain)
                tree->SetChildVisible(n, true);
            tree->EnsureVisible(i);
            uitest::Pump(50);
            return i;
        }
        return -1;
    }
    static int NodeRow(const std::string& label)
    {
        return ShowRow([&](const DeviceNode* n) { return n->isGroup && n->label == label; });
    }
    static int CameraRow(const std::string& deviceId)
    {
        return ShowRow([&](const DeviceNode* n) { return !n->isGroup && n->id == deviceId; });
    }

    // Right click on a row of a list: the menu that opened (null when none).
    static CMenuWnd* MenuOn(CListUI* list, int row)
    {
        if (row < 0)
            return nullptr;
        uitest::ClickRow(list, row, Qt::RightButton);
        uitest::Pump(50);
        return Main()->Menus()->OpenMenu();
    }
    static CMenuWnd* TreeMenu(int row) { return MenuOn(Main()->DeviceList(), row); }

    static QStringList ShownItems(CMenuWnd* menu)
    {
        QStringList names;
        CMenuUI* items = menu ? menu->GetMenuUI() : nullptr;
        for (int i = 0; items && i < items->GetCount(); ++i)
            if (items->GetItemAt(i)->IsVisible())
                names << items->GetItemAt(i)->GetName();
        return names;
    }
    static void CloseMenu(CMenuWnd* menu)
    {
        if (menu)
            menu->Close();
        uitest::Pump(50);
    }

    // Chooses a menu item; when it opens a window of `className`, `inside` runs in that window's
    // modal loop (it must close the window). True once the command is over.
    static bool Choose(CMenuWnd* menu, const char* item, const QString& className = {},
                       const std::function<void(WindowImplBase&)>& inside = {})
    {
        CMenuElementUI* element = menu ? menu->FindMenuItem(QString::fromUtf8(item)) : nullptr;
        if (element == nullptr) {
            ADD_FAILURE() << "no item " << item << " in the menu";
            CloseMenu(menu);
            return false;
        }
        return WhileOpen(className, inside, [&] { uitest::Click(element); });
    }

    // Runs `act`; the window of `className` it opens (modally) gets `inside` from its own loop.
    static bool WhileOpen(const QString& className, const std::function<void(WindowImplBase&)>& inside,
                          const std::function<void()>& act)
    {
        bool done = className.isEmpty();
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (WindowImplBase* window = Shown(className)) {
                poll.stop();
                inside(*window);
                done = true;
            }
        });
        if (!done)
            poll.start();
        act();
        const bool finished = uitest::PumpUntil([&] { return done; }, 15000);
        uitest::Pump(100);  // the command's own steps after its window closed
        EXPECT_TRUE(finished) << className.toStdString() << " did not open";
        return finished;
    }

    static WindowImplBase* Shown(const QString& className)
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = dynamic_cast<WindowImplBase*>(CWindowWnd::FromWidget(widget));
                window && widget->isVisible() && window->GetWindowClassName() == className)
                return window;
        return nullptr;
    }

    static void Click(WindowImplBase& window, const char* name)
    {
        CControlUI* control = window.FindControl(QString::fromUtf8(name));
        ASSERT_NE(control, nullptr) << name;
        uitest::Click(control);
    }
    static void SetText(WindowImplBase& window, const char* name, const QString& text)
    {
        CControlUI* control = window.FindControl(QString::fromUtf8(name));
        ASSERT_NE(control, nullptr) << name;
        control->SetText(QString());
        // Chinese comes as an input method commits it; other text as typed keys.
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            uitest::Type(control, text);
            return;
        }
        control->GetWidget()->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(control->GetWidget(), &commit);
    }

    // The tree as cloudsim holds it for the signed-in account (cmd 11, read with the service's parser).
    static Json::Value CloudTree()
    {
        httplib::Client cloud("127.0.0.1", 8000);
        const std::string body = R"({"clientInfoId":")" + UserSession::Instance()->ClientInfoId() +
                                 R"(", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0"})";
        auto reply = cloud.Post("/vyr-api/ws/api/reqCmd", body, "application/json");
        Json::Value value;
        Json::Reader().parse(reply ? reply->body : std::string(), value);
        return value["result"];
    }
    // A node of cloudsim's tree by name (null value when absent); `parentName` gets its parent's name.
    static Json::Value CloudNode(const std::string& name, std::string* parentName = nullptr)
    {
        std::function<Json::Value(const Json::Value&, const std::string&)> find = [&](const Json::Value& nodes,
                                                                                      const std::string& parent) {
            for (const Json::Value& node : nodes) {
                if (node["nodeName"].asString() == name) {
                    if (parentName)
                        *parentName = parent;
                    return node;
                }
                if (Json::Value below = find(node["childNodes"], node["nodeName"].asString()); !below.isNull())
                    return below;
            }
            return Json::Value();
        };
        return find(CloudTree(), std::string());
    }
    static bool CloudHasCamera(const std::string& nodeName, const std::string& deviceId, std::string* alias = nullptr)
    {
        const Json::Value node = CloudNode(nodeName);
        for (const Json::Value& camera : node["childDevices"])
            if (camera["deviceId"].asString() == deviceId) {
                if (alias)
                    *alias = camera["alias"].asString();
                return true;
            }
        return false;
    }
    // The label of the parent of a node (by label) or camera (by id) in the client's tree ("" when absent).
    static std::string ShownParentOf(const std::string& key, bool isGroup)
    {
        CamListUI* tree = Main()->DeviceList();
        for (int i = 0; i < tree->GetCount(); ++i)
            if (DeviceNode* node = tree->NodeAt(i); (isGroup ? node->label : node->id) == key && node->isGroup == isGroup)
                return node->parent ? node->parent->label : std::string();
        return std::string();
    }
    static bool Shows(const std::string& label, bool isGroup = true)
    {
        CamListUI* tree = Main()->DeviceList();
        for (int i = 0; i < tree->GetCount(); ++i)
            if (tree->NodeAt(i)->label == label && tree->NodeAt(i)->isGroup == isGroup)
                return true;
        return false;
    }
    static std::string NodeIdOf(const std::string& name) { return CloudNode(name)["nodeId"].asString(); }

    // An item of a node tree window by its id (the account row for "").
    static CTreeNodeUI* TreeItem(CTreeViewUI* tree, const std::string& id)
    {
        std::function<CTreeNodeUI*(CTreeNodeUI*)> find = [&](CTreeNodeUI* item) -> CTreeNodeUI* {
            if (item->GetUserData().toStdString() == id)
                return item;
            for (int i = 0; i < item->GetCountChild(); ++i)
                if (CTreeNodeUI* found = find(item->GetChildNode(i)))
                    return found;
            return nullptr;
        };
        return tree && tree->GetCount() ? find(static_cast<CTreeNodeUI*>(tree->GetItemAt(0))) : nullptr;
    }
    // A click on an item of a node tree window (which also selects it).
    static void ClickItem(CTreeViewUI* tree, const std::string& id)
    {
        CTreeNodeUI* item = TreeItem(tree, id);
        ASSERT_NE(item, nullptr) << "no tree item " << id;
        QTreeWidget* view = tree->Tree();
        view->scrollToItem(item->Item());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item->Item()).center());
        uitest::Pump(20);
    }
    static bool BoxesShown(const uitest::MsgTipRecorder& boxes, int n)
    {
        return uitest::PumpUntil([&] { return boxes.texts.size() >= n; }, 5000);
    }
};

TEST_F(MenusEndToEnd, EachMenuShowsItsItemsForTheMainAccount)
{
    CDuiFrameWnd* main = Main();
    uitest::Click(main->FindControl(QStringLiteral("menubtn")));
    uitest::Pump(50);
    CMenuWnd* menu = main->Menus()->OpenMenu();
    EXPECT_EQ(ShownItems(menu), (QStringList{"ID_FLASH", "ID_MERGE_NODE", "ID_CLOSEAALLVIEW", "ID_ALARMCONTROL",
                                             "ID_CHILDRENUSER_ADD", "ID_CHANGEPASSWORD", "ID_SET"}));
    Shot("menu-main.png");
    CloseMenu(menu);

    menu = TreeMenu(ShowRow([](const DeviceNode* n) { return n->level == 0; }));
    EXPECT_EQ(ShownItems(menu), (QStringList{"ID_ROOT_ADD_NODE", "ID_MERGE_NODE", "ID_FLASH", "ID_CLOSEAALLVIEW"}));
    EXPECT_EQ(main->Menus()->Selection().nodeId, "");
    Shot("menu-account.png");
    CloseMenu(menu);

    const QStringList nodeItems{"ID_NODE_ADD_NODE",  "ID_NODE_ALTER_USERINFO", "ID_NODE_DEL_NODE",
                                "ID_NODE_MOVE_NODE", "ID_NODE_ADD_DVR",        "ID_CLOSENOTEALLVIEW"};
    menu = TreeMenu(NodeRow("一楼大厅"));
    EXPECT_EQ(ShownItems(menu), nodeItems);
    EXPECT_EQ(main->Menus()->Selection().nodeName, "一楼大厅");
    EXPECT_EQ(main->Menus()->Selection().nodeId, NodeIdOf("一楼大厅"));
    Shot("menu-node.png");
    CloseMenu(menu);

    // "停车场" is a merged node: it can be split, and the item carries its id.
    menu = TreeMenu(NodeRow("停车场"));
    QStringList mergedItems = nodeItems;
    mergedItems.insert(5, "ID_SPLITNODE");
    EXPECT_EQ(ShownItems(menu), mergedItems);
    if (CMenuElementUI* split = menu ? menu->FindMenuItem(QStringLiteral("ID_SPLITNODE")) : nullptr) {
        EXPECT_EQ(split->GetUserData().toStdString(), NodeIdOf("停车场"));
    }
    Shot("menu-merged-node.png");
    CloseMenu(menu);

    menu = TreeMenu(CameraRow("kv100102"));
    EXPECT_EQ(ShownItems(menu), (QStringList{"ID_ALTER_CAMERA", "ID_DEL_CAMERA", "ID_REBOOT_CAMERA"}));
    EXPECT_EQ(main->CurDeviceId(), "kv100102");
    EXPECT_EQ(main->Menus()->Selection().nodeName, "一楼大厅");
    Shot("menu-camera.png");
    CloseMenu(menu);

    ViewHistory::Instance()->AddCamera("kv100102");
    main->PostMessage(WM_REFRESH_RECENT, 0, 0);
    uitest::Click(main->FindControl(QStringLiteral("Historyoption")));
    uitest::Pump(100);
    menu = MenuOn(main->RecentList(), 0);
    EXPECT_EQ(ShownItems(menu), (QStringList{"ID_CLOSEAALLVIEW", "logdevlist_delete"}));
    Shot("menu-recent.png");
    CloseMenu(menu);
    uitest::Click(main->FindControl(QStringLiteral("List")));
}

TEST_F(MenusEndToEnd, SubAccountGetsNoMainMenuAndNoRebootWithoutTheRight)
{
    UserSession* session = UserSession::Instance();
    ASSERT_EQ(session->Login("13900139000", "kelvue456"), 0) << session->ErrorText();
    ASSERT_EQ(session->LoadRights(), 0);
    ASSERT_FALSE(session->HasRight("20160315011"));
    uitest::Click(Main()->FindControl(QStringLiteral("menubtn")));
    uitest::Pump(50);
    EXPECT_EQ(Main()->Menus()->OpenMenu(), nullptr) << "a sub-account has no main menu";

    CMenuWnd* menu = TreeMenu(CameraRow("kv100106"));
    EXPECT_EQ(ShownItems(menu), (QStringList{"ID_ALTER_CAMERA", "ID_DEL_CAMERA"}));
    // The menu shrinks to the items it shows: no gap where the hidden item was.
    if (menu) {
        const QWidget* first = menu->FindMenuItem(QStringLiteral("ID_ALTER_CAMERA"))->GetWidget();
        const QWidget* second = menu->FindMenuItem(QStringLiteral("ID_DEL_CAMERA"))->GetWidget();
        EXPECT_EQ(second->y(), first->y() + first->height());
        EXPECT_LE(menu->GetWidget()->height(), second->y() + second->height() + 8);
    }
    Shot("menu-camera-subaccount.png");
    CloseMenu(menu);
    ASSERT_EQ(session->Login(kAccount, kPassword), 0) << session->ErrorText();
    EXPECT_FALSE(session->IsSonAccount());
}

TEST_F(MenusEndToEnd, TopNodeIsAddedRenamedWithChineseAndDeleted)
{
    uitest::MsgTipRecorder boxes;
    // From the account row: a top node (the request carries no parent).
    ASSERT_TRUE(Choose(TreeMenu(ShowRow([](const DeviceNode* n) { return n->level == 0; })), "ID_ROOT_ADD_NODE",
                       "AlterUserInfoWnd", [&](WindowImplBase& dialog) {
                           EXPECT_EQ(dialog.FindControl(QStringLiteral("caption"))->GetText(), QStringLiteral("新增节点"));
                           Click(dialog, "IDC_BTN_OK");
                           EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("账号不能为空")});
                           EXPECT_TRUE(dialog.GetWidget()->isVisible()) << "an empty name keeps the dialog open";
                           SetText(dialog, "edit1", QStringLiteral("测试节点"));
                           Shot(dialog, "dialog-add-node.png");
                           Click(dialog, "IDC_BTN_OK");
                       }));
    EXPECT_EQ(boxes.texts.value(1), QStringLiteral("增加成功!"));
    std::string parent = "?";
    const Json::Value added = CloudNode("测试节点", &parent);
    ASSERT_FALSE(added.isNull()) << "cloudsim has no new node";
    EXPECT_EQ(parent, "") << "a top node";
    EXPECT_EQ(added["parentId"].asString(), "");
    EXPECT_TRUE(uitest::PumpUntil([] { return ShownParentOf("测试节点", true) == kAccount; }, 5000));

    // Renamed with Chinese characters: cloudsim takes only valid UTF-8, and the list shows the name.
    boxes.texts.clear();
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("测试节点")), "ID_NODE_ALTER_USERINFO", "ChangeNodeWnd", [&](WindowImplBase& dialog) {
        EXPECT_EQ(dialog.FindControl(QStringLiteral("IDC_EDIT_NODENAME"))->GetText(), QStringLiteral("测试节点"));
        EXPECT_EQ(dialog.FindControl(QStringLiteral("IDC_EDIT_LONG"))->GetText(), QStringLiteral("0.00000000"));
        EXPECT_EQ(dialog.FindControl(QStringLiteral("IDC_EDIT_LAT"))->GetText(), QStringLiteral("0.00000000"));
        SetText(dialog, "IDC_EDIT_NODENAME", QString());
        Click(dialog, "IDC_BTN_OK");
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("新名字不能为空")});
        SetText(dialog, "IDC_EDIT_NODENAME", QStringLiteral("东区仓库·二期"));
        SetText(dialog, "IDC_EDIT_LONG", QStringLiteral("121.47"));
        Shot(dialog, "dialog-change-node.png");
        Click(dialog, "IDC_BTN_OK");
    }));
    EXPECT_EQ(boxes.texts.value(1), QStringLiteral("修改成功!"));
    EXPECT_EQ(CloudNode("东区仓库·二期")["nodeId"].asString(), added["nodeId"].asString());
    EXPECT_TRUE(uitest::PumpUntil([] { return Shows("东区仓库·二期"); }, 5000));
    EXPECT_FALSE(Shows("测试节点"));

    // A node that is not empty is refused by the service, with its reason; an empty one goes.
    boxes.texts.clear();
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("一楼大厅")), "ID_NODE_DEL_NODE"));
    ASSERT_TRUE(BoxesShown(boxes, 1));
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("请先移走或删除"))) << boxes.texts[0].toStdString();
    EXPECT_FALSE(CloudNode("一楼大厅").isNull());
    boxes.texts.clear();
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("东区仓库·二期")), "ID_NODE_DEL_NODE"));
    BoxesShown(boxes, 1);
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("删除结点成功！")});
    EXPECT_TRUE(CloudNode("东区仓库·二期").isNull());
    EXPECT_TRUE(uitest::PumpUntil([] { return !Shows("东区仓库·二期"); }, 5000));
}

TEST_F(MenusEndToEnd, CameraIsBoundRenamedAndUnbound)
{
    uitest::MsgTipRecorder boxes;
    // The LAN search window shows and closes; an empty id still goes to the service, which refuses it.
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("一楼大厅")), "ID_NODE_ADD_DVR", "RegistDeviceWnd", [&](WindowImplBase& dialog) {
        Shot(dialog, "dialog-register-device.png");
        WhileOpen("ScanLanDevWnd", [](WindowImplBase& scan) {
            EXPECT_EQ(scan.FindControl(QStringLiteral("Search_lable"))->GetText(), QString());
            Shot(scan, "dialog-lan-search.png");
            Click(scan, "IDC_BTNDOWN_OK");
        }, [&] { Click(dialog, "IDC_BTNDOWN_GET_LAN"); });
        Click(dialog, "IDC_BTNDOWN_OK");
    }));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("设备编号不存在"))) << boxes.texts[0].toStdString();

    boxes.texts.clear();
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("一楼大厅")), "ID_NODE_ADD_DVR", "RegistDeviceWnd", [&](WindowImplBase& dialog) {
        SetText(dialog, "devidedit", QStringLiteral("kv100201"));
        Click(dialog, "IDC_BTNDOWN_OK");
    }));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("设备添加成功")});
    EXPECT_TRUE(CloudHasCamera("一楼大厅", "kv100201"));
    EXPECT_TRUE(uitest::PumpUntil([] { return ShownParentOf("kv100201", false) == "一楼大厅"; }, 5000));

    // A name the service refuses (too long) leaves the dialog open with the reason; Enter sends.
    boxes.texts.clear();
    bool stayedOpen = false;
    ASSERT_TRUE(Choose(TreeMenu(CameraRow("kv100201")), "ID_ALTER_CAMERA", "CAlertDevnameWnd", [&](WindowImplBase& dialog) {
        Click(dialog, "IDC_BTN_OK");
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("请输入名称")});
        dialog.FindControl(QStringLiteral("edit1"))->SetText(QString(40, QChar(u'长')));
        Click(dialog, "IDC_BTN_OK");
        ASSERT_EQ(boxes.texts.size(), 2);
        EXPECT_FALSE(boxes.texts[1].isEmpty());
        stayedOpen = dialog.GetWidget() && dialog.GetWidget()->isVisible();
        SetText(dialog, "edit1", QStringLiteral("新装前台枪机"));
        Shot(dialog, "dialog-rename-camera.png");
        uitest::PressKey(dialog, Qt::Key_Return);
    }));
    EXPECT_TRUE(stayedOpen) << "a refused name keeps the dialog open";
    EXPECT_EQ(boxes.texts.value(2), QStringLiteral("修改成功"));
    std::string alias;
    EXPECT_TRUE(CloudHasCamera("一楼大厅", "kv100201", &alias));
    EXPECT_EQ(alias, "新装前台枪机");
    EXPECT_TRUE(uitest::PumpUntil([] { return Shows("新装前台枪机", false); }, 5000));

    boxes.texts.clear();
    ASSERT_TRUE(Choose(TreeMenu(CameraRow("kv100201")), "ID_DEL_CAMERA"));
    BoxesShown(boxes, 1);
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("删除成功！")});
    EXPECT_FALSE(CloudHasCamera("一楼大厅", "kv100201"));
    EXPECT_TRUE(uitest::PumpUntil([] { return CameraRow("kv100201") < 0; }, 5000));
}

TEST_F(MenusEndToEnd, MergeRefusesWrongChoicesAndKeepsTheOrderAndTheMergedNodeSplits)
{
    uitest::MsgTipRecorder boxes;
    const std::string serverRoom = NodeIdOf("机房"), office = NodeIdOf("二楼办公区"), store2 = NodeIdOf("二号仓库");
    uitest::Click(Main()->FindControl(QStringLiteral("menubtn")));
    uitest::Pump(50);
    ASSERT_TRUE(Choose(Main()->Menus()->OpenMenu(), "ID_MERGE_NODE", "CMergenodeWnd", [&](WindowImplBase& window) {
        auto* tree = uitest::Find<CTreeViewUI>(window, QStringLiteral("inputNodeList"));
        auto* chosen = uitest::Find<CListUI>(window, QStringLiteral("outputNodeList"));
        ASSERT_TRUE(tree && chosen);
        auto add = [&](const std::string& id) {
            boxes.texts.clear();
            ClickItem(tree, id);
            Click(window, "IDC_BTN_MOVE");
            return boxes.texts.value(0);
        };
        const QString wrong = QStringLiteral("请选择正确的节点");
        EXPECT_EQ(add(""), wrong) << "the account row";
        EXPECT_EQ(add("kv100105"), wrong) << "a camera";
        EXPECT_EQ(add(serverRoom), QString());
        EXPECT_EQ(add(serverRoom), QStringLiteral("不能添加重复节点"));
        EXPECT_EQ(add(office), QStringLiteral("不能添加父子节点")) << "the parent of a chosen node";
        EXPECT_EQ(chosen->GetCount(), 1);
        boxes.texts.clear();
        Click(window, "IDC_BTN_OK");
        EXPECT_EQ(boxes.texts.value(0), QStringLiteral("请输入正确的节点名"));
        SetText(window, "IDC_EDIT_NEWNODE", QStringLiteral("机房与仓库"));
        boxes.texts.clear();
        Click(window, "IDC_BTN_OK");
        EXPECT_EQ(boxes.texts.value(0), QStringLiteral("至少要选择二个节点"));
        EXPECT_TRUE(CloudNode("机房与仓库").isNull()) << "nothing was sent";
        // Chosen in this order: the merged node goes where the first one was.
        EXPECT_EQ(add(store2), QString());
        ASSERT_EQ(chosen->GetCount(), 2);
        EXPECT_EQ(chosen->GetItemAt(0)->GetUserData().toStdString(), serverRoom);
        EXPECT_EQ(chosen->GetItemAt(1)->GetUserData().toStdString(), store2);
        Shot(window, "dialog-merge.png");
        boxes.texts.clear();
        Click(window, "IDC_BTN_OK");
        EXPECT_EQ(boxes.texts.value(0), QStringLiteral("合并成功！"));
        EXPECT_TRUE(window.GetWidget()->isVisible()) << "the window stays open after a merge";
        Click(window, "IDC_BTN_CANCLE");
    }));
    std::string parent;
    const Json::Value merged = CloudNode("机房与仓库", &parent);
    ASSERT_FALSE(merged.isNull());
    EXPECT_EQ(parent, "二楼办公区") << "the parent of the first chosen node";
    EXPECT_EQ(merged["isMerge"].asInt(), 1);
    EXPECT_TRUE(uitest::PumpUntil([] { return ShownParentOf("机房与仓库", true) == "二楼办公区"; }, 5000));
    EXPECT_EQ(ShownParentOf("二号仓库", true), "机房与仓库");

    // The merged node's menu splits it.
    boxes.texts.clear();
    CMenuWnd* menu = TreeMenu(NodeRow("机房与仓库"));
    ASSERT_TRUE(ShownItems(menu).contains("ID_SPLITNODE"));
    ASSERT_TRUE(Choose(menu, "ID_SPLITNODE"));
    BoxesShown(boxes, 1);
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("拆分成功")});
    EXPECT_TRUE(CloudNode("机房与仓库").isNull());
    EXPECT_TRUE(uitest::PumpUntil([] { return !Shows("机房与仓库"); }, 5000));
    EXPECT_EQ(ShownParentOf("机房", true), "二楼办公区");
}

TEST_F(MenusEndToEnd, MoveRefusesCamerasItselfAndNodesWithCamerasAndMovesUnderAnEmptyNode)
{
    uitest::MsgTipRecorder boxes;
    ASSERT_EQ(DeviceMgr::Instance()->AddUserNode("空区域", ""), 0);  // a target without cameras
    ASSERT_TRUE(Choose(TreeMenu(ShowRow([](const DeviceNode* n) { return n->level == 0; })), "ID_FLASH"));
    const std::string serverRoom = NodeIdOf("机房"), empty = NodeIdOf("空区域");
    ASSERT_FALSE(empty.empty());
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("机房")), "ID_NODE_MOVE_NODE", "MoveNodeWnd", [&](WindowImplBase& window) {
        auto* tree = uitest::Find<CTreeViewUI>(window, QStringLiteral("movenode_tree"));
        ASSERT_NE(tree, nullptr);
        auto field = [&](const char* name) { return window.FindControl(QString::fromUtf8(name))->GetText().toStdString(); };
        EXPECT_EQ(field("IDC_EDIT_OUTNODENAME"), "机房");
        EXPECT_EQ(field("IDC_EDIT_OUTNODEID"), serverRoom);
        auto pick = [&](const std::string& id) {
            boxes.texts.clear();
            ClickItem(tree, id);
            uitest::Pump(20);
            return boxes.texts.value(0);
        };
        EXPECT_EQ(pick("kv100105"), QStringLiteral("不能选择摄像头"));
        EXPECT_EQ(pick(serverRoom), QStringLiteral("不能移入本结点"));
        EXPECT_EQ(pick(NodeIdOf("总部大楼")), QStringLiteral("请选择没有摄像机的结点!")) << "cameras below it";
        EXPECT_EQ(pick(empty), QString());
        EXPECT_EQ(field("IDC_EDIT_INNODEID"), empty);
        EXPECT_EQ(field("IDC_EDIT_INNODENAME"), "空区域");
        EXPECT_EQ(pick(""), QString());
        EXPECT_EQ(field("IDC_EDIT_INNODEID"), "") << "the account row empties the target";
        Click(window, "IDC_BTN_OK");
        EXPECT_EQ(boxes.texts.value(0), QStringLiteral("请选择要移动的结点"));
        pick(empty);
        Shot(window, "dialog-move.png");
        boxes.texts.clear();
        Click(window, "IDC_BTN_OK");
    }));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("移动成功")});
    std::string parent;
    EXPECT_FALSE(CloudNode("机房", &parent).isNull());
    EXPECT_EQ(parent, "空区域");
    EXPECT_TRUE(uitest::PumpUntil([] { return ShownParentOf("机房", true) == "空区域"; }, 5000));
}

TEST_F(MenusEndToEnd, RebootReachesTheCameraWhichGoesOfflineAndComesBack)
{
    ASSERT_TRUE(camsim_.Post("kv100108", "clear"));
    ASSERT_TRUE(Choose(TreeMenu(CameraRow("kv100108")), "ID_REBOOT_CAMERA"));
    EXPECT_EQ(CameraGot("kv100108", 1, 0, R"({"cmd":62)"),
              std::vector<std::string>{R"({"cmd":62, "channel_id" : 0, "status" : 1})"});
    EXPECT_TRUE(uitest::PumpUntil([] { return !CIMClient::Instance()->IsOnline("kv100108"); }, 10000)) << "offline";
    EXPECT_TRUE(uitest::PumpUntil([] { return CIMClient::Instance()->IsOnline("kv100108"); }, 20000)) << "back";
}

TEST_F(MenusEndToEnd, WallStopsANodesCamerasThenAll)
{
    ASSERT_TRUE(ActivateCamera("kv100101"));
    ASSERT_TRUE(ActivateCamera("kv100106"));
    ASSERT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100101") >= 0 && CellPlaying("kv100106") >= 0; }, 20000))
        << WallState();
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("一楼大厅")), "ID_CLOSENOTEALLVIEW"));
    EXPECT_LT(CellPlaying("kv100101"), 0) << WallState();
    EXPECT_GE(CellPlaying("kv100106"), 0) << "a camera of another node plays on";
    ASSERT_TRUE(Choose(TreeMenu(ShowRow([](const DeviceNode* n) { return n->level == 0; })), "ID_CLOSEAALLVIEW"));
    for (int i = 0; i < CvyrProDlg::kCellCount; ++i)
        EXPECT_FALSE(Main()->VideoWall()->Panel(i)->IsBusy()) << "cell " << i;
}

TEST_F(MenusEndToEnd, AViewWindowsCellsStopWithTheirNodeAndWithAll)
{
    // A view in a window of its own with a camera of "一楼大厅" and one of "一号仓库".
    SavedViews file(SavedViews::PathFor(programDir_, kAccount));
    file.Put(SavedView{"两处", 4, {{0, "kv100101"}, {1, "kv100106"}}});
    ASSERT_TRUE(file.Save());
    WallViews* views = Main()->SavedWallViews();
    ASSERT_NE(views, nullptr);
    views->Load();
    ViewWindow* window = views->OpenInWindow("两处");
    ASSERT_NE(window, nullptr);
    CvyrProDlg* wall = window->Wall();
    ASSERT_TRUE(uitest::PumpUntil(
        [&] { return CellPlaying("kv100101", -1, wall) == 0 && CellPlaying("kv100106", -1, wall) == 1; }, 20000));

    ASSERT_TRUE(Choose(TreeMenu(NodeRow("一楼大厅")), "ID_CLOSENOTEALLVIEW"));
    EXPECT_FALSE(wall->Panel(0)->IsBusy()) << "the node's camera stops in the view window too";
    EXPECT_TRUE(wall->Panel(1)->IsBusy()) << "a camera of another node plays on";
    const int painted = wall->Panel(1)->Inner()->Surface()->FramesPainted();
    EXPECT_TRUE(uitest::PumpUntil([&] { return wall->Panel(1)->Inner()->Surface()->FramesPainted() > painted; }, 5000));

    ASSERT_TRUE(Choose(TreeMenu(ShowRow([](const DeviceNode* n) { return n->level == 0; })), "ID_CLOSEAALLVIEW"));
    for (CDlgPanel* panel : wall->BuiltPanels())
        EXPECT_FALSE(panel->IsBusy()) << "cell " << panel->CellIndex();
    EXPECT_TRUE(window->IsOpen()) << "the window stays, its cells stopped";
    uitest::Pump(300);
    EXPECT_TRUE(window->grab().save(QString::fromStdString(ScreenshotDir() + "/view-window-stopped.png")));
    window->close();
    uitest::Pump(100);
}

// Plays that wait for their camera's address when the operator stops them: a double-clicked camera
// on the main wall and the cells of a view restored in a window of its own. The address that comes
// after the stop starts none of those the stop covered; a waiting play of another node starts.
TEST_F(MenusEndToEnd, StopsCancelThePlaysWaitingForTheirCamerasAddress)
{
    const std::string hall = "kv100101", store = "kv100106";  // under "一楼大厅" and under "一号仓库"
    // The camera answers no request, and a reply without an address makes the client forget the one
    // it had: a play of the camera waits. Gives the address to announce later.
    auto holdBack = [](const std::string& id) {
        std::string url;
        EXPECT_TRUE(uitest::PumpUntil([&] { return StreamRequestMgr::Instance()->GetPlayUrl(id, url); }, 10000));
        EXPECT_TRUE(camsim_.Post(id, "mute"));
        EXPECT_TRUE(camsim_.Post(id, "say", R"({"cmd":40,"err_num":0,"play_url":""})"));
        std::string none;
        EXPECT_TRUE(uitest::PumpUntil([&] { return !StreamRequestMgr::Instance()->GetPlayUrl(id, none); }, 5000));
        return url;
    };
    auto announce = [](const std::string& id, const std::string& url) {
        EXPECT_TRUE(camsim_.Post(id, "say", R"({"cmd":40,"err_num":0,"play_url":")" + url + R"("})"));
        std::string got;
        EXPECT_TRUE(uitest::PumpUntil([&] { return StreamRequestMgr::Instance()->GetPlayUrl(id, got) && got == url; },
                                      5000));
    };
    auto busyCells = [](CvyrProDlg* wall, const std::string& id) {
        int busy = 0;
        for (CDlgPanel* panel : wall->BuiltPanels())
            busy += panel->IsBusy() && panel->DeviceId() == id;
        return busy;
    };
    CvyrProDlg* mainWall = Main()->VideoWall();
    mainWall->StopAll();
    SavedViews file(SavedViews::PathFor(programDir_, kAccount));
    file.Put(SavedView{"等待", 4, {{0, hall}, {1, store}}});
    ASSERT_TRUE(file.Save());
    WallViews* views = Main()->SavedWallViews();
    ASSERT_NE(views, nullptr);
    views->Load();

    // Stop node.
    const std::string hallUrl = holdBack(hall), storeUrl = holdBack(store);
    ASSERT_FALSE(hallUrl.empty() || storeUrl.empty());
    ViewWindow* window = views->OpenInWindow("等待");
    ASSERT_NE(window, nullptr);
    CvyrProDlg* viewWall = window->Wall();
    ASSERT_EQ(viewWall->WaitingCells().size(), 2u);
    ASSERT_TRUE(ActivateCamera(hall));
    ASSERT_TRUE(ActivateCamera(store));
    ASSERT_TRUE(Choose(TreeMenu(NodeRow("一楼大厅")), "ID_CLOSENOTEALLVIEW"));
    EXPECT_EQ(viewWall->WaitingCells(), (std::map<int, std::string>{{1, store}}));
    announce(hall, hallUrl);
    announce(store, storeUrl);
    EXPECT_TRUE(uitest::PumpUntil([&] { return CellPlaying(store) >= 0 && CellPlaying(store, -1, viewWall) == 1; }, 20000))
        << "another node's camera starts on both walls\n" << WallState();
    uitest::Pump(500);
    EXPECT_EQ(busyCells(mainWall, hall), 0) << WallState();
    EXPECT_EQ(busyCells(viewWall, hall), 0);

    // Stop all.
    holdBack(hall);
    holdBack(store);
    window->close();
    uitest::Pump(100);
    ASSERT_EQ(views->OpenInWindow("等待"), window) << "the closed window is reused";
    ASSERT_EQ(viewWall->WaitingCells().size(), 2u);
    ASSERT_TRUE(ActivateCamera(store));
    ASSERT_TRUE(Choose(TreeMenu(ShowRow([](const DeviceNode* n) { return n->level == 0; })), "ID_CLOSEAALLVIEW"));
    EXPECT_TRUE(viewWall->WaitingCells().empty());
    announce(hall, hallUrl);
    announce(store, storeUrl);
    uitest::Pump(1500);
    for (CvyrProDlg* wall : {mainWall, viewWall})
        for (CDlgPanel* panel : wall->BuiltPanels())
            EXPECT_FALSE(panel->IsBusy()) << "cell " << panel->CellIndex() << " plays " << panel->DeviceId();

    window->close();
    EXPECT_TRUE(camsim_.Post(hall, "unmute"));
    EXPECT_TRUE(camsim_.Post(store, "unmute"));
    uitest::Pump(100);
}

TEST_F(MenusEndToEnd, RecentlyWatchedDeleteRemovesACameraAGroupOrAll)
{
    CDuiFrameWnd* main = Main();
    ViewHistory* history = ViewHistory::Instance();
    history->ClearAll();
    history->AddCamera("kv100101");
    history->AddCamera("kv100102");
    main->PostMessage(WM_REFRESH_RECENT, 0, 0);
    uitest::Click(main->FindControl(QStringLiteral("Historyoption")));
    CamListUI* recent = main->RecentList();
    ASSERT_TRUE(uitest::PumpUntil([&] { return recent->GetCount() == 4; }, 3000));  // top, day, two cameras
    const std::string day = recent->NodeAt(1)->label;
    recent->SetChildVisible(recent->NodeAt(1), true);
    uitest::Pump(50);
    auto rows = [&] {
        std::vector<std::string> labels;
        for (int i = 0; i < recent->GetCount(); ++i)
            labels.push_back(recent->NodeAt(i)->label);
        return labels;
    };
    const int camera = RowOf(recent, "kv100101", false);
    ASSERT_TRUE(Choose(MenuOn(recent, camera), "logdevlist_delete"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return rows() == std::vector<std::string>{"最近观看", day, "kv100102"}; }, 3000));
    std::map<std::string, std::vector<std::string>> groups;
    history->LoadGroups(groups);
    EXPECT_EQ(groups[day], std::vector<std::string>{"kv100102"});

    ASSERT_TRUE(Choose(MenuOn(recent, 1), "logdevlist_delete"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return rows() == std::vector<std::string>{"最近观看"}; }, 3000));

    history->AddCamera("kv100103");
    main->PostMessage(WM_REFRESH_RECENT, 0, 0);
    ASSERT_TRUE(uitest::PumpUntil([&] { return recent->GetCount() == 3; }, 3000));
    ASSERT_TRUE(Choose(MenuOn(recent, 0), "logdevlist_delete"));
    groups.clear();
    history->LoadGroups(groups);
    EXPECT_TRUE(groups.empty());
    EXPECT_TRUE(uitest::PumpUntil([&] { return rows() == std::vector<std::string>{"最近观看"}; }, 3000));
    uitest::Click(main->FindControl(QStringLiteral("List")));
}

TEST_F(MenusEndToEnd, SettingsChangeTheFoldersOfTheNextRecordingAndSnapshot)
{
    const std::string videos = programDir_ + "chosen-videos", pictures = programDir_ + "chosen-pictures";
    fs::create_directories(videos);
    fs::create_directories(pictures);
    std::string next = videos;
    CSettingWnd::SetFolderChooser([&](QWidget*, const QString&) { return QString::fromStdString(next); });
    uitest::Click(Main()->FindControl(QStringLiteral("menubtn")));
    uitest::Pump(50);
    ASSERT_TRUE(Choose(Main()->Menus()->OpenMenu(), "ID_SET", "CSettingWnd", [&](WindowImplBase& window) {
        EXPECT_FALSE(window.FindControl(QStringLiteral("ok"))->IsEnabled());
        Click(window, "btn_video");
        next = pictures;
        Click(window, "btn_pic");
        EXPECT_EQ(window.FindControl(QStringLiteral("et_videopath"))->GetText().toStdString(), videos);
        EXPECT_TRUE(window.FindControl(QStringLiteral("ok"))->IsEnabled());
        Shot(window, "dialog-settings.png");
        Click(window, "ok");
    }));
    CSettingWnd::SetFolderChooser({});
    EXPECT_EQ(LocalConfig::Instance()->GetVideoPath(), videos + "/");

    ASSERT_TRUE(ActivateCamera("kv100102"));
    ASSERT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100102") >= 0; }, 20000)) << WallState();
    CPlayInnerWnd* inner = Main()->VideoWall()->Panel(CellPlaying("kv100102"))->Inner();
    // The cell may have drawn another camera before: wait until this one plays.
    ASSERT_TRUE(uitest::PumpUntil([&] { return PlayerManager::Instance()->GetState(inner->PlayerId()) == 2; }, 10000));
    uitest::MsgTipRecorder boxes;
    inner->PostMessage(WM_CELL_RECORD_START);
    ASSERT_TRUE(uitest::PumpUntil([&] { return PlayerManager::Instance()->GetState(inner->PlayerId()) == 5; }, 5000))
        << boxes.texts.join('|').toStdString();
    uitest::Pump(1500);
    inner->PostMessage(WM_CELL_RECORD_STOP);
    inner->PostMessage(WM_CELL_SNAPSHOT);
    const fs::path record = inner->RecordPath();
    EXPECT_EQ(record.parent_path(), fs::path(videos));
    EXPECT_TRUE(uitest::PumpUntil([&] { return fs::exists(record) && fs::file_size(record) > 0; }, 5000)) << record;
    EXPECT_TRUE(uitest::PumpUntil([&] { return fs::exists(inner->SnapshotPath()) && fs::file_size(inner->SnapshotPath()) > 0; }, 5000));
    EXPECT_EQ(fs::path(inner->SnapshotPath()).parent_path(), fs::path(pictures));
    // The capture notices go; the wall stops.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* notice = dynamic_cast<WindowImplBase*>(CWindowWnd::FromWidget(widget));
            notice && (notice->GetWindowClassName() == "CRecrodTipWnd" || notice->GetWindowClassName() == "CSnapnotTipWnd"))
            notice->Close(1);
    Main()->VideoWall()->StopAll();
    uitest::Pump(200);
}

// Last: the demo tree loses a binding.
TEST_F(MenusEndToEnd, ACameraBoundUnderTwoNodesIsUnboundFromTheNodeOfItsRow)
{
    // "kv100112" is bound under "仓储中心", which the tree lists first, and under "地面停车场".
    ASSERT_TRUE(CloudHasCamera("仓储中心", "kv100112"));
    ASSERT_TRUE(CloudHasCamera("地面停车场", "kv100112"));
    auto rowUnder = [](const std::string& nodeLabel) {
        return [nodeLabel](const DeviceNode* n) {
            return !n->isGroup && n->id == "kv100112" && n->parent && n->parent->label == nodeLabel;
        };
    };
    uitest::MsgTipRecorder boxes;
    ASSERT_TRUE(Choose(TreeMenu(ShowRow(rowUnder("地面停车场"))), "ID_DEL_CAMERA"));
    BoxesShown(boxes, 1);
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("删除成功！")});
    EXPECT_FALSE(CloudHasCamera("地面停车场", "kv100112"));
    EXPECT_TRUE(CloudHasCamera("仓储中心", "kv100112")) << "the binding of the other node stays";
    EXPECT_TRUE(uitest::PumpUntil([&] { return ShowRow(rowUnder("地面停车场")) < 0; }, 5000));
    EXPECT_GE(ShowRow(rowUnder("仓储中心")), 0);
}

}  // namespace
