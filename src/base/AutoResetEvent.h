#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace base {

// Auto-reset event: Set releases exactly one waiter (or the next one to wait) and the event resets itself.
// Thread-safe; all members are guarded by mutex_.
class AutoResetEvent {
public:
    explicit AutoResetEvent(bool initiallySet = false) : signalled_(initiallySet) {}

    void Set();
    void Reset();
    // Waits until set; consumes the signal. Returns false when the time-out passed first.
    bool Wait(std::chrono::milliseconds timeout);
    void Wait();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_;
};

}  // namespace base
