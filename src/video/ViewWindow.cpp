#include "video/ViewWindow.h"

#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CvyrProDlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ViewWindow::ViewWindow(CameraAddressBook addresses, HWND mainWindow, PlaybackOpener openPlayback)
    : NativeWidget(nullptr), mainWindow_(mainWindow), openPlayback_(std::move(openPlayback))
{
    setObjectName("ViewWindow");
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet("#ViewWindow { background: #1b1f24; } #viewname { color: #e8e8e8; }");
    resize(960, 600);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 4, 8, 4);
    caption_ = new QLabel(this);
    caption_->setObjectName("viewname");
    fullScreenButton_ = new QPushButton(QStringLiteral("全屏"), this);
    fullScreenButton_->setObjectName("fullscreen");
    fullScreenButton_->setToolTip(QStringLiteral("在本窗口所在的屏幕上全屏显示"));
    fullScreenButton_->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(caption_);
    bar->addStretch();
    bar->addWidget(fullScreenButton_);

    wall_ = new CvyrProDlg(this);
    wall_->SetMainWindow(GetHWND());
    wall_->SetFullScreenOnOwnScreen(true);
    wall_->SetAddressRequest(addresses.request);
    placer_ = std::make_unique<WallViewPlacer>(*wall_, std::move(addresses));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(bar);
    column->addWidget(wall_, 1);
    QObject::connect(fullScreenButton_, &QPushButton::clicked,
                     [this] { ::PostMessage(wall_->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0); });
}

ViewWindow::~ViewWindow()
{
    ReleaseHandle();
}

void ViewWindow::ShowView(const SavedView& view)
{
    viewName_ = view.name;
    setWindowTitle(QStringLiteral("视图 - ") + QString::fromStdString(view.name));
    caption_->setText(QString::fromStdString(view.name));
    show();
    raise();
    activateWindow();
    placer_->Restore(view);
}

// The cells address "the main window" through their wall: playback needs this wall's cell, the
// rest is the main window's business as for the main wall.
LRESULT ViewWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CELL_PLAYBACK:
        if (openPlayback_ && wParam < static_cast<WPARAM>(CvyrProDlg::kCellCount))
            if (const CDlgPanel* panel = wall_->Panel(static_cast<int>(wParam)))
                openPlayback_(panel->DeviceId());
        break;
    case WM_CELL_SELECTED:
    case WM_SHOW_LOCKSCREEN:
    case WM_SWITCH_STREAM:
        ::PostMessage(mainWindow_, message, wParam, lParam);
        break;
    default:
        break;
    }
    return 0;
}

void ViewWindow::closeEvent(QCloseEvent* event)
{
    if (wall_->IsWallFullScreen())
        ::SendMessage(wall_->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    placer_->Clear();
    event->accept();  // hidden, kept for the next view
}
