#pragma once

#include <cstdint>
#include <string>

// Where a simulated camera's video comes from: the addresses it announces for live view and replays,
// and the stream controls its commands reach. The video server implements it; until it is wired in,
// PlaceholderVideo hands out addresses of the same form that nothing serves.
// Implementations are called from every camera's thread.
class VideoAddressSource {
public:
    virtual ~VideoAddressSource() = default;
    virtual std::string LiveUrl(const std::string& deviceId) = 0;
    // Empty when the period holds nothing to replay.
    virtual std::string ReplayUrl(const std::string& deviceId, std::int64_t startUtc, std::int64_t endUtc) = 0;
    virtual void SetLiveSize(const std::string& deviceId, int width, int height) = 0;
    // Where the camera looks (pan and tilt in hundredths of the picture, zoom in percent).
    virtual void SetView(const std::string& deviceId, int pan, int tilt, int zoom) = 0;
    virtual bool SetReplaySpeed(const std::string& replayUrl, double speed) = 0;
    virtual bool SeekReplay(const std::string& replayUrl, double minutes) = 0;
    virtual bool CloseReplay(const std::string& replayUrl) = 0;
};
