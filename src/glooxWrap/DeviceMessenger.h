#pragma once

#include <stop_token>
#include <string>
#include <vector>

// What the device command senders need from the IM connection. CIMClient implements it; tests can
// put a fake in its place. All operations may be called from any thread.
class DeviceMessenger {
public:
    virtual ~DeviceMessenger() = default;

    virtual void SendMsg(const std::string& jid, const std::string& body) = 0;
    virtual void Subscribe(const std::string& jid) = 0;
    virtual bool IsFriend(const std::string& deviceId) = 0;
    virtual bool IsOnline(const std::string& deviceId) = 0;
    // Replaces `out` with the names of the roster items.
    virtual void GetFriends(std::vector<std::string>& out) = 0;
    // Blocks until the connection was established once and the roster has arrived once (both stay
    // open from then on). False when `stop` was triggered first.
    virtual bool WaitUntilReady(std::stop_token stop) = 0;
};

// A camera's full JID: its device id, "@" and the device domain.
inline std::string DeviceJid(const std::string& deviceId)
{
    return deviceId + "@" KELVUE_DEVICE_DOMAIN;
}
