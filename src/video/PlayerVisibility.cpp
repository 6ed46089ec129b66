#include "video/PlayerVisibility.h"

#include "video/PlayerManager.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

PlayerVisibility::PlayerVisibility(QWidget* window, int playerId)
    : QObject(window), window_(window), playerId_(playerId), settle_(new QTimer(this))
{
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &PlayerVisibility::Report);
    window->installEventFilter(this);
    Report();
}

bool PlayerVisibility::IsSeen(const QWidget* window)
{
    return window->isVisible() && !window->window()->isMinimized();
}

bool PlayerVisibility::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        settle_->start();
    return QObject::eventFilter(watched, event);
}

void PlayerVisibility::Report()
{
    PlayerManager::Instance()->SetVisible(playerId_, IsSeen(window_));
}
