#include "StreamFaultRoutes.h"

#include "video/StreamServer.h"

void StreamFaultRoutes::Add(httplib::Server& server, camsim::StreamServer& video,
                            std::function<bool(const std::string&)> known)
{
    server.Post(R"(/cameras/([^/]+)/stream/(drop|stall|restore))",
                [&video, known = std::move(known)](const httplib::Request& req, httplib::Response& res) {
                    const std::string deviceId = req.matches[1];
                    if (!known(deviceId)) {
                        res.status = 404;
                        return;
                    }
                    const std::string action = req.matches[2];
                    using Fault = camsim::StreamServer::LiveFault;
                    video.SetLiveFault(deviceId, action == "drop"    ? Fault::Drop
                                                 : action == "stall" ? Fault::Stall
                                                                     : Fault::None);
                    res.set_content("{}", "application/json");
                });
}
