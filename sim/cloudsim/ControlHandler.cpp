#include "ControlHandler.h"

#include "Refusal.h"
#include "RequestBody.h"

namespace cloudsim {

void ControlHandler::RequireLoopback(const httplib::Request& request) {
    if (request.remote_addr != "127.0.0.1" && request.remote_addr != "::1" &&
        request.remote_addr != "::ffff:127.0.0.1")
        throw Refusal(kDenied, "控制接口只接受本机访问");
}

void ControlHandler::Register(httplib::Server& server, const Serve& serve) {
    server.Post("/sim/alarm", [this, serve](const httplib::Request& request, httplib::Response& response) {
        serve(request, response, [&](const RequestContext& context) {
            RequireLoopback(request);
            RequestBody body = RequestBody::Parse(request.body);
            return alarms.RecordAlarm(body.Text("deviceId"), static_cast<int>(body.OptInt("warnType", 1)), context);
        });
    });
    server.Post("/sim/reset", [this, serve](const httplib::Request& request, httplib::Response& response) {
        serve(request, response, [&](const RequestContext&) {
            RequireLoopback(request);
            reset();
            return Json::Value(Json::objectValue);
        });
    });
    server.Get("/sim/cameras", [this, serve](const httplib::Request& request, httplib::Response& response) {
        serve(request, response, [&](const RequestContext&) {
            RequireLoopback(request);
            return Cameras();
        });
    });
}

Json::Value ControlHandler::Cameras() {
    Transaction tx(db);
    auto rows = tx.Query("SELECT deviceId, alias, model, IFNULL(ownerId, 0), imPassword, online, warnStatus FROM camera "
                         "ORDER BY deviceId");
    Json::Value result(Json::arrayValue);
    while (rows.Step()) {
        Json::Value item(Json::objectValue);
        item["deviceId"] = rows.Text(0);
        item["alias"] = rows.Text(1);
        item["model"] = rows.Text(2);
        item["bound"] = rows.Int(3) != 0;
        item["imPassword"] = rows.Text(4);
        item["online"] = rows.Int(5) != 0;
        item["warnStatus"] = static_cast<int>(rows.Int(6));
        result.append(item);
    }
    return result;
}

}  // namespace cloudsim
