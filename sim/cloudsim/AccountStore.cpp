#include "AccountStore.h"

#include "Refusal.h"
#include "TextRules.h"

#include <algorithm>

namespace cloudsim {

std::vector<AccountRow> AccountStore::Select(const char* where, const std::string& value) {
    std::string sql =
        "SELECT clientInfoId, mobile, password, name, orgId, IFNULL(mainId, 0), IFNULL(clientRoleId, 0), imPassword, "
        "expireTime, watchTime, maxLoginCount FROM account ";
    sql += where;
    sql += " ORDER BY clientInfoId";
    auto statement = tx.Query(sql.c_str(), value);
    std::vector<AccountRow> rows;
    while (statement.Step()) {
        AccountRow row;
        row.clientInfoId = statement.Int(0);
        row.mobile = statement.Text(1);
        row.password = statement.Text(2);
        row.name = statement.Text(3);
        row.orgId = statement.Int(4);
        row.mainId = statement.Int(5);
        row.clientRoleId = statement.Int(6);
        row.imPassword = statement.Text(7);
        row.expireTime = statement.Text(8);
        row.watchTime = statement.Text(9);
        row.maxLoginCount = statement.Int(10);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<AccountRow> AccountStore::FindById(int64_t clientInfoId) {
    auto rows = Select("WHERE clientInfoId = CAST(? AS INTEGER)", std::to_string(clientInfoId));
    if (rows.empty()) return std::nullopt;
    return rows.front();
}

std::optional<AccountRow> AccountStore::FindByMobile(const std::string& mobile) {
    auto rows = Select("WHERE mobile = ?", mobile);
    if (rows.empty()) return std::nullopt;
    return rows.front();
}

AccountRow AccountStore::Require(const std::string& clientInfoId) {
    static const char* const kGone = "账号不存在或已被删除，请重新登录";
    if (!IsDecimalId(clientInfoId)) throw Refusal(kNotFound, kGone);
    auto account = FindById(std::stoll(clientInfoId));
    if (!account) throw Refusal(kNotFound, kGone);
    return *account;
}

AccountRow AccountStore::RequireMain(const std::string& clientInfoId, const char* subRefusal) {
    AccountRow account = Require(clientInfoId);
    if (account.IsSub()) throw Refusal(kDenied, subRefusal);
    return account;
}

AccountRow AccountStore::RequireSub(const std::string& clientInfoId) {
    static const char* const kGone = "子账号不存在或已被删除，请刷新列表";
    if (!IsDecimalId(clientInfoId)) throw Refusal(kNotFound, kGone);
    auto account = FindById(std::stoll(clientInfoId));
    if (!account || !account->IsSub()) throw Refusal(kNotFound, kGone);
    return *account;
}

std::vector<AccountRow> AccountStore::SubAccountsOf(int64_t mainId) {
    return Select("WHERE mainId = CAST(? AS INTEGER)", std::to_string(mainId));
}

std::vector<AccountRow> AccountStore::All() { return Select("WHERE clientInfoId > CAST(? AS INTEGER)", "0"); }

Grants AccountStore::GrantsOf(int64_t subId) {
    Grants grants;
    auto nodes = tx.Query("SELECT nodeId FROM grant_node WHERE subId = ?", subId);
    while (nodes.Step()) grants.nodes.insert(nodes.Int(0));
    auto cameras = tx.Query("SELECT nodeId, deviceId FROM grant_camera WHERE subId = ?", subId);
    while (cameras.Step()) grants.cameras.emplace(cameras.Int(0), cameras.Text(1));
    return grants;
}

std::vector<std::string> AccountStore::VisibleCameras(const AccountRow& account) {
    auto statement = account.IsSub()
                         ? tx.Query("SELECT DISTINCT g.deviceId FROM grant_camera g JOIN camera c ON c.deviceId = g.deviceId "
                                    "WHERE g.subId = ? AND c.ownerId = ? ORDER BY g.deviceId",
                                    account.clientInfoId, account.mainId)
                         : tx.Query("SELECT deviceId FROM camera WHERE ownerId = ? ORDER BY deviceId", account.clientInfoId);
    std::vector<std::string> cameras;
    while (statement.Step()) cameras.push_back(statement.Text(0));
    return cameras;
}

bool AccountStore::CanSeeCamera(const AccountRow& account, const std::string& deviceId) {
    auto cameras = VisibleCameras(account);
    return std::find(cameras.begin(), cameras.end(), deviceId) != cameras.end();
}

}  // namespace cloudsim
