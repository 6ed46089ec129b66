#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

// A latch: closed at start, open for good once Open() was called. Waiters may give up on a time-out
// or when their stop token is triggered (so a test or a shutdown can end a thread that waits on it).
// Thread-safe: open_ is guarded by mutex_.
class Gate {
public:
    void Open();
    bool IsOpen() const;
    // True when the gate is open; false when the stop token was triggered first.
    bool Wait(std::stop_token stop);
    // True when the gate opened within the time-out.
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable_any cv_;
    bool open_ = false;
};
