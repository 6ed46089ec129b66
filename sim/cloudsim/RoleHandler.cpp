#include "RoleHandler.h"

#include "AccountStore.h"
#include "Refusal.h"
#include "TextRules.h"

namespace cloudsim {

namespace {

constexpr size_t kMaxRoleNameChars = 32;

// A role named by a request's id text; returns its id and owner.
std::pair<int64_t, int64_t> RequireRole(Transaction& tx, const std::string& roleId) {
    std::optional<int64_t> owner;
    if (IsDecimalId(roleId)) owner = tx.Int("SELECT ownerId FROM role WHERE clientRoleId = ?", std::stoll(roleId));
    if (!owner) throw Refusal(kNotFound, "角色不存在或已被删除，请刷新角色列表");
    return {std::stoll(roleId), *owner};
}

void CheckUniqueName(Transaction& tx, int64_t owner, const std::string& name, int64_t except) {
    if (tx.Int("SELECT 1 FROM role WHERE ownerId = ? AND name = ? AND clientRoleId <> ?", owner, name, except))
        throw Refusal(kConflict, "角色名称“" + name + "”已存在，请换一个名称");
}

}  // namespace

void RoleHandler::Register(CommandTable& table) {
    auto bind = [this](Json::Value (RoleHandler::*method)(const RequestBody&)) {
        return [this, method](const RequestBody& body, const RequestContext&) { return (this->*method)(body); };
    };
    table.AddNamed("getClientRoleList", bind(&RoleHandler::ListRoles));
    table.AddNamed("addClientRole", bind(&RoleHandler::AddRole));
    table.AddNamed("updateClientRole", bind(&RoleHandler::UpdateRole));
    table.AddNamed("deleteClientRole", bind(&RoleHandler::DeleteRole));
    table.AddNamed("getClientResInfoList", bind(&RoleHandler::ListResources));
    table.AddNamed("getClientRoleRightList", bind(&RoleHandler::ListRights));
}

Json::Value RoleHandler::ListRoles(const RequestBody& body) {
    Transaction tx(db);
    AccountRow account = AccountStore(tx).Require(body.Id("clientInfoId"));
    auto rows = tx.Query("SELECT clientRoleId, name FROM role WHERE ownerId = ? ORDER BY clientRoleId", account.OwnerId());
    Json::Value result(Json::arrayValue);
    while (rows.Step()) {
        Json::Value item(Json::objectValue);
        item["clientRoleId"] = std::to_string(rows.Int(0));
        item["clientRoleName"] = rows.Text(1);
        item["clientInfoId"] = std::to_string(account.OwnerId());
        result.append(item);
    }
    return result;
}

Json::Value RoleHandler::AddRole(const RequestBody& body) {
    std::string name = CheckName(body.Text("clientRoleName"), "角色名称", kMaxRoleNameChars);
    Transaction tx(db);
    AccountRow account = AccountStore(tx).RequireMain(body.Id("clientInfoId"), "子账号不能管理角色，请使用主账号操作");
    CheckUniqueName(tx, account.clientInfoId, name, 0);
    tx.Run("INSERT INTO role(ownerId, name) VALUES(?, ?)", account.clientInfoId, name);
    Json::Value result(Json::objectValue);
    result["clientRoleId"] = std::to_string(tx.LastInsertId());
    result["clientRoleName"] = name;
    tx.Commit();
    return result;
}

Json::Value RoleHandler::UpdateRole(const RequestBody& body) {
    std::string name = CheckName(body.Text("clientRoleName"), "角色名称", kMaxRoleNameChars);
    std::vector<std::pair<std::string, std::string>> rights;  // (resource id, type text)
    if (body.Has("clientRoleResInfo")) {
        const Json::Value& list = body.Member("clientRoleResInfo");
        if (!list.isArray()) throw Refusal(kMalformed, "请求参数“clientRoleResInfo”类型不正确");
        for (const Json::Value& item : list) {
            const Json::Value& id = item.isObject() ? item["clientResourceId"] : Json::Value();
            const Json::Value& type = item.isObject() ? item["resourceType"] : Json::Value();
            if (!id.isString() || !(type.isString() || type.isIntegral()))
                throw Refusal(kMalformed, "权限格式不正确，请重新选择权限");
            rights.emplace_back(id.asString(), type.asString());
        }
    }
    Transaction tx(db);
    auto [roleId, owner] = RequireRole(tx, body.Id("clientRoleId"));
    CheckUniqueName(tx, owner, name, roleId);
    tx.Run("UPDATE role SET name = ? WHERE clientRoleId = ?", name, roleId);
    tx.Run("DELETE FROM role_right WHERE clientRoleId = ?", roleId);
    for (const auto& [resource, type] : rights) {
        auto actual = tx.Int("SELECT resourceType FROM resource WHERE clientResourceId = ?", resource);
        if (!actual || std::to_string(*actual) != type)
            throw Refusal(kNotFound, "权限“" + resource + "”不存在，请刷新权限列表后重新选择");
        tx.Run("INSERT OR IGNORE INTO role_right VALUES(?, ?)", roleId, resource);
    }
    tx.Commit();
    return Json::Value(Json::objectValue);
}

Json::Value RoleHandler::DeleteRole(const RequestBody& body) {
    Transaction tx(db);
    const int64_t roleId = RequireRole(tx, body.Id("clientRoleId")).first;
    if (auto users = tx.Int("SELECT COUNT(*) FROM account WHERE clientRoleId = ?", roleId); users && *users > 0)
        throw Refusal(kConflict, "该角色正被" + std::to_string(*users) + "个子账号使用，请先为它们更换角色再删除");
    tx.Run("DELETE FROM role WHERE clientRoleId = ?", roleId);
    tx.Commit();
    return Json::Value(Json::objectValue);
}

Json::Value RoleHandler::ListResources(const RequestBody& body) {
    std::string type = body.Id("resourceType");
    if (type != "1" && type != "2" && type != "3") throw Refusal(kInvalid, "资源类型不正确（1电脑，2手机，3所有）");
    Transaction tx(db);
    auto rows = tx.Query("SELECT clientResourceId, resourceName FROM resource WHERE resourceType = ? "
                         "ORDER BY length(clientResourceId), clientResourceId",
                         std::stoll(type));
    Json::Value result(Json::arrayValue);
    while (rows.Step()) {
        Json::Value item(Json::objectValue);
        item["clientResourceId"] = rows.Text(0);
        item["resourceName"] = rows.Text(1);
        item["resourceType"] = type;
        result.append(item);
    }
    return result;
}

Json::Value RoleHandler::ListRights(const RequestBody& body) {
    Transaction tx(db);
    const int64_t roleId = RequireRole(tx, body.Id("clientRoleId")).first;
    auto rows = tx.Query("SELECT r.clientResourceId, s.resourceType, s.resourceName FROM role_right r "
                         "JOIN resource s ON s.clientResourceId = r.clientResourceId WHERE r.clientRoleId = ? "
                         "ORDER BY s.resourceType, length(r.clientResourceId), r.clientResourceId",
                         roleId);
    Json::Value result(Json::arrayValue);
    while (rows.Step()) {
        Json::Value item(Json::objectValue);
        item["clientRoleId"] = std::to_string(roleId);
        item["clientResourceId"] = rows.Text(0);
        item["resourceType"] = static_cast<int>(rows.Int(1));
        item["resourceName"] = rows.Text(2);
        result.append(item);
    }
    return result;
}

}  // namespace cloudsim
