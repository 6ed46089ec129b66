#include "ui/MessagePort.h"

#include "ui/MessageEvent.h"
#include "ui/MessageTarget.h"

#include <QCoreApplication>
#include <QTimer>

MessagePort::MessagePort(MessageTarget* target)
    : target_(target)
{
}

MessagePort::~MessagePort() = default;

LRESULT MessagePort::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target_ == nullptr)
        return 0;
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
    it.value()->deleteLater();  // may be the timer whose tick is being handled
    it.value()->stop();
    timers_.erase(it);
}

void MessagePort::Detach()
{
    target_ = nullptr;
    for (QTimer* timer : std::as_const(timers_))
        timer->stop();
    timers_.clear();
    QCoreApplication::removePostedEvents(this);
}

bool MessagePort::event(QEvent* e)
{
    if (e->type() == static_cast<QEvent::Type>(kEventType)) {
        auto* message = static_cast<MessageEvent*>(e);
        Dispatch(message->message, message->wParam, message->lParam);
        return true;
    }
    if (e->type() == static_cast<QEvent::Type>(kSendEventType)) {
        auto* message = static_cast<SendMessageEvent*>(e);
        message->Answer(Dispatch(message->message, message->wParam, message->lParam));
        return true;
    }
    return QObject::event(e);
}
