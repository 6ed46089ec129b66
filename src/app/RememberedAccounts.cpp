#include "app/RememberedAccounts.h"

#include "app/LocalConfig.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

constexpr std::size_t kAccountBuffer = 20;
constexpr std::size_t kPasswordBuffer = 30;
constexpr std::size_t kFlagBuffer = 260;

std::string Indexed(const char* prefix, std::size_t i)
{
    return prefix + std::to_string(i);
}

}  // namespace

RememberedAccounts::RememberedAccounts() : RememberedAccounts(DefaultPath()) {}

RememberedAccounts::RememberedAccounts(const std::string& filePath) : file_(filePath)
{
    file_.SetOwnerOnly(true);
}

std::string RememberedAccounts::DefaultPath()
{
    return LocalConfig::Instance()->ProgramDirectory() + "Vyr/LoginAccount.ini";
}

bool RememberedAccounts::EnsureFolder() const
{
    std::string folder = Path().substr(0, Path().rfind('/') + 1);
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 || mkdir(folder.c_str(), 0700) == 0;
}

void RememberedAccounts::LoadRememberedAccounts()
{
    const IniFile::Snapshot file = file_.Read();
    // The stored count is only a claim: the file holds at most one entry per key of its two lists, so a
    // damaged count cannot make the list (or the drop-down) grow without end.
    const int stored = file.ReadInt("AccountCount", "AccountCount", 0);
    const std::size_t held = file.KeyCount("AccountIndex") + file.KeyCount("PassIndex");
    const std::size_t count = stored > 0 ? std::min(static_cast<std::size_t>(stored), held) : 0;
    accounts_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        RememberedAccount entry;
        file.ReadString("AccountIndex", Indexed("account", i), "", entry.account, kAccountBuffer);
        file.ReadString("PassIndex", Indexed("pass", i), "", entry.password, kPasswordBuffer);
        accounts_.push_back(entry);
    }
}

bool RememberedAccounts::SaveRememberedAccount(const std::string& account, const std::string& password,
                                               bool rememberPassword, bool autoLogin)
{
    bool ok = file_.DeleteSection("AccountIndex") && file_.DeleteSection("PassIndex");
    std::string kept = rememberPassword ? password : std::string();
    auto found = std::find_if(accounts_.begin(), accounts_.end(),
                              [&](const RememberedAccount& entry) { return entry.account == account; });
    if (found != accounts_.end())
        found->password = kept;
    else
        accounts_.push_back({account, kept});
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        ok = file_.WriteString("AccountIndex", Indexed("account", i), accounts_[i].account) && ok;
        ok = file_.WriteString("PassIndex", Indexed("pass", i), accounts_[i].password) && ok;
    }
    ok = file_.WriteInt("AccountCount", "AccountCount", static_cast<int>(accounts_.size())) && ok;
    return file_.WriteString("windows", "load", autoLogin ? "true" : "false") && ok;
}

bool RememberedAccounts::FollowPasswordChange(const std::string& account, const std::string& newPassword)
{
    LoadRememberedAccounts();
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        RememberedAccount& entry = accounts_[i];
        if (entry.account != account || entry.password.empty())
            continue;
        entry.password = newPassword;
        return file_.WriteString("PassIndex", Indexed("pass", i), newPassword);
    }
    return true;
}

bool RememberedAccounts::ReadFlag(const char* key) const
{
    std::string value;
    file_.ReadString("windows", key, "", value, kFlagBuffer);
    return value == "true";
}

bool RememberedAccounts::AutoLogin() const { return ReadFlag("load"); }
bool RememberedAccounts::UserSwitched() const { return ReadFlag("Change"); }

bool RememberedAccounts::SetUserSwitched(bool switched)
{
    return file_.WriteString("windows", "Change", switched ? "true" : "false");
}
