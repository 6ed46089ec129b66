#pragma once

#include <httplib.h>

#include <functional>
#include <string>

namespace camsim {
class StreamServer;
}

// Control routes that steer a camera's live video apart from its IM presence (which "offline" /
// "online" steer), so a client's handling of a lost stream can be tested on its own:
//   POST /cameras/ID/stream/drop     close the camera's live connections and refuse new ones
//   POST /cameras/ID/stream/stall    keep the connections open but send nothing
//   POST /cameras/ID/stream/restore  serve the live video again
// An unknown camera gives 404.
class StreamFaultRoutes {
public:
    static void Add(httplib::Server& server, camsim::StreamServer& video,
                    std::function<bool(const std::string& deviceId)> known);
};
