#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "service/ChildAccount.h"

#include <string>
#include <vector>

// The sub-accounts of the signed-in account and the requests that read and change them. Process-wide,
// created on first use, never destroyed.
// Threads: requests run on the UI thread; lock_ guards accounts_ (never held during a request);
// errorText_ belongs to the UI thread.
class ChildAccountMgr {
public:
    static ChildAccountMgr* Instance() { return base::Sigleton<ChildAccountMgr>::Instance(); }

    // Each request returns 0 on success and -1 on failure (ErrorText tells why); a failed one changes nothing.
    int ReqCCList();
    // Completes one listed sub-account with its full record (cmd 22); its nodes are replaced.
    int ReqOneAllInfo(const std::string& clientInfoId);
    // ReqOneAllInfo for every listed sub-account in order, stopping at the first failure.
    int ReqAllInfo();
    int CreateChildAccount(const ChildAccount& account);
    int ModifyChildAccount(const ChildAccount& account);
    int DeleteChildAccount(const std::string& clientInfoId);

    std::vector<ChildAccount> GetChildAccounts() const;
    bool FindChildAccount(const std::string& clientInfoId, ChildAccount& account) const;
    std::string ErrorText() const { return errorText_; }

    // The create (cmd 19) or modify (cmd 21) body; `clientInfoId` is the main account's for a create and
    // the sub-account's own for a modify.
    static std::string AccountForm(int cmd, const std::string& clientInfoId, const ChildAccount& account);
    // Reads the reply of cmd 22 into the detail fields of `detail` (limits, password, role, times, nodes).
    // 0 on success, -1 with errorText set; `detail` is untouched on failure.
    static int ReadAccountDetail(const std::string& reply, ChildAccount& detail, std::string& errorText);

private:
    friend class base::Sigleton<ChildAccountMgr>;
    ChildAccountMgr() = default;

    std::vector<ChildAccount> accounts_;
    mutable base::CCriticalSection lock_;
    std::string errorText_;
};
