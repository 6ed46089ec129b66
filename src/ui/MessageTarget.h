#pragma once

#include "ui/WinDef.h"

#include <memory>

class MessagePort;

// Anything that owns a window handle and receives window messages: every window of the toolkit, and
// the plain targets that tests and headless code use. Construct and destroy it on the UI thread (the
// thread running the Qt event loop); its messages are handled there, whoever posts them.
class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();

    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    HWND GetHWND() const { return hwnd_; }

    // Called on the UI thread for each posted or sent message, and for WM_TIMER from SetTimer.
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // WM_TIMER with wParam = id every `elapseMs` until KillTimer; setting an existing id restarts it.
    void SetTimer(WPARAM id, unsigned elapseMs);
    void KillTimer(WPARAM id);

    // Unregisters the handle at once: later posts are refused, pending ones are dropped.
    void ReleaseHandle();

private:
    HWND hwnd_;
    std::unique_ptr<MessagePort> port_;
};
