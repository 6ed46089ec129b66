// Every reply reader against bad replies: each fails with a clear error text and keeps what it held.
#include "FakeService.h"
#include "PrivateWorkDir.h"

#include "app/UserSession.h"
#include "service/AlarmMgr.h"
#include "service/ChildAccountMgr.h"
#include "service/DeviceMgr.h"
#include "service/NodeReply.h"
#include "service/RoleMgr.h"
#include "service/ServiceReply.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// One reader: how to give it its previous state, run it (true on success) and check that state survived.
struct Reader {
    const char* name;
    CodeForm codeForm;
    const char* goodReply;
    std::function<bool(std::string& errorText)> run;
    std::function<bool()> stateKept;
    std::vector<const char*> wrongTypeReplies;
    std::function<void(FakeService&)> prime = {};  // state the reader needs before its good reply
};

std::vector<Reader> Readers()
{
    auto session = UserSession::Instance();
    auto devices = DeviceMgr::Instance();
    auto alarms = AlarmMgr::Instance();
    auto accounts = ChildAccountMgr::Instance();
    auto roles = RoleMgr::Instance();
    return {
        {"Login", CodeForm::Text,
         R"({"code":0,"result":{"clientInfoId":"C1","orgId":"O1","clientRoleId":"R1","im_server_port":5222}})",
         [=](std::string& e) { bool ok = session->Login("13800000000", "pw") == 0; e = session->ErrorText(); return ok; },
         [=] { return session->ClientInfoId() == "C1" && session->ImServerPort() == 5222; },
         {R"({"code":0,"result":{"clientInfoId":{"a":1}}})", R"({"code":0,"result":{"im_server_port":"x"}})",
          R"({"code":0,"result":{"isSonAccount":[1]}})", R"({"code":0,"result":[1]})", R"({"code":0,"result":"x"})",
          R"({"code":0,"result":{"orgId":1.5}})"}},
        {"DeviceList", CodeForm::Integer, R"({"code":0,"result":[{"nodeId":"root","childNodes":[{"nodeId":"leaf"}]}]})",
         [=](std::string& e) { bool ok = devices->FunQueryDeviceList() == 1; e = devices->ErrorText(); return ok; },
         [=] { NodeRecord n; return devices->FindNode("leaf", n); },
         {R"({"code":0,"result":[{"nodeId":5}]})", R"({"code":0,"result":[{"childDevices":[{"alias":1}]}]})",
          R"({"code":0,"result":[{"isMerge":"1"}]})", R"({"code":0,"result":[{"childNodes":[7]}]})",
          R"({"code":0,"result":[{"nodeType":1.5}]})", R"({"code":0,"result":[{"isMerge":9999999999}]})",
          R"({"code":0,"result":["node"]})", R"({"code":0,"result":[{"childDevices":[{"warnStatus":true}]}]})"}},
        {"SubAccountDetail", CodeForm::Integer,
         R"({"code":0,"result":{"maxLoginCount":2,"password":"p0","result":[{"nodeId":"n1"}]}})",
         [=](std::string& e) { bool ok = accounts->ReqOneAllInfo("K9") == 0; e = accounts->ErrorText(); return ok; },
         [=] { ChildAccount a; return accounts->FindChildAccount("K9", a) && a.password == "p0" && a.nodes.size() == 1; },
         {R"({"code":0,"result":{"maxLoginCount":"3"}})", R"({"code":0,"result":[]})", R"({"code":0})",
          R"({"code":0,"result":{"result":[{"nodeId":[]}]}})", R"({"code":0,"result":{"password":7}})"},
         [=](FakeService& service) {
             service.SetReply(R"({"code":0,"result":[{"clientInfoId":"K9"}]})");
             ASSERT_EQ(accounts->ReqCCList(), 0);
         }},
        {"AlarmList", CodeForm::Text, R"({"code":0,"result":{"totalPage":1,"rows":[{"deviceId":"cam1","fileId":"f1"}]}})",
         [=](std::string& e) { bool ok = alarms->ReqAlarmList("2026-01-05", 0, 1, 1) == 0; e = alarms->GetErrorText(); return ok; },
         [=] { std::vector<AlarmRecord> a; alarms->GetAlarms(a); return a.size() == 1 && a[0].deviceId == "cam1"; },
         {R"({"code":0,"result":{"rows":{}}})", R"({"code":0,"result":{"rows":[{"warnType":"x"}]}})",
          R"({"code":0,"result":{"totalPage":"2"}})", R"({"code":0,"result":{"rows":[3]}})"}},
        {"WarnSettings", CodeForm::Text, R"({"code":0,"result":[{"mobile":"138","warnStatus":1}]})",
         [=](std::string& e) { bool ok = alarms->ReqWarnSettings("cam1") == 0; e = alarms->GetErrorText(); return ok; },
         [=] { std::vector<WarnSetting> s; alarms->GetWarnSettings("cam1", s); return s.size() == 1; },
         {R"({"code":0,"result":{"a":1}})", R"({"code":0,"result":[{"clientType":"pc"}]})"}},
        {"SubAccountList", CodeForm::Integer, R"({"code":0,"result":[{"clientInfoId":"K9","mobile":"139"}]})",
         [=](std::string& e) { bool ok = accounts->ReqCCList() == 0; e = accounts->ErrorText(); return ok; },
         [=] { return accounts->GetChildAccounts().size() == 1; },
         {R"({"code":0,"result":[{"mobile":[]}]})", R"({"code":0,"result":{"clientInfoId":"K9"}})"}},
        {"ResourceList", CodeForm::Integer, R"({"code":0,"result":[{"clientResourceId":"2016031502","resourceType":"1"}]})",
         [=](std::string& e) { bool ok = roles->ReqResList(1) == 0; e = roles->ErrorText(); return ok; },
         [=] { std::vector<ClientResource> r; roles->GetResList(1, r); return r.size() == 1; },
         {R"({"code":0,"result":[{"resourceName":{}}]})"}},
        {"RoleList", CodeForm::Integer, R"({"code":0,"result":[{"clientRoleId":"R1","clientRoleName":"Ops"}]})",
         [=](std::string& e) { bool ok = roles->ReqRoleList() == 0; e = roles->ErrorText(); return ok; },
         [=] { int i; return roles->FindRole("R1", i); },
         {R"({"code":0,"result":[{"clientRoleId":{}}]})"}},
        {"RoleRights", CodeForm::Integer, R"({"code":0,"result":[{"resourceType":1,"clientResourceId":"2016031502"}]})",
         [=](std::string& e) { bool ok = roles->ReqRoleRights("R1") == 0; e = roles->ErrorText(); return ok; },
         [=] { return session->HasRight("2016031502"); },
         {R"({"code":0,"result":[{"resourceType":"1"}]})"}},
        {"NodeChange", CodeForm::Text, R"({"code":0})",
         [=](std::string& e) { bool ok = devices->DeleteUserNode("12") == 0; e = devices->ErrorText(); return ok; },
         [] { return true; }, {}},
    };
}

struct BadReply {
    std::string reply;
    std::string errorText;
};

std::vector<BadReply> CommonBadReplies(CodeForm form)
{
    std::vector<BadReply> replies = {
        {"GETJSONERROR", "连接总控服务器失败"},
        {"not json", kReplyUnreadableText},
        {"", kReplyUnreadableText},
        {R"({"code":0,"result":[{"nodeId":"1")", kReplyUnreadableText},  // truncated
        {std::string(100000, '[') + std::string(100000, ']'), kReplyUnreadableText},
        {"{\"code\":0,\"result\":" + std::string(300, '{'), kReplyUnreadableText},
        {R"([{"code":0}])", kReplyFormatText},
        {R"({"code":{"n":0}})", kReplyFormatText},
        {R"({"code":5,"msg":"账号或密码错误"})", "账号或密码错误"},
        {R"({"code":5})", kRefusedText},
        {R"({"code":10000000000,"msg":"大号码拒绝"})", "大号码拒绝"},  // a refusal code beyond 32 bits
        {R"({"code":5,"msg":""})", kRefusedText},
        {R"({"code":5,"msg":"\u0000hidden"})", kRefusedText},  // a message that shows as nothing
        {R"({"code":"7","msg":"no"})", form == CodeForm::Text ? "no" : kReplyFormatText},
    };
    return replies;
}

TEST(ReplyReaders, BadRepliesFailWithAClearTextAndKeepThePreviousState)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    int checked = 0;
    for (const Reader& reader : Readers()) {
        std::vector<BadReply> bad = CommonBadReplies(reader.codeForm);
        for (const char* reply : reader.wrongTypeReplies)
            bad.push_back({reply, kReplyFormatText});
        for (const BadReply& c : bad) {
            SCOPED_TRACE(std::string(reader.name) + " <- " + c.reply.substr(0, 80));
            std::string errorText;
            if (reader.prime)
                reader.prime(service);
            service.SetReply(reader.goodReply);
            ASSERT_TRUE(reader.run(errorText)) << errorText;
            ASSERT_TRUE(reader.stateKept());
            service.SetReply(c.reply);
            EXPECT_FALSE(reader.run(errorText));
            EXPECT_EQ(errorText, c.errorText);
            EXPECT_TRUE(reader.stateKept());
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(ReplyReaders, TextCodeReadersAcceptZeroAsTextOrNumber)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    for (const char* reply : {R"({"code":"0"})", R"({"code":0})"}) {
        service.SetReply(reply);
        EXPECT_EQ(DeviceMgr::Instance()->SplitNode("1"), 0) << reply;
    }
}

TEST(ReplyReaders, LoginWithoutMembersStoresEmptyTextsAndTheGivenNumbers)
{
    FakeService service;
    service.UseAsService();
    service.SetReply(R"({"code":0,"msg":"","result":{"clientInfoId":123,"isSonAccount":1,"im_server_port":5222}})");
    UserSession* session = UserSession::Instance();
    ASSERT_EQ(session->Login("m", "p"), 0);
    EXPECT_EQ(session->ClientInfoId(), "123");
    EXPECT_TRUE(session->IsSonAccount());
    EXPECT_EQ(session->ImServerPort(), 5222);
    EXPECT_EQ(session->OrgId(), "");
    EXPECT_EQ(session->ImServerIp(), "");
    EXPECT_EQ(session->Mobile(), "m");
    service.SetReply(R"({"code":0})");  // no "result" at all
    ASSERT_EQ(session->Login("m2", "p2"), 0);
    EXPECT_EQ(session->ClientInfoId(), "");
    EXPECT_FALSE(session->IsSonAccount());
}

TEST(ReplyReaders, RoleRightsOfAnUnlistedRoleAddItWithAnEmptyName)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    service.SetReply(R"({"code":0,"result":[{"resourceType":1,"clientResourceId":"A"},{"resourceType":3,"clientResourceId":"B"}]})");
    ASSERT_EQ(RoleMgr::Instance()->ReqRoleRights("new-role"), 0);
    int index = -1;
    ASSERT_TRUE(RoleMgr::Instance()->FindRole("new-role", index));
    ClientRole role = RoleMgr::Instance()->GetRoles()[static_cast<std::size_t>(index)];
    EXPECT_EQ(role.clientRoleName, "");
    EXPECT_EQ(role.rights[1], std::vector<std::string>{"A"});
    EXPECT_EQ(role.rights[3], std::vector<std::string>{"B"});
}

TEST(ReplyReaders, HasRightOnlyForRightsOfTheSessionRole)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service, true), 0);  // role R1
    service.SetReply(R"({"code":0,"result":[]})");
    ASSERT_EQ(UserSession::Instance()->LoadRights(), 0);
    EXPECT_FALSE(UserSession::Instance()->HasRight("2016031502"));
    service.SetReply(R"({"code":0,"result":[{"resourceType":1,"clientResourceId":"2016031502"},{"resourceType":2,"clientResourceId":"2016031505"}]})");
    ASSERT_EQ(UserSession::Instance()->LoadRights(), 0);
    EXPECT_TRUE(UserSession::Instance()->HasRight("2016031502"));
    EXPECT_FALSE(UserSession::Instance()->HasRight("2016031505"));  // a right of the mobile clients only
}

TEST(ReplyReaders, ResourcesAreKeptByIdentifierAndALaterDuplicateWins)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    service.SetReply(R"({"code":0,"result":[{"clientResourceId":"b","resourceName":"one","resourceType":"1"},)"
                     R"({"clientResourceId":"a","resourceName":"two","resourceType":1},{"clientResourceId":"b","resourceName":"三"}]})");
    ASSERT_EQ(RoleMgr::Instance()->ReqResList(1), 0);
    std::vector<ClientResource> resources;
    RoleMgr::Instance()->GetResList(1, resources);
    ASSERT_EQ(resources.size(), 2u);
    EXPECT_EQ(resources[0].clientResourceId, "a");
    EXPECT_EQ(resources[0].resourceType, "1");
    EXPECT_EQ(resources[1].resourceName, "三");
}

TEST(ReplyReaders, SubAccountDetailReplacesNodesInsteadOfAddingThemAgain)
{
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    service.SetHandler([](const FakeService::Request& r) -> std::string {
        if (r.path == "api/getClientChildAcount.htdy")
            return R"({"code":0,"result":[{"clientInfoId":"K9","mobile":"139","name":"n"}]})";
        return R"({"code":0,"result":{"maxLoginCount":4,"expireTime":"2027-1-5","watchTime":"00:00:00-23:59:59",)"
               R"("result":[{"nodeId":"n1","childDevices":[{"deviceId":"c1","alias":"门"}]}]}})";
    });
    ASSERT_EQ(ChildAccountMgr::Instance()->ReqCCList(), 0);
    ASSERT_EQ(ChildAccountMgr::Instance()->ReqAllInfo(), 0);
    ASSERT_EQ(ChildAccountMgr::Instance()->ReqOneAllInfo("K9"), 0);
    ChildAccount account;
    ASSERT_TRUE(ChildAccountMgr::Instance()->FindChildAccount("K9", account));
    EXPECT_EQ(account.maxLoginCount, 4);
    EXPECT_EQ(account.mobile, "139");
    ASSERT_EQ(account.nodes.size(), 1u);
    EXPECT_EQ(account.nodes[0].childDevices[0].alias, "门");
    EXPECT_EQ(account.nodes[0].childDevices[0].nodeId, "n1");
}

// Both parsers accept some lone UTF-16 surrogate escapes and would hand out bytes that are not UTF-8; a
// request body built from them could not be read again. They read as U+FFFD; pairs stay characters.
TEST(ReplyReaders, LoneSurrogateEscapesReadAsReplacementCharactersThatWriteBackCleanly)
{
    const std::string replacement = "\xEF\xBF\xBD";
    FakeService service;
    ASSERT_EQ(LogInThrough(service), 0);
    service.SetReply(R"({"code":0,"result":{"clientInfoId":"C\ude5c","orgId":"O\ud83dx\ud83d\ude00"}})");
    ASSERT_EQ(UserSession::Instance()->Login("13800000000", "pw"), 0);
    EXPECT_EQ(UserSession::Instance()->ClientInfoId(), "C" + replacement);
    EXPECT_EQ(UserSession::Instance()->OrgId(), "O" + replacement + "x\xF0\x9F\x98\x80");

    auto accounts = ChildAccountMgr::Instance();
    service.SetReply(R"({"code":0,"result":[{"clientInfoId":"K9"}]})");
    ASSERT_EQ(accounts->ReqCCList(), 0);
    service.SetReply(R"({"code":0,"result":{"password":"\udc00","result":[{"nodeId":"n1","nodeName":"\\ude5c\ude5c",)"
                     R"("childDevices":[{"deviceId":"c1","alias":"\ud800\u0041"}]}]}})");
    ASSERT_EQ(accounts->ReqOneAllInfo("K9"), 0);
    ChildAccount account;
    ASSERT_TRUE(accounts->FindChildAccount("K9", account));
    EXPECT_EQ(account.password, replacement);
    ASSERT_EQ(account.nodes.size(), 1u);
    EXPECT_EQ(account.nodes[0].nodeName, "\\ude5c" + replacement);  // an escaped backslash is no escape
    EXPECT_EQ(account.nodes[0].childDevices[0].alias, replacement + "A");

    service.SetReply(R"({"code":0})");
    ASSERT_EQ(accounts->ModifyChildAccount(account), 0);
    std::vector<NodeRecord> sent;
    std::string error;
    ASSERT_EQ(ReadDeviceListReply(service.Last().body, sent, error), 1) << service.Last().body;
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].nodeName, account.nodes[0].nodeName);
    EXPECT_EQ(sent[0].childDevices[0].alias, account.nodes[0].childDevices[0].alias);
}

}  // namespace
