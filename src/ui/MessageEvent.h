#pragma once

#include "ui/MessagePort.h"
#include "ui/WinDef.h"

#include <QEvent>

#include <future>
#include <memory>

// One posted window message on its way through the Qt event queue.
struct MessageEvent : QEvent {
    MessageEvent(UINT m, WPARAM w, LPARAM l)
        : QEvent(static_cast<QEvent::Type>(MessagePort::kEventType)), message(m), wParam(w), lParam(l)
    {
    }
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A message sent from another thread: the sender waits on `result`. When the event is dropped
// undelivered (the window closed first) its destructor answers 0, so the sender never hangs.
struct SendMessageEvent : QEvent {
    SendMessageEvent(UINT m, WPARAM w, LPARAM l)
        : QEvent(static_cast<QEvent::Type>(MessagePort::kSendEventType)), message(m), wParam(w), lParam(l)
    {
    }
    ~SendMessageEvent() override
    {
        if (!answered)
            result.set_value(0);
    }
    void Answer(LRESULT value)
    {
        answered = true;
        result.set_value(value);
    }
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::promise<LRESULT> result;
    bool answered = false;
};
