#pragma once

#include <string>
#include <vector>

// Device information of a cmd 5 reply, texts as received.
struct DeviceInfo {
    std::string devName;
    std::string conslInterface;
    std::string devType;
    std::string devModel;
    std::string devVersion;
};

// The window side of the device events: what the main window, its panels, the video wall, the
// playback window and the alarm button do when a camera answers or changes presence. The main
// window implements it; DeviceReplyRouter calls it on the UI thread.
class DeviceReplyView {
public:
    virtual ~DeviceReplyView() = default;

    virtual void ShowMessageBox(const std::string& text) = 0;
    virtual void ShowDeviceInfo(const std::string& deviceId, const DeviceInfo& info) = 0;
    virtual void ShowImagePanel(const std::string& deviceId) = 0;
    virtual void ShowEncodePanel(const std::string& deviceId) = 0;
    // A camera's audio status (its cmd 27 answer): true when its sound is on.
    virtual void SetAudioChecked(const std::string& deviceId, bool checked) = 0;
    // Resume the camera's cells that were stopped for a parameter change.
    virtual void RestartCameraCells(const std::string& deviceId) = 0;
    // Play the camera in the selected (or first free) wall cell.
    virtual void OpenCameraInWall(const std::string& deviceId, const std::string& playUrl) = 0;
    // The camera was opened from a reply: add it to the viewing history and refresh the recent list.
    virtual void RecordWatched(const std::string& deviceId) = 0;
    // A cmd 50 reply, for the playback window if one is open.
    virtual void PassPlaybackReply(const std::string& deviceId, const std::string& body) = 0;
    virtual void ShowAlarmCount(int unseen) = 0;
    virtual void RebuildDeviceTree() = 0;
    virtual void ShowDeviceOffline(const std::string& deviceId) = 0;
    // The roster arrived (names of the roster items): prune the history, rebuild the lists.
    virtual void RosterArrived(const std::vector<std::string>& friends) = 0;
};
