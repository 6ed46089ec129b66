#include "video/CRemoveQuery.h"

#include "app/LocalConfig.h"
#include "device/CamParamMgr.h"
#include "service/DeviceMgr.h"
#include "ui/CDateTimeUI.h"
#include "ui/COptionUI.h"
#include "ui/CSliderUI.h"
#include "ui/CWndUI.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgReplayVideo.h"
#include "video/CPlayInnerWnd.h"
#include "video/CaptureFileName.h"
#include "video/CaptureTips.h"
#include "video/PlayerManager.h"

#include <glog/logging.h>

#include <QAbstractSlider>
#include <QDateTime>
#include <QMessageBox>
#include <QTimer>

namespace {

// The controls that only work while a replay plays.
constexpr const char* kPlaybackControls[] = {"Slider_RemoveQuery", "IDC_BT_PLAY", "IDC_BT_STOP", "IDC_BT_FSBW",
                                             "IDC_BT_FSFW", "IDC_BT_SAVEAVI", "IDC_BT_CAPTURE"};
// Client player states (PlayerManager::GetState).
constexpr int kStatePlaying = 2;
// Positions the player may still report from before a seek (two a second): skipped until the replay
// announces its new length, at most this many.
constexpr int kPositionsBeforeSeek = 4;

SYSTEMTIME ToSystemTime(const QDateTime& when)
{
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(when.date().year());
    time.wMonth = static_cast<WORD>(when.date().month());
    time.wDayOfWeek = static_cast<WORD>(when.date().dayOfWeek() % 7);
    time.wDay = static_cast<WORD>(when.date().day());
    time.wHour = static_cast<WORD>(when.time().hour());
    time.wMinute = static_cast<WORD>(when.time().minute());
    time.wSecond = static_cast<WORD>(when.time().second());
    return time;
}

}  // namespace

CRemoveQuery::CRemoveQuery(std::string deviceId, HWND commandWindow)
    : deviceId_(std::move(deviceId))
    , commandWindow_(commandWindow)
{
}

CRemoveQuery::~CRemoveQuery()
{
    delete replayVideo_.data();
}

CControlUI* CRemoveQuery::CreateControl(const CDuiString& pstrClass)
{
    if (pstrClass == "VyrDateTime0")
        return new CDateTimeUI(CDateTimeUI::DateOnly);
    if (pstrClass == "VyrDateTime1" || pstrClass == "VyrDateTime2")
        return new CDateTimeUI(CDateTimeUI::TimeOnly);
    if (pstrClass == "VyrVideoPanel") {
        auto* host = new CWndUI;
        replayVideo_ = new CDlgReplayVideo(GetWidget());
        host->Attach(replayVideo_->GetHWND());
        return host;
    }
    return nullptr;
}

void CRemoveQuery::InitWindow()
{
    speedLabel_ = FindControl(QStringLiteral("IDC_STATIC_SPEED"));
    if (speedLabel_)
        speedLabel_->SetText(ReplayControl::kNormalSpeed);
    currentTime_ = FindControl(QStringLiteral("curplaytime"));
    totalTime_ = FindControl(QStringLiteral("totalplaytime"));
    slider_ = m_PaintManager.FindControlAs<CSliderUI>(QStringLiteral("Slider_RemoveQuery"));
    day_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("conDateT0"));
    from_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("conDateT1"));
    to_ = m_PaintManager.FindControlAs<CDateTimeUI>(QStringLiteral("conDateT2"));
    // The last hour of today (from midnight when the day is younger).
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime hourAgo = std::max(now.addSecs(-3600), QDateTime(now.date(), QTime(0, 0)));
    const SYSTEMTIME today = ToSystemTime(now), start = ToSystemTime(hourAgo);
    if (day_)
        day_->SetTime(&today);
    if (from_)
        from_->SetTime(&start);
    if (to_)
        to_->SetTime(&today);
    EnableControls(false);
    if (replayVideo_) {
        replayVideo_->SetReceiver(GetHWND());
        playerId_ = replayVideo_->PlayerId();
    }
    DeviceRecord device;
    if (DeviceMgr::Instance()->FindDevice(deviceId_, device)) {
        if (CControlUI* camera = FindControl(QStringLiteral("labCameraN")))
            camera->SetText(QString::fromStdString(device.deviceId));
        if (CControlUI* node = FindControl(QStringLiteral("labNodeN")))
            node->SetText(QString::fromStdString(device.nodeName));
    }
}

void CRemoveQuery::Notify(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (msg.sType == "click") {
        if (name == "IDC_BT_PLAY")
            Search();
        else if (name == "IDC_BT_STOP")
            StopClicked();
        else if (name == "IDC_BT_FSBW" || name == "IDC_BT_FSFW")
            ChangeSpeed(name == "IDC_BT_FSFW");
        else if (name == "IDC_BT_SAVEAVI")
            ToggleRecord();
        else if (name == "IDC_BT_CAPTURE")
            TakeSnapshot();
        else if (name == "IDC_CLOSE") {
            StopReplay();
            Close(0);
        }
        if (name == "IDC_MIN")
            return;  // the minimise button does nothing
    } else if (msg.sType == "valuechanged" && name == "Slider_RemoveQuery" && !settingSlider_) {
        Seek(static_cast<int>(msg.wParam));
    }
    WindowImplBase::Notify(msg);
}

// ---- search and replies ----

void CRemoveQuery::Search()
{
    if (!day_ || !from_ || !to_)
        return;
    // A replay still open is ended first, as its stop button ends it: the camera would go on serving
    // it, and the player, still active, would not open the new one (the old period stayed on screen).
    if (ReplayOpen())
        StopClicked();
    const std::string command = control_.Search(day_->GetTime(), from_->GetTime(), to_->GetTime());
    SetTip(QString());
    CamParamMgr::Instance()->PostCmd(deviceId_, command);
}

void CRemoveQuery::OnPlaybackReply(const std::string& deviceId, const std::string& body)
{
    control_.SetReplyDevice(deviceId);
    switch (control_.OnReply(body)) {
    case ReplayControl::Reply::Ignored:
        break;
    case ReplayControl::Reply::NoVideo:
        PostMessage(WM_REPLAY_NO_VIDEO);
        break;
    case ReplayControl::Reply::Play:
        StartReplay();
        break;
    }
}

void CRemoveQuery::StartReplay()
{
    // A new replay begins at its start and at normal speed.
    KillTimer(kReopenTimer);
    positionsToSkip_ = 0;
    if (speedLabel_)
        speedLabel_->SetText(ReplayControl::kNormalSpeed);
    settingSlider_ = true;
    if (slider_)
        slider_->SetValue(0);
    settingSlider_ = false;
    SetTip(QString());
    // A second answer to one search (or to two quick ones) replaces the replay being opened.
    if (ReplayOpen())
        PlayerManager::Instance()->Stop(playerId_);
    if (replayVideo_)
        replayVideo_->Play(control_.ReplayUrl());
}

bool CRemoveQuery::ReplayOpen() const
{
    return PlayerManager::IsActiveState(PlayerManager::Instance()->GetState(playerId_));
}

void CRemoveQuery::StopReplay()
{
    if (const std::optional<std::string> command = control_.Stop())
        CamParamMgr::Instance()->PostCmd(deviceId_, *command);
}

void CRemoveQuery::StopClicked()
{
    KillTimer(kReopenTimer);
    PlayerManager::Instance()->Stop(playerId_);
    PostMessage(WM_REPLAY_REFRESH);
    StopReplay();
}

// ---- speed and position ----

void CRemoveQuery::ChangeSpeed(bool faster)
{
    if (!speedLabel_)
        return;
    const std::optional<ReplayControl::SpeedChange> change =
        control_.ChangeSpeed(speedLabel_->GetText().toStdString(), faster);
    if (!change)
        return;
    speedLabel_->SetText(QString::fromStdString(change->label));
    PostCommand(WM_REPLAY_SPEED_CMD, change->command);
    // The camera needs a moment for the new speed; the replay is then opened again. The window keeps
    // working meanwhile, and a further press starts the wait anew.
    SetTimer(kReopenTimer, kReopenDelayMs);
}

void CRemoveQuery::Reopen()
{
    KillTimer(kReopenTimer);
    PlayerManager::Instance()->Stop(playerId_);
    PostMessage(WM_REPLAY_REFRESH);
    PostMessage(WM_REPLAY_REFRESH);
    positionsToSkip_ = 0;
    if (replayVideo_ && !control_.ReplayUrl().empty())
        replayVideo_->Play(control_.ReplayUrl());
}

void CRemoveQuery::Seek(int value)
{
    const std::optional<std::string> command = control_.Seek(value);
    if (!command)
        return;
    positionsToSkip_ = kPositionsBeforeSeek;
    SetTip(QString());
    PostCommand(WM_REPLAY_SEEK_CMD, *command);
}

void CRemoveQuery::PostCommand(UINT message, const std::string& text)
{
    // Handed over synchronously: the main window copies the text before this returns, so no posted
    // message can outlive the window's copy.
    commandText_ = text;
    ::SendMessage(commandWindow_, message, 0, reinterpret_cast<LPARAM>(commandText_.c_str()));
}

void CRemoveQuery::OnPosition(std::int64_t position)
{
    if (positionsToSkip_ > 0) {
        --positionsToSkip_;
        return;
    }
    const std::optional<int> value = control_.OnPosition(position);
    auto* slider = slider_ ? qobject_cast<QAbstractSlider*>(slider_->GetWidget()) : nullptr;
    if (!value || !slider || slider->isSliderDown())
        return;
    settingSlider_ = true;
    slider_->SetValue(*value);
    settingSlider_ = false;
}

// ---- captures ----

void CRemoveQuery::ToggleRecord()
{
    auto* option = m_PaintManager.FindControlAs<COptionUI>(QStringLiteral("IDC_BT_SAVEAVI"));
    if (!option)
        return;
    // The option toggles after this click: its state is still the one before it.
    if (option->IsSelected()) {
        if (PlayerManager::Instance()->StopRecord(playerId_) == 0)
            ShowRecordTip(recordPath_, replayVideo_);
        return;
    }
    recordPath_ = LocalConfig::Instance()->GetReVideoPath() + CaptureFileName(".flv");
    if (PlayerManager::Instance()->StartRecord(playerId_, recordPath_.c_str()) != 0) {
        // Not recording: the option must not stay pressed once the toolkit toggled it.
        QTimer::singleShot(0, GetWidget(), [option] { option->Selected(false, false); });
        ShowMsgTip(GetHWND(), QStringLiteral("启动录制失败"));
    }
}

void CRemoveQuery::TakeSnapshot()
{
    snapshotPath_ = LocalConfig::Instance()->GetRePicPath() + CaptureFileName(".png");
    // No picture yet: no event will follow.
    if (PlayerManager::Instance()->Snapshot(playerId_, snapshotPath_.c_str()) != 0)
        ShowMsgTip(GetHWND(), QStringLiteral("截图失败"));
}

// ---- player events and state ----

void CRemoveQuery::OnPlayerEvent(int event)
{
    switch (event) {
    case EV_OPENED:
        control_.OpenSucceeded();
        if (PlayerManager::Instance()->Play(playerId_) == 0)
            PostMessage(WM_REPLAY_REFRESH);
        break;
    case EV_PLAY_FAILED:
        PostMessage(WM_REPLAY_REFRESH);
        // A replay that played to the end of its period has ended; only a broken stream failed.
        if (control_.ReachedEnd())
            ShowEnded();
        else
            ShowMsgTip(GetHWND(), QStringLiteral("播放失败"));
        break;
    case EV_SNAPSHOT_FAILED:
    case EV_SNAPSHOT_NO_SPACE:
        ShowMsgTip(GetHWND(), event == EV_SNAPSHOT_NO_SPACE ? QStringLiteral("磁盘空间不足，截图失败")
                                                            : QStringLiteral("截图失败"));
        break;
    case EV_SNAPSHOT_SAVED:
        ShowSnapshotTip(snapshotPath_, replayVideo_);
        break;
    case EV_OPEN_FAILED:
        if (control_.OpenFailed()) {
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), QStringLiteral("回放视频打开失败!"),
                            QMessageBox::Ok, GetWidget());
            box.exec();
        } else {
            PlayerManager::Instance()->Stop(playerId_);
            if (replayVideo_)
                replayVideo_->Play(control_.ReplayUrl());
        }
        break;
    case EV_RECORD_NO_SPACE:
    case EV_RECORD_FAILED:
        if (auto* option = m_PaintManager.FindControlAs<COptionUI>(QStringLiteral("IDC_BT_SAVEAVI")))
            option->Selected(false, false);
        ShowMsgTip(GetHWND(), event == EV_RECORD_NO_SPACE ? QStringLiteral("磁盘空间不足，录制已停止")
                                                          : QStringLiteral("写入录像文件失败，录制已停止"));
        break;
    default:
        break;
    }
}

void CRemoveQuery::Refresh()
{
    const int state = PlayerManager::Instance()->GetState(playerId_);
    if (state == kStatePlaying) {
        if (totalTime_)
            totalTime_->SetText(QString::fromStdString(ReplayControl::TotalTimeText(control_.RealTime())));
        EnableControls(true);
    } else if (state == 0 || state == 1 || state == 4 || state == 7) {
        EnableControls(false);
    }
}

void CRemoveQuery::EnableControls(bool playing)
{
    for (const char* name : kPlaybackControls)
        if (CControlUI* control = FindControl(QString::fromLatin1(name)))
            control->SetEnabled(playing);
    if (CControlUI* play = FindControl(QStringLiteral("IDC_BT_PLAY")))
        play->SetEnabled(true);
}

void CRemoveQuery::ShowEnded()
{
    settingSlider_ = true;
    if (slider_)
        slider_->SetValue(100);
    settingSlider_ = false;
    SetTip(QStringLiteral("回放结束"));
}

void CRemoveQuery::SetTip(const QString& text)
{
    if (CControlUI* tip = FindControl(QStringLiteral("replaytip")))
        tip->SetText(text);
}

LRESULT CRemoveQuery::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = TRUE;
    switch (uMsg) {
    case WM_PLAYER_EVENT:
        OnPlayerEvent(static_cast<int>(wParam));
        return 0;
    case WM_PLAYER_LENGTH:
        control_.OnLength(static_cast<std::int64_t>(lParam));
        positionsToSkip_ = 0;
        return 0;
    case WM_PLAYER_POSITION:
        OnPosition(static_cast<std::int64_t>(lParam));
        return 0;
    case WM_REPLAY_REFRESH:
        Refresh();
        return 0;
    case WM_REPLAY_NO_VIDEO:
        ShowMsgTip(GetHWND(), QStringLiteral("无回放视频可看"));
        return 0;
    case WM_TIMER:
        if (wParam == kReopenTimer) {
            Reopen();
            return 0;
        }
        break;
    default:
        break;
    }
    bHandled = FALSE;
    return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
}

LRESULT CRemoveQuery::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    KillTimer(kReopenTimer);
    PlayerManager::Instance()->Stop(playerId_);
    StopReplay();
    return WindowImplBase::OnClose(uMsg, wParam, lParam, bHandled);
}
