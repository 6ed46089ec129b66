#pragma once

#include "device/AlarmNoticeCounter.h"
#include "device/CamParamMgr.h"
#include "device/DeviceReplyRouter.h"
#include "device/DeviceReplyView.h"
#include "device/DirectCommandSender.h"
#include "device/StreamRequestMgr.h"
#include "glooxWrap/CIMClient.h"
#include "ui/MessageTarget.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Stands in for the main window: receives the IM events, hands them to the router as the main window
// does, and records both the events and what the router asked the windows to do.
class ClientWindow : public MessageTarget, public DeviceReplyView, public AlarmNoticeCounter {
public:
    struct Event {
        UINT message;
        WPARAM wParam;
        std::string deviceId;
    };

    explicit ClientWindow(std::function<bool(UINT, WPARAM, LPARAM)> router) : router_(std::move(router)) {}
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Events of one kind (for WM_IM_PRESENCE optionally of one camera).
    std::vector<Event> EventsOf(UINT message, const std::string& deviceId = {}) const;
    // View reactions starting with the prefix.
    std::vector<std::string> LinesWith(const std::string& prefix) const;

    void ShowMessageBox(const std::string& text) override { lines.push_back("box " + text); }
    void ShowDeviceInfo(const std::string& id, const DeviceInfo& info) override
    {
        lines.push_back("info " + id + " " + info.devName);
    }
    void ShowImagePanel(const std::string& id) override { lines.push_back("image " + id); }
    void ShowEncodePanel(const std::string& id) override { lines.push_back("encode " + id); }
    void SetAudioChecked(const std::string&, bool checked) override { lines.push_back(checked ? "audio on" : "audio off"); }
    void RestartCameraCells(const std::string& id) override { lines.push_back("restart " + id); }
    void OpenCameraInWall(const std::string& id, const std::string& url) override
    {
        lines.push_back("open " + id + " " + url);
    }
    void RecordWatched(const std::string& id) override { lines.push_back("watched " + id); }
    void PassPlaybackReply(const std::string& id, const std::string& body) override
    {
        lines.push_back("replay " + id + " " + body);
    }
    void ShowAlarmCount(int unseen) override { lines.push_back("alarms " + std::to_string(unseen)); }
    void RebuildDeviceTree() override { lines.push_back("rebuild"); }
    void ShowDeviceOffline(const std::string& id) override { lines.push_back("offline " + id); }
    void RosterArrived(const std::vector<std::string>& names) override
    {
        lines.push_back("roster " + std::to_string(names.size()));
    }

    bool NoticesWanted() override
    {
        ++alarmNotices;
        return alarmsWanted;
    }
    int AddNotice() override { return ++unseen; }

    std::vector<Event> events;
    std::vector<std::string> lines;
    bool alarmsWanted = true;
    int unseen = 0;
    int alarmNotices = 0;  // cmd 82 messages routed, counted or not

private:
    std::function<bool(UINT, WPARAM, LPARAM)> router_;
};

// One client as the program assembles it: the IM client on its thread, the command queue, the stream
// requests, the reply router and the direct sender, with ClientWindow as the main window. UI thread.
struct ClientRig {
    ClientRig();
    ~ClientRig();

    // Starts the IM thread with explicit credentials (or, with RunImConnection, from UserSession).
    void Connect(const std::string& user, const std::string& password, int port);
    void ConnectFromSession();
    // Ends the connection and joins the IM thread.
    void Disconnect();

    CIMClient im;
    CamParamMgr params{im};
    StreamRequestMgr streams{params};
    ClientWindow window;
    DeviceReplyRouter router{im, params, streams, window, window};
    DirectCommandSender direct{im};
    std::thread imThread;
};

// Runs the Qt event loop until the condition holds or the time-out passed; returns the condition.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void PumpFor(int ms);
// Creates the QCoreApplication of the test process once.
void EnsureApplication();
// The "cmd" of a JSON body, -1 when it has none.
int CmdOf(const std::string& body);
