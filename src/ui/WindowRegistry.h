#pragma once

#include "ui/WinDef.h"

#include <mutex>
#include <unordered_map>

class MessagePort;

// Process-wide map from window handles to the ports that receive their messages.
// Thread-safe: every member is guarded by mutex_, which is never held while a message is handled.
class WindowRegistry {
public:
    static WindowRegistry& Instance();

    HWND Register(MessagePort* port);
    void Unregister(HWND hwnd);

    bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Contains(HWND hwnd);

private:
    std::mutex mutex_;
    std::unordered_map<HWND, MessagePort*> ports_;
    std::uintptr_t nextId_ = 0x10000;  // ids are never reused, so a stale handle can never reach a new window
};

// Thread-safe: returns false (the sender keeps ownership of any payload) when the window is gone.
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the handler synchronously on the UI thread; from another thread it blocks until handled.
// Returns 0 for a window that is gone.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool IsWindow(HWND hwnd);
