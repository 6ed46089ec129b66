#include "app/UserSession.h"

#include "service/CodePage.h"
#include "service/JsonEscape.h"
#include "service/RoleMgr.h"
#include "service/ServiceEndpoint.h"
#include "service/ServiceReply.h"

std::string UserSession::ErrorText() const { std::lock_guard<std::mutex> lock(mutex_); return errorText_; }
bool UserSession::IsSonAccount() const { std::lock_guard<std::mutex> lock(mutex_); return isSonAccount_; }
std::string UserSession::ClientInfoId() const { std::lock_guard<std::mutex> lock(mutex_); return clientInfoId_; }
std::string UserSession::OrgId() const { std::lock_guard<std::mutex> lock(mutex_); return orgId_; }
std::string UserSession::Mobile() const { std::lock_guard<std::mutex> lock(mutex_); return mobile_; }
std::string UserSession::Password() const { std::lock_guard<std::mutex> lock(mutex_); return password_; }
std::string UserSession::ImPassword() const { std::lock_guard<std::mutex> lock(mutex_); return imPassword_; }
std::string UserSession::ClientRoleId() const { std::lock_guard<std::mutex> lock(mutex_); return clientRoleId_; }
std::string UserSession::ImServerIp() const { std::lock_guard<std::mutex> lock(mutex_); return imServerIp_; }
std::int32_t UserSession::ImServerPort() const { std::lock_guard<std::mutex> lock(mutex_); return imServerPort_; }

void UserSession::SetErrorText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    errorText_ = text;
}

int UserSession::Login(const std::string& mobile, const std::string& password)
{
    std::string body = "{\"mobile\": " + JsonQuoted(mobile) + ",\"password\" : " + JsonQuoted(password) +
                       ",\"cmd\":1,\"clientType\":0}";
    std::string error;
    int result = CallService(kCommandPath, body, CodeForm::Text, error, [&](const Json::Value& reply) {
        // Everything is read before anything is stored, so a malformed reply changes nothing.
        std::string clientInfoId = JsonText(reply, "clientInfoId");
        std::string orgId = JsonText(reply, "orgId");
        bool isSonAccount = JsonInt(reply, "isSonAccount") != 0;
        std::string imPassword = FromUtf8(JsonText(reply, "imPassword"));
        std::string clientRoleId = JsonText(reply, "clientRoleId");
        std::string imServerIp = JsonText(reply, "im_server_ip");
        int imServerPort = JsonInt(reply, "im_server_port");
        std::lock_guard<std::mutex> lock(mutex_);
        clientInfoId_ = clientInfoId;
        orgId_ = orgId;
        mobile_ = mobile;
        password_ = password;
        isSonAccount_ = isSonAccount;
        imPassword_ = imPassword;
        clientRoleId_ = clientRoleId;
        imServerIp_ = imServerIp;
        imServerPort_ = imServerPort;
    });
    if (result != 0)
        SetErrorText(error);
    return result;
}

int UserSession::ChangePassword(const std::string& newPassword)
{
    std::string body = "{\"cmd\":35,\"mobile\":" + JsonQuoted(Mobile()) + ",\"oldPassword\":" + JsonQuoted(Password()) +
                       ",\"newPassword\":" + JsonQuoted(newPassword) + "}";
    std::string error;
    if (CallService(kCommandPath, body, CodeForm::Text, error) != 0) {
        SetErrorText(error);
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    password_ = newPassword;
    return 0;
}

int UserSession::LoadRights()
{
    RoleMgr* roles = RoleMgr::Instance();
    if (roles->ReqResList(kPcResourceType) != 0)
        return -1;
    return roles->ReqRoleRights(ClientRoleId());
}

bool UserSession::HasRight(const std::string& resourceId) const
{
    return RoleMgr::Instance()->RoleHasRight(ClientRoleId(), kPcResourceType, resourceId);
}
