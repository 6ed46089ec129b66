#pragma once

#include <httplib.h>

#include <string>
#include <vector>

// Steers the camsim of the peers fixture through its control interface (127.0.0.1:8090).
class CamsimControl {
public:
    explicit CamsimControl(int port = 8090) : client_("127.0.0.1", port) {}

    bool Post(const std::string& deviceId, const std::string& action, const std::string& body = {});
    // Bodies the camera received (and "subscribe JID" lines), oldest first.
    std::vector<std::string> Received(const std::string& deviceId);
    // Whether camsim reports the camera as logged in.
    bool IsOnline(const std::string& deviceId);
    // The "cmd" values of the received bodies.
    std::vector<int> ReceivedCmds(const std::string& deviceId);

private:
    httplib::Client client_;
};
