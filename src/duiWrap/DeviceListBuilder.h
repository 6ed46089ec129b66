#pragma once

#include "duiWrap/DeviceNodeRows.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

struct NodeRecord;
class DeviceMessenger;
class ViewHistory;

// How the main window fills its two lists: the device tree from the node records (cameras of a node
// before its sub-nodes, each with its online or offline icon) and the recently-watched list from the
// viewing history's days. UI thread only.
class DeviceListBuilder {
public:
    using HistoryGroups = std::map<std::string, std::vector<std::string>>;

    // The account row: the top of the device tree.
    static DeviceNode* AddAccountRoot(DeviceNodeRows& rows, const std::string& mobile);

    // Clears the tree and builds it again: the account row expanded, the top nodes shown and
    // collapsed, everything deeper hidden. Cameras that are not contacts yet are subscribed to.
    // Returns the account row.
    static DeviceNode* RebuildDeviceTree(DeviceNodeRows& rows, const std::string& mobile,
                                         const std::vector<NodeRecord>& topNodes, DeviceMessenger& im);

    static void BuildNode(DeviceNodeRows& rows, const NodeRecord& record, DeviceNode* parent, DeviceMessenger& im);

    // "最近观看" expanded, one collapsed row per day (ascending keys), the day's cameras by device id.
    static void RefreshRecentList(DeviceNodeRows& rows, const HistoryGroups& groups);

    // Removes from the history every camera for which inTree is false.
    static void PruneHistory(ViewHistory& history, const std::function<bool(const std::string&)>& inTree);

    // Gives the first camera with this id the offline icon; false when the tree has no such camera.
    static bool MarkCameraOffline(DeviceNodeRows& rows, const std::string& deviceId, const std::string& alias);
};
