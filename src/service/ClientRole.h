#pragma once

#include <map>
#include <string>
#include <vector>

// Resource types of the rights: 1 the PC client, 2 the mobile clients, 3 all clients.
inline constexpr int kPcResourceType = 1;

// One function of a client that a role may be granted.
struct ClientResource {
    std::string resourceType;  // as the service sent it
    std::string clientResourceId;
    std::string resourceName;  // local code page
};

// A named set of rights: resource type -> the identifiers of the resources the role holds of that type.
struct ClientRole {
    std::string clientRoleName;  // local code page
    std::string clientRoleId;
    std::map<int, std::vector<std::string>> rights;
};
