#include "ui/MessagePort.h"

#include "ui/MessageEvent.h"
#include "ui/MessageTarget.h"

#include <QTimer>

MessagePort::MessagePort(MessageTarget* target)
    : target_(target)
{
}

MessagePort::~MessagePort() = default;

LRESULT MessagePort::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    return target_->OnWindowMessage(message, wParam, lParam);
}

void MessagePort::SetTimer(WPARAM id, unsigned elapseMs)
{
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        QObject::connect(timer, &QTimer::timeout, this, [this, id] { Dispatch(WM_TIMER, id, 0); });
    }
    timer->start(static_cast<int>(elapseMs));
}

void MessagePort::KillTimer(WPARAM id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    delete it.value();
    timers_.erase(it);
}

bool MessagePort::event(QEvent* e)
{
    if (e->type() != static_cast<QEvent::Type>(kEventType))
        return QObject::event(e);
    auto* message = static_cast<MessageEvent*>(e);
    Dispatch(message->message, message->wParam, message->lParam);
    return true;
}
