#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class DeviceMessenger;

// Sends single commands on short-lived threads that wait (without time-out) until the IM connection
// was established and the roster arrived, then send without looking at the camera's presence. Used for
// the commands that must not be lost while the client is still connecting (presets, replay speed/seek).
//
// Threads: SendCmdDirect from any thread; each command has its own thread. Lock: mutex_ guards senders_.
// The destructor stops senders still waiting and joins them all.
class DirectCommandSender {
public:
    explicit DirectCommandSender(DeviceMessenger& messenger) : messenger_(messenger) {}
    ~DirectCommandSender();

    void SendCmdDirect(const std::string& deviceId, const std::string& text);

private:
    struct Sender {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void JoinFinished();  // under mutex_

    DeviceMessenger& messenger_;
    std::mutex mutex_;
    std::list<Sender> senders_;  // mutex_
};
