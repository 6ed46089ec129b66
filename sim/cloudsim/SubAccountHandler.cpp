#include "SubAccountHandler.h"

#include "NodeTree.h"
#include "Refusal.h"
#include "Secret.h"
#include "TextRules.h"

#include <algorithm>
#include <ctime>

namespace cloudsim {

namespace {

AccountRow RequireMain(Transaction& tx, const std::string& clientInfoId) {
    return AccountStore(tx).RequireMain(clientInfoId, "子账号不能管理子账号，请使用主账号操作");
}

// The grants carried by the node forms of a sub-account form, checked against the main tree.
void CollectGrants(const Json::Value& nodes, const NodeTree& tree, Grants& grants, int depth) {
    if (!nodes.isArray() || depth > 32) throw Refusal(kMalformed, "授权节点格式不正确，请重新选择授权节点");
    for (const Json::Value& node : nodes) {
        const Json::Value& id = node.isObject() ? node["nodeId"] : Json::Value();
        std::string idText = id.isString() || id.isIntegral() ? id.asString() : std::string();
        const NodeTree::Node* found = IsDecimalId(idText) ? tree.Find(std::stoll(idText)) : nullptr;
        if (!found) throw Refusal(kNotFound, "授权的节点已不存在，请刷新后重新选择授权节点");
        grants.nodes.insert(found->nodeId);
        if (node.isMember("childDevices")) {
            if (!node["childDevices"].isArray()) throw Refusal(kMalformed, "授权节点格式不正确，请重新选择授权节点");
            for (const Json::Value& device : node["childDevices"]) {
                const Json::Value& deviceId = device.isObject() ? device["deviceId"] : Json::Value();
                if (!deviceId.isString()) throw Refusal(kMalformed, "授权摄像机格式不正确，请重新选择授权节点");
                if (std::find(found->devices.begin(), found->devices.end(), deviceId.asString()) == found->devices.end())
                    throw Refusal(kNotFound, "授权的摄像机已不在节点“" + found->nodeName + "”下，请刷新后重新选择");
                grants.cameras.emplace(found->nodeId, deviceId.asString());
            }
        }
        if (node.isMember("childNodes")) CollectGrants(node["childNodes"], tree, grants, depth + 1);
    }
}

// "2027-01-05" as the client writes it: "2027-1-5".
std::string DayWithoutZeros(const std::string& day) {
    if (day.size() != 10) return day;
    return day.substr(0, 4) + "-" + std::to_string(std::stoi(day.substr(5, 2))) + "-" +
           std::to_string(std::stoi(day.substr(8, 2)));
}

}  // namespace

void SubAccountHandler::Register(CommandTable& table) {
    auto bind = [this](Json::Value (SubAccountHandler::*method)(const RequestBody&)) {
        return [this, method](const RequestBody& body, const RequestContext&) { return (this->*method)(body); };
    };
    table.AddNamed("getClientChildAcount", bind(&SubAccountHandler::List));
    table.AddCommand(22, bind(&SubAccountHandler::Read));
    table.AddCommand(19, bind(&SubAccountHandler::Create));
    table.AddCommand(21, bind(&SubAccountHandler::Modify));
    table.AddCommand(20, bind(&SubAccountHandler::Delete));
}

Json::Value SubAccountHandler::List(const RequestBody& body) {
    Transaction tx(db);
    AccountRow main = RequireMain(tx, body.Id("clientInfoId"));
    Json::Value result(Json::arrayValue);
    for (const AccountRow& sub : AccountStore(tx).SubAccountsOf(main.clientInfoId)) {
        Json::Value item(Json::objectValue);
        item["clientInfoId"] = std::to_string(sub.clientInfoId);
        item["mobile"] = sub.mobile;
        item["name"] = sub.name;
        item["clientRoleId"] = std::to_string(sub.clientRoleId);
        item["expireTime"] = DayWithoutZeros(sub.expireTime);
        result.append(item);
    }
    return result;
}

Json::Value SubAccountHandler::Read(const RequestBody& body) {
    Transaction tx(db);
    AccountStore accounts(tx);
    AccountRow sub = accounts.RequireSub(body.Id("clientInfoId"));
    Json::Value result(Json::objectValue);
    result["clientInfoId"] = std::to_string(sub.clientInfoId);
    result["mobile"] = sub.mobile;
    result["name"] = sub.name;
    result["password"] = sub.password;
    result["clientRoleId"] = std::to_string(sub.clientRoleId);
    result["expireTime"] = DayWithoutZeros(sub.expireTime);
    result["watchTime"] = sub.watchTime;
    result["maxLoginCount"] = static_cast<Json::Int64>(sub.maxLoginCount);
    result["result"] = NodeTree(tx, sub.mainId).ToJson(accounts.GrantsOf(sub.clientInfoId));
    return result;
}

int64_t SubAccountHandler::Save(Transaction& tx, const RequestBody& body, const AccountRow& main, int64_t id) {
    std::string mobile = body.Text("mobile");
    CheckMobile(mobile);
    std::string name = CheckName(body.Text("name"), "姓名", 32);
    std::string password = body.Text("password");
    CheckPassword(password, "密码");
    std::string roleId = body.Id("clientRoleId");
    std::string expire = CheckDay(body.Text("expireTime"), "有效期");
    int64_t maxLogin = body.Count("maxLoginCount");
    if (maxLogin < 1 || maxLogin > 100) throw Refusal(kInvalid, "最大在线数应在1到100之间");
    std::string watchTime = body.Text("watchTime");
    CheckWatchTime(watchTime);

    auto other = AccountStore(tx).FindByMobile(mobile);
    if (other && other->clientInfoId != id) throw Refusal(kConflict, "该手机号码已被其他账号使用，请换一个号码");
    if (!IsDecimalId(roleId) ||
        !tx.Int("SELECT 1 FROM role WHERE clientRoleId = ? AND ownerId = ?", std::stoll(roleId), main.clientInfoId))
        throw Refusal(kNotFound, "所选角色不存在，请刷新角色列表后重新选择");
    Grants grants;
    if (body.Has("result")) CollectGrants(body.Member("result"), NodeTree(tx, main.clientInfoId), grants, 0);

    if (id == 0) {
        tx.Run("INSERT INTO account(mobile, password, name, orgId, mainId, clientRoleId, imPassword, expireTime, "
               "maxLoginCount, watchTime) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
               mobile, password, name, main.orgId, main.clientInfoId, std::stoll(roleId),
               MakeSecret("im:" + mobile + std::to_string(std::time(nullptr))), expire, maxLogin, watchTime);
        id = tx.LastInsertId();
    } else {
        tx.Run("UPDATE account SET mobile = ?, password = ?, name = ?, clientRoleId = ?, expireTime = ?, "
               "maxLoginCount = ?, watchTime = ? WHERE clientInfoId = ?",
               mobile, password, name, std::stoll(roleId), expire, maxLogin, watchTime, id);
        tx.Run("DELETE FROM grant_node WHERE subId = ?", id);
        tx.Run("DELETE FROM grant_camera WHERE subId = ?", id);
    }
    for (int64_t node : grants.nodes) tx.Run("INSERT INTO grant_node VALUES(?, ?)", id, node);
    for (const auto& [node, device] : grants.cameras) tx.Run("INSERT INTO grant_camera VALUES(?, ?, ?)", id, node, device);
    return id;
}

Json::Value SubAccountHandler::Create(const RequestBody& body) {
    Transaction tx(db);
    AccountRow main = RequireMain(tx, body.Id("clientInfoId"));
    int64_t id = Save(tx, body, main, 0);
    tx.Commit();
    im.Sync();
    Json::Value result(Json::objectValue);
    result["clientInfoId"] = std::to_string(id);
    return result;
}

Json::Value SubAccountHandler::Modify(const RequestBody& body) {
    Transaction tx(db);
    AccountStore accounts(tx);
    AccountRow sub = accounts.RequireSub(body.Id("clientInfoId"));
    Save(tx, body, *accounts.FindById(sub.mainId), sub.clientInfoId);
    tx.Run("UPDATE receiver SET mobile = ? WHERE mobile = ?", body.Text("mobile"), sub.mobile);
    tx.Commit();
    im.Sync();
    return Json::Value(Json::objectValue);
}

Json::Value SubAccountHandler::Delete(const RequestBody& body) {
    Transaction tx(db);
    AccountRow sub = AccountStore(tx).RequireSub(body.Id("clientInfoId"));
    tx.Run("DELETE FROM account WHERE clientInfoId = ?", sub.clientInfoId);
    tx.Run("DELETE FROM receiver WHERE mobile = ?", sub.mobile);
    tx.Commit();
    im.Sync();
    return Json::Value(Json::objectValue);
}

}  // namespace cloudsim
