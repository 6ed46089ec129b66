#pragma once

#include "ui/MessagePort.h"
#include "ui/WinDef.h"

#include <QEvent>

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
