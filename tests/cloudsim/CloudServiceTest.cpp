// Black-box tests of cloudsim over HTTP: refusals of bad input (the service keeps serving), every
// request family, and that each change shows in the next query.
#include "ServiceRig.h"
#include "SubAccountLoginGate.h"
#include "support/Today.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <set>

namespace {

constexpr char kMainLogin[] = R"({"mobile": "13800138000","password" : "kelvue123","cmd":1,"clientType":0})";
constexpr char kMainTree[] = R"({"clientInfoId":"10001", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0"})";

int Code(const Json::Value& reply) { return reply.isObject() ? reply["code"].asInt() : -1; }

// The node of a device-list reply with that id, searched depth first; null when absent.
const Json::Value* FindNode(const Json::Value& nodes, const std::string& id) {
    for (const Json::Value& node : nodes) {
        if (node["nodeId"].asString() == id) return &node;
        if (const Json::Value* found = FindNode(node["childNodes"], id)) return found;
    }
    return nullptr;
}

std::vector<std::string> Ids(const Json::Value& list, const char* key) {
    std::vector<std::string> ids;
    for (const Json::Value& item : list) ids.push_back(item[key].asString());
    return ids;
}

std::string AlarmQuery(const std::string& mobile, int page, int hours = 0, int type = 0) {
    return R"({"cmd":39,"mobile":")" + mobile + R"(","pn":)" + std::to_string(page) + R"(,"pageSize":20,"day":")" +
           Today() + R"(","hours":)" + std::to_string(hours) + R"(,"warnType":)" + std::to_string(type) + "}";
}

class CloudServiceTest : public ::testing::Test {
protected:
    Json::Value Ok(const Json::Value& reply) {
        EXPECT_EQ(Code(reply), 0) << reply.toStyledString();
        return reply["result"];
    }
    void Refused(const Json::Value& reply, int code) {
        EXPECT_EQ(Code(reply), code) << reply.toStyledString();
        EXPECT_FALSE(reply["msg"].asString().empty());
    }
    Json::Value Tree() { return Ok(rig.Command(kMainTree)); }

    ServiceRig rig;
};

struct BadInput {
    const char* what;
    std::string path;
    std::string body;
    int code;
};

TEST_F(CloudServiceTest, BadInputIsRefusedAndTheServiceKeepsServing) {
    const std::string command = "/vyr-api/ws/api/reqCmd";
    const BadInput cases[] = {
        {"empty body", command, "", 1001},
        {"invalid JSON", command, "{\"cmd\":1,", 1001},
        {"array instead of object", command, "[1,2]", 1001},
        {"text after the object", command, R"({"cmd":1} x)", 1001},
        {"duplicate member", command, R"({"cmd":1,"cmd":1})", 1001},
        {"cmd as text", command, R"({"cmd":"1"})", 1001},
        {"cmd with a fraction", command, R"({"cmd":1.5})", 1001},
        {"no cmd", command, R"({"mobile":"13800138000"})", 1001},
        {"unknown cmd", command, R"({"cmd":999})", 1002},
        {"mobile as number", command, R"({"cmd":1,"mobile":13800138000,"password":"kelvue123"})", 1001},
        {"page as text", command, R"({"cmd":39,"mobile":"13800138000","pn":"0","day":"2026-01-01"})", 1001},
        {"impossible day", command, R"({"cmd":39,"mobile":"13800138000","pn":0,"day":"2026-02-30"})", 2003},
        {"receivers not a list", command, R"({"cmd":41,"deviceIds":"kv100101","isArming":1,"warnSettingList":{}})", 1001},
        {"deep nesting", command, std::string(100000, '['), 1001},
        {"huge body", command, "{\"cmd\":1,\"mobile\":\"" + std::string(2 << 20, 'a') + "\"}", 1003},
        {"unknown endpoint", "/api/dropAllTables.htdy", "{}", 1002},
        {"unknown path", "/vyr-api/other", "{}", 1002},
        {"name not UTF-8", "/api/addUserNode.htdy", "{\"nodeName\":\"\xC3\x28\", \"clientInfoId\":\"10001\"}", 2003},
        {"id with letters", "/api/deleteUserNode.htdy", R"({"nodeId":"12; DROP TABLE node"})", 2001},
    };
    for (const BadInput& bad : cases) {
        SCOPED_TRACE(bad.what);
        Json::Value reply;
        rig.PostRaw(bad.path, bad.body, reply);
        Refused(reply, bad.code);
        Ok(rig.Command(kMainLogin));
    }
    EXPECT_EQ(Tree().size(), 3u);
}

struct Family {
    const char* what;
    std::string name;  // empty: the command endpoint
    std::string body;
    Json::ValueType result;
};

TEST_F(CloudServiceTest, EveryReadingRequestAnswers) {
    const Family cases[] = {
        {"log-in", "", kMainLogin, Json::objectValue},
        {"device list", "", kMainTree, Json::arrayValue},
        {"sub-account detail", "", R"({"clientInfoId":"10002", "cmd":22, "loginUUID":"38207194", "clientType":"0" })",
         Json::objectValue},
        {"receivers", "", R"({"cmd":36,"clientInfoId":"10001","deviceId":"kv100112"})", Json::arrayValue},
        {"alarm page", "", AlarmQuery("13800138000", 0), Json::objectValue},
        {"sub-accounts", "getClientChildAcount", R"({"clientInfoId":"10001" })", Json::arrayValue},
        {"roles", "getClientRoleList", R"({"clientInfoId":"10001" })", Json::arrayValue},
        {"PC resources", "getClientResInfoList", R"({"resourceType":"1" })", Json::arrayValue},
        {"phone resources", "getClientResInfoList", R"({"resourceType":"2" })", Json::arrayValue},
        {"common resources", "getClientResInfoList", R"({"resourceType":"3" })", Json::arrayValue},
        {"role rights", "getClientRoleRightList", R"({"clientRoleId":"302" })", Json::arrayValue},
    };
    for (const Family& family : cases) {
        SCOPED_TRACE(family.what);
        Json::Value result = Ok(family.name.empty() ? rig.Command(family.body) : rig.Named(family.name, family.body));
        EXPECT_EQ(result.type(), family.result);
        EXPECT_FALSE(result.empty());
    }
}

TEST_F(CloudServiceTest, LogInChecksThePasswordAndAnnouncesTheImServer) {
    Json::Value main = Ok(rig.Command(kMainLogin));
    EXPECT_EQ(main["clientInfoId"].asString(), "10001");
    EXPECT_EQ(main["isSonAccount"].asInt(), 0);
    EXPECT_EQ(main["im_server_ip"].asString(), "127.0.0.1");
    EXPECT_EQ(main["im_server_port"].asInt(), 5299);
    EXPECT_EQ(main["imPassword"].asString().size(), 16u);
    Json::Value sub = Ok(rig.Command(R"({"mobile": "13900139000","password" : "kelvue456","cmd":1,"clientType":0})"));
    EXPECT_EQ(sub["isSonAccount"].asInt(), 1);
    EXPECT_EQ(sub["clientRoleId"].asString(), "302");

    Refused(rig.Command(R"({"mobile": "13800138000","password" : "wrong1","cmd":1,"clientType":0})"), 2002);
    Refused(rig.Command(R"({"mobile": "13800000000","password" : "kelvue123","cmd":1,"clientType":0})"), 2001);

    Refused(rig.Command(R"({"cmd":35,"mobile":"13800138000","oldPassword":"nope12","newPassword":"secret77"})"), 2002);
    Refused(rig.Command(R"({"cmd":35,"mobile":"13800138000","oldPassword":"kelvue123","newPassword":"short"})"), 2003);
    Ok(rig.Command(R"({"cmd":35,"mobile":"13800138000","oldPassword":"kelvue123","newPassword":"secret77"})"));
    Refused(rig.Command(kMainLogin), 2002);
    Ok(rig.Command(R"({"mobile": "13800138000","password" : "secret77","cmd":1,"clientType":0})"));
}

TEST_F(CloudServiceTest, NodeChangesShowInTheNextTreeQuery) {
    Json::Value added = Ok(rig.Named("addUserNode", R"({"nodeName":"三楼", "clientInfoId":"10001", "parentId":"2001"})"));
    std::string id = added["nodeId"].asString();
    ASSERT_NE(FindNode(Tree(), id), nullptr);
    EXPECT_EQ((*FindNode(Tree(), id))["parentId"].asString(), "2001");
    Ok(rig.Named("addUserNode", R"({"nodeName":"顶层", "clientInfoId":"10001"})"));
    EXPECT_EQ(Tree().size(), 4u);

    Ok(rig.Named("updateUserNode", R"({"orgId":"1500", "nodeName":"三楼会议区", "clientInfoId":"10001", "nodeId":")" + id + "\"}"));
    EXPECT_EQ((*FindNode(Tree(), id))["nodeName"].asString(), "三楼会议区");

    Ok(rig.Command(R"({"cmd":37,"isSonAccount":0,"clientInfoId":"10001","sourceNodeId":")" + id + R"(","targetNodeId":"2005"})"));
    EXPECT_EQ((*FindNode(Tree(), id))["parentId"].asString(), "2005");
    Refused(rig.Command(R"({"cmd":37,"isSonAccount":0,"clientInfoId":"10001","sourceNodeId":"2001","targetNodeId":"2004"})"), 2003);
    Refused(rig.Command(R"({"cmd":37,"isSonAccount":0,"clientInfoId":"10001","sourceNodeId":"2001","targetNodeId":"2011"})"), 2001);

    Refused(rig.Named("deleteUserNode", R"({"nodeId":"2003"})"), 2004);
    Ok(rig.Named("deleteUserNode", R"({"nodeId":")" + id + "\"}"));
    EXPECT_EQ(FindNode(Tree(), id), nullptr);
    Refused(rig.Named("deleteUserNode", R"({"nodeId":")" + id + "\"}"), 2001);

    // A sub-account looks at its tree but does not change it.
    Refused(rig.Named("addUserNode", R"({"nodeName":"x", "clientInfoId":"10002"})"), 2002);
}

TEST_F(CloudServiceTest, MergeAndSplitRoundTrip) {
    Refused(rig.Command(R"({"cmd":42,"clientInfoId":"10001","nodeIds":"2001##2002","nodeName":"M"})"), 2003);
    Refused(rig.Command(R"({"cmd":42,"clientInfoId":"10001","nodeIds":"2002","nodeName":"M"})"), 2003);
    Json::Value merged = Ok(rig.Command(R"({"cmd":42,"clientInfoId":"10001","nodeIds":"2002##2003","nodeName":"楼层"})"));
    std::string id = merged["nodeId"].asString();
    Json::Value tree = Tree();
    const Json::Value* node = FindNode(tree, id);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ((*node)["isMerge"].asInt(), 1);
    EXPECT_EQ((*node)["parentId"].asString(), "2001");
    EXPECT_EQ(Ids((*node)["childNodes"], "nodeId"), (std::vector<std::string>{"2002", "2003"}));

    Refused(rig.Command(R"({"cmd":43,"nodeId":"2002"})"), 2003);
    Ok(rig.Command(R"({"cmd":43,"nodeId":")" + id + "\"}"));
    tree = Tree();
    EXPECT_EQ(FindNode(tree, id), nullptr);
    EXPECT_EQ(Ids((*FindNode(tree, "2001"))["childNodes"], "nodeId"), (std::vector<std::string>{"2002", "2003"}));
}

TEST_F(CloudServiceTest, CameraBindRenameUnbind) {
    auto bind = [&](const std::string& node, const std::string& device) {
        return rig.Named("bindIpcToNodes", R"({"nodeId":")" + node + R"(", "deviceId":")" + device +
                                               R"(", "clientInfoId":"10001", "alias": "test"})");
    };
    Ok(bind("2002", "kv100201"));
    EXPECT_EQ(Ids((*FindNode(Tree(), "2002"))["childDevices"], "deviceId"),
              (std::vector<std::string>{"kv100101", "kv100102", "kv100201"}));
    EXPECT_EQ((*FindNode(Tree(), "2002"))["childDevices"][2]["alias"].asString(), "test");
    Refused(bind("2002", "kv100201"), 2004);
    Refused(bind("2002", "kv100301"), 2004);  // the other account's camera
    Refused(bind("2002", "kv999999"), 2001);
    Ok(bind("2004", "kv100201"));  // the same camera under a second node

    Ok(rig.Command(R"({"cmd":38,"clientInfoId":"10001","deviceId":"kv100201","alias":"新门口"})"));
    EXPECT_EQ((*FindNode(Tree(), "2004"))["childDevices"][1]["alias"].asString(), "新门口");
    Refused(rig.Command(R"({"cmd":38,"clientInfoId":"10001","deviceId":"kv100301","alias":"x"})"), 2001);

    Ok(rig.Named("deleteNodeIpc", R"({"nodeId":"2002", "deviceId":"kv100201"})"));
    EXPECT_EQ((*FindNode(Tree(), "2002"))["childDevices"].size(), 2u);
    Refused(rig.Named("deleteNodeIpc", R"({"nodeId":"2002", "deviceId":"kv100201"})"), 2001);
    Ok(rig.Named("deleteNodeIpc", R"({"nodeId":"2004", "deviceId":"kv100201"})"));
    // Bound nowhere: the camera is free again, for this account or another.
    std::string body;
    ASSERT_EQ(rig.Get("/sim/cameras", body), 200);
    for (const Json::Value& camera : ParseJson(body)["result"]) {
        if (camera["deviceId"].asString() == "kv100201") {
            EXPECT_FALSE(camera["bound"].asBool());
        }
    }
}

TEST_F(CloudServiceTest, SubAccountSeesOnlyItsGrants) {
    Json::Value tree = Ok(rig.Command(R"({"clientInfoId":"10002", "cmd":11, "loginUUID":"token_PC_CODE", "clientType":"0","isSonAccount":1})"));
    EXPECT_EQ(Ids(tree, "nodeId"), (std::vector<std::string>{"2006", "2008"}));
    EXPECT_EQ(Ids(tree[0]["childDevices"], "deviceId"), (std::vector<std::string>{"kv100106", "kv100107"}));
    EXPECT_EQ(tree[1]["isMerge"].asInt(), 1);
    EXPECT_EQ(Ids(tree[1]["childNodes"], "nodeId"), (std::vector<std::string>{"2009"}));
    EXPECT_EQ(Ids(tree[1]["childNodes"][0]["childDevices"], "deviceId"), (std::vector<std::string>{"kv100112"}));
    Refused(rig.Command(R"({"cmd":36,"clientInfoId":"10002","deviceId":"kv100101"})"), 2001);
    Ok(rig.Command(R"({"cmd":36,"clientInfoId":"10002","deviceId":"kv100112"})"));
}

TEST_F(CloudServiceTest, AlarmPagesPicturesAndNewAlarms) {
    Json::Value first = Ok(rig.Command(AlarmQuery("13800138000", 0)));
    EXPECT_EQ(first["totalPage"].asInt(), 2);
    ASSERT_EQ(first["rows"].size(), 20u);
    EXPECT_EQ(Ok(rig.Command(AlarmQuery("13800138000", 1)))["rows"].size(), 6u);
    EXPECT_EQ(Ok(rig.Command(AlarmQuery("13800138000", 2)))["rows"].size(), 0u);
    for (Json::ArrayIndex i = 1; i < first["rows"].size(); ++i)
        EXPECT_GE(first["rows"][i - 1]["createTime"].asString(), first["rows"][i]["createTime"].asString());

    const Json::Value& row = first["rows"][0];
    std::string url = row["imgUrl"].asString();
    std::string prefix = "http://127.0.0.1:" + std::to_string(rig.Port());
    ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
    EXPECT_NE(url.find(row["fileId"].asString() + ".jpeg"), std::string::npos);
    std::string picture;
    ASSERT_EQ(rig.Get(url.substr(prefix.size()), picture), 200);
    ASSERT_GT(picture.size(), 1000u);
    EXPECT_EQ(picture.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(picture.substr(picture.size() - 2), "\xFF\xD9");
    EXPECT_EQ(rig.Get("/alarm/picture/0000000000000000.jpeg", picture), 404);

    // The sub-account gets the alarms of its own cameras only.
    std::set<std::string> own = {"kv100106", "kv100107", "kv100112"};
    for (int page = 0; page < 2; ++page) {
        const Json::Value reply = Ok(rig.Command(AlarmQuery("13900139000", page)));  // kept alive for the loop
        for (const Json::Value& alarm : reply["rows"])
            EXPECT_TRUE(own.count(alarm["deviceId"].asString())) << alarm["deviceId"].asString();
    }

    Json::Value reply;
    rig.PostRaw("/sim/alarm", R"({"deviceId":"kv100105","warnType":2})", reply);
    Json::Value added = Ok(reply);
    Json::Value after = Ok(rig.Command(AlarmQuery("13800138000", 0)));
    EXPECT_EQ(after["total"].asInt(), first["total"].asInt() + 1);
    EXPECT_EQ(after["rows"][0]["fileId"], added["fileId"]);
    EXPECT_EQ(after["rows"][0]["nodeName"].asString(), "机房");
    EXPECT_EQ(after["rows"][0]["warnType"].asInt(), 2);
    rig.PostRaw("/sim/alarm", R"({"deviceId":"kv100201","warnType":1})", reply);
    Refused(reply, 2001);  // not bound to anyone
}

TEST_F(CloudServiceTest, StagedAlarmsAreListedToTheirAccountAndKeepTheirPictureBack) {
    Json::Value before = Ok(rig.Command(AlarmQuery("13800138000", 0)));
    Json::Value reply;
    // Another account's camera, listed to the main account as well.
    rig.PostRaw("/sim/alarm/staged", R"({"deviceId":"kv100301","warnType":1,"listedTo":"13800138000"})", reply);
    Json::Value stray = Ok(reply);
    rig.PostRaw("/sim/alarm/staged", R"({"deviceId":"kv100101","warnType":2,"brokenPicture":true})", reply);
    Json::Value broken = Ok(reply);
    Json::Value after = Ok(rig.Command(AlarmQuery("13800138000", 0)));
    EXPECT_EQ(after["total"].asInt(), before["total"].asInt() + 2);
    std::set<std::string> listed;
    for (const Json::Value& row : after["rows"]) listed.insert(row["alarmId"].asString());
    EXPECT_TRUE(listed.count(stray["alarmId"].asString()));
    EXPECT_TRUE(listed.count(broken["alarmId"].asString()));
    // The stray alarm is its owner's too, and nobody else's.
    const Json::Value owners = Ok(rig.Command(AlarmQuery("13700137000", 0)));
    ASSERT_EQ(owners["rows"].size(), 1u);
    EXPECT_EQ(owners["rows"][0]["alarmId"], stray["alarmId"]);
    const Json::Value subAccounts = Ok(rig.Command(AlarmQuery("13900139000", 0)));
    for (const Json::Value& row : subAccounts["rows"])
        EXPECT_NE(row["alarmId"], stray["alarmId"]);

    std::string prefix = "http://127.0.0.1:" + std::to_string(rig.Port());
    std::string picture;
    EXPECT_EQ(rig.Get(broken["imgUrl"].asString().substr(prefix.size()), picture), 404);
    EXPECT_EQ(rig.Get(stray["imgUrl"].asString().substr(prefix.size()), picture), 200);

    // A reset takes the staged alarms with the demo data.
    rig.PostRaw("/sim/reset", "", reply);
    Ok(reply);
    EXPECT_EQ(Ok(rig.Command(AlarmQuery("13800138000", 0)))["total"], before["total"]);
}

TEST_F(CloudServiceTest, ArmingAndReceiversAreKeptAndChecked) {
    Json::Value receivers = Ok(rig.Command(R"({"cmd":36,"clientInfoId":"10001","deviceId":"kv100101"})"));
    std::set<int> types;
    for (const Json::Value& receiver : receivers) types.insert(receiver["clientType"].asInt());
    EXPECT_EQ(types, (std::set<int>{0, 1, 2}));
    std::string pc = receivers[0]["warnSettingId"].asString();

    Ok(rig.Command(R"({"cmd":41,"deviceIds":"kv100101##kv100102", "isArming":0,"warnSettingList":[{ "warnSettingId":")" + pc +
                   R"(", "warnStatus":0}]})"));
    Json::Value devices = (*FindNode(Tree(), "2002"))["childDevices"];
    EXPECT_EQ(devices[0]["warnStatus"].asInt(), 0);
    EXPECT_EQ(devices[1]["warnStatus"].asInt(), 0);
    EXPECT_EQ(Ok(rig.Command(R"({"cmd":36,"clientInfoId":"10001","deviceId":"kv100101"})"))[0]["warnStatus"].asInt(), 0);

    // A receiver of another camera: refused, and nothing of the request is kept.
    Json::Value other = Ok(rig.Command(R"({"cmd":36,"clientInfoId":"10001","deviceId":"kv100103"})"));
    Refused(rig.Command(R"({"cmd":41,"deviceIds":"kv100101", "isArming":1,"warnSettingList":[{ "warnSettingId":")" +
                        other[0]["warnSettingId"].asString() + R"(", "warnStatus":0}]})"),
            2001);
    EXPECT_EQ((*FindNode(Tree(), "2002"))["childDevices"][0]["warnStatus"].asInt(), 0);
    Ok(rig.Command(R"({"cmd":41,"deviceIds":"kv100101", "isArming":1})"));
    EXPECT_EQ((*FindNode(Tree(), "2002"))["childDevices"][0]["warnStatus"].asInt(), 1);
}

TEST_F(CloudServiceTest, SubAccountLifecycle) {
    const std::string form =
        R"("mobile":"13600136000","name":"巡检员","password":"patrol88","clientRoleId":"302","expireTime":"2099-1-5","clientType":"0","maxLoginCount":"3","watchTime":"00:00:00-23:59:59")";
    std::string grants = R"(,"result":[{"nodeId":"2002","nodeType":1,"nodeName":"一楼大厅","childDevices":[ { "deviceId":"kv100101","alias":"大门口"}]}])";
    Refused(rig.Command(R"({ "cmd":19,"clientInfoId":"10001",)" + form + R"(,"result":[{"nodeId":"2011","nodeType":1,"nodeName":"x"}]})"), 2001);
    Json::Value created = Ok(rig.Command(R"({ "cmd":19,"clientInfoId":"10001",)" + form + grants + "}"));
    std::string id = created["clientInfoId"].asString();
    Refused(rig.Command(R"({ "cmd":19,"clientInfoId":"10001",)" + form + "}"), 2004);  // mobile taken

    Json::Value list = Ok(rig.Named("getClientChildAcount", R"({"clientInfoId":"10001" })"));
    EXPECT_EQ(Ids(list, "mobile"), (std::vector<std::string>{"13900139000", "13600136000"}));
    Json::Value detail = Ok(rig.Command(R"({"clientInfoId":")" + id + R"(", "cmd":22, "loginUUID":"38207194", "clientType":"0" })"));
    EXPECT_EQ(detail["maxLoginCount"].asInt(), 3);
    EXPECT_EQ(detail["expireTime"].asString(), "2099-1-5");
    EXPECT_EQ(detail["password"].asString(), "patrol88");
    ASSERT_EQ(detail["result"].size(), 1u);
    EXPECT_EQ(Ids(detail["result"][0]["childDevices"], "deviceId"), (std::vector<std::string>{"kv100101"}));

    Ok(rig.Command(R"({"mobile": "13600136000","password" : "patrol88","cmd":1,"clientType":0})"));
    Ok(rig.Command(R"({ "cmd":21,"clientInfoId":")" + id + R"(",)" + form + "}"));  // grants withdrawn
    detail = Ok(rig.Command(R"({"clientInfoId":")" + id + R"(", "cmd":22, "loginUUID":"38207194", "clientType":"0" })"));
    EXPECT_TRUE(detail["result"].empty());
    Refused(rig.Command(R"({ "cmd":21,"clientInfoId":"10001",)" + form + "}"), 2001);  // not a sub-account

    std::string expired = form;
    expired.replace(expired.find("2099-1-5"), 8, "2001-1-5");
    Ok(rig.Command(R"({ "cmd":21,"clientInfoId":")" + id + R"(",)" + expired + "}"));
    Refused(rig.Command(R"({"mobile": "13600136000","password" : "patrol88","cmd":1,"clientType":0})"), 2002);

    Ok(rig.Command(R"({"clientInfoId":")" + id + R"(","cmd": 20 })"));
    Refused(rig.Command(R"({"mobile": "13600136000","password" : "patrol88","cmd":1,"clientType":0})"), 2001);
    EXPECT_EQ(Ok(rig.Named("getClientChildAcount", R"({"clientInfoId":"10001" })")).size(), 1u);
}

// A sub-account's log-in keeps to its viewing periods (local time of day, both ends included) and to
// its maximum number of clients logged in at once.
TEST_F(CloudServiceTest, SubAccountLogInKeepsToPeriodsAndMaximumCount) {
    EXPECT_TRUE(cloudsim::SubAccountLoginGate::InWatchTime("08:00:00-12:00:00#13:00:00-18:00:00", "12:00:00"));
    EXPECT_TRUE(cloudsim::SubAccountLoginGate::InWatchTime("08:00:00-12:00:00#13:00:00-18:00:00", "13:00:00"));
    EXPECT_FALSE(cloudsim::SubAccountLoginGate::InWatchTime("08:00:00-12:00:00#13:00:00-18:00:00", "12:30:00"));
    EXPECT_FALSE(cloudsim::SubAccountLoginGate::InWatchTime("08:00:00-12:00:00", "07:59:59"));

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // One period that excludes the present hour and one that holds the whole day.
    const int away = (local.tm_hour + 12) % 24;
    char elsewhere[32];
    std::snprintf(elsewhere, sizeof elsewhere, "%02d:00:00-%02d:59:59", away, away);
    auto form = [](const std::string& watch, int maxCount) {
        return R"("mobile":"13600136000","name":"巡检员","password":"patrol88","clientRoleId":"302","expireTime":"2099-1-5","clientType":"0","maxLoginCount":")" +
               std::to_string(maxCount) + R"(","watchTime":")" + watch + R"(")";
    };
    const std::string login = R"({"mobile": "13600136000","password" : "patrol88","cmd":1,"clientType":0})";
    std::string id = Ok(rig.Command(R"({ "cmd":19,"clientInfoId":"10001",)" + form(elsewhere, 2) + "}"))["clientInfoId"].asString();
    Json::Value refused = rig.Command(login);
    Refused(refused, 2002);
    EXPECT_NE(refused["msg"].asString().find(elsewhere), std::string::npos) << refused["msg"].asString();

    Ok(rig.Command(R"({ "cmd":21,"clientInfoId":")" + id + R"(",)" + form("00:00:00-23:59:59", 2) + "}"));
    Ok(rig.Command(login));
    Ok(rig.Command(login));
    refused = rig.Command(login);
    Refused(refused, 2002);
    EXPECT_NE(refused["msg"].asString().find("上限"), std::string::npos) << refused["msg"].asString();
    Ok(rig.Command(kMainLogin));  // main accounts are not limited
    Ok(rig.Command(kMainLogin));
    Ok(rig.Command(kMainLogin));
}

TEST_F(CloudServiceTest, RolesAndRights) {
    Json::Value added = Ok(rig.Named("addClientRole", R"({"clientInfoId":"10001","clientRoleName":"巡检员" })"));
    std::string id = added["clientRoleId"].asString();
    Refused(rig.Named("addClientRole", R"({"clientInfoId":"10001","clientRoleName":"巡检员" })"), 2004);
    EXPECT_EQ(Ok(rig.Named("getClientRoleList", R"({"clientInfoId":"10001" })")).size(), 3u);

    Ok(rig.Named("updateClientRole", R"({"clientRoleId":")" + id + R"(","clientRoleName":"巡检","clientRoleResInfo":[ {"clientResourceId":"2016031502", "resourceType":"1"},{"clientResourceId":"2016031701", "resourceType":"3"}]})"));
    Json::Value rights = Ok(rig.Named("getClientRoleRightList", R"({"clientRoleId":")" + id + R"(" })"));
    EXPECT_EQ(Ids(rights, "clientResourceId"), (std::vector<std::string>{"2016031502", "2016031701"}));
    EXPECT_EQ(rights[1]["resourceType"].asInt(), 3);
    Refused(rig.Named("updateClientRole", R"({"clientRoleId":")" + id + R"(","clientRoleName":"巡检","clientRoleResInfo":[ {"clientResourceId":"2016031502", "resourceType":"2"}]})"), 2001);
    EXPECT_EQ(Ok(rig.Named("getClientRoleRightList", R"({"clientRoleId":")" + id + R"(" })")).size(), 2u);
    Ok(rig.Named("updateClientRole", R"({"clientRoleId":")" + id + R"(","clientRoleName":"巡检"})"));
    EXPECT_TRUE(Ok(rig.Named("getClientRoleRightList", R"({"clientRoleId":")" + id + R"(" })")).empty());

    Refused(rig.Named("deleteClientRole", R"({"clientRoleId":"302" })"), 2004);  // the sub-account's role
    Ok(rig.Named("deleteClientRole", R"({"clientRoleId":")" + id + R"(" })"));
    EXPECT_EQ(Ok(rig.Named("getClientRoleList", R"({"clientInfoId":"10001" })")).size(), 2u);
    Refused(rig.Named("getClientResInfoList", R"({"resourceType":"4" })"), 2003);
}

TEST_F(CloudServiceTest, ResetRestoresTheDemoData) {
    Ok(rig.Named("deleteNodeIpc", R"({"nodeId":"2002", "deviceId":"kv100101"})"));
    Ok(rig.Command(R"({"cmd":35,"mobile":"13800138000","oldPassword":"kelvue123","newPassword":"secret77"})"));
    Json::Value reply;
    rig.PostRaw("/sim/reset", "", reply);
    Ok(reply);
    Ok(rig.Command(kMainLogin));
    EXPECT_EQ((*FindNode(Tree(), "2002"))["childDevices"].size(), 2u);
}

}  // namespace
