#pragma once

#include "service/DeviceRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// One node of the user's tree with the cameras bound to it and its child nodes, in reply order.
struct NodeRecord {
    std::string nodeId;
    std::string parentId;  // empty for a top node
    std::string nodeName;
    std::int16_t nodeType = 0;  // 1 node, 2 camera
    std::vector<DeviceRecord> childDevices;
    std::vector<NodeRecord> childNodes;
    std::int32_t isMerge = 0;  // 1 for a node made by merging nodes

    // True when `id` is this node's id, the id of one of its cameras, or holds so for a node below it.
    bool ContainsId(const std::string& id) const;
};
