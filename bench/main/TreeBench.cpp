#include "TreeBench.h"

std::vector<NodeRecord> MakeBenchTree(int topCount, int subPerTop, int camerasPerNode)
{
    int cameraNo = 0;
    auto fill = [&](NodeRecord& node, const std::string& id, const std::string& name) {
        node.nodeId = id;
        node.nodeName = name;
        for (int c = 0; c < camerasPerNode; ++c) {
            DeviceRecord camera;
            camera.deviceId = "cam" + std::to_string(cameraNo);
            camera.alias = "摄像头 " + std::to_string(cameraNo);
            ++cameraNo;
            node.childDevices.push_back(camera);
        }
    };
    std::vector<NodeRecord> tree(static_cast<size_t>(topCount));
    for (int t = 0; t < topCount; ++t) {
        fill(tree[t], "n" + std::to_string(t), "站点 " + std::to_string(t));
        for (int s = 0; s < subPerTop; ++s) {
            NodeRecord sub;
            fill(sub, "n" + std::to_string(t) + "-" + std::to_string(s), "分组 " + std::to_string(s));
            tree[t].childNodes.push_back(std::move(sub));
        }
    }
    return tree;
}

BenchMessenger::BenchMessenger(const std::vector<NodeRecord>& tree)
{
    std::vector<const NodeRecord*> stack;
    for (const auto& n : tree)
        stack.push_back(&n);
    while (!stack.empty()) {
        const NodeRecord* n = stack.back();
        stack.pop_back();
        for (const auto& d : n->childDevices)
            friends_.insert(d.deviceId);
        for (const auto& c : n->childNodes)
            stack.push_back(&c);
    }
}
