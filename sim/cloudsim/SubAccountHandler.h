#pragma once
// Sub-accounts of a main account: list, read one with its granted nodes and cameras (cmd 22),
// create (cmd 19), modify (cmd 21) and delete (cmd 20).
#include "AccountStore.h"
#include "CommandTable.h"
#include "Database.h"
#include "ImAccounts.h"

namespace cloudsim {

class SubAccountHandler {
public:
    SubAccountHandler(Database& db, ImAccounts& im) : db(db), im(im) {}
    void Register(CommandTable& table);

private:
    Json::Value List(const RequestBody& body);
    Json::Value Read(const RequestBody& body);
    Json::Value Create(const RequestBody& body);
    Json::Value Modify(const RequestBody& body);
    Json::Value Delete(const RequestBody& body);
    // Checks the form of cmd 19 / 21 and writes the account (and its grants) with the given id,
    // inserting it when id is 0. Returns the id.
    int64_t Save(Transaction& tx, const RequestBody& body, const AccountRow& main, int64_t id);

    Database& db;
    ImAccounts& im;
};

}  // namespace cloudsim
