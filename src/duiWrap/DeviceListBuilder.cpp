#include "duiWrap/DeviceListBuilder.h"

#include "duiWrap/RowMarkup.h"
#include "glooxWrap/DeviceMessenger.h"
#include "service/NodeRecord.h"
#include "video/ViewHistory.h"

DeviceNode* DeviceListBuilder::AddAccountRoot(DeviceNodeRows& rows, const std::string& mobile)
{
    return rows.AddNode(RowMarkup::kAccountIcon + RowMarkup::Name(mobile), true, "", rows.Root());
}

DeviceNode* DeviceListBuilder::RebuildDeviceTree(DeviceNodeRows& rows, const std::string& mobile,
                                                 const std::vector<NodeRecord>& topNodes, DeviceMessenger& im)
{
    rows.BeginReset();
    rows.RemoveAll();
    DeviceNode* account = AddAccountRoot(rows, mobile);
    for (const NodeRecord& node : topNodes)
        BuildNode(rows, node, account, im);
    rows.SetChildVisible(account, false);
    rows.SetChildVisible(account, true);
    rows.EndReset();
    return account;
}

void DeviceListBuilder::BuildNode(DeviceNodeRows& rows, const NodeRecord& record, DeviceNode* parent, DeviceMessenger& im)
{
    DeviceNode* row = rows.AddNode(RowMarkup::kNodeIcon + RowMarkup::Name(record.nodeName), true, record.nodeId, parent);
    row->children.reserve(record.childDevices.size() + record.childNodes.size());
    for (const DeviceRecord& device : record.childDevices) {
        if (!im.IsFriend(device.deviceId))
            im.Subscribe(DeviceJid(device.deviceId));
        const char* icon = RowMarkup::CameraIcon(im.IsOnline(device.deviceId));
        rows.AddNode(icon + RowMarkup::Name(device.alias), false, device.deviceId, row);
    }
    for (const NodeRecord& child : record.childNodes)
        BuildNode(rows, child, row, im);
}

void DeviceListBuilder::RefreshRecentList(DeviceNodeRows& rows, const HistoryGroups& groups)
{
    rows.BeginReset();
    rows.RemoveAll();
    DeviceNode* top = rows.AddNode(std::string(RowMarkup::kAccountIcon) + RowMarkup::kRecentTitle, true, "", rows.Root());
    for (const auto& [day, cameras] : groups) {
        DeviceNode* group = rows.AddNode(RowMarkup::kAccountIcon + RowMarkup::Name(day), true, "", top);
        for (const std::string& deviceId : cameras)
            rows.AddNode(RowMarkup::kCameraOnlineIcon + RowMarkup::Name(deviceId), false, deviceId, group);
    }
    rows.SetChildVisible(top, false);
    rows.SetChildVisible(top, true);
    rows.EndReset();
}

void DeviceListBuilder::PruneHistory(ViewHistory& history, const std::function<bool(const std::string&)>& inTree)
{
    HistoryGroups groups;
    history.LoadGroups(groups);
    for (const auto& [day, cameras] : groups)
        for (const std::string& deviceId : cameras)
            if (!inTree(deviceId))
                history.RemoveCamera(deviceId);
}

bool DeviceListBuilder::MarkCameraOffline(DeviceNodeRows& rows, const std::string& deviceId, const std::string& alias)
{
    return rows.SetCameraText(rows.Root(), deviceId, RowMarkup::kCameraOfflineIcon + RowMarkup::Name(alias)) == 0;
}
