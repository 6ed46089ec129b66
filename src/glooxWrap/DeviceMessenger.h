#pragma once

#include <stop_token>
#include <string>
#include <string_view>
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

// Whether a device id can be the user part of a JID: not empty and without the characters a user part
// may not hold (blanks and control characters, " & ' / : < > @). With any other the IM library makes no
// valid JID and would send the stanza without an address, which the server takes as meant for our own
// account; commands for such ids (no camera selected, a mistyped id) are not sent.
inline bool IsAddressableDeviceId(const std::string& deviceId)
{
    if (deviceId.empty())
        return false;
    for (unsigned char c : deviceId)
        if (c <= ' ' || c == 0x7f || std::string_view("\"&'/:<>@").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    return true;
}
