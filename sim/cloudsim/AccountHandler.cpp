#include "AccountHandler.h"

#include "AccountStore.h"
#include "Refusal.h"
#include "TextRules.h"

#include <ctime>

namespace cloudsim {

void AccountHandler::Register(CommandTable& table) {
    table.AddCommand(1, [this](const RequestBody& body, const RequestContext&) { return Login(body); });
    table.AddCommand(35, [this](const RequestBody& body, const RequestContext&) { return ChangePassword(body); });
}

Json::Value AccountHandler::Login(const RequestBody& body) {
    std::string mobile = body.Text("mobile");
    std::string password = body.Text("password");
    int64_t clientType = body.OptInt("clientType", 0);
    if (clientType < 0 || clientType > 2) throw Refusal(kInvalid, "客户端类型不正确");
    Transaction tx(db);
    auto account = AccountStore(tx).FindByMobile(mobile);
    if (!account) throw Refusal(kNotFound, "账号不存在，请检查手机号码");
    if (account->password != password) throw Refusal(kDenied, "密码错误，请重新输入");
    if (account->IsSub() && !account->expireTime.empty() && account->expireTime < FormatDay(std::time(nullptr)))
        throw Refusal(kDenied, "子账号已过期，请联系主账号延长有效期");
    if (account->IsSub())
        gate.Admit(account->clientInfoId, account->watchTime, account->maxLoginCount, std::time(nullptr));

    Json::Value result(Json::objectValue);
    result["clientInfoId"] = std::to_string(account->clientInfoId);
    result["orgId"] = std::to_string(account->orgId);
    result["isSonAccount"] = account->IsSub() ? 1 : 0;
    result["imPassword"] = account->imPassword;
    result["clientRoleId"] = account->clientRoleId ? std::to_string(account->clientRoleId) : std::string();
    result["im_server_ip"] = imHost;
    result["im_server_port"] = imPort;
    result["mobile"] = account->mobile;
    result["name"] = account->name;
    result["expireTime"] = account->expireTime;
    result["watchTime"] = account->watchTime;
    return result;
}

Json::Value AccountHandler::ChangePassword(const RequestBody& body) {
    std::string mobile = body.Text("mobile");
    std::string oldPassword = body.Text("oldPassword");
    std::string newPassword = body.Text("newPassword");
    Transaction tx(db);
    auto account = AccountStore(tx).FindByMobile(mobile);
    if (!account) throw Refusal(kNotFound, "账号不存在，请重新登录");
    if (account->password != oldPassword) throw Refusal(kDenied, "原密码错误，请重新输入");
    CheckPassword(newPassword, "新密码");
    tx.Run("UPDATE account SET password = ? WHERE clientInfoId = ?", newPassword, account->clientInfoId);
    tx.Commit();
    return Json::Value(Json::objectValue);
}

}  // namespace cloudsim
