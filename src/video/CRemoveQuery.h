#pragma once

#include "ui/WindowImplBase.h"
#include "video/CDlgReplayVideo.h"
#include "video/ReplayControl.h"

#include <QPointer>

#include <string>

class CDateTimeUI;
class CSliderUI;

// The remote playback window ("skinRemoveQuery.xml"): the user picks a day and a time span, the
// camera is asked for a replay of it (cmd 50), and the replay plays in the embedded video dialog.
// While it plays: stop (cmd 51), slower and faster (cmd 53, then the replay is reopened), a position
// slider (cmd 54), recording to the playback-recording folder and snapshots to the playback-snapshot
// folder. The arithmetic is ReplayControl's; this class reads the controls and shows the results.
//
// cmd 50 and 51 go through the camera's command queue; cmd 53 and 54 are handed to the main window
// (WM_REPLAY_SPEED_CMD / WM_REPLAY_SEEK_CMD), which sends them to the camera directly. UI thread only.
class CRemoveQuery : public WindowImplBase {
public:
    static constexpr UINT_PTR kReopenTimer = 1;
    static constexpr unsigned kReopenDelayMs = 1000;

    // `commandWindow`: where the speed and seek commands go (the main window).
    CRemoveQuery(std::string deviceId, HWND commandWindow);
    ~CRemoveQuery() override;

    // Every cmd 50 reply while the window exists (the main window's reply router hands them on).
    void OnPlaybackReply(const std::string& deviceId, const std::string& body);

    const std::string& DeviceId() const { return deviceId_; }
    const ReplayControl& Control() const { return control_; }
    CDlgReplayVideo* ReplayVideo() const { return replayVideo_; }
    int PlayerId() const { return playerId_; }
    const std::string& RecordPath() const { return recordPath_; }
    const std::string& SnapshotPath() const { return snapshotPath_; }

    QString GetWindowClassName() const override { return QStringLiteral("UIRemoveQueryFrame"); }
    UINT GetClassStyle() const override { return 0x80B; }
    CControlUI* CreateControl(const CDuiString& pstrClass) override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinRemoveQuery.xml"); }
    void InitWindow() override;
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    void Search();
    void StartReplay();
    void StopReplay();
    void StopClicked();
    bool ReplayOpen() const;
    void ChangeSpeed(bool faster);
    void Reopen();
    void Seek(int value);
    void ToggleRecord();
    void TakeSnapshot();
    void OnPlayerEvent(int event);
    void OnPosition(std::int64_t position);
    void Refresh();
    void EnableControls(bool playing);
    void ShowEnded();
    void SetTip(const QString& text);
    void PostCommand(UINT message, const std::string& text);

    std::string deviceId_;
    HWND commandWindow_;
    ReplayControl control_;
    QPointer<CDlgReplayVideo> replayVideo_;
    int playerId_ = -1;
    std::string commandText_;  // the last command handed to the main window
    std::string snapshotPath_;
    std::string recordPath_;
    CDateTimeUI* day_ = nullptr;
    CDateTimeUI* from_ = nullptr;
    CDateTimeUI* to_ = nullptr;
    CControlUI* speedLabel_ = nullptr;
    CControlUI* totalTime_ = nullptr;
    CControlUI* currentTime_ = nullptr;
    CSliderUI* slider_ = nullptr;
    bool settingSlider_ = false;  // the slider moved by progress, not by the user
    int positionsToSkip_ = 0;     // positions of the stream before a seek, still on their way
};
