#pragma once

#include "base/ReconnectBackoff.h"
#include "ui/WindowImplBase.h"

#include <memory>
#include <string>

class QTimer;

class CDlgPanel;

// Client event codes of the player (wParam of WM_PLAYER_EVENT).
enum PlayerEventCode : int {
    EV_OPENED = 2,
    EV_PLAY_FAILED = 3,
    EV_STATE_CHANGED = 7,
    EV_SNAPSHOT_FAILED = 8,
    EV_SNAPSHOT_SAVED = 9,
    EV_OPEN_FAILED = 10,
    EV_RECORD_NO_SPACE = 11,    // the recording was ended by a full disk (the file plays)
    EV_RECORD_FAILED = 12,      // the recording was ended by another write failure
    EV_SNAPSHOT_NO_SPACE = 13,  // the snapshot found no room on the disk
};
class CCPlayToolBarWnd;
class VideoSurface;

// The play window of a cell, laid two pixels inside its panel: the player draws into its video
// surface; it shows the one-line tip "la_playtip", hosts the cell's toolbar, offers the context menu
// and handles the player's events (retrying failed opens, reopening broken streams). UI thread only.
//
// A cell that lost its stream (it broke, ended or stalled and could not be reopened, or its opens
// failed) while it still shows a camera keeps trying: it asks for the camera's address again and
// reopens after a growing pause (kFirstRetry doubling up to kLastRetry), and at once when the camera
// announces an address (OfferAddress: it came back online). A cell the user stopped never does.
class CPlayInnerWnd : public WindowImplBase {
public:
    static constexpr int kMaxOpenFailures = 3;
    static constexpr std::chrono::milliseconds kFirstRetry{2000};
    static constexpr std::chrono::milliseconds kLastRetry{30000};

    // Creates the window as a child of the panel, its player and its (hidden) toolbar.
    explicit CPlayInnerWnd(CDlgPanel* panel);
    ~CPlayInnerWnd() override;

    void StartPlay(const std::string& deviceId, const std::string& address);
    void Stop();
    // The camera announced its play address: a cell that is getting its stream back reopens with it now.
    void OfferAddress(const std::string& address);
    // Is the cell trying to get back a lost stream?
    bool IsRecovering() const { return recovering_; }
    bool IsBusy() const;
    void ShowToolbar(bool show);
    void SetFullScreen(int state) { fullScreen_ = state; }
    // The window goes, with its player and stream, into another cell's panel (cells swapping).
    void MoveToPanel(CDlgPanel* panel);

    int PlayerId() const { return playerId_; }
    const std::string& DeviceId() const { return deviceId_; }
    const std::string& PlayUrl() const { return playUrl_; }
    const std::string& RecordPath() const { return recordPath_; }
    const std::string& SnapshotPath() const { return snapshotPath_; }
    int OpenFailures() const { return openFailures_; }
    int VideoWidth() const { return videoWidth_; }
    QString TipText() const;
    CCPlayToolBarWnd* Toolbar() const { return toolbar_; }
    VideoSurface* Surface() const { return surface_; }
    CDlgPanel* Panel() const { return panel_; }
    // The main window registered with the wall (null before it registers).
    HWND MainWindow() const;

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;

protected:
    QString GetWindowClassName() const override { return "PlayInnerWnd"; }
    CDuiString GetSkinFile() override { return "playinnerwnd.xml"; }
    void InitWindow() override;
    LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    void SetTip(const QString& text);
    bool OpenUrl();
    void OnPlayerEvent(int event);
    void OnPlayFailed();
    void OnOpenFailed();
    void BeginRecovery();
    void EndRecovery();
    void ScheduleRetry(std::chrono::milliseconds pause);
    void RetryStream();
    void TakeSnapshot();
    void StartRecord();
    void StopRecord();
    void SwitchStream(int width);
    void ShowContextMenu();
    void OnMenuCommand(const std::string& name);
    void PostToMain(UINT message, WPARAM wParam = 0);
    const QWidget* VideoArea() const;
    void RefreshToolbar();
    void UpdateDisplayRect();

    CDlgPanel* panel_;
    CCPlayToolBarWnd* toolbar_ = nullptr;
    VideoSurface* surface_ = nullptr;
    CControlUI* tipLabel_ = nullptr;
    int playerId_ = -1;
    int fullScreen_ = 0;
    std::string playUrl_;
    std::string deviceId_;
    int videoWidth_ = 0;
    std::string recordPath_;
    std::string snapshotPath_;
    int openFailures_ = 0;
    bool stopRequested_ = false;
    bool awaitingOpen_ = false;  // an accepted open whose outcome has not arrived
    bool everOpened_ = false;    // the current camera's stream opened at least once
    bool recovering_ = false;
    ReconnectBackoff retryBackoff_{kFirstRetry, kLastRetry};
    std::unique_ptr<QTimer> retryTimer_;
};
