#pragma once

#include "base/Sigleton.h"

#include <cstdint>
#include <mutex>
#include <string>

// The signed-in account: what the log-in reply delivered, the mobile number and password typed at log-in,
// and the reason of the last failed account request. Process-wide, created on first use, never destroyed.
// Threads: Login and ChangePassword run on the UI thread; every field is guarded by mutex_ (never held
// during a request), so the IM thread may read the accessors at any time.
class UserSession {
public:
    static UserSession* Instance() { return base::Sigleton<UserSession>::Instance(); }

    std::string ErrorText() const;
    bool IsSonAccount() const;
    std::string ClientInfoId() const;
    std::string OrgId() const;
    std::string Mobile() const;
    std::string Password() const;
    std::string ImPassword() const;
    std::string ClientRoleId() const;
    std::string ImServerIp() const;
    std::int32_t ImServerPort() const;

    // The log-in request (cmd 1). 0 on success (every member replaced), -1 on failure (only errorText changes).
    int Login(const std::string& mobile, const std::string& password);
    // The password change (cmd 35). 0 on success (the new password is kept), -1 on failure.
    int ChangePassword(const std::string& newPassword);

    // Loads the resources of type 1 and then the rights of the account's role into RoleMgr.
    // 0 on success, -1 on the first failure (RoleMgr's ErrorText tells why).
    int LoadRights();
    // True when the rights of the account's role (resource type 1) held by RoleMgr include the resource.
    bool HasRight(const std::string& resourceId) const;

private:
    friend class base::Sigleton<UserSession>;
    UserSession() = default;

    void SetErrorText(const std::string& text);

    mutable std::mutex mutex_;
    std::string errorText_;
    bool isSonAccount_ = false;
    std::string clientInfoId_;
    std::string orgId_;
    std::string mobile_;
    std::string password_;
    std::string imPassword_;
    std::string clientRoleId_;
    std::string imServerIp_;
    std::int32_t imServerPort_ = 0;
};
