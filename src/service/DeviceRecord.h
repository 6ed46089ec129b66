#pragma once

#include <cstdint>
#include <string>

// One camera as listed under one node of the device-list reply. A value: lists hold copies.
struct DeviceRecord {
    std::string deviceId;
    std::int16_t nodeType = 0;  // 2 for a camera
    std::string alias;
    std::string nodeId;    // the node the camera was listed under
    std::string nodeName;  // that node's name
    std::int32_t warnStatus = 0;
};
