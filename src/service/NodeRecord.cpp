#include "service/NodeRecord.h"

bool NodeRecord::ContainsId(const std::string& id) const
{
    if (nodeId == id)
        return true;
    for (const DeviceRecord& device : childDevices)
        if (device.deviceId == id)
            return true;
    for (const NodeRecord& child : childNodes)
        if (child.ContainsId(id))
            return true;
    return false;
}
