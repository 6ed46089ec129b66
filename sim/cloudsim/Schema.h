#pragma once
// The tables of the service's database.
//
// account       main accounts (mainId NULL) and sub-accounts (mainId = their main account)
// node          the node tree of a main account (parentId NULL for a top node)
// camera        every camera the service knows; ownerId NULL while it is bound to no account
// binding       a camera bound under a node (a camera may be bound under several nodes)
// grant_node, grant_camera   what a sub-account may see
// alarm, receiver            alarm records and who receives a camera's alarms
// role, resource, role_right roles of a main account and their rights
#include "Database.h"

namespace cloudsim {

void CreateSchema(Transaction& tx);
// Drops every table (used before re-seeding).
void DropSchema(Transaction& tx);

}  // namespace cloudsim
