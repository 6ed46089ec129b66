#include "ServiceRig.h"

#include <httplib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

ServiceRig::ServiceRig(bool imData) {
    char pattern[] = "/tmp/cloudsim-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    folder = pattern;
    cloudsim::ServiceOptions options;
    options.dbPath = folder + "/cloudsim.db";
    options.imDomain = KELVUE_DEVICE_DOMAIN;
    options.imPort = 5299;
    if (imData) options.imDataDir = ImFolder();
    service = std::make_unique<cloudsim::CloudService>(options);
    port = service->Bind(0);
    if (port <= 0) throw std::runtime_error("cannot bind a loopback port");
    server = std::thread([this] { service->Run(); });
    // One request before any test thread starts: cpp-httplib sets up its function-local statics (request
    // parsing on both sides) here, so threads of the tests only ever read them.
    Json::Value reply;
    PostRaw("/vyr-api/ws/api/reqCmd", "{}", reply);
}

ServiceRig::~ServiceRig() {
    service->Stop();
    server.join();
    service.reset();
    std::filesystem::remove_all(folder);
}

int ServiceRig::PostRaw(const std::string& path, const std::string& body, Json::Value& reply) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(20);
    auto result = client.Post(path.c_str(), body, "application/json; charset=utf-8;");
    if (!result) return -1;
    reply = ParseJson(result->body);
    return result->status;
}

Json::Value ServiceRig::Command(const std::string& body) {
    Json::Value reply;
    PostRaw("/vyr-api/ws/api/reqCmd", body, reply);
    return reply;
}

Json::Value ServiceRig::Named(const std::string& name, const std::string& body) {
    Json::Value reply;
    PostRaw("/api/" + name + ".htdy", body, reply);
    return reply;
}

int ServiceRig::Get(const std::string& path, std::string& body) {
    httplib::Client client("127.0.0.1", port);
    auto result = client.Get(path.c_str());
    if (!result) return -1;
    body = result->body;
    return result->status;
}

Json::Value ParseJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) return Json::Value();
    return value;
}
