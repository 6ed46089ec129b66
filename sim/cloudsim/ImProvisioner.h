#pragma once
// Writes the IM server's accounts and rosters from the database, as prosody's own data files
// (internal storage): one account per user (its mobile number) and per bound camera (its device
// id), every user's roster holding the cameras it may see (item name = device id) and every
// camera's roster holding its users, all with subscription "both". Files are rewritten only when
// their content changes; accounts that left the database are removed. When a roster changed and a
// prosody is running from the given configuration, its roster cache is dropped through the admin
// shell so the next log-in reads the new files.
#include "Database.h"
#include "ImAccounts.h"

#include <mutex>
#include <string>

namespace cloudsim {

class ImProvisioner : public ImAccounts {
public:
    struct Figures {
        int accounts = 0;  // accounts wanted
        int written = 0;   // files (re)written
        int removed = 0;   // files removed
        bool rosterChanged = false;
    };

    // dataDir: prosody's data_path; domain: its virtual host; prosodyConfig: the configuration
    // file of the running server (may be empty: no server to tell).
    ImProvisioner(Database& db, std::string dataDir, std::string domain, std::string prosodyConfig);

    void Sync() override;
    // Sync and report what it did; throws std::runtime_error when a file cannot be written.
    Figures SyncAndReport();

    // prosody's encoding of host and user names in file names ("kelvue.local" -> "kelvue%2elocal").
    static std::string EncodeName(const std::string& name);

private:
    void DropRosterCache();

    Database& db;
    const std::string dataDir, domain, prosodyConfig;
    std::mutex mutex;  // one sync at a time: guards the files under dataDir
};

}  // namespace cloudsim
