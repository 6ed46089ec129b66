#pragma once

#include "device/AlarmNoticeCounter.h"
#include "device/DeviceReplyView.h"

#include <string>
#include <vector>

// Writes every window reaction as one line, so a test compares what the windows were asked to do.
class RecordingView : public DeviceReplyView, public AlarmNoticeCounter {
public:
    void ShowMessageBox(const std::string& text) override { Log("box " + text); }
    void ShowDeviceInfo(const std::string& id, const DeviceInfo& i) override
    {
        Log("info " + id + " " + i.devName + "|" + i.conslInterface + "|" + i.devType + "|" + i.devModel + "|" +
            i.devVersion);
    }
    void ShowImagePanel(const std::string& id) override { Log("image " + id); }
    void ShowEncodePanel(const std::string& id) override { Log("encode " + id); }
    void SetAudioChecked(const std::string&, bool checked) override { Log(checked ? "audio on" : "audio off"); }
    void RestartCameraCells(const std::string& id) override { Log("restart " + id); }
    void OpenCameraInWall(const std::string& id, const std::string& url) override { Log("open " + id + " " + url); }
    void RecordWatched(const std::string& id) override { Log("watched " + id); }
    void PassPlaybackReply(const std::string& id, const std::string& body) override { Log("replay " + id + " " + body); }
    void ShowAlarmCount(int unseen) override { Log("alarms " + std::to_string(unseen)); }
    void RebuildDeviceTree() override { Log("rebuild"); }
    void ShowDeviceOffline(const std::string& id) override { Log("offline " + id); }
    void RosterArrived(const std::vector<std::string>& friends) override
    {
        Log("roster " + std::to_string(friends.size()));
    }

    bool NoticesWanted() override { return alarmsWanted; }
    int AddNotice() override { return ++unseen; }

    std::vector<std::string> Take()
    {
        auto out = std::move(lines);
        lines.clear();
        return out;
    }

    bool alarmsWanted = true;
    int unseen = 0;
    std::vector<std::string> lines;

private:
    void Log(std::string line) { lines.push_back(std::move(line)); }
};
