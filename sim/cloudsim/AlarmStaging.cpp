#include "AlarmStaging.h"

#include "RequestBody.h"

namespace cloudsim {

void AlarmStaging::Register(httplib::Server& server, const ControlHandler::Serve& serve) {
    server.Post("/sim/alarm/staged", [this, serve](const httplib::Request& request, httplib::Response& response) {
        serve(request, response, [&](const RequestContext& context) { return Stage(request, context); });
    });
}

Json::Value AlarmStaging::Stage(const httplib::Request& request, const RequestContext& context) {
    ControlHandler::RequireLoopback(request);
    RequestBody body = RequestBody::Parse(request.body);
    std::string listedTo = body.OptText("listedTo");
    bool broken = body.Has("brokenPicture") && body.Member("brokenPicture").isBool() &&
                  body.Member("brokenPicture").asBool();
    Json::Value record = alarms.RecordAlarm(body.Text("deviceId"), static_cast<int>(body.OptInt("warnType", 1)), context);
    Transaction tx(db);
    tx.Run("INSERT INTO staged_alarm(alarmId, listedTo, brokenPicture) VALUES(?, ?, ?)",
           std::stoll(record["alarmId"].asString()), listedTo, broken ? 1 : 0);
    tx.Commit();
    return record;
}

}  // namespace cloudsim
