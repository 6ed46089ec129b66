#pragma once

#include "ui/WinDef.h"

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

    // Null while the target has no handle (a toolkit window before Create or after it was destroyed).
    HWND GetHWND() const { return hwnd_; }

    // Called on the UI thread for each posted or sent message, and for WM_TIMER from SetTimer.
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // WM_TIMER with wParam = id every `elapseMs` until KillTimer; setting an existing id restarts it.
    void SetTimer(WPARAM id, unsigned elapseMs);
    void KillTimer(WPARAM id);

    // Unregisters the handle at once: later posts are refused, pending ones are dropped, timers stop.
    // Safe to call from inside this target's own message handler.
    void ReleaseHandle();

protected:
    struct NoHandle {};
    // A target that gets its handle later, with AcquireHandle (windows do so when their native window
    // is created, so a handle always designates a live window).
    explicit MessageTarget(NoHandle);
    // Registers a fresh handle (never one used before); releases the current one first.
    void AcquireHandle();

private:
    HWND hwnd_ = nullptr;
    MessagePort* port_ = nullptr;  // owned; deleted through the event loop once released
};
