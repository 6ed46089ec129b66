#include "service/ChildAccountMgr.h"

#include "app/UserSession.h"
#include "base/SingleLock.h"
#include "service/CodePage.h"
#include "service/DeviceMgr.h"
#include "service/JsonEscape.h"
#include "service/NodeReply.h"
#include "service/ServiceEndpoint.h"
#include "service/ServiceReply.h"

namespace {

// The fixed identifier sent with the detail request.
constexpr char kDetailLoginUuid[] = "38207194";

}  // namespace

int ChildAccountMgr::ReqCCList()
{
    std::vector<ChildAccount> read;
    int result = CallService("api/getClientChildAcount.htdy",
                             "{\"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) + " }",
                             CodeForm::Integer, errorText_, [&](const Json::Value& reply) {
                                 ForEachObject(reply, [&](const Json::Value& element) {
                                     ChildAccount account;
                                     account.clientInfoId = JsonText(element, "clientInfoId");
                                     account.mobile = JsonUtf8Text(element, "mobile");
                                     account.name = JsonUtf8Text(element, "name");
                                     read.push_back(account);
                                 });
                             });
    if (result == 0) {
        base::CSingleLock lock(&lock_, true);
        accounts_ = std::move(read);
    }
    return result;
}

int ChildAccountMgr::ReadAccountDetail(const std::string& reply, ChildAccount& detail, std::string& errorText)
{
    rapidjson::Document document;
    if (!OpenNodeReply(reply, document, errorText))
        return -1;
    ChildAccount read;
    try {
        const rapidjson::Value* result = RapidMember(document, "result");
        if (result == nullptr || !result->IsObject())
            throw ReplyFormatError("result");
        const rapidjson::Value& record = *result;
        std::int64_t maxLoginCount = RapidInt(record, "maxLoginCount");
        if (maxLoginCount < INT32_MIN || maxLoginCount > INT32_MAX)
            throw ReplyFormatError("maxLoginCount");
        read.maxLoginCount = static_cast<std::int32_t>(maxLoginCount);
        read.password = RapidText(record, "password");
        read.clientRoleId = RapidText(record, "clientRoleId");
        read.expireTime = RapidText(record, "expireTime");
        read.watchTime = RapidText(record, "watchTime");
        if (const rapidjson::Value* nodes = RapidMember(record, "result"))
            ParseNodeArray(*nodes, read.nodes);
    } catch (const ReplyFormatError&) {
        errorText = kReplyFormatText;
        return -1;
    }
    detail.maxLoginCount = read.maxLoginCount;
    detail.password = std::move(read.password);
    detail.clientRoleId = std::move(read.clientRoleId);
    detail.expireTime = std::move(read.expireTime);
    detail.watchTime = std::move(read.watchTime);
    detail.nodes = std::move(read.nodes);
    return 0;
}

int ChildAccountMgr::ReqOneAllInfo(const std::string& clientInfoId)
{
    std::string body = "{\"clientInfoId\":" + JsonQuoted(clientInfoId) + ", \"cmd\":22, \"loginUUID\":\"" +
                       kDetailLoginUuid + "\", \"clientType\":\"0\" }";
    ChildAccount detail;
    if (ReadAccountDetail(PostServiceRequest(kCommandPath, body), detail, errorText_) != 0)
        return -1;
    base::CSingleLock lock(&lock_, true);
    for (ChildAccount& account : accounts_) {
        if (account.clientInfoId != clientInfoId)
            continue;
        account.maxLoginCount = detail.maxLoginCount;
        account.password = detail.password;
        account.clientRoleId = detail.clientRoleId;
        account.expireTime = detail.expireTime;
        account.watchTime = detail.watchTime;
        account.nodes = detail.nodes;
    }
    return 0;
}

int ChildAccountMgr::ReqAllInfo()
{
    for (const ChildAccount& account : GetChildAccounts())
        if (ReqOneAllInfo(account.clientInfoId) != 0)
            return -1;
    return 0;
}

std::string ChildAccountMgr::AccountForm(int cmd, const std::string& clientInfoId, const ChildAccount& account)
{
    std::string body = "{ \"cmd\":" + std::to_string(cmd) + ",\"clientInfoId\":" + JsonQuoted(clientInfoId) +
                       ",\"mobile\":" + JsonQuoted(ToUtf8(account.mobile)) + ",\"name\":" + JsonQuoted(ToUtf8(account.name)) +
                       ",\"password\":" + JsonQuoted(account.password) + ",\"clientRoleId\":" + JsonQuoted(account.clientRoleId) +
                       ",\"expireTime\":" + JsonQuoted(account.expireTime) + ",\"clientType\":\"0\"" +
                       ",\"maxLoginCount\":\"" + std::to_string(account.maxLoginCount) + "\"" +
                       ",\"watchTime\":" + JsonQuoted(account.watchTime);
    if (!account.nodes.empty()) {
        body += ",\"result\":[";
        for (std::size_t i = 0; i < account.nodes.size(); ++i)
            body += (i == 0 ? "" : ",") + DeviceMgr::NodeToJson(account.nodes[i]);
        body += "]";
    }
    return body + "}";
}

int ChildAccountMgr::CreateChildAccount(const ChildAccount& account)
{
    return CallService(kCommandPath, AccountForm(19, UserSession::Instance()->ClientInfoId(), account), CodeForm::Integer,
                       errorText_);
}

int ChildAccountMgr::ModifyChildAccount(const ChildAccount& account)
{
    return CallService(kCommandPath, AccountForm(21, account.clientInfoId, account), CodeForm::Integer, errorText_);
}

int ChildAccountMgr::DeleteChildAccount(const std::string& clientInfoId)
{
    return CallService(kCommandPath, "{\"clientInfoId\":" + JsonQuoted(clientInfoId) + ",\"cmd\": 20 }", CodeForm::Integer,
                       errorText_);
}

std::vector<ChildAccount> ChildAccountMgr::GetChildAccounts() const
{
    base::CSingleLock lock(&lock_, true);
    return accounts_;
}

bool ChildAccountMgr::FindChildAccount(const std::string& clientInfoId, ChildAccount& account) const
{
    base::CSingleLock lock(&lock_, true);
    for (const ChildAccount& candidate : accounts_) {
        if (candidate.clientInfoId == clientInfoId) {
            account = candidate;
            return true;
        }
    }
    return false;
}
