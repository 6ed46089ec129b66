#pragma once
// A cloudsim service running in the test process on a free loopback port, over a fresh database in
// a temporary folder (removed afterwards), and an HTTP client to talk to it.
#include "CloudService.h"

#include <json/json.h>

#include <memory>
#include <string>
#include <thread>

class ServiceRig {
public:
    // imData: when true, IM provisioning writes prosody files under Folder()/im.
    explicit ServiceRig(bool imData = false);
    ~ServiceRig();

    // POSTs a raw body; returns the HTTP status and fills `reply` with the parsed envelope (null when
    // the body is not JSON).
    int PostRaw(const std::string& path, const std::string& body, Json::Value& reply);
    // The envelope of a command ("cmd" in the body) or of a named endpoint.
    Json::Value Command(const std::string& body);
    Json::Value Named(const std::string& name, const std::string& body);
    // GET; returns the status and the body.
    int Get(const std::string& path, std::string& body);

    int Port() const { return port; }
    const std::string& Folder() const { return folder; }
    std::string ImFolder() const { return folder + "/im"; }

private:
    std::string folder;
    std::unique_ptr<cloudsim::CloudService> service;
    std::thread server;
    int port = 0;
};

// Reads a JSON text (for the tests' own expectations).
Json::Value ParseJson(const std::string& text);
