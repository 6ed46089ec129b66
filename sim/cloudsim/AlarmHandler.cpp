#include "AlarmHandler.h"

#include "AccountStore.h"
#include "AlarmPicture.h"
#include "NodeTree.h"
#include "Refusal.h"
#include "Secret.h"
#include "TextRules.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>

namespace cloudsim {

namespace {

std::string PictureUrl(const RequestContext& context, const std::string& fileId) {
    return context.baseUrl + "/alarm/picture/" + fileId + ".jpeg";
}

std::vector<std::string> SplitIds(const std::string& joined) {
    std::vector<std::string> ids;
    for (size_t start = 0;;) {
        size_t end = joined.find("##", start);
        ids.push_back(joined.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return ids;
        start = end + 2;
    }
}

}  // namespace

void AlarmHandler::Register(CommandTable& table) {
    table.AddCommand(36, [this](const RequestBody& body, const RequestContext&) { return Receivers(body); });
    table.AddCommand(39, [this](const RequestBody& body, const RequestContext& context) { return AlarmPage(body, context); });
    table.AddCommand(41, [this](const RequestBody& body, const RequestContext&) { return Arming(body); });
}

Json::Value AlarmHandler::Receivers(const RequestBody& body) {
    std::string deviceId = body.Text("deviceId");
    Transaction tx(db);
    AccountStore accounts(tx);
    AccountRow account = accounts.Require(body.Id("clientInfoId"));
    if (!accounts.CanSeeCamera(account, deviceId))
        throw Refusal(kNotFound, "该摄像机不存在或不属于本账号，请刷新设备列表");
    auto rows = tx.Query("SELECT warnSettingId, loginUUID, clientType, mobile, warnStatus FROM receiver "
                         "WHERE deviceId = ? ORDER BY warnSettingId",
                         deviceId);
    Json::Value result(Json::arrayValue);
    while (rows.Step()) {
        Json::Value item(Json::objectValue);
        item["warnSettingId"] = std::to_string(rows.Int(0));
        item["loginUUID"] = rows.Text(1);
        item["clientType"] = static_cast<int>(rows.Int(2));
        item["mobile"] = rows.Text(3);
        item["warnStatus"] = static_cast<int>(rows.Int(4));
        item["deviceId"] = deviceId;
        result.append(item);
    }
    return result;
}

Json::Value AlarmHandler::AlarmPage(const RequestBody& body, const RequestContext& context) {
    std::string mobile = body.Text("mobile");
    int64_t page = body.Int("pn");
    int64_t pageSize = body.OptInt("pageSize", kPageSize);
    std::string day = CheckDay(body.Text("day"), "查询日期");
    int64_t hour = body.OptInt("hours", 0);
    int64_t warnType = body.OptInt("warnType", 0);
    if (page < 0 || page > 100000) throw Refusal(kInvalid, "页码不正确，请从第0页开始查询");
    if (pageSize < 1 || pageSize > 100) throw Refusal(kInvalid, "每页条数应在1到100之间");
    if (hour < 0 || hour > 23) throw Refusal(kInvalid, "小时应在0到23之间（0表示查询全天）");
    if (warnType < 0 || warnType > 2) throw Refusal(kInvalid, "报警类型不正确，请重新选择");

    Transaction tx(db);
    AccountStore accounts(tx);
    auto account = accounts.FindByMobile(mobile);
    if (!account) throw Refusal(kNotFound, "账号不存在，请重新登录");
    auto visible = accounts.VisibleCameras(*account);
    std::set<std::string> cameras(visible.begin(), visible.end());
    NodeTree tree(tx, account->OwnerId());

    char hourText[4];
    std::snprintf(hourText, sizeof hourText, "%02d", static_cast<int>(hour));
    auto rows = tx.Query("SELECT a.alarmId, a.deviceId, a.warnType, a.createTime, a.fileId, c.alias, "
                         "IFNULL(s.listedTo, '') FROM alarm a "
                         "JOIN camera c ON c.deviceId = a.deviceId LEFT JOIN staged_alarm s ON s.alarmId = a.alarmId "
                         "WHERE substr(a.createTime, 1, 10) = ? AND (? = 0 OR substr(a.createTime, 12, 2) = ?) "
                         "AND (? = 0 OR a.warnType = ?) ORDER BY a.createTime DESC, a.alarmId DESC",
                         day, hour, std::string(hourText), warnType, warnType);
    Json::Value all(Json::arrayValue);
    while (rows.Step()) {
        std::string deviceId = rows.Text(1);
        if (!cameras.count(deviceId) && rows.Text(6) != mobile) continue;
        Json::Value item(Json::objectValue);
        item["alarmId"] = std::to_string(rows.Int(0));
        item["deviceId"] = deviceId;
        item["warnType"] = static_cast<int>(rows.Int(2));
        item["createTime"] = rows.Text(3);
        item["fileId"] = rows.Text(4);
        item["imgUrl"] = PictureUrl(context, rows.Text(4));
        item["deviceAlias"] = rows.Text(5);
        item["nodeName"] = tree.NodeNameOf(tree.FirstNodeOf(deviceId));
        all.append(item);
    }
    Json::Value result(Json::objectValue);
    int64_t total = all.size();
    result["total"] = static_cast<Json::Int64>(total);
    result["totalPage"] = static_cast<Json::Int64>((total + pageSize - 1) / pageSize);
    result["pn"] = static_cast<Json::Int64>(page);
    result["pageSize"] = static_cast<Json::Int64>(pageSize);
    result["rows"] = Json::Value(Json::arrayValue);
    for (int64_t i = page * pageSize; i < std::min(total, (page + 1) * pageSize); ++i)
        result["rows"].append(all[static_cast<Json::ArrayIndex>(i)]);
    return result;
}

Json::Value AlarmHandler::Arming(const RequestBody& body) {
    std::vector<std::string> devices = SplitIds(body.Text("deviceIds"));
    int64_t arming = body.Int("isArming");
    if (arming != 0 && arming != 1) throw Refusal(kInvalid, "布防参数不正确（1布防，0撤防）");
    std::vector<std::pair<int64_t, int>> switches;
    if (body.Has("warnSettingList")) {
        const Json::Value& list = body.Member("warnSettingList");
        if (!list.isArray()) throw Refusal(kMalformed, "请求参数“warnSettingList”类型不正确");
        for (const Json::Value& item : list) {
            const Json::Value& id = item.isObject() ? item["warnSettingId"] : Json::Value();
            const Json::Value& status = item.isObject() ? item["warnStatus"] : Json::Value();
            std::string idText = id.isString() ? id.asString() : id.isIntegral() ? id.asString() : std::string();
            if (!IsDecimalId(idText) || !status.isIntegral() || (status.asInt64() != 0 && status.asInt64() != 1))
                throw Refusal(kMalformed, "报警接收设置格式不正确，请重新打开报警设置");
            switches.emplace_back(std::stoll(idText), static_cast<int>(status.asInt64()));
        }
    }
    Transaction tx(db);
    for (const std::string& device : devices) {
        if (!tx.Int("SELECT 1 FROM camera WHERE deviceId = ? AND ownerId IS NOT NULL", device))
            throw Refusal(kNotFound, "摄像机“" + device + "”不存在或未绑定，请刷新设备列表");
        tx.Run("UPDATE camera SET warnStatus = ? WHERE deviceId = ?", arming, device);
    }
    for (auto [id, status] : switches) {
        auto owner = tx.Text("SELECT deviceId FROM receiver WHERE warnSettingId = ?", id);
        if (!owner || std::find(devices.begin(), devices.end(), *owner) == devices.end())
            throw Refusal(kNotFound, "报警接收设置已不存在，请重新打开报警设置");
        tx.Run("UPDATE receiver SET warnStatus = ? WHERE warnSettingId = ?", status, id);
    }
    tx.Commit();
    return Json::Value(Json::objectValue);
}

Json::Value AlarmHandler::RecordAlarm(const std::string& deviceId, int warnType, const RequestContext& context) {
    if (warnType != 1 && warnType != 2) throw Refusal(kInvalid, "报警类型不正确（1移动侦测，2外部报警）");
    Transaction tx(db);
    auto alias = tx.Text("SELECT alias FROM camera WHERE deviceId = ? AND ownerId IS NOT NULL", deviceId);
    if (!alias) throw Refusal(kNotFound, "摄像机不存在或未绑定");
    int64_t owner = *tx.Int("SELECT ownerId FROM camera WHERE deviceId = ?", deviceId);
    std::string created = FormatDateTime(std::time(nullptr));
    int64_t next = tx.Int("SELECT IFNULL(MAX(alarmId), 0) + 1 FROM alarm").value_or(1);
    std::string fileId = MakeSecret("alarm:" + deviceId + created + std::to_string(next));
    tx.Run("INSERT INTO alarm(deviceId, warnType, createTime, fileId) VALUES(?, ?, ?, ?)", deviceId, warnType, created,
           fileId);
    NodeTree tree(tx, owner);
    Json::Value item(Json::objectValue);
    item["alarmId"] = std::to_string(tx.LastInsertId());
    item["deviceId"] = deviceId;
    item["warnType"] = warnType;
    item["createTime"] = created;
    item["fileId"] = fileId;
    item["imgUrl"] = PictureUrl(context, fileId);
    item["deviceAlias"] = *alias;
    item["nodeName"] = tree.NodeNameOf(tree.FirstNodeOf(deviceId));
    tx.Commit();
    return item;
}

std::optional<std::string> AlarmHandler::Picture(const std::string& fileId) {
    std::string deviceId, created;
    int type = 0;
    {
        Transaction tx(db);
        auto row = tx.Query("SELECT a.deviceId, a.createTime, a.warnType, IFNULL(s.brokenPicture, 0) FROM alarm a "
                            "LEFT JOIN staged_alarm s ON s.alarmId = a.alarmId WHERE a.fileId = ?",
                            fileId);
        if (!row.Step() || row.Int(3) != 0) return std::nullopt;
        deviceId = row.Text(0);
        created = row.Text(1);
        type = static_cast<int>(row.Int(2));
    }
    return AlarmPicture::Render(deviceId, created, type, fileId);
}

}  // namespace cloudsim
