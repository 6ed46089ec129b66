#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "service/ClientRole.h"

#include <map>
#include <string>
#include <vector>

// The roles of the signed-in account, the resources they can be granted and their rights, with the
// requests that read and change them. Process-wide, created on first use, never destroyed.
// Threads: requests run on the UI thread. resourceLock_ guards resources_, roleLock_ guards roles_;
// neither is held during a request. errorText_ belongs to the UI thread.
class RoleMgr {
public:
    static RoleMgr* Instance() { return base::Sigleton<RoleMgr>::Instance(); }

    // Each request returns 0 on success and -1 on failure (ErrorText tells why); a failed one changes nothing.
    int ReqResList(int resourceType);
    int ReqRoleList();
    int ReqRoleRights(const std::string& roleId);
    // ReqRoleRights for every listed role in order, stopping at the first failure.
    int ReqAllRoleResList();
    int AddRole(const std::string& name);
    int DeleteRole(const std::string& roleId);
    // Sends the role's name and rights as held; -1 without a request when the role is not listed.
    int UpdateRole(const std::string& roleId);

    // The resources of one type in identifier order.
    void GetResList(int resourceType, std::vector<ClientResource>& resources) const;
    std::vector<ClientRole> GetRoles() const;
    // True and the role's index when the role is listed.
    bool FindRole(const std::string& roleId, int& index) const;
    // Replaces the role's identifiers of one type locally; nothing is sent.
    void SetRoleRights(const std::string& roleId, int resourceType, const std::vector<std::string>& resourceIds);
    // True when the listed role holds the resource among its rights of that type.
    bool RoleHasRight(const std::string& roleId, int resourceType, const std::string& resourceId) const;

    // The body of the role update: the role's id, name and rights (types ascending, lists in order).
    static std::string RoleToJson(const ClientRole& role);

    std::string ErrorText() const { return errorText_; }

private:
    friend class base::Sigleton<RoleMgr>;
    RoleMgr() = default;

    std::map<int, std::map<std::string, ClientResource>> resources_;
    std::vector<ClientRole> roles_;
    std::string errorText_;
    mutable base::CCriticalSection resourceLock_;
    mutable base::CCriticalSection roleLock_;
};
