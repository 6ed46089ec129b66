#pragma once

#include "AlarmReporter.h"

#include <cstdint>
#include <mutex>
#include <string>

// Records alarms with cloudsim through its loopback control interface: POST of
// {"deviceId":"...","warnType":N} to the given path on 127.0.0.1:port.
// Thread-safe: cameras report from their own threads; mutex_ serialises the requests.
class CloudAlarmReporter : public AlarmReporter {
public:
    CloudAlarmReporter(std::uint16_t port, std::string path) : port_(port), path_(std::move(path)) {}
    bool Report(const std::string& deviceId, int warnType) override;

private:
    std::uint16_t port_;
    std::string path_;
    std::mutex mutex_;
};
