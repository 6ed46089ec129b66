#pragma once

#include "glooxWrap/DeviceMessenger.h"
#include "glooxWrap/Gate.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Records what the senders did; presence, roster names and readiness are set by the test.
class FakeMessenger : public DeviceMessenger {
public:
    struct Call {
        std::string what;  // "send" or "subscribe"
        std::string jid;
        std::string body;
        bool operator==(const Call&) const = default;
    };

    void SendMsg(const std::string& jid, const std::string& body) override { Record({"send", jid, body}); }
    void Subscribe(const std::string& jid) override { Record({"subscribe", jid, ""}); }
    bool IsFriend(const std::string& id) override { std::lock_guard g(m_); return friends_.count(id) > 0; }
    bool IsOnline(const std::string& id) override { std::lock_guard g(m_); return online_.count(id) > 0; }
    void GetFriends(std::vector<std::string>& out) override
    {
        std::lock_guard g(m_);
        out.assign(friends_.begin(), friends_.end());
    }
    bool WaitUntilReady(std::stop_token stop) override { return ready.Wait(stop); }

    void SetOnline(const std::string& id) { std::lock_guard g(m_); online_.insert(id); }
    void SetOffline(const std::string& id) { std::lock_guard g(m_); online_.erase(id); }
    void SetFriend(const std::string& id) { std::lock_guard g(m_); friends_.insert(id); }

    // Waits until at least n calls were recorded (or 5 s passed) and returns them.
    std::vector<Call> WaitCalls(size_t n)
    {
        std::unique_lock g(m_);
        cv_.wait_for(g, std::chrono::seconds(5), [&] { return calls_.size() >= n; });
        return calls_;
    }
    std::vector<Call> Calls() { std::lock_guard g(m_); return calls_; }
    std::vector<std::string> SentBodies()
    {
        std::vector<std::string> bodies;
        for (const auto& c : Calls())
            if (c.what == "send")
                bodies.push_back(c.body);
        return bodies;
    }

    // Waits until at least n calls were recorded (or 5 s passed) and returns the bodies sent so far.
    std::vector<std::string> WaitSentBodies(size_t n)
    {
        WaitCalls(n);
        return SentBodies();
    }

    Gate ready;

private:
    void Record(Call call)
    {
        {
            std::lock_guard g(m_);
            calls_.push_back(std::move(call));
        }
        cv_.notify_all();
    }
    std::mutex m_;
    std::condition_variable cv_;
    std::set<std::string> friends_, online_;
    std::vector<Call> calls_;
};
