#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "service/NodeRecord.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// The identifiers and the name of a merge of nodes, in the order the user chose them.
struct MergeNodesRequest {
    std::vector<std::string> nodeIds;
    std::string nodeName;
};

// Names of the service's client types (0 "pc", 1 "Iphone", 2 "android"), shown by the alarm settings window.
const std::map<int, std::string>& ClientTypeNames();

// The user's node and camera tree (the program's one copy) and the requests that query and change it.
// Process-wide, created on first use, never destroyed.
// Threads: requests run on the UI thread. treeLock_ guards roots_ (replacement, copies and lookups, so a
// lookup from another thread is safe too); errorText_ and subscriber_ belong to the UI thread.
class DeviceMgr {
public:
    static DeviceMgr* Instance() { return base::Sigleton<DeviceMgr>::Instance(); }

    // The device-list query (cmd 11): 1 on success (the tree is replaced), 0 on failure (tree unchanged).
    int FunQueryDeviceList();
    // Copies the top nodes.
    void GetTree(std::vector<NodeRecord>& roots) const;

    // Depth-first in list order: a node, then its child nodes (each fully), then the next node.
    bool FindNode(const std::string& nodeId, NodeRecord& node) const;
    // The first camera with that id: each node's own cameras before its child nodes, roots in order.
    bool FindDevice(const std::string& deviceId, DeviceRecord& device) const;
    bool NodeHasDevice(const std::string& nodeId, const std::string& deviceId) const;
    bool NodeHasAnyDevice(const std::string& nodeId) const;
    // True when `otherNodeId` is the node itself or lies below it.
    bool NodeHasNode(const std::string& nodeId, const std::string& otherNodeId) const;
    bool IsMergedNode(const std::string& nodeId) const;

    // The JSON form of a node and everything below it, as the sub-account requests send it.
    static std::string NodeToJson(const NodeRecord& node);

    // Node and camera management; 0 on success, -1 on failure (ErrorText tells why). None of them touches
    // the tree: the caller queries it again after a success.
    int AddUserNode(const std::string& nodeName, const std::string& parentId);
    int UpdateUserNode(const std::string& nodeId, const std::string& nodeName);
    int DeleteUserNode(const std::string& nodeId);
    int BindIpcToNodes(const std::string& nodeId, const std::string& deviceId);
    // Unbinds the camera from the node FindDevice reports for it (the first in the search order).
    int DeleteNodeIpc(const std::string& deviceId);
    // Unbinds the camera from this node, which must list it ("not exist" and no request otherwise): a
    // camera bound under several nodes is unbound from the one the user chose.
    int DeleteNodeIpc(const std::string& nodeId, const std::string& deviceId);
    int MoveNode(const std::string& sourceNodeId, const std::string& targetNodeId);
    int UpdateDeviceName(const std::string& deviceId, const std::string& alias);
    int MergeNodes(const MergeNodesRequest& request);
    int SplitNode(const std::string& nodeId);

    // Called with the camera id after a successful BindIpcToNodes; the IM side installs it to subscribe
    // to the camera when its contact list does not hold it yet.
    void SetCameraSubscriber(std::function<void(const std::string& deviceId)> subscriber);

    std::string ErrorText() const { return errorText_; }

private:
    friend class base::Sigleton<DeviceMgr>;
    DeviceMgr();

    int PostNodeRequest(const std::string& path, const std::string& body);
    int PostUnbind(const std::string& nodeId, const std::string& deviceId);

    std::vector<NodeRecord> roots_;
    mutable base::CCriticalSection treeLock_;
    std::string errorText_;
    std::function<void(const std::string&)> subscriber_;
};
