#include "NodeTree.h"

namespace cloudsim {

NodeTree::NodeTree(Transaction& tx, int64_t ownerId) {
    auto nodeRows = tx.Query("SELECT nodeId, IFNULL(parentId, 0), nodeName, isMerge FROM node WHERE ownerId = ? "
                             "ORDER BY nodeId",
                             ownerId);
    while (nodeRows.Step()) {
        Node node;
        node.nodeId = nodeRows.Int(0);
        node.parentId = nodeRows.Int(1);
        node.nodeName = nodeRows.Text(2);
        node.isMerge = static_cast<int>(nodeRows.Int(3));
        nodes[node.nodeId] = node;
    }
    for (auto& [id, node] : nodes) {
        auto parent = nodes.find(node.parentId);
        if (parent == nodes.end())
            roots.push_back(id);
        else
            parent->second.children.push_back(id);
    }
    auto bindings = tx.Query("SELECT b.nodeId, b.deviceId FROM binding b JOIN node n ON n.nodeId = b.nodeId "
                             "WHERE n.ownerId = ? ORDER BY b.bindingId",
                             ownerId);
    while (bindings.Step()) nodes[bindings.Int(0)].devices.push_back(bindings.Text(1));
    auto cameraRows = tx.Query("SELECT deviceId, alias, model, warnStatus FROM camera WHERE ownerId = ?", ownerId);
    while (cameraRows.Step())
        cameras[cameraRows.Text(0)] = Camera{cameraRows.Text(1), cameraRows.Text(2), static_cast<int>(cameraRows.Int(3))};
}

const NodeTree::Node* NodeTree::Find(int64_t nodeId) const {
    auto found = nodes.find(nodeId);
    return found == nodes.end() ? nullptr : &found->second;
}

bool NodeTree::IsWithin(int64_t nodeId, int64_t ancestorId) const {
    for (const Node* node = Find(nodeId); node; node = Find(node->parentId))
        if (node->nodeId == ancestorId) return true;
    return false;
}

void NodeTree::Walk(int64_t nodeId, std::vector<int64_t>& order) const {
    order.push_back(nodeId);
    for (int64_t child : nodes.at(nodeId).children) Walk(child, order);
}

std::vector<int64_t> NodeTree::DepthFirst() const {
    std::vector<int64_t> order;
    for (int64_t root : roots) Walk(root, order);
    return order;
}

int64_t NodeTree::FirstNodeOf(const std::string& deviceId) const {
    for (int64_t id : DepthFirst())
        for (const std::string& device : nodes.at(id).devices)
            if (device == deviceId) return id;
    return 0;
}

std::string NodeTree::NodeNameOf(int64_t nodeId) const {
    const Node* node = Find(nodeId);
    return node ? node->nodeName : std::string();
}

Json::Value NodeTree::NodeJson(const Node& node, const Grants* grants) const {
    Json::Value json(Json::objectValue);
    json["nodeId"] = std::to_string(node.nodeId);
    json["parentId"] = node.parentId ? std::to_string(node.parentId) : std::string();
    json["nodeName"] = node.nodeName;
    json["nodeType"] = 1;
    json["isMerge"] = node.isMerge;
    json["childDevices"] = Json::Value(Json::arrayValue);
    for (const std::string& deviceId : node.devices) {
        if (grants && !grants->cameras.count({node.nodeId, deviceId})) continue;
        const Camera& camera = cameras.count(deviceId) ? cameras.at(deviceId) : Camera{};
        Json::Value device(Json::objectValue);
        device["deviceId"] = deviceId;
        device["alias"] = camera.alias;
        device["nodeType"] = 2;
        device["warnStatus"] = camera.warnStatus;
        device["model"] = camera.model;
        json["childDevices"].append(device);
    }
    json["childNodes"] = Json::Value(Json::arrayValue);
    for (int64_t child : node.children)
        if (!grants || grants->nodes.count(child)) json["childNodes"].append(NodeJson(nodes.at(child), grants));
    return json;
}

Json::Value NodeTree::ToJson() const {
    Json::Value result(Json::arrayValue);
    for (int64_t root : roots) result.append(NodeJson(nodes.at(root), nullptr));
    return result;
}

Json::Value NodeTree::ToJson(const Grants& grants) const {
    Json::Value result(Json::arrayValue);
    for (int64_t id : DepthFirst()) {
        const Node& node = nodes.at(id);
        if (grants.nodes.count(id) && !grants.nodes.count(node.parentId)) result.append(NodeJson(node, &grants));
    }
    return result;
}

}  // namespace cloudsim
