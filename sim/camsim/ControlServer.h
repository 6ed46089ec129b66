#pragma once

#include <httplib.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class SimCamera;

// The loopback control interface through which tests steer the cameras:
//   GET  /cameras                       status of every camera (JSON array)
//   GET  /cameras/ID/received           {"received":[...]} bodies and subscription requests, oldest first
//   POST /cameras/ID/offline | online   log the camera out / in
//   POST /cameras/ID/mute | unmute      stop / resume answering commands (they are still recorded)
//   POST /cameras/ID/alarm[?warnType=N] push an alarm notice now (and record it with the cloud service)
//   POST /cameras/ID/clear              forget what was received
//   POST /cameras/ID/away | back        announce an away presence / available again
//   POST /cameras/ID/say                send the request body unasked to the camera's peers
//   POST /cameras/ID/stream/drop | stall | restore   (StreamFaultRoutes) break, stall or restore the live video
// An unknown camera gives 404.
class ControlServer {
public:
    explicit ControlServer(const std::map<std::string, SimCamera*>& cameras);

    // Blocks serving 127.0.0.1:port until Stop(). False when the port cannot be bound.
    bool Listen(std::uint16_t port);
    void Stop() { server_.stop(); }
    // For routes kept in files of their own (StreamFaultRoutes); add them before Listen.
    httplib::Server& Routes() { return server_; }

private:
    std::map<std::string, SimCamera*> cameras_;
    httplib::Server server_;
};
