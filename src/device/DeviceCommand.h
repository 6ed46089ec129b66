#pragma once

#include <string>

// One command for a camera: its device id (as held in the node tree) and the JSON text to send.
struct DeviceCommand {
    std::string deviceId;
    std::string text;
};
