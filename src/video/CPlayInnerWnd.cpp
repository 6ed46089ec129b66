#include "video/CPlayInnerWnd.h"

#include "app/LocalConfig.h"
#include "device/StreamRequestMgr.h"
#include "ui/CMenuElementUI.h"
#include "ui/CMenuWnd.h"
#include "ui/MenuCommand.h"
#include "ui/ShowMsgTip.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CaptureFileName.h"
#include "video/CaptureTips.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"

#include <glog/logging.h>

#include <QCursor>
#include <QTimer>
#include <QWidget>

namespace {
const char* const kReconnecting = "重新连接中…";
}

CPlayInnerWnd::CPlayInnerWnd(CDlgPanel* panel) : panel_(panel), retryTimer_(std::make_unique<QTimer>())
{
    retryTimer_->setSingleShot(true);
    QObject::connect(retryTimer_.get(), &QTimer::timeout, [this] { RetryStream(); });
    Create(panel->GetHWND(), "PlayInnerWnd", UI_WNDSTYLE_CHILD, 0);
}

CPlayInnerWnd::~CPlayInnerWnd()
{
    delete toolbar_;
}

void CPlayInnerWnd::InitWindow()
{
    PlayerManager::Instance()->CreatePlayer(playerId_);
    surface_ = dynamic_cast<VideoSurface*>(GetWidget()->findChild<QWidget*>("video"));
    toolbar_ = new CCPlayToolBarWnd(this, playerId_);
    tipLabel_ = FindControl("la_playtip");
    if (tipLabel_ != nullptr)
        tipLabel_->SetText(QString());
}

void CPlayInnerWnd::MoveToPanel(CDlgPanel* panel)
{
    panel_ = panel;
    ShowToolbar(false);
    QWidget* window = GetWidget();
    window->setParent(panel);
    window->lower();
    window->show();
}

HWND CPlayInnerWnd::MainWindow() const
{
    return panel_->Wall()->MainWindow();
}

QString CPlayInnerWnd::TipText() const
{
    return tipLabel_ != nullptr ? tipLabel_->GetText() : QString();
}

// The tip lies over the picture; a playing stream hides it, any new tip shows it again.
void CPlayInnerWnd::SetTip(const QString& text)
{
    if (tipLabel_ == nullptr)
        return;
    tipLabel_->SetText(text);
    tipLabel_->SetVisible(true);
}

void CPlayInnerWnd::StartPlay(const std::string& deviceId, const std::string& address)
{
    EndRecovery();
    if (deviceId != deviceId_)
        everOpened_ = false;
    deviceId_ = deviceId;
    openFailures_ = 0;
    stopRequested_ = false;
    if (!address.empty())
        playUrl_ = address;
    else if (playUrl_.empty())
        return;
    if (OpenUrl())
        SetTip("视频加载中，请稍等!!");
    else
        SetTip("打开失败");  // the player refused the address (not a network stream)
}

bool CPlayInnerWnd::OpenUrl()
{
    HWND target = surface_ != nullptr ? surface_->GetHWND() : GetHWND();
    const bool accepted = PlayerManager::Instance()->Open(playerId_, playUrl_.c_str(), target, true) == 0;
    awaitingOpen_ = accepted;
    UpdateDisplayRect();
    return accepted;
}

void CPlayInnerWnd::Stop()
{
    EndRecovery();
    stopRequested_ = true;
    awaitingOpen_ = false;
    PlayerManager::Instance()->Stop(playerId_);
    RefreshToolbar();
    SetTip("停止");
}

// An accepted open not answered yet counts as busy too: the player reports an opened stream that
// waits for Play as "nothing known", and a second camera must not be placed in this cell meanwhile.
bool CPlayInnerWnd::IsBusy() const
{
    return awaitingOpen_ || PlayerManager::IsActiveState(PlayerManager::Instance()->GetState(playerId_));
}

void CPlayInnerWnd::RefreshToolbar()
{
    if (toolbar_ != nullptr)
        toolbar_->RefreshFromState();
}

void CPlayInnerWnd::ShowToolbar(bool show)
{
    if (toolbar_ != nullptr)
        toolbar_->ShowToolbar(show);
}

void CPlayInnerWnd::UpdateDisplayRect()
{
    const QWidget* area = surface_ != nullptr ? static_cast<QWidget*>(surface_) : GetWidget();
    if (area != nullptr)
        PlayerManager::Instance()->SetDisplayRect(playerId_, 0, 0, area->width(), area->height());
}

LRESULT CPlayInnerWnd::OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    UpdateDisplayRect();
    // Also while the toolbar's windows are hidden (the wall going to or from full screen shows them
    // again only after this resize): it follows the cell along its bottom edge.
    if (toolbar_ != nullptr)
        toolbar_->PlaceAlongBottom();
    return WindowImplBase::OnSize(uMsg, wParam, lParam, bHandled);
}

void CPlayInnerWnd::OnPlayerEvent(int event)
{
    switch (event) {
    case EV_OPENED: {
        awaitingOpen_ = false;
        openFailures_ = 0;
        everOpened_ = true;
        EndRecovery();
        int height = 0;
        PlayerManager::Instance()->GetVideoSize(playerId_, videoWidth_, height);
        if (toolbar_ != nullptr)
            toolbar_->ShowQualityIcon(videoWidth_);
        if (PlayerManager::Instance()->Play(playerId_) == 0)
            RefreshToolbar();
        if (tipLabel_ != nullptr)
            tipLabel_->SetVisible(false);  // the picture covers the tip
        break;
    }
    case EV_PLAY_FAILED:
        PostMessage(WM_CELL_PLAY_FAILED, static_cast<WPARAM>(playerId_), 0);
        break;
    case EV_STATE_CHANGED:
        RefreshToolbar();
        break;
    case EV_SNAPSHOT_FAILED:
        ShowMsgTip(GetHWND(), "截图失败");
        break;
    case EV_SNAPSHOT_SAVED:
        ShowSnapshotTip(snapshotPath_, VideoArea());
        break;
    case EV_SNAPSHOT_NO_SPACE:
        ShowMsgTip(GetHWND(), "磁盘空间不足，截图失败");
        break;
    case EV_RECORD_NO_SPACE:
    case EV_RECORD_FAILED:
        // The library ended the recording and kept what was written.
        LOG(WARNING) << "the recording " << recordPath_ << " stopped: "
                     << (event == EV_RECORD_NO_SPACE ? "no space left" : "write failed");
        RefreshToolbar();
        ShowMsgTip(GetHWND(),
                   event == EV_RECORD_NO_SPACE ? "磁盘空间不足，录制已停止" : "写入录像文件失败，录制已停止");
        break;
    case EV_OPEN_FAILED:
        PostMessage(WM_CELL_OPEN_FAILED, static_cast<WPARAM>(playerId_), 0);
        break;
    default:
        break;
    }
}

// A stream that broke is opened again, unless the user had stopped the cell. A recording ends at the
// break (its file plays up to there, and its tip says so): it is not restarted behind the user's back.
void CPlayInnerWnd::OnPlayFailed()
{
    StopRecord();
    PlayerManager::Instance()->Stop(playerId_);
    if (stopRequested_) {
        SetTip("播放失败");
        RefreshToolbar();
        return;
    }
    SetTip(kReconnecting);
    OpenUrl();
}

// Failed opens are retried at once up to kMaxOpenFailures; then the cell keeps trying on its timer.
void CPlayInnerWnd::OnOpenFailed()
{
    awaitingOpen_ = false;
    ++openFailures_;
    PlayerManager::Instance()->Stop(playerId_);
    if (stopRequested_ || recovering_) {
        RefreshToolbar();
        return;
    }
    if (openFailures_ >= kMaxOpenFailures) {
        // A stream that never played says that its open failed until the first retry.
        SetTip(everOpened_ ? kReconnecting : "打开失败");
        RefreshToolbar();
        BeginRecovery();
        return;
    }
    OpenUrl();
}

void CPlayInnerWnd::BeginRecovery()
{
    if (deviceId_.empty() || stopRequested_)
        return;
    recovering_ = true;
    retryBackoff_.Reset();
    ScheduleRetry(retryBackoff_.Next());
}

void CPlayInnerWnd::EndRecovery()
{
    recovering_ = false;
    retryTimer_->stop();
    retryBackoff_.Reset();
}

void CPlayInnerWnd::ScheduleRetry(std::chrono::milliseconds pause)
{
    retryTimer_->start(static_cast<int>(pause.count()));
}

void CPlayInnerWnd::RetryStream()
{
    if (!recovering_)
        return;
    LOG(INFO) << "cell " << panel_->CellIndex() << " retries " << deviceId_ << " (attempt "
              << retryBackoff_.Attempts() << ")";
    SetTip(kReconnecting);
    // The address may have changed while the stream was gone: ask for it (the answer comes through
    // OfferAddress) and meanwhile try the last one.
    panel_->Wall()->RequestAddress(deviceId_);
    if (!awaitingOpen_)
        OpenUrl();
    ScheduleRetry(retryBackoff_.Next());
}

void CPlayInnerWnd::OfferAddress(const std::string& address)
{
    if (!recovering_ || address.empty())
        return;
    playUrl_ = address;
    // The camera is back: try now, and from here on again after the shortest pause.
    retryBackoff_.Reset();
    ScheduleRetry(retryBackoff_.Next());
    if (awaitingOpen_)
        return;
    SetTip(kReconnecting);
    OpenUrl();
}

void CPlayInnerWnd::TakeSnapshot()
{
    snapshotPath_ = LocalConfig::Instance()->GetPicPath() + CaptureFileName(".png");
    PlayerManager::Instance()->Snapshot(playerId_, snapshotPath_.c_str());
}

void CPlayInnerWnd::StartRecord()
{
    recordPath_ = LocalConfig::Instance()->GetVideoPath() + CaptureFileName(".flv");
    if (PlayerManager::Instance()->StartRecord(playerId_, recordPath_.c_str()) != 0) {
        ShowMsgTip(GetHWND(), "启动录制失败");
        return;
    }
    RefreshToolbar();
}

void CPlayInnerWnd::StopRecord()
{
    if (PlayerManager::Instance()->StopRecord(playerId_) == 0)
        ShowRecordTip(recordPath_, VideoArea());
    RefreshToolbar();
}

void CPlayInnerWnd::SwitchStream(int width)
{
    if (width == videoWidth_)
        return;
    StreamRequestMgr::Instance()->SetRestart(deviceId_, true);
    StreamRequestMgr::Instance()->SetSwitchingDevice(deviceId_);
    PostToMain(WM_SWITCH_STREAM, static_cast<WPARAM>(width));
}

// The wall while it is shown (in the main window or covering the screen), else this cell's panel
// (out in full screen).
const QWidget* CPlayInnerWnd::VideoArea() const
{
    const QWidget* wall = panel_->Wall();
    return wall->isVisible() ? wall : panel_;
}

void CPlayInnerWnd::PostToMain(UINT message, WPARAM wParam)
{
    ::PostMessage(MainWindow(), message, wParam, 0);
}

void CPlayInnerWnd::ShowContextMenu()
{
    if (LocalConfig::Instance()->IsScreenLocked()) {
        PostToMain(WM_SHOW_LOCKSCREEN);
        return;
    }
    if (fullScreen_ != 0)
        return;
    const QPoint at = QCursor::pos();
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, "playmenu_wnd.xml", POINT{at.x(), at.y()}, &m_PaintManager);
    if (menu == nullptr)
        return;
    const int state = PlayerManager::Instance()->GetState(playerId_);
    auto* close = new CMenuElementUI();
    close->SetName("closeplay");
    close->SetText("关闭");
    close->SetEnabled(state == 2 || state == 5);
    menu->GetMenuUI()->Add(close);
    auto* full = new CMenuElementUI();
    full->SetName("fullscreen");
    full->SetText("全屏");
    menu->GetMenuUI()->Add(full);
    menu->ResizeMenu();
}

void CPlayInnerWnd::OnMenuCommand(const std::string& name)
{
    if (name == "closeplay")
        PostMessage(WM_CELL_STOP, 0, 0);
    else if (name == "fullscreen")
        ::PostMessage(panel_->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
}

LRESULT CPlayInnerWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = TRUE;
    switch (uMsg) {
    case WM_PLAYER_EVENT:
        OnPlayerEvent(static_cast<int>(wParam));
        return 0;
    case WM_CELL_PLAY_FAILED:
        OnPlayFailed();
        return 0;
    case WM_CELL_OPEN_FAILED:
        OnOpenFailed();
        return 0;
    case WM_CELL_STOP:
        Stop();
        return 0;
    case WM_CELL_REPLAY:
        StartPlay(deviceId_, std::string());
        return 0;
    case WM_CELL_SNAPSHOT:
        TakeSnapshot();
        return 0;
    case WM_CELL_RECORD_START:
        StartRecord();
        return 0;
    case WM_CELL_RECORD_STOP:
        StopRecord();
        return 0;
    case WM_CELL_PLAYBACK:  // the main window opens the playback of this cell's camera
        if (!deviceId_.empty())
            PostToMain(WM_CELL_PLAYBACK, static_cast<WPARAM>(panel_->CellIndex()));
        return 0;
    case WM_SWITCH_STREAM:
        SwitchStream(static_cast<int>(wParam));
        return 0;
    case WM_TOGGLE_FULLSCREEN:
        ::PostMessage(panel_->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
        return 0;
    case WM_MENU_COMMAND:
        if (wParam != 0)
            OnMenuCommand(reinterpret_cast<const MenuCommand*>(wParam)->szName);
        return 0;
    default:
        bHandled = FALSE;
        return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
}

LRESULT CPlayInnerWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_LBUTTONDOWN:
        if (LocalConfig::Instance()->IsScreenLocked()) {
            PostToMain(WM_SHOW_LOCKSCREEN);
            return 0;
        }
        ::PostMessage(panel_->GetHWND(), WM_LBUTTONDOWN, 0, 0);
        break;
    case WM_LBUTTONDBLCLK:
        ::PostMessage(panel_->GetHWND(), WM_LBUTTONDBLCLK, 0, 0);
        break;
    case WM_RBUTTONDOWN:
        ShowContextMenu();
        return 0;
    case WM_MOUSEHOVER:
        if (fullScreen_ == 0)
            ShowToolbar(true);
        break;
    case WM_MOUSELEAVE:
        // Leaving into the toolbar (a child of this window) is not leaving the cell.
        if (GetWidget() != nullptr && !GetWidget()->rect().contains(GetWidget()->mapFromGlobal(QCursor::pos())))
            ShowToolbar(false);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            ::PostMessage(panel_->Wall()->GetHWND(), WM_EXIT_FULLSCREEN, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CPlayInnerWnd::ResponseDefaultKeyEvent(WPARAM wParam)
{
    if (wParam == VK_ESCAPE)
        return TRUE;  // handled above: Escape leaves full screen, it never closes the cell
    return WindowImplBase::ResponseDefaultKeyEvent(wParam);
}
