#include "CloudAlarmReporter.h"

#include <httplib.h>
#include <json/json.h>

#include <iostream>

bool CloudAlarmReporter::Report(const std::string& deviceId, int warnType)
{
    Json::Value body(Json::objectValue);
    body["deviceId"] = deviceId;
    body["warnType"] = warnType;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    std::lock_guard<std::mutex> guard(mutex_);
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(2);
    client.set_read_timeout(5);
    auto result = client.Post(path_.c_str(), Json::writeString(builder, body), "application/json");
    if (!result || result->status != 200) {
        std::cerr << "camsim: recording the alarm of " << deviceId << " with cloudsim failed ("
                  << (result ? "HTTP " + std::to_string(result->status) : httplib::to_string(result.error()))
                  << ")\n";
        return false;
    }
    return true;
}
