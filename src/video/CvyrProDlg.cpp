#include "video/CvyrProDlg.h"

#include "app/LocalConfig.h"
#include "base/SingleLock.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/WallLayout.h"

#include <glog/logging.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

CvyrProDlg::CvyrProDlg(QWidget* host) : NativeWidget(host)
{
    setWindowTitle("Video Main Window");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    if (!::IsWindow(LocalConfig::Instance()->GetVideoWallWindow()))
        LocalConfig::Instance()->SetVideoWallWindow(GetHWND());
}

CvyrProDlg::~CvyrProDlg() = default;

// Building a cell costs its play window and toolbar (skin, widgets, video surface); a wall shows 4
// cells by default, so cells are built when first needed instead of all 64 at start-up.
CDlgPanel* CvyrProDlg::Panel(int index)
{
    CDlgPanel*& panel = panels_.at(index);
    if (panel == nullptr) {
        panel = new CDlgPanel(this, index);
        panel->hide();  // until a layout shows it
    }
    return panel;
}

std::vector<CDlgPanel*> CvyrProDlg::BuiltPanels() const
{
    std::vector<CDlgPanel*> built;
    for (CDlgPanel* panel : panels_)
        if (panel != nullptr)
            built.push_back(panel);
    return built;
}

void CvyrProDlg::BuildLayoutCells()
{
    // Which cells, not where: any area gives the same cells.
    for (const CellRect& cell : WallLayout::Arrange(layoutCount_, selectedCell_, kCellCount, kCellCount))
        Panel(cell.cell);
}

bool CvyrProDlg::IsBusy(int cell) const
{
    return (panels_[cell] != nullptr && panels_[cell]->IsBusy()) || waitingCells_.count(cell) != 0;
}

void CvyrProDlg::OpenCamera(const std::string& deviceId, const std::string& address)
{
    base::CSingleLock lock(&lock_, true);
    const auto choice = CellChooser::ForCamera(preferredCell_, kCellCount, [this](int c) { return IsBusy(c); });
    CDlgPanel* panel = Panel(choice.cell);
    if (choice.replacesStream) {
        // A full wall: the new camera takes the preferred cell over instead of leaving it labelled
        // with the new camera while it still shows the old stream.
        LOG(INFO) << "wall full: cell " << choice.cell << " switches from " << panel->DeviceId() << " to " << deviceId;
        panel->Stop();
    }
    panel->Play(deviceId, address);
}

void CvyrProDlg::OpenCameras(const std::vector<CameraAddress>& cameras, int firstCell)
{
    if (cameras.empty())
        return;
    base::CSingleLock lock(&lock_, true);
    const bool idle = openQueue_.Empty();
    openQueue_.Add(cameras, firstCell);
    if (idle)
        SetTimer(kOpenTimer, kOpenSpacingMs);
}

void CvyrProDlg::PlayInCell(int cell, const std::string& deviceId, const std::string& address)
{
    if (cell < 0 || cell >= kCellCount)
        return;
    base::CSingleLock lock(&lock_, true);
    waitingCells_.erase(cell);
    CDlgPanel* panel = Panel(cell);
    if (panel->IsBusy()) {
        if (panel->DeviceId() == deviceId)
            return;  // already plays there
        panel->Stop();
    }
    panel->Play(deviceId, address);
}

void CvyrProDlg::AwaitAddress(int cell, const std::string& deviceId)
{
    if (cell < 0 || cell >= kCellCount)
        return;
    base::CSingleLock lock(&lock_, true);
    if (CDlgPanel* panel = Panel(cell); panel->IsActive())
        panel->Stop();
    waitingCells_[cell] = deviceId;
}

void CvyrProDlg::SwapCells(int first, int second)
{
    if (first == second || first < 0 || second < 0 || first >= kCellCount || second >= kCellCount)
        return;
    CDlgPanel* a = Panel(first);
    CDlgPanel* b = Panel(second);
    if (a->FullScreenState() != 0 || b->FullScreenState() != 0)
        return;
    a->ExchangeStream(*b);
    // The moved camera stays the chosen one, in the cell it went to, as after a click there.
    SelectCell(second);
    LocalConfig::Instance()->SetCurrentCameraText(b->DeviceId());
    ::PostMessage(mainWindow_, WM_CELL_SELECTED, 0, 0);
}

void CvyrProDlg::OnOpenTimer()
{
    base::CSingleLock lock(&lock_, true);
    const auto next = openQueue_.Next(kCellCount, [this](int c) { return IsBusy(c); });
    if (next.cell >= 0)
        Panel(next.cell)->Play(next.camera.deviceId, next.camera.address);
    if (openQueue_.Empty())
        KillTimer(kOpenTimer);
}

void CvyrProDlg::RequestAddress(const std::string& deviceId) const
{
    if (addressRequest_)
        addressRequest_(deviceId);
}

void CvyrProDlg::OfferAddress(const std::string& deviceId, const std::string& address)
{
    for (CDlgPanel* panel : BuiltPanels())
        if (panel->DeviceId() == deviceId)
            panel->Inner()->OfferAddress(address);
    base::CSingleLock lock(&lock_, true);
    for (auto it = waitingCells_.begin(); it != waitingCells_.end();) {
        if (it->second != deviceId) {
            ++it;
            continue;
        }
        CDlgPanel* panel = Panel(it->first);
        it = waitingCells_.erase(it);
        if (!panel->IsBusy())
            panel->Play(deviceId, address);
    }
}

void CvyrProDlg::StopAll()
{
    StopCameras([](const std::string&) { return true; });
}

void CvyrProDlg::StopNode(const std::string& nodeId)
{
    if (!nodeMembership_)
        return;
    StopCameras([&](const std::string& deviceId) { return nodeMembership_(nodeId, deviceId); });
}

// Not only the cells that play: a cell retrying a lost stream, a cell waiting for its camera's
// address and a camera of "open all" waiting for its turn would each start later, after the
// operator asked them to stop. No camera is placed here, so the wall's lock is not taken (and the
// node membership, which asks the node tree under its own lock, is not asked inside it).
void CvyrProDlg::StopCameras(const std::function<bool(const std::string& deviceId)>& covers)
{
    for (CDlgPanel* panel : BuiltPanels())
        if (panel->IsActive() && covers(panel->DeviceId()))
            panel->Stop();
    std::erase_if(waitingCells_, [&](const auto& waiting) { return covers(waiting.second); });
    openQueue_.Remove(covers);
    if (openQueue_.Empty())
        KillTimer(kOpenTimer);
}

void CvyrProDlg::SuspendCamera(const std::string& deviceId)
{
    for (CDlgPanel* panel : BuiltPanels())
        if (panel->IsBusy() && panel->DeviceId() == deviceId)
            panel->Suspend();
}

void CvyrProDlg::ResumeCamera(const std::string& deviceId)
{
    for (CDlgPanel* panel : BuiltPanels())
        if (!panel->IsBusy() && panel->DeviceId() == deviceId)
            panel->Resume();
}

void CvyrProDlg::SelectCell(int index)
{
    if (index < 0 || index >= kCellCount || index == selectedCell_)
        return;
    if (selectedCell_ >= 0)
        Panel(selectedCell_)->SetSelected(false);
    selectedCell_ = preferredCell_ = index;
    Panel(index)->SetSelected(true);
    ::PostMessage(mainWindow_, WM_CELL_SELECTED, 0, 0);
}

void CvyrProDlg::SetLayout(int count)
{
    layoutCount_ = count;
    ApplyLayout();
}

void CvyrProDlg::ApplyLayout()
{
    if (layoutCount_ != 0)
        savedLayoutCount_ = layoutCount_;
    const QRect area = rect();
    if (area.isEmpty())
        return;
    // No drawing freeze: Qt paints only when the event loop runs again, after all cells moved
    // (freezing would walk every widget of the 64 cells twice).
    const std::vector<CellRect> cells = WallLayout::Arrange(layoutCount_, selectedCell_, area.width(), area.height());
    std::array<bool, kCellCount> shown{};
    for (const CellRect& cell : cells)
        shown[cell.cell] = true;
    // Cells that stay in the arrangement are only moved: hiding and showing them again costs a
    // show cascade through their windows and changes nothing on the screen.
    for (int i = 0; i < kCellCount; ++i)
        if (!shown[i] && panels_[i] != nullptr && panels_[i]->isVisibleTo(this))
            panels_[i]->hide();
    for (const CellRect& cell : cells) {
        CDlgPanel* panel = Panel(cell.cell);
        if (panel->parentWidget() != this)
            continue;  // the cell is out in full screen
        panel->setGeometry(cell.x, cell.y, cell.width, cell.height);
        if (!panel->isVisibleTo(this))
            panel->show();
    }
    if (layoutCount_ == 0 && selectedCell_ >= 0 && selectedCell_ < kCellCount)
        ::PostMessage(Panel(selectedCell_)->GetHWND(), WM_CELL_SHOW_TOOLBAR, 0, 0);
}

// Full screen: the wall leaves its place in the main window and covers the primary screen as a
// frameless top window; leaving puts it back where it was.
void CvyrProDlg::ToggleWallFullScreen()
{
    if (!wallFullScreen_) {
        savedParent_ = parentWidget();
        savedWallGeometry_ = geometry();
        wallFullScreen_ = true;
        setParent(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        const QScreen* screen = FullScreenScreen();
        setGeometry(screen != nullptr ? screen->geometry() : QRect(0, 0, 1920, 1080));
        show();
        raise();
        setFocus();
    } else {
        wallFullScreen_ = false;
        setParent(savedParent_, savedParent_ != nullptr ? Qt::Widget : Qt::Window);
        setGeometry(savedWallGeometry_);
        show();
        savedParent_ = nullptr;
    }
}

QScreen* CvyrProDlg::FullScreenScreen() const
{
    return fullScreenOnOwnScreen_ && screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
}

// Escape: a cell out in full screen comes back first (the last step of its cycle), else the wall
// leaves its own full screen; otherwise nothing.
void CvyrProDlg::ExitFullScreen()
{
    for (CDlgPanel* panel : BuiltPanels())
        if (panel->FullScreenState() == 2) {
            panel->ToggleFullScreen();
            return;
        }
    if (wallFullScreen_)
        ToggleWallFullScreen();
}

LRESULT CvyrProDlg::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LAYOUT_1: SetLayout(1); break;
    case WM_LAYOUT_4: SetLayout(4); break;
    case WM_LAYOUT_9: SetLayout(9); break;
    case WM_LAYOUT_16: SetLayout(16); break;
    case WM_LAYOUT_64: SetLayout(64); break;
    case WM_LAYOUT_25: SetLayout(25); break;
    case WM_LAYOUT_36: SetLayout(36); break;
    case WM_LAYOUT_49: SetLayout(49); break;
    case WM_LAYOUT_6: SetLayout(6); break;
    case WM_LAYOUT_8: SetLayout(8); break;
    case WM_LAYOUT_14: SetLayout(14); break;
    case WM_LAYOUT_17: SetLayout(17); break;
    case WM_TOGGLE_FULLSCREEN:
        ToggleWallFullScreen();
        break;
    case WM_EXIT_FULLSCREEN:
        ExitFullScreen();
        break;
    case WM_RESTORE_LAYOUT:
        SetLayout(savedLayoutCount_);
        break;
    case WM_MAXIMIZE_CELL:
        if (selectedCell_ >= 0 && selectedCell_ < kCellCount)
            SetLayout(0);
        break;
    case WM_SELECT_CELL:
        SelectCell(static_cast<int>(lParam));
        break;
    case WM_TIMER:
        if (wParam == kOpenTimer)
            OnOpenTimer();
        break;
    default:
        break;
    }
    return 0;
}

void CvyrProDlg::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::black);
}

void CvyrProDlg::resizeEvent(QResizeEvent*)
{
    ApplyLayout();
}

void CvyrProDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        ::PostMessage(GetHWND(), WM_EXIT_FULLSCREEN, 0, 0);
        return;
    }
    QWidget::keyPressEvent(event);
}
