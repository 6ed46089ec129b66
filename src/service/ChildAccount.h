#pragma once

#include "service/NodeRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// One sub-account of the signed-in account.
struct ChildAccount {
    std::string clientInfoId;
    std::string mobile;
    std::string name;
    std::string password;
    std::string clientRoleId;
    std::int32_t maxLoginCount = 0;
    std::string expireTime;             // "Y-M-D" without leading zeros
    std::vector<NodeRecord> nodes;      // the nodes it may see, with the cameras and nodes granted below
    std::string watchTime;              // "HH:MM:SS-HH:MM:SS" periods joined by "#"
};
