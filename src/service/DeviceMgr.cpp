#include "service/DeviceMgr.h"

#include "app/UserSession.h"
#include "base/SingleLock.h"
#include "service/CodePage.h"
#include "service/JsonEscape.h"
#include "service/NodeReply.h"
#include "service/ServiceEndpoint.h"
#include "service/ServiceReply.h"

#include <glog/logging.h>

namespace {

// The fixed identifier of the PC client in the device-list query.
constexpr char kLoginUuid[] = "token_PC_CODE";

const NodeRecord* FindNodeIn(const std::vector<NodeRecord>& nodes, const std::string& nodeId)
{
    for (const NodeRecord& node : nodes) {
        if (node.nodeId == nodeId)
            return &node;
        if (const NodeRecord* found = FindNodeIn(node.childNodes, nodeId))
            return found;
    }
    return nullptr;
}

// A camera bound directly under the node.
const DeviceRecord* OwnDevice(const NodeRecord& node, const std::string& deviceId)
{
    for (const DeviceRecord& device : node.childDevices)
        if (device.deviceId == deviceId)
            return &device;
    return nullptr;
}

const DeviceRecord* FindDeviceIn(const NodeRecord& node, const std::string& deviceId)
{
    if (const DeviceRecord* own = OwnDevice(node, deviceId))
        return own;
    for (const NodeRecord& child : node.childNodes)
        if (const DeviceRecord* found = FindDeviceIn(child, deviceId))
            return found;
    return nullptr;
}

bool HasAnyDevice(const NodeRecord& node)
{
    if (!node.childDevices.empty())
        return true;
    for (const NodeRecord& child : node.childNodes)
        if (HasAnyDevice(child))
            return true;
    return false;
}

}  // namespace

const std::map<int, std::string>& ClientTypeNames()
{
    static const std::map<int, std::string> names{{0, "pc"}, {1, "Iphone"}, {2, "android"}};
    return names;
}

DeviceMgr::DeviceMgr() = default;

int DeviceMgr::FunQueryDeviceList()
{
    UserSession* session = UserSession::Instance();
    std::string body = "{\"clientInfoId\":" + JsonQuoted(session->ClientInfoId()) + ", \"cmd\":11, \"loginUUID\":\"" +
                       kLoginUuid + "\", \"clientType\":\"0\"";
    if (session->IsSonAccount())
        body += ",\"isSonAccount\":1";
    body += "}";
    LOG(INFO) << "FunQueryDeviceList reqdata = " << body;
    std::vector<NodeRecord> roots;
    if (ReadDeviceListReply(PostServiceRequest(kCommandPath, body), roots, errorText_) == 0)
        return 0;
    base::CSingleLock lock(&treeLock_, true);
    roots_ = std::move(roots);
    return 1;
}

void DeviceMgr::GetTree(std::vector<NodeRecord>& roots) const
{
    base::CSingleLock lock(&treeLock_, true);
    roots = roots_;
}

bool DeviceMgr::FindNode(const std::string& nodeId, NodeRecord& node) const
{
    base::CSingleLock lock(&treeLock_, true);
    const NodeRecord* found = FindNodeIn(roots_, nodeId);
    if (found != nullptr)
        node = *found;
    return found != nullptr;
}

bool DeviceMgr::FindDevice(const std::string& deviceId, DeviceRecord& device) const
{
    base::CSingleLock lock(&treeLock_, true);
    for (const NodeRecord& root : roots_) {
        if (const DeviceRecord* found = FindDeviceIn(root, deviceId)) {
            device = *found;
            return true;
        }
    }
    return false;
}

bool DeviceMgr::NodeHasDevice(const std::string& nodeId, const std::string& deviceId) const
{
    base::CSingleLock lock(&treeLock_, true);
    const NodeRecord* node = FindNodeIn(roots_, nodeId);
    return node != nullptr && FindDeviceIn(*node, deviceId) != nullptr;
}

bool DeviceMgr::NodeHasAnyDevice(const std::string& nodeId) const
{
    base::CSingleLock lock(&treeLock_, true);
    const NodeRecord* node = FindNodeIn(roots_, nodeId);
    return node != nullptr && HasAnyDevice(*node);
}

bool DeviceMgr::NodeHasNode(const std::string& nodeId, const std::string& otherNodeId) const
{
    base::CSingleLock lock(&treeLock_, true);
    const NodeRecord* node = FindNodeIn(roots_, nodeId);
    return node != nullptr && (node->nodeId == otherNodeId || FindNodeIn(node->childNodes, otherNodeId) != nullptr);
}

bool DeviceMgr::IsMergedNode(const std::string& nodeId) const
{
    base::CSingleLock lock(&treeLock_, true);
    const NodeRecord* node = FindNodeIn(roots_, nodeId);
    return node != nullptr && node->isMerge == 1;
}

std::string DeviceMgr::NodeToJson(const NodeRecord& node)
{
    std::string json = "{\"nodeId\":" + JsonQuoted(node.nodeId) + ",\"nodeType\":" + std::to_string(node.nodeType) +
                       ",\"nodeName\":" + JsonQuoted(node.nodeName);
    if (!node.childDevices.empty()) {
        json += ",\"childDevices\":[ ";
        for (std::size_t i = 0; i < node.childDevices.size(); ++i) {
            const DeviceRecord& device = node.childDevices[i];
            json += (i == 0 ? "" : ",");
            json += "{ \"deviceId\":" + JsonQuoted(device.deviceId) + ",\"alias\":" + JsonQuoted(device.alias) + "}";
        }
        json += "]";
    }
    if (!node.childNodes.empty()) {
        json += ",\"childNodes\":[ ";
        for (std::size_t i = 0; i < node.childNodes.size(); ++i)
            json += (i == 0 ? "" : ",") + NodeToJson(node.childNodes[i]);
        json += "]";
    }
    return json + "}";
}

int DeviceMgr::PostNodeRequest(const std::string& path, const std::string& body)
{
    return CallService(path, body, CodeForm::Text, errorText_);
}

int DeviceMgr::AddUserNode(const std::string& nodeName, const std::string& parentId)
{
    std::string body = "{\"nodeName\":" + JsonQuoted(ToUtf8(nodeName)) +
                       ", \"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId());
    if (!parentId.empty())
        body += ", \"parentId\":" + JsonQuoted(parentId);
    return PostNodeRequest("api/addUserNode.htdy", body + "}");
}

int DeviceMgr::UpdateUserNode(const std::string& nodeId, const std::string& nodeName)
{
    UserSession* session = UserSession::Instance();
    return PostNodeRequest("api/updateUserNode.htdy",
                           "{\"orgId\":" + JsonQuoted(session->OrgId()) + ", \"nodeName\":" + JsonQuoted(ToUtf8(nodeName)) +
                               ", \"clientInfoId\":" + JsonQuoted(session->ClientInfoId()) + ", \"nodeId\":" + JsonQuoted(nodeId) + "}");
}

int DeviceMgr::DeleteUserNode(const std::string& nodeId)
{
    return PostNodeRequest("api/deleteUserNode.htdy", "{\"nodeId\":" + JsonQuoted(nodeId) + "}");
}

int DeviceMgr::BindIpcToNodes(const std::string& nodeId, const std::string& deviceId)
{
    int result = PostNodeRequest("api/bindIpcToNodes.htdy",
                                 "{\"nodeId\":" + JsonQuoted(nodeId) + ", \"deviceId\":" + JsonQuoted(deviceId) +
                                     ", \"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) +
                                     ", \"alias\": \"test\"}");
    if (result == 0 && subscriber_)
        subscriber_(deviceId);
    return result;
}

int DeviceMgr::DeleteNodeIpc(const std::string& deviceId)
{
    DeviceRecord device;
    if (!FindDevice(deviceId, device)) {
        errorText_ = "not exist";
        return -1;
    }
    return PostUnbind(device.nodeId, deviceId);
}

int DeviceMgr::DeleteNodeIpc(const std::string& nodeId, const std::string& deviceId)
{
    bool listed = false;
    {
        base::CSingleLock lock(&treeLock_, true);
        const NodeRecord* node = FindNodeIn(roots_, nodeId);
        listed = node != nullptr && OwnDevice(*node, deviceId) != nullptr;
    }
    if (!listed) {
        errorText_ = "not exist";
        return -1;
    }
    return PostUnbind(nodeId, deviceId);
}

int DeviceMgr::PostUnbind(const std::string& nodeId, const std::string& deviceId)
{
    return PostNodeRequest("api/deleteNodeIpc.htdy",
                           "{\"nodeId\":" + JsonQuoted(nodeId) + ", \"deviceId\":" + JsonQuoted(deviceId) + "}");
}

int DeviceMgr::MoveNode(const std::string& sourceNodeId, const std::string& targetNodeId)
{
    return PostNodeRequest(kCommandPath, "{\"cmd\":37,\"isSonAccount\":0,\"clientInfoId\":" +
                                             JsonQuoted(UserSession::Instance()->ClientInfoId()) +
                                             ",\"sourceNodeId\":" + JsonQuoted(sourceNodeId) +
                                             ",\"targetNodeId\":" + JsonQuoted(targetNodeId) + "}");
}

int DeviceMgr::UpdateDeviceName(const std::string& deviceId, const std::string& alias)
{
    LOG(INFO) << "UpdateDeviceName devid : " << deviceId << "devname" << alias;
    return PostNodeRequest(kCommandPath, "{\"cmd\":38,\"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) +
                                             ",\"deviceId\":" + JsonQuoted(deviceId) + ",\"alias\":" + JsonQuoted(ToUtf8(alias)) + "}");
}

int DeviceMgr::MergeNodes(const MergeNodesRequest& request)
{
    std::string joined;
    for (std::size_t i = 0; i < request.nodeIds.size(); ++i)
        joined += (i == 0 ? "" : "##") + request.nodeIds[i];
    return PostNodeRequest(kCommandPath, "{\"cmd\":42,\"clientInfoId\":" + JsonQuoted(UserSession::Instance()->ClientInfoId()) +
                                             ",\"nodeIds\":" + JsonQuoted(joined) +
                                             ",\"nodeName\":" + JsonQuoted(ToUtf8(request.nodeName)) + "}");
}

int DeviceMgr::SplitNode(const std::string& nodeId)
{
    return PostNodeRequest(kCommandPath, "{\"cmd\":43,\"nodeId\":" + JsonQuoted(nodeId) + "}");
}

void DeviceMgr::SetCameraSubscriber(std::function<void(const std::string& deviceId)> subscriber)
{
    subscriber_ = std::move(subscriber);
}
