#pragma once

// A player host that records what the library hands to each window, for tests without a display.

#include "PlayInterface.h"

#include <algorithm>
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
        bool pictured = false;  // the last frame given back had a pixel that is not black
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
        const PlayerHost table{&FakeHost::OnLend, &FakeHost::OnReturn, &FakeHost::OnMessage};
        SetPlayerHost(&table);
    }

    // Each window has a buffer of its own; rows are padded, as a real window's are.
    static std::uint8_t* OnLend(void* window, int width, int height, int* stride)
    {
        FakeHost& host = Instance();
        std::lock_guard<std::mutex> lock(host.mutex_);
        Window& record = host.windows_[window];
        *stride = width * 4 + 32;
        std::vector<std::uint8_t>& pixels = host.buffers_[window];
        pixels.assign(static_cast<std::size_t>(*stride) * height, 0);
        record.width = width;
        record.height = height;
        return pixels.data();
    }

    static void OnReturn(void* window, bool filled)
    {
        FakeHost& host = Instance();
        std::lock_guard<std::mutex> lock(host.mutex_);
        Window& record = host.windows_[window];
        if (filled) {
            ++record.frames;
            const std::vector<std::uint8_t>& pixels = host.buffers_[window];
            record.pictured = std::any_of(pixels.begin(), pixels.end(), [](std::uint8_t byte) { return byte > 16; });
        }
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
    std::map<void*, std::vector<std::uint8_t>> buffers_;  // written by the library between lend and return
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
