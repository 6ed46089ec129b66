#pragma once

#include "ui/WinDef.h"

#include <functional>
#include <string>

class AlarmNoticeCounter;
class CamParamMgr;
class DeviceMessenger;
class DeviceReplyView;
class StreamRequestMgr;

// Turns the IM events into the system's reactions: a camera's reply is routed by its "cmd" (parameters
// stored, addresses cached, waiting cells opened, alarms counted), a camera coming online gets its
// start-up commands, one going offline is shown so. Window reactions go to the DeviceReplyView.
//
// Threads: UI thread only, in the order the events were posted. Holds no state of its own besides the online listener.
class DeviceReplyRouter {
public:
    DeviceReplyRouter(DeviceMessenger& im, CamParamMgr& params, StreamRequestMgr& streams,
                      AlarmNoticeCounter& alarms, DeviceReplyView& view);
    ~DeviceReplyRouter();
    DeviceReplyRouter(const DeviceReplyRouter&) = delete;
    DeviceReplyRouter& operator=(const DeviceReplyRouter&) = delete;

    // Handles WM_IM_CONNECTED, WM_IM_MESSAGE, WM_IM_ROSTER and WM_IM_PRESENCE (freeing their payloads);
    // false for any other message.
    bool HandleImEvent(UINT message, WPARAM wParam, LPARAM lParam);

    // Called first when a camera comes online (before its start-up commands are queued).
    void SetOnlineListener(std::function<void(const std::string& deviceId)> listener);

    void OnDeviceReply(const std::string& deviceId, const std::string& body);
    void OnDeviceOnline(const std::string& deviceId);
    void OnDeviceOffline(const std::string& deviceId);

private:
    DeviceMessenger& im_;
    CamParamMgr& params_;
    StreamRequestMgr& streams_;
    AlarmNoticeCounter& alarms_;
    DeviceReplyView& view_;
    std::function<void(const std::string&)> onlineListener_;
};
