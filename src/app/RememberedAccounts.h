#pragma once

#include "app/IniFile.h"

#include <string>
#include <vector>

// One account that logged in successfully on this computer.
struct RememberedAccount {
    std::string account;
    std::string password;  // empty when the user did not ask to remember it
};

// The remembered-accounts file "Vyr/LoginAccount.ini" under the program folder: the accounts in the order
// they were first remembered, their passwords, and the automatic log-in switches of section "windows".
// The file holds passwords, so it is kept readable by its owner only. Used on the UI thread only.
class RememberedAccounts {
public:
    // Bound to `filePath`, by default the file under LocalConfig's program folder.
    RememberedAccounts();
    explicit RememberedAccounts(const std::string& filePath);

    // Program folder + "Vyr/LoginAccount.ini".
    static std::string DefaultPath();
    // Creates the "Vyr" folder when missing (one level); false when it cannot be created.
    bool EnsureFolder() const;

    // Reads the count and the entries (names cut to 19 bytes, passwords to 29), replacing those held, in
    // one read of the file. The count is bounded by the keys the file holds: a damaged count adds nothing.
    void LoadRememberedAccounts();
    const std::vector<RememberedAccount>& Accounts() const { return accounts_; }

    // Records an account that just logged in: its password is updated (emptied when not to be remembered)
    // or a new entry is appended; every entry and the count are rewritten, then "load" = autoLogin.
    // Entries are never removed. False when the file cannot be written.
    bool SaveRememberedAccount(const std::string& account, const std::string& password, bool rememberPassword,
                               bool autoLogin);

    // After a password change: the account's stored password becomes `newPassword` when one was
    // remembered (an empty one, not remembered, stays empty). False when the file cannot be written.
    bool FollowPasswordChange(const std::string& account, const std::string& newPassword);

    // "windows"/"load": automatic log-in is on. "windows"/"Change": the previous instance switched user.
    bool AutoLogin() const;
    bool UserSwitched() const;
    bool SetUserSwitched(bool switched);

    const std::string& Path() const { return file_.Path(); }

private:
    bool ReadFlag(const char* key) const;

    IniFile file_;
    std::vector<RememberedAccount> accounts_;
};
