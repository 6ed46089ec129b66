#include "glooxWrap/Gate.h"

void Gate::Open()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        open_ = true;
    }
    cv_.notify_all();
}

bool Gate::IsOpen() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return open_;
}

bool Gate::Wait(std::stop_token stop)
{
    std::unique_lock<std::mutex> guard(mutex_);
    return cv_.wait(guard, stop, [this] { return open_; });
}

bool Gate::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(mutex_);
    return cv_.wait_for(guard, timeout, [this] { return open_; });
}
