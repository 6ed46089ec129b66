#include "video/CDlgReplayVideo.h"

#include "ui/VideoSurface.h"
#include "ui/WindowRegistry.h"
#include "ui/WindowMessages.h"
#include "video/PlayerManager.h"

#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int kBorder = 1;
const QColor kBackground(128, 128, 255);
}  // namespace

CDlgReplayVideo::CDlgReplayVideo(QWidget* parent)
    : NativeWidget(parent)
    , surface_(new VideoSurface(this))
{
    setObjectName(QStringLiteral("replayvideo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    layout->addWidget(surface_);
    PlayerManager::Instance()->CreatePlayer(playerId_);
}

bool CDlgReplayVideo::Play(const std::string& address)
{
    PlayerManager* players = PlayerManager::Instance();
    players->SetDisplayRect(playerId_, 0, 0, surface_->width(), surface_->height());
    const bool accepted = players->Open(playerId_, address.c_str(), surface_->GetHWND(), true) == 0;
    show();
    return accepted;
}

LRESULT CDlgReplayVideo::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PLAYER_EVENT:
        ::PostMessage(receiver_, message, wParam, lParam);
        break;
    case WM_PLAYER_POSITION:
        ::PostMessage(receiver_, message, 0, lParam);
        break;
    case WM_PLAYER_LENGTH:
        ::SendMessage(receiver_, message, 0, lParam);
        break;
    default:
        break;
    }
    return 0;
}

void CDlgReplayVideo::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}

void CDlgReplayVideo::resizeEvent(QResizeEvent* event)
{
    NativeWidget::resizeEvent(event);
    PlayerManager::Instance()->SetDisplayRect(playerId_, 0, 0, surface_->width(), surface_->height());
}
