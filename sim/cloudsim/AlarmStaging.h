#pragma once
// Alarms staged for tests and the demo, beyond what a camera's own alarm does (loopback only):
//   POST /sim/alarm/staged {"deviceId":"...","warnType":1,"listedTo":"<mobile>","brokenPicture":true}
// records an alarm of that camera now, like /sim/alarm; "listedTo" also lists it to that account's
// alarm queries although the camera is not in its tree (as a service does that keeps an account's
// alarms of a camera it has since given away); "brokenPicture" makes its picture fail (HTTP 404).
// Replies with the record as cmd 39 lists it. Staged alarms go with the demo data on a reset.
#include "AlarmHandler.h"
#include "ControlHandler.h"
#include "Database.h"

namespace cloudsim {

class AlarmStaging {
public:
    AlarmStaging(Database& db, AlarmHandler& alarms) : db(db), alarms(alarms) {}
    void Register(httplib::Server& server, const ControlHandler::Serve& serve);

private:
    Json::Value Stage(const httplib::Request& request, const RequestContext& context);

    Database& db;
    AlarmHandler& alarms;
};

}  // namespace cloudsim
