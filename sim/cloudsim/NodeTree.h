#pragma once
// The node tree of one main account, loaded whole from the database, for the device-list reply,
// the sub-account detail reply and the checks of tree changes (a node may not move below itself).
#include "AccountStore.h"
#include "Database.h"

#include <json/json.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace cloudsim {

class NodeTree {
public:
    struct Node {
        int64_t nodeId = 0;
        int64_t parentId = 0;  // 0 for a top node
        std::string nodeName;
        int isMerge = 0;
        std::vector<std::string> devices;  // in binding order
        std::vector<int64_t> children;     // in id order
    };
    struct Camera {
        std::string alias, model;
        int warnStatus = 0;
    };

    NodeTree(Transaction& tx, int64_t ownerId);

    const Node* Find(int64_t nodeId) const;
    // True when `nodeId` is `ancestorId` or lies below it.
    bool IsWithin(int64_t nodeId, int64_t ancestorId) const;
    // The first node (depth first, in tree order) that holds the camera; 0 when none.
    int64_t FirstNodeOf(const std::string& deviceId) const;
    std::string NodeNameOf(int64_t nodeId) const;

    // The whole tree as the array of top nodes of the device-list reply.
    Json::Value ToJson() const;
    // Only what the grants allow: each granted node whose parent is not granted becomes a top node.
    Json::Value ToJson(const Grants& grants) const;

private:
    Json::Value NodeJson(const Node& node, const Grants* grants) const;
    void Walk(int64_t nodeId, std::vector<int64_t>& order) const;
    std::vector<int64_t> DepthFirst() const;

    std::map<int64_t, Node> nodes;
    std::vector<int64_t> roots;
    std::map<std::string, Camera> cameras;
};

}  // namespace cloudsim
