#pragma once
// Roles of a main account and their rights, and the resources rights are made of.
#include "CommandTable.h"
#include "Database.h"

namespace cloudsim {

class RoleHandler {
public:
    explicit RoleHandler(Database& db) : db(db) {}
    void Register(CommandTable& table);

private:
    Json::Value ListRoles(const RequestBody& body);
    Json::Value AddRole(const RequestBody& body);
    Json::Value UpdateRole(const RequestBody& body);
    Json::Value DeleteRole(const RequestBody& body);
    Json::Value ListResources(const RequestBody& body);
    Json::Value ListRights(const RequestBody& body);

    Database& db;
};

}  // namespace cloudsim
