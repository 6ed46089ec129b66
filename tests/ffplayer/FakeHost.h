#pragma once

// A player host that records what the library hands to each window, for tests without a display.

#include "PlayInterface.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class FakeHost {
public:
    struct Window {
        int frames = 0;
        int width = 0;
        int height = 0;
        std::vector<std::intptr_t> positions;
        std::vector<std::intptr_t> lengths;
    };

    // Installs this host as the library's host for the whole process (the table is process-wide).
    static FakeHost& Instance()
    {
        static FakeHost host;
        return host;
    }

    Window Snapshot(void* window)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return windows_[window];
    }

    // Waits (bounded) until `done` holds for the window's record.
    bool WaitFor(void* window, const std::function<bool(const Window&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done(windows_[window]); });
    }

private:
    FakeHost()
    {
        const PlayerHost table{&FakeHost::OnFrame, &FakeHost::OnMessage};
        SetPlayerHost(&table);
    }

    static void OnFrame(void* window, const std::uint8_t* bgra, int width, int height, int stride)
    {
        FakeHost& host = Instance();
        // Touch the first and last pixel: the buffer must hold the whole picture during the call.
        volatile std::uint8_t first = bgra[0];
        volatile std::uint8_t last = bgra[static_cast<std::size_t>(stride) * (height - 1) + width * 4 - 1];
        (void)first;
        (void)last;
        std::lock_guard<std::mutex> lock(host.mutex_);
        Window& record = host.windows_[window];
        ++record.frames;
        record.width = width;
        record.height = height;
        host.changed_.notify_all();
    }

    static void OnMessage(void* window, unsigned message, std::uintptr_t, std::intptr_t lParam)
    {
        FakeHost& host = Instance();
        std::lock_guard<std::mutex> lock(host.mutex_);
        Window& record = host.windows_[window];
        if (message == kPlayerPositionMessage)
            record.positions.push_back(lParam);
        else if (message == kPlayerLengthMessage)
            record.lengths.push_back(lParam);
        host.changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<void*, Window> windows_;
};

// Collects the library's events in order.
class EventLog : public PlayEventObserver {
public:
    void OnPlayEvent(int event, int, int) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
        changed_.notify_all();
    }

    bool WaitFor(int event, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return Contains(event); });
    }

    bool Seen(int event)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return Contains(event);
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
    }

private:
    bool Contains(int event) const
    {
        for (int seen : events_)
            if (seen == event)
                return true;
        return false;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> events_;
};
