#include "video/CDlgPanel.h"

#include "app/LocalConfig.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerVisibility.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

CDlgPanel::CDlgPanel(CvyrProDlg* wall, int cellIndex) : NativeWidget(wall), wall_(wall), cellIndex_(cellIndex)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    inner_ = new CPlayInnerWnd(this);
    PlaceInner();
    inner_->GetWidget()->lower();
    inner_->GetWidget()->show();
    if (inner_->Surface() != nullptr)
        new PlayerVisibility(inner_->Surface(), inner_->PlayerId());  // a child of the surface
}

CDlgPanel::~CDlgPanel()
{
    ReleaseHandle();
    delete inner_;
}

void CDlgPanel::Play(const std::string& deviceId, const std::string& address)
{
    deviceId_ = deviceId;
    inner_->StartPlay(deviceId, address);
}

void CDlgPanel::Stop()
{
    inner_->Stop();
}

void CDlgPanel::Suspend()
{
    if (suspended_)
        return;
    suspended_ = true;
    Stop();
}

void CDlgPanel::Resume()
{
    if (!suspended_)
        return;
    Play(deviceId_, std::string());
    suspended_ = false;
}

bool CDlgPanel::IsBusy() const
{
    return inner_ != nullptr && inner_->IsBusy();
}

bool CDlgPanel::IsActive() const
{
    return inner_ != nullptr && (inner_->IsBusy() || inner_->IsRecovering());
}

void CDlgPanel::SetSelected(bool selected)
{
    selected_ = selected;
    update();
}

void CDlgPanel::ExchangeStream(CDlgPanel& other)
{
    std::swap(inner_, other.inner_);
    std::swap(deviceId_, other.deviceId_);
    std::swap(suspended_, other.suspended_);
    for (CDlgPanel* panel : {this, &other}) {
        panel->inner_->MoveToPanel(panel);
        panel->PlaceInner();
    }
}

// 0 -> 1: the cell alone in the wall; 1 -> 2: the cell covers the screen and the main window hides;
// 2 -> 0: back in the wall with the wall's last layout.
void CDlgPanel::ToggleFullScreen()
{
    switch (fsState_) {
    case 0:
        // The wall shows its selected cell alone: this cell is selected first, as a click on it would
        // be (its toolbar button and its menu do not select it), so the cell asked for is the one shown.
        SelectInWall();
        ::PostMessage(wall_->GetHWND(), WM_MAXIMIZE_CELL, 0, 0);
        fsState_ = 1;
        break;
    case 1: {
        savedGeometry_ = geometry();
        QWidget* host = wall_->window();
        const QScreen* screen = wall_->FullScreenScreen();
        setParent(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(screen != nullptr ? screen->geometry() : QRect(0, 0, 1920, 1080));
        show();
        raise();
        activateWindow();
        setFocus();  // Escape reaches the cell (keyPressEvent)
        if (host != nullptr)
            host->hide();
        fsState_ = 2;
        inner_->SetFullScreen(2);
        inner_->ShowToolbar(false);
        break;
    }
    default: {
        QWidget* host = wall_->window();
        if (host != nullptr)
            host->show();
        setParent(wall_, Qt::Widget);
        setGeometry(savedGeometry_);
        show();
        fsState_ = 0;
        inner_->SetFullScreen(0);
        ::PostMessage(wall_->GetHWND(), WM_RESTORE_LAYOUT, 0, 0);
        break;
    }
    }
}

LRESULT CDlgPanel::OnWindowMessage(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SelectInWall();
        break;
    case WM_LBUTTONDBLCLK:
    case WM_TOGGLE_FULLSCREEN:
        ToggleFullScreen();
        break;
    case WM_CELL_SHOW_TOOLBAR:
        inner_->ShowToolbar(true);
        break;
    default:
        break;
    }
    return 0;
}

void CDlgPanel::SelectInWall()
{
    LocalConfig::Instance()->SetCurrentCameraText(deviceId_);
    ::PostMessage(wall_->GetHWND(), WM_SELECT_CELL, 0, cellIndex_);
    // Selecting the selected cell changes nothing in the wall, but its camera becomes the current one
    // again: a click in the device tree may have made another camera current meanwhile.
    if (selected_)
        ::PostMessage(wall_->MainWindow(), WM_CELL_SELECTED, 0, 0);
}

void CDlgPanel::PlaceInner()
{
    const QRect area = rect();
    inner_->GetWidget()->setGeometry(kFrame, kFrame, std::max(0, area.width() - 2 * kFrame),
                                  std::max(0, area.height() - 2 * kFrame));
}

void CDlgPanel::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), selected_ ? QColor(255, 0, 0) : QColor(255, 255, 255));
}

void CDlgPanel::resizeEvent(QResizeEvent*)
{
    PlaceInner();
}

void CDlgPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnWindowMessage(WM_LBUTTONDOWN, 0, 0);
    else
        QWidget::mousePressEvent(event);
}

void CDlgPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        ::PostMessage(wall_->GetHWND(), WM_EXIT_FULLSCREEN, 0, 0);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CDlgPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ToggleFullScreen();
    else
        QWidget::mouseDoubleClickEvent(event);
}
