#pragma once

#include <string>

// Where device commands are queued (CamParamMgr's command queue). Returns at once.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void PostCmd(const std::string& deviceId, const std::string& text) = 0;
};
