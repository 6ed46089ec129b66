#include "ControlServer.h"

#include "CompactJson.h"
#include "SimCamera.h"

#include <json/json.h>

ControlServer::ControlServer(const std::map<std::string, SimCamera*>& cameras) : cameras_(cameras)
{
    server_.Get("/cameras", [this](const httplib::Request&, httplib::Response& res) {
        Json::Value list(Json::arrayValue);
        for (const auto& [id, camera] : cameras_)
            list.append(camera->Status());
        res.set_content(CompactJson(list), "application/json");
    });
    server_.Get(R"(/cameras/([^/]+)/received)", [this](const httplib::Request& req, httplib::Response& res) {
        auto it = cameras_.find(req.matches[1]);
        if (it == cameras_.end()) {
            res.status = 404;
            return;
        }
        Json::Value received(Json::arrayValue);
        for (const auto& line : it->second->Received())
            received.append(line);
        Json::Value body(Json::objectValue);
        body["received"] = received;
        res.set_content(CompactJson(body), "application/json");
    });
    server_.Post(R"(/cameras/([^/]+)/(offline|online|mute|unmute|alarm|clear|away|back|say|refuse|accept|fixed|adjustable))",
                 [this](const httplib::Request& req, httplib::Response& res) {
                     auto it = cameras_.find(req.matches[1]);
                     if (it == cameras_.end()) {
                         res.status = 404;
                         return;
                     }
                     SimCamera& camera = *it->second;
                     const std::string action = req.matches[2];
                     if (action == "offline" || action == "online")
                         camera.SetOnline(action == "online");
                     else if (action == "mute" || action == "unmute")
                         camera.SetAnswering(action == "unmute");
                     else if (action == "clear")
                         camera.ClearReceived();
                     else if (action == "away" || action == "back")
                         camera.SetAway(action == "away");
                     else if (action == "say")
                         camera.Say(req.body);
                     else if (action == "refuse" || action == "accept")
                         camera.SetRefused(req.has_param("cmd") ? std::atoi(req.get_param_value("cmd").c_str()) : -1,
                                           action == "refuse");
                     else if (action == "fixed" || action == "adjustable")
                         camera.SetImageControls(action == "adjustable");
                     else
                         camera.RaiseAlarm(req.has_param("warnType") ? std::atoi(req.get_param_value("warnType").c_str()) : 1);
                     res.set_content("{}", "application/json");
                 });
}

bool ControlServer::Listen(std::uint16_t port)
{
    return server_.listen("127.0.0.1", port);
}
