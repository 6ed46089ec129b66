// The client's request layer (UserSession, DeviceMgr, AlarmMgr, ChildAccountMgr, RoleMgr) against the
// cloudsim of the peers fixture on the service port: both sides are the real code. Every test starts
// from the demo data, and after each change the next query must show it.
#include "service/PrivateWorkDir.h"
#include "support/Today.h"

#include "app/UserSession.h"
#include "service/AlarmMgr.h"
#include "service/ChildAccountMgr.h"
#include "service/DeviceMgr.h"
#include "service/RoleMgr.h"
#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fstream>
#include <functional>
#include <map>
#include <set>

namespace {

constexpr char kMain[] = "13800138000", kMainPassword[] = "kelvue123";
constexpr char kSub[] = "13900139000", kSubPassword[] = "kelvue456";

// Posts to cloudsim's control interface; true on HTTP 200.
bool Control(const std::string& path, const std::string& body) {
    httplib::Client client("127.0.0.1", 8000);
    client.set_read_timeout(20);
    auto result = client.Post(path.c_str(), body, "application/json");
    return result && result->status == 200;
}

class PictureWindow : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM) override {
        results[static_cast<int>(wParam)] = message;
        return 0;
    }
    std::map<int, UINT> results;
};

bool PumpUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class ClientAgainstCloudsim : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "cloudsim_client_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
    }

    // The suites that share the peers after this one find the demo data again.
    static void TearDownTestSuite() { Control("/sim/reset", ""); }

    void SetUp() override {
        ASSERT_TRUE(Control("/sim/reset", "")) << "cloudsim of the peers fixture is not answering on port 8000";
        LogIn(kMain, kMainPassword);
    }

    void LogIn(const char* mobile, const char* password) {
        ASSERT_EQ(UserSession::Instance()->Login(mobile, password), 0) << UserSession::Instance()->ErrorText();
    }

    // Queries the tree again and returns the node (empty record when absent).
    NodeRecord Node(const std::string& id) {
        EXPECT_EQ(devices->FunQueryDeviceList(), 1) << devices->ErrorText();
        NodeRecord node;
        devices->FindNode(id, node);
        return node;
    }
    std::vector<std::string> ChildIds(const NodeRecord& node) {
        std::vector<std::string> ids;
        for (const NodeRecord& child : node.childNodes) ids.push_back(child.nodeId);
        return ids;
    }
    std::string ChildNamed(const std::string& parent, const std::string& name) {
        for (const NodeRecord& child : Node(parent).childNodes)
            if (child.nodeName == name) return child.nodeId;
        return {};
    }

    DeviceMgr* devices = DeviceMgr::Instance();
};

TEST_F(ClientAgainstCloudsim, MainAndSubAccountLogIn) {
    UserSession* session = UserSession::Instance();
    EXPECT_EQ(session->ClientInfoId(), "10001");
    EXPECT_FALSE(session->IsSonAccount());
    EXPECT_EQ(session->ImServerIp(), "127.0.0.1");
    EXPECT_EQ(session->ImServerPort(), 5222);
    EXPECT_FALSE(session->ImPassword().empty());

    EXPECT_EQ(session->Login(kMain, "wrong-password"), -1);
    EXPECT_EQ(session->ErrorText(), "密码错误，请重新输入");
    EXPECT_EQ(session->ClientInfoId(), "10001");  // a refused log-in keeps the session

    LogIn(kSub, kSubPassword);
    EXPECT_TRUE(session->IsSonAccount());
    EXPECT_EQ(session->ClientRoleId(), "302");
    ASSERT_EQ(session->LoadRights(), 0) << RoleMgr::Instance()->ErrorText();
    EXPECT_TRUE(session->HasRight("2016031502"));
    EXPECT_TRUE(session->HasRight("2016031505"));
    EXPECT_FALSE(session->HasRight("2016031506"));
    EXPECT_FALSE(session->HasRight("20160315011"));

    ASSERT_EQ(devices->FunQueryDeviceList(), 1);
    std::vector<NodeRecord> roots;
    devices->GetTree(roots);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0].nodeName, "一号仓库");
    EXPECT_EQ(roots[1].isMerge, 1);
    DeviceRecord device;
    EXPECT_FALSE(devices->FindDevice("kv100101", device));
    EXPECT_TRUE(devices->FindDevice("kv100112", device));
}

TEST_F(ClientAgainstCloudsim, PasswordChangeTakesEffectAtTheNextLogIn) {
    UserSession* session = UserSession::Instance();
    ASSERT_EQ(session->ChangePassword("changed99"), 0) << session->ErrorText();
    EXPECT_EQ(session->Login(kMain, kMainPassword), -1);
    LogIn(kMain, "changed99");
    EXPECT_EQ(session->ChangePassword("x"), -1);
    EXPECT_FALSE(session->ErrorText().empty());
}

TEST_F(ClientAgainstCloudsim, TreeQueryAndLookups) {
    ASSERT_EQ(devices->FunQueryDeviceList(), 1);
    std::vector<NodeRecord> roots;
    devices->GetTree(roots);
    ASSERT_EQ(roots.size(), 3u);
    DeviceRecord device;
    ASSERT_TRUE(devices->FindDevice("kv100112", device));  // bound twice: the first node in search order
    EXPECT_EQ(device.nodeId, "2005");
    EXPECT_EQ(device.nodeName, "仓储中心");
    EXPECT_TRUE(devices->IsMergedNode("2008"));
    EXPECT_TRUE(devices->NodeHasNode("2001", "2004"));
    EXPECT_TRUE(devices->NodeHasDevice("2008", "kv100112"));
    EXPECT_FALSE(devices->NodeHasAnyDevice("2011"));  // another account's node
}

TEST_F(ClientAgainstCloudsim, NodeChangesShowInTheNextQuery) {
    ASSERT_EQ(devices->AddUserNode("三楼", "2001"), 0) << devices->ErrorText();
    std::string id = ChildNamed("2001", "三楼");
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(devices->UpdateUserNode(id, "三楼西区"), 0) << devices->ErrorText();
    EXPECT_EQ(Node(id).nodeName, "三楼西区");
    ASSERT_EQ(devices->MoveNode(id, "2005"), 0) << devices->ErrorText();
    EXPECT_EQ(Node(id).parentId, "2005");
    EXPECT_EQ(devices->MoveNode("2001", "2004"), -1);  // below itself
    EXPECT_FALSE(devices->ErrorText().empty());

    EXPECT_EQ(devices->DeleteUserNode("2002"), -1);  // still holds cameras
    EXPECT_NE(devices->ErrorText().find("请先"), std::string::npos) << devices->ErrorText();
    ASSERT_EQ(devices->DeleteUserNode(id), 0) << devices->ErrorText();
    EXPECT_TRUE(Node(id).nodeId.empty());

    ASSERT_EQ(devices->MergeNodes(MergeNodesRequest{{"2006", "2007"}, "仓库区"}), 0) << devices->ErrorText();
    std::string merged = ChildNamed("2005", "仓库区");
    ASSERT_FALSE(merged.empty());
    EXPECT_TRUE(devices->IsMergedNode(merged));
    EXPECT_EQ(ChildIds(Node(merged)), (std::vector<std::string>{"2006", "2007"}));
    ASSERT_EQ(devices->SplitNode(merged), 0) << devices->ErrorText();
    EXPECT_TRUE(Node(merged).nodeId.empty());
    EXPECT_EQ(Node("2006").parentId, "2005");
    EXPECT_EQ(devices->SplitNode("2006"), -1);
}

TEST_F(ClientAgainstCloudsim, CameraBindRenameUnbind) {
    std::vector<std::string> subscribed;
    devices->SetCameraSubscriber([&](const std::string& deviceId) { subscribed.push_back(deviceId); });
    ASSERT_EQ(devices->BindIpcToNodes("2002", "kv100201"), 0) << devices->ErrorText();
    devices->SetCameraSubscriber(nullptr);
    EXPECT_EQ(subscribed, (std::vector<std::string>{"kv100201"}));
    DeviceRecord device;
    Node("2002");
    ASSERT_TRUE(devices->FindDevice("kv100201", device));
    EXPECT_EQ(device.alias, "test");
    EXPECT_EQ(device.nodeId, "2002");
    EXPECT_EQ(devices->BindIpcToNodes("2002", "kv100301"), -1);  // another account's camera
    EXPECT_FALSE(devices->ErrorText().empty());

    ASSERT_EQ(devices->UpdateDeviceName("kv100201", "侧门"), 0) << devices->ErrorText();
    Node("2002");
    ASSERT_TRUE(devices->FindDevice("kv100201", device));
    EXPECT_EQ(device.alias, "侧门");

    ASSERT_EQ(devices->DeleteNodeIpc("kv100201"), 0) << devices->ErrorText();
    Node("2002");
    EXPECT_FALSE(devices->FindDevice("kv100201", device));
    EXPECT_EQ(devices->DeleteNodeIpc("kv100201"), -1);
}

TEST_F(ClientAgainstCloudsim, AlarmPagesAndPictures) {
    AlarmMgr* alarms = AlarmMgr::Instance();
    ASSERT_EQ(alarms->ReqAlarmList(Today(), 0, 0, 0), 0) << alarms->GetErrorText();
    EXPECT_EQ(alarms->GetTotalPage(), 2);
    std::vector<AlarmRecord> first;
    alarms->GetAlarms(first);
    ASSERT_EQ(first.size(), 20u);
    ASSERT_EQ(alarms->ReqAlarmList(Today(), 0, 1, 0), 0);
    std::vector<AlarmRecord> second;
    alarms->GetAlarms(second);
    EXPECT_EQ(second.size(), 6u);

    PictureWindow window;
    alarms->RequestPicture(second[0].key, window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return window.results.count(second[0].key) > 0; }));
    EXPECT_EQ(window.results[second[0].key], WM_ALARM_PICTURE_READY);
    std::ifstream picture(second[0].localPath, std::ios::binary);
    char magic[2] = {};
    picture.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "\xFF\xD8");

    ASSERT_TRUE(Control("/sim/alarm", R"({"deviceId":"kv100108","warnType":2})"));
    ASSERT_EQ(alarms->ReqAlarmList(Today(), 0, 0, 2), 0);
    std::vector<AlarmRecord> external;
    alarms->GetAlarms(external);
    ASSERT_FALSE(external.empty());
    EXPECT_EQ(external[0].deviceId, "kv100108");
    EXPECT_EQ(external[0].deviceAlias, "装卸平台");
    for (const AlarmRecord& alarm : external) EXPECT_EQ(alarm.warnType, 2);

    EXPECT_EQ(alarms->ReqAlarmList(Today(), 24, 0, 0), -1);
    EXPECT_FALSE(alarms->GetErrorText().empty());
}

TEST_F(ClientAgainstCloudsim, ReceiversAndArming) {
    AlarmMgr* alarms = AlarmMgr::Instance();
    ASSERT_EQ(alarms->ReqWarnSettings("kv100101"), 0) << alarms->GetErrorText();
    std::vector<WarnSetting> settings;
    alarms->GetWarnSettings("kv100101", settings);
    ASSERT_EQ(settings.size(), 3u);
    std::set<int> types;
    for (const WarnSetting& setting : settings) types.insert(setting.clientType);
    EXPECT_EQ(types, (std::set<int>{0, 1, 2}));

    WarnSetting off;
    off.warnSettingId = settings[0].warnSettingId;
    off.warnStatus = 0;
    ASSERT_EQ(alarms->ReqArming({"kv100101"}, {off}, 0), 0) << alarms->GetErrorText();
    Node("2002");
    DeviceRecord device;
    ASSERT_TRUE(devices->FindDevice("kv100101", device));
    EXPECT_EQ(device.warnStatus, 0);
    ASSERT_EQ(alarms->ReqWarnSettings("kv100101"), 0);
    alarms->GetWarnSettings("kv100101", settings);
    EXPECT_EQ(settings[0].warnStatus, 0);
    EXPECT_EQ(settings[1].warnStatus, 1);

    ASSERT_EQ(alarms->ReqArming({"kv100101", "kv100102"}, {}, 1), 0);
    Node("2002");
    ASSERT_TRUE(devices->FindDevice("kv100101", device));
    EXPECT_EQ(device.warnStatus, 1);
    EXPECT_EQ(alarms->ReqArming({"kv999999"}, {}, 1), -1);
    EXPECT_FALSE(alarms->GetErrorText().empty());
}

TEST_F(ClientAgainstCloudsim, SubAccountsListCreateModifyDelete) {
    ChildAccountMgr* accounts = ChildAccountMgr::Instance();
    ASSERT_EQ(accounts->ReqCCList(), 0) << accounts->ErrorText();
    ASSERT_EQ(accounts->GetChildAccounts().size(), 1u);
    ASSERT_EQ(accounts->ReqAllInfo(), 0) << accounts->ErrorText();
    ChildAccount duty;
    ASSERT_TRUE(accounts->FindChildAccount("10002", duty));
    EXPECT_EQ(duty.password, kSubPassword);
    EXPECT_EQ(duty.nodes.size(), 2u);

    ChildAccount patrol;
    patrol.mobile = "13600136000";
    patrol.name = "巡检员";
    patrol.password = "patrol88";
    patrol.clientRoleId = "302";
    patrol.maxLoginCount = 2;
    patrol.expireTime = "2099-1-5";
    patrol.watchTime = "00:00:00-11:59:59#12:00:00-23:59:59";  // any hour: it logs in below
    NodeRecord hall = Node("2002");
    hall.childNodes.clear();
    hall.childDevices.resize(1);  // the gate camera only
    patrol.nodes = {hall};
    ASSERT_EQ(accounts->CreateChildAccount(patrol), 0) << accounts->ErrorText();
    EXPECT_EQ(accounts->CreateChildAccount(patrol), -1);  // the mobile number is taken now
    EXPECT_FALSE(accounts->ErrorText().empty());

    ASSERT_EQ(accounts->ReqCCList(), 0);
    std::string id;
    for (const ChildAccount& account : accounts->GetChildAccounts())
        if (account.mobile == patrol.mobile) id = account.clientInfoId;
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(accounts->ReqOneAllInfo(id), 0) << accounts->ErrorText();
    ChildAccount read;
    ASSERT_TRUE(accounts->FindChildAccount(id, read));
    EXPECT_EQ(read.maxLoginCount, 2);
    EXPECT_EQ(read.watchTime, patrol.watchTime);
    EXPECT_EQ(read.expireTime, "2099-1-5");
    ASSERT_EQ(read.nodes.size(), 1u);
    ASSERT_EQ(read.nodes[0].childDevices.size(), 1u);
    EXPECT_EQ(read.nodes[0].childDevices[0].deviceId, "kv100101");

    read.name = "夜班巡检";
    ASSERT_EQ(accounts->ModifyChildAccount(read), 0) << accounts->ErrorText();
    ASSERT_EQ(accounts->ReqCCList(), 0);
    ASSERT_TRUE(accounts->FindChildAccount(id, read));
    EXPECT_EQ(read.name, "夜班巡检");

    LogIn("13600136000", "patrol88");
    ASSERT_EQ(devices->FunQueryDeviceList(), 1);
    std::vector<NodeRecord> roots;
    devices->GetTree(roots);
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_EQ(roots[0].nodeId, "2002");

    LogIn(kMain, kMainPassword);
    ASSERT_EQ(accounts->DeleteChildAccount(id), 0) << accounts->ErrorText();
    ASSERT_EQ(accounts->ReqCCList(), 0);
    EXPECT_EQ(accounts->GetChildAccounts().size(), 1u);
    EXPECT_EQ(UserSession::Instance()->Login("13600136000", "patrol88"), -1);
}

TEST_F(ClientAgainstCloudsim, RolesAndRights) {
    RoleMgr* roles = RoleMgr::Instance();
    ASSERT_EQ(roles->ReqRoleList(), 0) << roles->ErrorText();
    size_t before = roles->GetRoles().size();
    ASSERT_EQ(roles->AddRole("巡检"), 0) << roles->ErrorText();
    ASSERT_EQ(roles->ReqRoleList(), 0);
    std::string id;
    for (const ClientRole& role : roles->GetRoles())
        if (role.clientRoleName == "巡检") id = role.clientRoleId;
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(roles->GetRoles().size(), before + 1);

    ASSERT_EQ(roles->ReqResList(1), 0) << roles->ErrorText();
    std::vector<ClientResource> resources;
    roles->GetResList(1, resources);
    EXPECT_EQ(resources.size(), 11u);

    roles->SetRoleRights(id, 1, {"2016031502", "2016031505"});
    roles->SetRoleRights(id, 3, {"2016031701"});
    ASSERT_EQ(roles->UpdateRole(id), 0) << roles->ErrorText();
    roles->SetRoleRights(id, 1, {});
    ASSERT_EQ(roles->ReqRoleRights(id), 0) << roles->ErrorText();
    EXPECT_TRUE(roles->RoleHasRight(id, 1, "2016031502"));
    EXPECT_TRUE(roles->RoleHasRight(id, 1, "2016031505"));
    EXPECT_TRUE(roles->RoleHasRight(id, 3, "2016031701"));
    EXPECT_FALSE(roles->RoleHasRight(id, 1, "2016031506"));

    EXPECT_EQ(roles->DeleteRole("302"), -1);  // the duty role is in use
    EXPECT_FALSE(roles->ErrorText().empty());
    ASSERT_EQ(roles->DeleteRole(id), 0) << roles->ErrorText();
    ASSERT_EQ(roles->ReqRoleList(), 0);
    EXPECT_EQ(roles->GetRoles().size(), before);
}

}  // namespace
