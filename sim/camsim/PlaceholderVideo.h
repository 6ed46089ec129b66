#pragma once

#include "VideoAddressSource.h"

#include <cstdint>

// Addresses of the form the video server uses (http://127.0.0.1:PORT/live/ID.flv), served by nobody.
class PlaceholderVideo : public VideoAddressSource {
public:
    explicit PlaceholderVideo(std::uint16_t port) : base_("http://127.0.0.1:" + std::to_string(port)) {}

    std::string LiveUrl(const std::string& deviceId) override { return base_ + "/live/" + deviceId + ".flv"; }
    std::string ReplayUrl(const std::string& deviceId, std::int64_t startUtc, std::int64_t endUtc) override
    {
        if (endUtc <= startUtc)
            return {};
        return base_ + "/replay/" + deviceId + "/" + std::to_string(startUtc) + "-" + std::to_string(endUtc) + ".flv";
    }
    void SetLiveSize(const std::string&, int, int) override {}
    void SetView(const std::string&, int, int, int) override {}
    bool SetReplaySpeed(const std::string&, double) override { return true; }
    bool SeekReplay(const std::string&, double) override { return true; }
    bool CloseReplay(const std::string&) override { return true; }

private:
    std::string base_;
};
