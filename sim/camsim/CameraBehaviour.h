#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

class VideoAddressSource;

// What one simulated camera answers to each device command, and the state the commands change
// (encoding and image parameters, stream size, audio, pan-tilt-zoom position and presets).
// Not thread-safe: each camera's behaviour is used on that camera's thread only.
class CameraBehaviour {
public:
    struct Outcome {
        std::optional<std::string> reply;  // the JSON text to send back, if any
        bool reboot = false;               // go offline for a while, then come back
        bool alarmSubscribe = false;       // the sender asked for alarm notices (cmd 82)
    };

    CameraBehaviour(std::string deviceId, std::string alias, VideoAddressSource& video);

    // `nowUtc` decides which replay periods hold recordings (the last seven days up to now).
    Outcome Answer(const std::string& body, std::int64_t nowUtc);

    // The unasked alarm notice (cmd 82) this camera pushes.
    std::string AlarmNotice(int warnType) const;

    struct Ptz {
        int pan = 0, tilt = 0, zoom = 1, focus = 0, iris = 0;
        bool operator==(const Ptz&) const = default;
    };
    const Ptz& PtzPosition() const { return ptz_; }
    int Width() const { return width_; }

    static constexpr const char* kSizes = "1280X720&640X360&320X180";
    static constexpr std::int64_t kRecordedSeconds = 7 * 24 * 3600;

private:
    std::string Ptz25(int function, int control, int param);

    std::string deviceId_, alias_;
    VideoAddressSource& video_;
    int bitRate_ = 256, fps_ = 12, qos_ = 30, keyFrameInterval_ = 24, width_ = 640, height_ = 360;
    int brightness_ = 50, contrast_ = 50, saturation_ = 50, sensorBlack_ = 30, sensorDay_ = 70;
    int audioStatus_ = 1;
    Ptz ptz_;
    std::map<int, Ptz> presets_;
    bool cruising_ = false;
};
