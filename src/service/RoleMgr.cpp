#include "service/RoleMgr.h"

#include "app/UserSession.h"
#include "base/SingleLock.h"
#include "service/CodePage.h"
#include "service/JsonEscape.h"
#include "service/ServiceReply.h"

#include <algorithm>

namespace {

constexpr char kRoleNotListedText[] = "该角色不存在，请刷新角色列表";

ClientRole* Listed(std::vector<ClientRole>& roles, const std::string& roleId)
{
    auto found = std::find_if(roles.begin(), roles.end(), [&](const ClientRole& role) { return role.clientRoleId == roleId; });
    return found == roles.end() ? nullptr : &*found;
}

}  // namespace

int RoleMgr::ReqResList(int resourceType)
{
    std::map<std::string, ClientResource> read;
    int result = CallService("api/getClientResInfoList.htdy",
                             "{\"resourceType\":\"" + std::to_string(resourceType) + "\" }", CodeForm::Integer, errorText_,
                             [&](const Json::Value& reply) {
                                 ForEachObject(reply, [&](const Json::Value& element) {
                                     ClientResource resource{JsonText(element, "resourceType"),
                                                             JsonUtf8Text(element, "clientResourceId"),
                                                             JsonUtf8Text(element, "resourceName")};
                                     read[resource.clientResourceId] = resource;  // a later duplicate replaces
                                 });
                             });
    if (result == 0) {
        base::CSingleLock lock(&resourceLock_, true);
        resources_[resourceType] = std::move(read);
    }
    return result;
}

void RoleMgr::GetResList(int resourceType, std::vector<ClientResource>& resources) const
{
    base::CSingleLock lock(&resourceLock_, true);
    resources.clear();
    auto type = resources_.find(resourceType);
    if (type == resources_.end())
        return;
    for (const auto& entry : type->second)
        resources.push_back(entry.second);
}

int RoleMgr::ReqRoleList()
{
    std::vector<ClientRole> read;
    int result = CallService("api/getClientRoleList.htdy",
                             "{\"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) + " }",
                             CodeForm::Integer, errorText_, [&](const Json::Value& reply) {
                                 ForEachObject(reply, [&](const Json::Value& element) {
                                     std::string id = JsonText(element, "clientRoleId");
                                     if (Listed(read, id) == nullptr)
                                         read.push_back({JsonUtf8Text(element, "clientRoleName"), id, {}});
                                 });
                             });
    if (result == 0) {
        base::CSingleLock lock(&roleLock_, true);
        roles_ = std::move(read);
    }
    return result;
}

int RoleMgr::ReqRoleRights(const std::string& roleId)
{
    std::map<int, std::vector<std::string>> rights;
    int result = CallService("api/getClientRoleRightList.htdy", "{\"clientRoleId\":" + JsonQuoted(roleId) + " }",
                             CodeForm::Integer, errorText_, [&](const Json::Value& reply) {
                                 ForEachObject(reply, [&](const Json::Value& element) {
                                     int type = JsonInt(element, "resourceType");
                                     rights[type].push_back(JsonText(element, "clientResourceId"));
                                 });
                             });
    if (result != 0)
        return result;
    base::CSingleLock lock(&roleLock_, true);
    if (ClientRole* role = Listed(roles_, roleId))
        role->rights = std::move(rights);
    else
        roles_.push_back({"", roleId, std::move(rights)});
    return 0;
}

int RoleMgr::ReqAllRoleResList()
{
    for (const ClientRole& role : GetRoles())
        if (ReqRoleRights(role.clientRoleId) != 0)
            return -1;
    return 0;
}

int RoleMgr::AddRole(const std::string& name)
{
    return CallService("api/addClientRole.htdy",
                       "{\"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) +
                           ",\"clientRoleName\":" + JsonQuoted(ToUtf8(name)) + " }",
                       CodeForm::Integer, errorText_);
}

int RoleMgr::DeleteRole(const std::string& roleId)
{
    return CallService("api/deleteClientRole.htdy", "{\"clientRoleId\":" + JsonQuoted(roleId) + " }", CodeForm::Integer,
                       errorText_);
}

std::string RoleMgr::RoleToJson(const ClientRole& role)
{
    std::string json = "{\"clientRoleId\":" + JsonQuoted(role.clientRoleId) + ",\"clientRoleName\":" + JsonQuoted(role.clientRoleName);
    bool holdsClientRight = std::any_of(role.rights.begin(), role.rights.end(), [](const auto& entry) {
        return entry.first >= 1 && entry.first <= 3 && !entry.second.empty();
    });
    if (holdsClientRight) {
        bool first = true;
        for (const auto& [type, ids] : role.rights) {
            for (const std::string& id : ids) {
                json += first ? ",\"clientRoleResInfo\":[ " : ",";
                json += "{\"clientResourceId\":" + JsonQuoted(id) + ", \"resourceType\":\"" + std::to_string(type) + "\"}";
                first = false;
            }
        }
        json += "]";
    }
    return json + "}";
}

int RoleMgr::UpdateRole(const std::string& roleId)
{
    ClientRole role;
    {
        base::CSingleLock lock(&roleLock_, true);
        ClientRole* listed = Listed(roles_, roleId);
        if (listed == nullptr) {
            errorText_ = kRoleNotListedText;
            return -1;
        }
        role = *listed;
    }
    return CallService("api/updateClientRole.htdy", RoleToJson(role), CodeForm::Integer, errorText_);
}

std::vector<ClientRole> RoleMgr::GetRoles() const
{
    base::CSingleLock lock(&roleLock_, true);
    return roles_;
}

bool RoleMgr::FindRole(const std::string& roleId, int& index) const
{
    base::CSingleLock lock(&roleLock_, true);
    for (std::size_t i = 0; i < roles_.size(); ++i) {
        if (roles_[i].clientRoleId == roleId) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void RoleMgr::SetRoleRights(const std::string& roleId, int resourceType, const std::vector<std::string>& resourceIds)
{
    base::CSingleLock lock(&roleLock_, true);
    if (ClientRole* role = Listed(roles_, roleId))
        role->rights[resourceType] = resourceIds;
}

bool RoleMgr::RoleHasRight(const std::string& roleId, int resourceType, const std::string& resourceId) const
{
    base::CSingleLock lock(&roleLock_, true);
    auto role = std::find_if(roles_.begin(), roles_.end(), [&](const ClientRole& r) { return r.clientRoleId == roleId; });
    if (role == roles_.end())
        return false;
    auto ids = role->rights.find(resourceType);
    return ids != role->rights.end() && std::find(ids->second.begin(), ids->second.end(), resourceId) != ids->second.end();
}
