#pragma once
// Reading accounts and what each account may see.
#include "Database.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace cloudsim {

struct AccountRow {
    int64_t clientInfoId = 0;
    std::string mobile, password, name;
    int64_t orgId = 0;
    int64_t mainId = 0;        // 0 for a main account
    int64_t clientRoleId = 0;  // 0 when none
    std::string imPassword, expireTime, watchTime;
    int64_t maxLoginCount = 0;

    bool IsSub() const { return mainId != 0; }
    // The main account whose nodes, cameras and roles this account works on.
    int64_t OwnerId() const { return mainId != 0 ? mainId : clientInfoId; }
};

// What a sub-account was granted: whole nodes and cameras under a node.
struct Grants {
    std::set<int64_t> nodes;
    std::set<std::pair<int64_t, std::string>> cameras;  // (nodeId, deviceId)
};

class AccountStore {
public:
    explicit AccountStore(Transaction& tx) : tx(tx) {}

    std::optional<AccountRow> FindById(int64_t clientInfoId);
    std::optional<AccountRow> FindByMobile(const std::string& mobile);
    // The account named by a request's id text; refused when there is none.
    AccountRow Require(const std::string& clientInfoId);
    // A main account named by id; a sub-account is refused with `subRefusal`.
    AccountRow RequireMain(const std::string& clientInfoId, const char* subRefusal);
    // A sub-account named by id; refused when the id names no sub-account.
    AccountRow RequireSub(const std::string& clientInfoId);
    std::vector<AccountRow> SubAccountsOf(int64_t mainId);
    std::vector<AccountRow> All();

    Grants GrantsOf(int64_t subId);
    // The cameras an account may see: a main account's bound cameras, a sub-account's granted ones.
    std::vector<std::string> VisibleCameras(const AccountRow& account);
    bool CanSeeCamera(const AccountRow& account, const std::string& deviceId);

private:
    std::vector<AccountRow> Select(const char* where, const std::string& value);
    Transaction& tx;
};

}  // namespace cloudsim
