// Every request body the client sends, byte for byte, against one recording service.
#include "FakeService.h"
#include "PrivateWorkDir.h"

#include "app/UserSession.h"
#include "service/AlarmMgr.h"
#include "service/ChildAccountMgr.h"
#include "service/DeviceMgr.h"
#include "service/RoleMgr.h"
#include "service/ServiceEndpoint.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

NodeRecord ExampleNode()
{
    NodeRecord node;
    node.nodeId = "101";
    node.nodeType = 1;
    node.nodeName = "A";
    node.childDevices.push_back({"cam7", 2, "Cam", "101", "A", 0});
    return node;
}

ChildAccount ExampleAccount()
{
    ChildAccount account;
    account.clientInfoId = "K9";
    account.mobile = "13900000000";
    account.name = "值班员";
    account.password = "p1";
    account.clientRoleId = "R2";
    account.maxLoginCount = 3;
    account.expireTime = "2027-1-5";
    account.watchTime = "08:00:00-12:00:00#13:00:00-18:00:00";
    return account;
}

// Lists role "R7" named "Ops" with the given rights of types 1 and 3.
void ListRoleR7(FakeService& service, std::vector<std::string> type1, std::vector<std::string> type3)
{
    service.SetReply(R"({"code":0,"result":[{"clientRoleId":"R7","clientRoleName":"Ops"}]})");
    ASSERT_EQ(RoleMgr::Instance()->ReqRoleList(), 0);
    RoleMgr::Instance()->SetRoleRights("R7", 1, type1);
    RoleMgr::Instance()->SetRoleRights("R7", 3, type3);
    service.SetReply("{\"code\":0}");
}

struct GoldenBody {
    const char* name;
    bool sonAccount;
    std::function<void(FakeService&)> send;
    const char* path;
    const char* body;
};

const char* const kCmd = "vyr-api/ws/api/reqCmd";

const GoldenBody kGoldenBodies[] = {
    {"LogIn", false, [](FakeService&) { UserSession::Instance()->Login("13800000000", "pw"); }, kCmd,
     R"({"mobile": "13800000000","password" : "pw","cmd":1,"clientType":0})"},
    {"LogInEscapesQuoteAndBackslash", false, [](FakeService&) { UserSession::Instance()->Login("138", "a\"b\\c"); }, kCmd,
     R"({"mobile": "138","password" : "a\"b\\c","cmd":1,"clientType":0})"},
    {"ChangePassword", false, [](FakeService&) { UserSession::Instance()->ChangePassword("new1"); }, kCmd,
     R"({"cmd":35,"mobile":"13800000000","oldPassword":"pw","newPassword":"new1"})"},
    {"DeviceListMainAccount", false, [](FakeService&) { DeviceMgr::Instance()->FunQueryDeviceList(); }, kCmd,
     R"({"clientInfoId":"C1", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0"})"},
    {"DeviceListSubAccount", true, [](FakeService&) { DeviceMgr::Instance()->FunQueryDeviceList(); }, kCmd,
     R"({"clientInfoId":"C1", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0","isSonAccount":1})"},
    {"AddUserNodeWithoutParent", false, [](FakeService&) { DeviceMgr::Instance()->AddUserNode("Site", ""); },
     "api/addUserNode.htdy", R"({"nodeName":"Site", "clientInfoId":"C1"})"},
    {"AddUserNodeWithParent", false, [](FakeService&) { DeviceMgr::Instance()->AddUserNode("仓库", "12"); },
     "api/addUserNode.htdy", R"({"nodeName":"仓库", "clientInfoId":"C1", "parentId":"12"})"},
    {"UpdateUserNode", false, [](FakeService&) { DeviceMgr::Instance()->UpdateUserNode("12", "Hall"); },
     "api/updateUserNode.htdy", R"({"orgId":"O1", "nodeName":"Hall", "clientInfoId":"C1", "nodeId":"12"})"},
    {"DeleteUserNode", false, [](FakeService&) { DeviceMgr::Instance()->DeleteUserNode("12"); },
     "api/deleteUserNode.htdy", R"({"nodeId":"12"})"},
    {"BindIpcToNodes", false, [](FakeService&) { DeviceMgr::Instance()->BindIpcToNodes("12", "cam1"); },
     "api/bindIpcToNodes.htdy", R"({"nodeId":"12", "deviceId":"cam1", "clientInfoId":"C1", "alias": "test"})"},
    {"MoveNodeSendsIsSonAccountZeroEvenForSubAccount", true, [](FakeService&) { DeviceMgr::Instance()->MoveNode("12", "13"); },
     kCmd, R"({"cmd":37,"isSonAccount":0,"clientInfoId":"C1","sourceNodeId":"12","targetNodeId":"13"})"},
    {"UpdateDeviceName", false, [](FakeService&) { DeviceMgr::Instance()->UpdateDeviceName("cam1", "前门"); }, kCmd,
     R"({"cmd":38,"clientInfoId":"C1","deviceId":"cam1","alias":"前门"})"},
    {"MergeThreeNodes", false, [](FakeService&) { DeviceMgr::Instance()->MergeNodes({{"11", "12", "13"}, "X"}); }, kCmd,
     R"({"cmd":42,"clientInfoId":"C1","nodeIds":"11##12##13","nodeName":"X"})"},
    {"MergeOneNode", false, [](FakeService&) { DeviceMgr::Instance()->MergeNodes({{"11"}, "X"}); }, kCmd,
     R"({"cmd":42,"clientInfoId":"C1","nodeIds":"11","nodeName":"X"})"},
    {"SplitNode", false, [](FakeService&) { DeviceMgr::Instance()->SplitNode("14"); }, kCmd, R"({"cmd":43,"nodeId":"14"})"},
    {"AlarmList", false, [](FakeService&) { AlarmMgr::Instance()->ReqAlarmList("2026-01-05", 3, 2, 1); }, kCmd,
     R"({"cmd":39,"mobile":"13800000000","pn":2,"pageSize":20,"day":"2026-01-05","hours":3,"warnType":1})"},
    {"WarnSettings", false, [](FakeService&) { AlarmMgr::Instance()->ReqWarnSettings("cam1"); }, kCmd,
     R"({"cmd":36,"clientInfoId":"C1","deviceId":"cam1"})"},
    {"ArmTwoCamerasWithoutSettings", false, [](FakeService&) { AlarmMgr::Instance()->ReqArming({"A1", "B2"}, {}, 1); }, kCmd,
     R"({"cmd":41,"deviceIds":"A1##B2", "isArming":1})"},
    {"DisarmWithOneSetting", false,
     [](FakeService&) { AlarmMgr::Instance()->ReqArming({"A1"}, {{"u", 0, "138", 1, "S"}}, 0); }, kCmd,
     R"({"cmd":41,"deviceIds":"A1", "isArming":0,"warnSettingList":[{ "warnSettingId":"S", "warnStatus":1}]})"},
    {"ArmWithTwoSettings", false,
     [](FakeService&) { AlarmMgr::Instance()->ReqArming({"A1"}, {{"u", 0, "138", 1, "S"}, {"v", 1, "139", 0, "T"}}, 1); }, kCmd,
     R"({"cmd":41,"deviceIds":"A1", "isArming":1,"warnSettingList":[{ "warnSettingId":"S", "warnStatus":1},{ "warnSettingId":"T", "warnStatus":0}]})"},
    {"ListSubAccounts", false, [](FakeService&) { ChildAccountMgr::Instance()->ReqCCList(); }, "api/getClientChildAcount.htdy",
     R"({"clientInfoId":"C1" })"},
    {"SubAccountDetail", false, [](FakeService&) { ChildAccountMgr::Instance()->ReqOneAllInfo("K9"); }, kCmd,
     R"({"clientInfoId":"K9", "cmd":22, "loginUUID":"38207194", "clientType":"0" })"},
    {"CreateSubAccountWithoutNodes", false, [](FakeService&) { ChildAccountMgr::Instance()->CreateChildAccount(ExampleAccount()); },
     kCmd,
     R"({ "cmd":19,"clientInfoId":"C1","mobile":"13900000000","name":"值班员","password":"p1","clientRoleId":"R2","expireTime":"2027-1-5","clientType":"0","maxLoginCount":"3","watchTime":"08:00:00-12:00:00#13:00:00-18:00:00"})"},
    {"ModifySubAccountWithNodes", false,
     [](FakeService&) {
         ChildAccount account = ExampleAccount();
         account.nodes = {ExampleNode(), NodeRecord{"102", "", "B", 1, {}, {}, 0}};
         ChildAccountMgr::Instance()->ModifyChildAccount(account);
     },
     kCmd,
     R"({ "cmd":21,"clientInfoId":"K9","mobile":"13900000000","name":"值班员","password":"p1","clientRoleId":"R2","expireTime":"2027-1-5","clientType":"0","maxLoginCount":"3","watchTime":"08:00:00-12:00:00#13:00:00-18:00:00","result":[{"nodeId":"101","nodeType":1,"nodeName":"A","childDevices":[ { "deviceId":"cam7","alias":"Cam"}]},{"nodeId":"102","nodeType":1,"nodeName":"B"}]})"},
    {"DeleteSubAccount", false, [](FakeService&) { ChildAccountMgr::Instance()->DeleteChildAccount("K9"); }, kCmd,
     R"({"clientInfoId":"K9","cmd": 20 })"},
    {"ListResources", false, [](FakeService&) { RoleMgr::Instance()->ReqResList(1); }, "api/getClientResInfoList.htdy",
     R"({"resourceType":"1" })"},
    {"ListRoles", false, [](FakeService&) { RoleMgr::Instance()->ReqRoleList(); }, "api/getClientRoleList.htdy",
     R"({"clientInfoId":"C1" })"},
    {"RoleRights", false, [](FakeService&) { RoleMgr::Instance()->ReqRoleRights("R2"); }, "api/getClientRoleRightList.htdy",
     R"({"clientRoleId":"R2" })"},
    {"AddRole", false, [](FakeService&) { RoleMgr::Instance()->AddRole("运维"); }, "api/addClientRole.htdy",
     R"({"clientInfoId":"C1","clientRoleName":"运维" })"},
    {"DeleteRole", false, [](FakeService&) { RoleMgr::Instance()->DeleteRole("R2"); }, "api/deleteClientRole.htdy",
     R"({"clientRoleId":"R2" })"},
    {"UpdateRoleWithRightsOfTypesOneAndThree", false,
     [](FakeService& service) {
         ListRoleR7(service, {"2016031502"}, {"X9"});
         RoleMgr::Instance()->UpdateRole("R7");
     },
     "api/updateClientRole.htdy",
     R"({"clientRoleId":"R7","clientRoleName":"Ops","clientRoleResInfo":[ {"clientResourceId":"2016031502", "resourceType":"1"},{"clientResourceId":"X9", "resourceType":"3"}]})"},
    {"UpdateRoleWithoutRights", false,
     [](FakeService& service) {
         ListRoleR7(service, {}, {});
         RoleMgr::Instance()->UpdateRole("R7");
     },
     "api/updateClientRole.htdy", R"({"clientRoleId":"R7","clientRoleName":"Ops"})"},
};

class RequestBody : public ::testing::TestWithParam<GoldenBody> {};

TEST_P(RequestBody, IsExactlyTheWrittenText)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service, GetParam().sonAccount), 0);
    GetParam().send(service);
    FakeService::Request sent = service.Last();
    EXPECT_EQ(sent.path, GetParam().path);
    EXPECT_EQ(sent.body, GetParam().body);
    EXPECT_EQ(sent.contentType, "application/json; charset=utf-8;");
}

INSTANTIATE_TEST_SUITE_P(AllRequests, RequestBody, ::testing::ValuesIn(kGoldenBodies),
                         [](const ::testing::TestParamInfo<GoldenBody>& info) { return std::string(info.param.name); });

TEST(RequestBodies, PasswordChangeSendsTheChangedPasswordAsOldOneNextTime)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    ASSERT_EQ(UserSession::Instance()->ChangePassword("second"), 0);
    ASSERT_EQ(UserSession::Instance()->ChangePassword("third"), 0);
    EXPECT_EQ(service.Last().body, R"({"cmd":35,"mobile":"13800000000","oldPassword":"second","newPassword":"third"})");
    EXPECT_EQ(UserSession::Instance()->Password(), "third");
}

TEST(RequestBodies, UpdateOfAnUnlistedRoleSendsNothing)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    std::size_t before = service.RequestCount();
    EXPECT_EQ(RoleMgr::Instance()->UpdateRole("no-such-role"), -1);
    EXPECT_EQ(service.RequestCount(), before);
    EXPECT_EQ(RoleMgr::Instance()->ErrorText(), "该角色不存在，请刷新角色列表");  // not a stale reason
}

TEST(RequestBodies, NodeToJsonOfTheWrittenExamples)
{
    EXPECT_EQ(DeviceMgr::NodeToJson(ExampleNode()),
              R"({"nodeId":"101","nodeType":1,"nodeName":"A","childDevices":[ { "deviceId":"cam7","alias":"Cam"}]})");
    NodeRecord bare{"7", "", "Bare", 1, {}, {}, 0};
    EXPECT_EQ(DeviceMgr::NodeToJson(bare), R"({"nodeId":"7","nodeType":1,"nodeName":"Bare"})");
    NodeRecord parent = ExampleNode();
    parent.childNodes = {bare, bare};
    EXPECT_EQ(DeviceMgr::NodeToJson(parent),
              R"({"nodeId":"101","nodeType":1,"nodeName":"A","childDevices":[ { "deviceId":"cam7","alias":"Cam"}],"childNodes":[ {"nodeId":"7","nodeType":1,"nodeName":"Bare"},{"nodeId":"7","nodeType":1,"nodeName":"Bare"}]})");
}

}  // namespace
