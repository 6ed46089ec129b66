#include "DemoSeed.h"

#include "Secret.h"
#include "TextRules.h"

#include <algorithm>

#include <string>
#include <vector>

namespace cloudsim {

namespace {

struct Account {
    int64_t id;
    const char* mobile;
    const char* password;
    const char* name;
    int64_t mainId;  // 0 for a main account
    int64_t roleId;  // sub-accounts only
    const char* watchTime;
    int maxLoginCount;
};

struct Node {
    int64_t id;
    int64_t owner;
    int64_t parent;  // 0 for a top node
    const char* name;
    int isMerge;
};

struct Camera {
    const char* deviceId;
    const char* alias;
    const char* model;
    int64_t owner;  // 0: not bound to any account yet
    int online;
    int warnStatus;
    std::vector<int64_t> nodes;
};

struct Resource {
    const char* id;
    int type;
    const char* name;
};

constexpr int64_t kMain = 10001, kSub = 10002, kOtherMain = 10003;
constexpr int64_t kAdminRole = 301, kDutyRole = 302;

const Resource kResources[] = {
    {"2016031501", 1, "实时预览"},   {"2016031502", 1, "云台控制"},  {"2016031503", 1, "报警查询"},
    {"2016031504", 1, "报警设置"},   {"2016031505", 1, "录像回放"},  {"2016031506", 1, "抓拍"},
    {"2016031507", 1, "节点管理"},   {"2016031508", 1, "本地录像"},  {"2016031509", 1, "码流切换"},
    {"20160315010", 1, "参数设置"},  {"20160315011", 1, "重启设备"},
    {"2016031601", 2, "手机实时预览"}, {"2016031602", 2, "手机云台控制"}, {"2016031603", 2, "手机录像回放"},
    {"2016031604", 2, "手机报警推送"},
    {"2016031701", 3, "查看设备列表"}, {"2016031702", 3, "修改密码"},
};

// The duty role lacks snapshots, local recording, parameters and reboots (and most phone rights).
const char* const kDutyRights[] = {"2016031501", "2016031502", "2016031503", "2016031505",
                                   "2016031509", "2016031601", "2016031701"};

}  // namespace

void SeedDemoData(Transaction& tx, std::time_t now) {
    tx.Run("INSERT INTO sqlite_sequence(name, seq) VALUES('node', 2100), ('role', 300), ('receiver', 5000), "
           "('binding', 0), ('alarm', 0)");
    for (const Resource& resource : kResources)
        tx.Run("INSERT INTO resource VALUES(?, ?, ?)", resource.id, resource.type, resource.name);

    std::string expire = std::to_string(1900 + [&] { std::tm t{}; gmtime_r(&now, &t); return t.tm_year; }() + 1) +
                         "-12-31";
    const Account accounts[] = {
        {kMain, "13800138000", "kelvue123", "张经理", 0, 0, "00:00:00-23:59:59", 5},
        {kOtherMain, "13700137000", "kelvue789", "王店长", 0, 0, "00:00:00-23:59:59", 3},
        {kSub, "13900139000", "kelvue456", "值班员小李", kMain, kDutyRole, "00:00:00-11:59:59#12:00:00-23:59:59", 100},
    };
    for (const Account& a : accounts) {
        if (a.mainId == 0) {
            tx.Run("INSERT INTO account(clientInfoId, mobile, password, name, orgId, imPassword, expireTime, "
                   "maxLoginCount, watchTime) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   a.id, a.mobile, a.password, a.name, a.id / 10 + 500, MakeSecret(std::string("im:") + a.mobile),
                   expire, a.maxLoginCount, a.watchTime);
        }
    }
    tx.Run("INSERT INTO role(clientRoleId, ownerId, name) VALUES(?, ?, '管理员'), (?, ?, '值班员'), (303, ?, '店员')",
           kAdminRole, kMain, kDutyRole, kMain, kOtherMain);
    for (const Resource& resource : kResources)
        tx.Run("INSERT INTO role_right VALUES(?, ?)", kAdminRole, resource.id);
    for (const char* right : kDutyRights) tx.Run("INSERT INTO role_right VALUES(?, ?)", kDutyRole, right);
    tx.Run("INSERT INTO role_right VALUES(303, '2016031501'), (303, '2016031701')");
    for (const Account& a : accounts) {
        if (a.mainId != 0) {
            tx.Run("INSERT INTO account(clientInfoId, mobile, password, name, orgId, mainId, clientRoleId, imPassword, "
                   "expireTime, maxLoginCount, watchTime) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   a.id, a.mobile, a.password, a.name, a.mainId / 10 + 500, a.mainId, a.roleId,
                   MakeSecret(std::string("im:") + a.mobile), expire, a.maxLoginCount, a.watchTime);
        }
    }

    const Node nodes[] = {
        {2001, kMain, 0, "总部大楼", 0},     {2002, kMain, 2001, "一楼大厅", 0}, {2003, kMain, 2001, "二楼办公区", 0},
        {2004, kMain, 2003, "机房", 0},      {2005, kMain, 0, "仓储中心", 0},    {2006, kMain, 2005, "一号仓库", 0},
        {2007, kMain, 2005, "二号仓库", 0},  {2008, kMain, 0, "停车场", 1},      {2009, kMain, 2008, "地面停车场", 0},
        {2010, kMain, 2008, "地下车库", 0},  {2011, kOtherMain, 0, "城东门店", 0},
    };
    for (const Node& n : nodes) {
        auto statement = tx.Query("INSERT INTO node(nodeId, ownerId, parentId, nodeName, isMerge) VALUES(?, ?, ?, ?, ?)",
                                  n.id, n.owner, n.parent, n.name, n.isMerge);
        if (n.parent == 0) statement.BindNull(3);
        statement.Step();
    }

    const Camera cameras[] = {
        {"kv100101", "大门口", "KV-B200", kMain, 1, 1, {2002}},
        {"kv100102", "前台", "KV-D100", kMain, 1, 1, {2002}},
        {"kv100103", "开放办公区", "KV-D100", kMain, 1, 0, {2003}},
        {"kv100104", "会议室", "KV-D100", kMain, 0, 0, {2003}},
        {"kv100105", "机房通道", "KV-B200", kMain, 1, 1, {2004}},
        {"kv100106", "仓库入口", "KV-B200", kMain, 1, 1, {2006}},
        {"kv100107", "货架A区", "KV-B200", kMain, 0, 1, {2006}},
        {"kv100108", "装卸平台", "KV-P300", kMain, 1, 1, {2007}},
        {"kv100109", "地面入口", "KV-B200", kMain, 1, 1, {2009}},
        {"kv100110", "地面出口", "KV-B200", kMain, 1, 0, {2009}},
        {"kv100111", "车库坡道", "KV-B200", kMain, 0, 1, {2010}},
        {"kv100112", "周界球机", "KV-P300", kMain, 1, 1, {2005, 2009}},
        {"kv100301", "收银台", "KV-D100", kOtherMain, 1, 1, {2011}},
        {"kv100201", "新设备", "KV-D100", 0, 1, 0, {}},
        {"kv100202", "新设备", "KV-B200", 0, 1, 0, {}},
        {"kv100203", "新设备", "KV-P300", 0, 1, 0, {}},
        {"kv100204", "新设备", "KV-D100", 0, 1, 0, {}},
        {"kv100205", "新设备", "KV-B200", 0, 1, 0, {}},
    };
    const char* const mainMobile = "13800138000";
    for (const Camera& c : cameras) {
        auto statement = tx.Query("INSERT INTO camera VALUES(?, ?, ?, ?, ?, ?, ?)", c.deviceId, c.alias, c.model,
                                  c.owner, c.warnStatus, MakeSecret(std::string("cam:") + c.deviceId), c.online);
        if (c.owner == 0) statement.BindNull(4);
        statement.Step();
        for (int64_t node : c.nodes) tx.Run("INSERT INTO binding(nodeId, deviceId) VALUES(?, ?)", node, c.deviceId);
        if (c.owner == 0) continue;
        const char* ownerMobile = c.owner == kMain ? mainMobile : "13700137000";
        tx.Run("INSERT INTO receiver(deviceId, mobile, clientType, loginUUID, warnStatus) VALUES(?, ?, 0, ?, 1)",
               c.deviceId, ownerMobile, "token_PC_CODE");
        tx.Run("INSERT INTO receiver(deviceId, mobile, clientType, loginUUID, warnStatus) VALUES(?, ?, 1, ?, ?)",
               c.deviceId, ownerMobile, MakeSecret(std::string("ios:") + c.deviceId), c.warnStatus);
        if (c.owner == kMain)
            tx.Run("INSERT INTO receiver(deviceId, mobile, clientType, loginUUID, warnStatus) VALUES(?, ?, 2, ?, 0)",
                   c.deviceId, "13900139000", MakeSecret(std::string("android:") + c.deviceId));
    }

    // The sub-account sees the first warehouse whole and the perimeter dome under the parking lot.
    tx.Run("INSERT INTO grant_node VALUES(?, 2006), (?, 2008), (?, 2009)", kSub, kSub, kSub);
    tx.Run("INSERT INTO grant_camera VALUES(?, 2006, 'kv100106'), (?, 2006, 'kv100107'), (?, 2009, 'kv100112')",
           kSub, kSub, kSub);

    // A week of alarms of the main account's cameras: 26 today (two pages), 3 to 9 on other days.
    unsigned state = 20261209u;
    auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % range;
    };
    std::time_t dayStart = now - now % 86400;
    std::vector<std::string> ownCameras;
    for (const Camera& c : cameras)
        if (c.owner == kMain) ownCameras.push_back(c.deviceId);
    for (int back = 6; back >= 0; --back) {
        std::time_t start = dayStart - back * 86400;
        long span = back == 0 ? std::max<long>(now - dayStart, 60) : 86400;
        int count = back == 0 ? 26 : 3 + static_cast<int>(next(7));
        std::vector<std::time_t> times;
        for (int i = 0; i < count; ++i) times.push_back(start + next(static_cast<unsigned>(span)));
        std::sort(times.begin(), times.end());
        for (std::time_t when : times) {
            const std::string& device = ownCameras[next(static_cast<unsigned>(ownCameras.size()))];
            int type = next(4) == 0 ? 2 : 1;
            std::string created = FormatDateTime(when);
            tx.Run("INSERT INTO alarm(deviceId, warnType, createTime, fileId) VALUES(?, ?, ?, ?)", device, type,
                   created, MakeSecret("alarm:" + device + created + std::to_string(next(1000000))));
        }
    }
}

}  // namespace cloudsim
