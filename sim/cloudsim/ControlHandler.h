#pragma once
// The control interface for tests and the demo (loopback only):
//   POST /sim/alarm   {"deviceId":"...","warnType":1}  records an alarm of that camera now
//   POST /sim/reset                                    back to the demo data
//   GET  /sim/cameras                                  every camera with its IM password
// Replies use the service's envelope.
#include "AlarmHandler.h"
#include "Database.h"

#include <httplib.h>

#include <functional>

namespace cloudsim {

class ControlHandler {
public:
    ControlHandler(Database& db, AlarmHandler& alarms, std::function<void()> reset)
        : db(db), alarms(alarms), reset(std::move(reset)) {}

    // Registers the routes; `serve` runs a handler and writes its envelope into the response.
    using Serve = std::function<void(const httplib::Request&, httplib::Response&,
                                     const std::function<Json::Value(const RequestContext&)>&)>;
    void Register(httplib::Server& server, const Serve& serve);
    // Refuses a request that does not come from this machine.
    static void RequireLoopback(const httplib::Request& request);

private:
    Json::Value Cameras();

    Database& db;
    AlarmHandler& alarms;
    std::function<void()> reset;
};

}  // namespace cloudsim
