#pragma once
// Log-in (cmd 1) and password change (cmd 35).
#include "CommandTable.h"
#include "Database.h"
#include "SubAccountLoginGate.h"

#include <string>

namespace cloudsim {

class AccountHandler {
public:
    // imHost and imPort are what the log-in reply announces as the IM server.
    // A sub-account's log-in also passes `gate` (viewing periods, simultaneous log-ins).
    AccountHandler(Database& db, SubAccountLoginGate& gate, std::string imHost, int imPort)
        : db(db), gate(gate), imHost(std::move(imHost)), imPort(imPort) {}
    void Register(CommandTable& table);

private:
    Json::Value Login(const RequestBody& body);
    Json::Value ChangePassword(const RequestBody& body);

    Database& db;
    SubAccountLoginGate& gate;
    std::string imHost;
    int imPort;
};

}  // namespace cloudsim
