#pragma once

#include "device/DeviceReplyView.h"
#include "duiWrap/CXMLWnd.h"
#include "ui/MenuCommand.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ImConnectionThread;
class ImLinkStatus;
class AppAlarmNoticeCounter;
class CAlarmQueryfWnd;
class CamListUI;
class CamParamPanel;
class CIMClient;
class CPopWnd;
class CvyrProDlg;
class DeviceNode;
class DeviceReplyRouter;
class DirectCommandSender;
class MenuCommandRunner;
class MenuOpener;
class PtzPanel;
class RemotePlayback;
class ScreenLockShield;
class WallDragDrop;
class WallViews;
struct NodeRecord;

// The main window ("MainWnd.xml"): the device tree and the recently-watched list, the video wall, the
// camera panels, and the hub of every user action and of the IM events. Created once per process
// after a successful log-in; closing it ends the program.
//
// Threads: everything runs on the UI thread. The IM thread reaches it only by posting the IM events
// to its handle; the direct command senders read nothing of it (their device id and text are fixed
// when they start).
class CDuiFrameWnd : public CXMLWnd, public DeviceReplyView {
public:
    // Timer that enables opening a whole node, started when the roster arrived.
    static constexpr UINT_PTR kOpenAllTimer = 1000;
    static constexpr unsigned kOpenAllDelayMs = 1000;
    static constexpr unsigned kImWaitMs = 10000;

    // The process's main window, created on first call.
    static CDuiFrameWnd* Instance();
    // The handle of the main window once it initialised (the pan-tilt-zoom buttons post to it).
    static HWND MainHandle();

    // Creates, centres and runs the window modally; returns when its loop ends.
    UINT Run();
    // Ends the IM connection thread as the window's destruction does (the program's exit, which
    // never destroys the window); true when the thread has left the client.
    bool EndImConnection();

    // Commands of the popup menus (WM_MENU_COMMAND), by item name.
    using MenuHandler = std::function<void(const MenuCommand&)>;
    void SetMenuHandler(const QString& itemName, MenuHandler handler);

    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(const CDuiString& pstrClass) override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;

    // The lists and what they show.
    void RebuildTree();
    void RefreshRecentList();
    void PruneHistory();
    void MarkCameraOffline(const std::string& deviceId);
    // Plays a camera from a list: at once when its address is known, else once the camera answers;
    // in the wall's chosen cell, or in `cell` (a camera dropped there).
    void PlayCamera(const std::string& deviceId, bool recordInHistory, int cell = -1);
    // Plays the node's own cameras (not those of its sub-nodes) in the free cells from `firstCell` on.
    void PlayNode(const std::string& nodeId, int firstCell = 0);

    void ConnectImServer();
    void SendCmdDirect(const std::string& deviceId, const std::string& text);

    const std::string& CurDeviceId() const { return curDeviceId_; }
    // The camera the window's commands and panels are for.
    void SetCurDeviceId(const std::string& deviceId);
    const std::string& ClickedDeviceId() const { return clickedDeviceId_; }
    bool OpenAllReady() const { return openAllReady_; }
    CvyrProDlg* VideoWall() const { return videoWall_; }
    CamListUI* DeviceList() const { return deviceList_; }
    CamListUI* RecentList() const { return recentList_; }
    DeviceNode* DeviceRoot() const { return deviceRoot_; }
    CPopWnd* SplitPopup() const { return splitPopup_.get(); }
    WallViews* SavedWallViews() const { return wallViews_.get(); }
    MenuOpener* Menus() const { return menus_.get(); }
    WallDragDrop* DragDrop() const { return wallDragDrop_.get(); }

    // DeviceReplyView: the window side of the camera replies and presence changes.
    void ShowMessageBox(const std::string& text) override;
    void ShowDeviceInfo(const std::string& deviceId, const DeviceInfo& info) override;
    void ShowImagePanel(const std::string& deviceId) override;
    void ShowEncodePanel(const std::string& deviceId) override;
    void SetAudioChecked(const std::string& deviceId, bool checked) override;
    void RestartCameraCells(const std::string& deviceId) override;
    void OpenCameraInWall(const std::string& deviceId, const std::string& playUrl) override;
    void RecordWatched(const std::string& deviceId) override;
    void PassPlaybackReply(const std::string& deviceId, const std::string& body) override;
    void ShowAlarmCount(int unseen) override;
    void RebuildDeviceTree() override;
    void ShowDeviceOffline(const std::string& deviceId) override;
    void RosterArrived(const std::vector<std::string>& friends) override;

protected:
    void OnFinalMessage(HWND hWnd) override;
    LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    CDuiFrameWnd();
    ~CDuiFrameWnd() override;

    void OnClick(TNotifyUI& msg) override;
    // Whether the control sits on the pan-tilt-zoom or the parameter page.
    bool OnCameraPage(CControlUI* control);
    void OnSelectChanged(TNotifyUI& msg);
    void OnItemClick(TNotifyUI& msg);
    void OnItemActivate(TNotifyUI& msg);
    void ShowLoginInfo();
    void ApplyRights();
    void ShowSplitChooser(CControlUI* button);
    void CreateWallViews();
    void SwitchUser();
    void ShowLockScreen();
    void SayNotYetAvailable(const QString& what);
    void SetCameraNameText(const std::string& text);
    void OpenPlayback(const std::string& deviceId);
    void UpdateZoomButtons();

    CvyrProDlg* videoWall_ = nullptr;
    std::unique_ptr<CPopWnd> splitPopup_;
    std::unique_ptr<CAlarmQueryfWnd> alarmQueryWnd_;
    CamListUI* deviceList_ = nullptr;
    CControlUI* alarmBadge_ = nullptr;
    CamListUI* recentList_ = nullptr;
    DeviceNode* deviceRoot_ = nullptr;
    bool swallowSplitClick_ = false;
    std::map<QString, MenuHandler> menuHandlers_;
    std::unique_ptr<MenuOpener> menus_;
    std::unique_ptr<MenuCommandRunner> menuCommands_;
    CIMClient* imClient_ = nullptr;
    std::unique_ptr<AppAlarmNoticeCounter> alarmCounter_;
    std::unique_ptr<DeviceReplyRouter> router_;
    std::unique_ptr<ImLinkStatus> imLink_;
    std::unique_ptr<DirectCommandSender> directSender_;
    std::vector<NodeRecord> topNodes_;
    std::string curDeviceId_;
    std::string clickedDeviceId_;
    bool openAllReady_ = false;
    bool rebuildPosted_ = false;
    std::unique_ptr<PtzPanel> ptzPanel_;
    std::unique_ptr<CamParamPanel> paramPanel_;
    std::unique_ptr<RemotePlayback> playback_;
    std::unique_ptr<ScreenLockShield> screenLockShield_;
    std::unique_ptr<WallDragDrop> wallDragDrop_;
    std::unique_ptr<WallViews> wallViews_;
    // Last, so that it ends first: the IM thread is gone before what it reports to.
    std::unique_ptr<ImConnectionThread> imThread_;
};
