#include "base/AutoResetEvent.h"

namespace base {

void AutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        signalled_ = true;
    }
    cv_.notify_one();
}

void AutoResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ = false;
}

bool AutoResetEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(mutex_);
    if (!cv_.wait_for(guard, timeout, [this] { return signalled_; }))
        return false;
    signalled_ = false;
    return true;
}

void AutoResetEvent::Wait()
{
    std::unique_lock<std::mutex> guard(mutex_);
    cv_.wait(guard, [this] { return signalled_; });
    signalled_ = false;
}

}  // namespace base
