#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
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

    using Clock = std::chrono::steady_clock;

    CameraBehaviour(std::string deviceId, std::string alias, VideoAddressSource& video);

    // `nowUtc` decides which replay periods hold recordings (the last seven days up to now); `now`
    // is when the command arrived (held movements and the cruise go on in time).
    Outcome Answer(const std::string& body, std::int64_t nowUtc, Clock::time_point now = Clock::now());

    // Moves the camera on to `now`: a held movement goes on at its speed (param units a second, after
    // a first step of param at the press) until its release; a cruise shows each stored preset for
    // kCruiseDwell in turn until the next pan-tilt-zoom command. The video follows the position.
    void Advance(Clock::time_point now);
    // A held movement or a cruise is under way (Advance is worth calling).
    bool Moving() const { return motion_.function != 0 || cruising_; }

    // Test hooks: commands answered with "err_num" 5 (and not carried out); a camera model without
    // image controls (cmd 4 reports every capability 0).
    void SetRefused(std::set<int> cmds) { refused_ = std::move(cmds); }
    void SetImageControls(bool offered) { imageControls_ = offered; }

    // The unasked alarm notice (cmd 82) this camera pushes.
    std::string AlarmNotice(int warnType) const;

    struct Ptz {
        int pan = 0, tilt = 0, zoom = 1, focus = 0, iris = 0;
        bool operator==(const Ptz&) const = default;
    };
    const Ptz& PtzPosition() const { return ptz_; }
    int Width() const { return width_; }

    static constexpr int kRefusedErrNum = 5;
    static constexpr std::chrono::milliseconds kCruiseDwell{3000};
    static constexpr int kMaxZoom = 201;  // zoom units: 1 as wide as it sees, each unit 2 % closer
    static constexpr const char* kSizes = "1280X720&640X360&320X180";

private:
    // A button held down: which, how fast, and from where and when.
    struct Motion {
        int function = 0;  // 0: none
        int control = 0;
        int speed = 0;
        Clock::time_point since;
        Ptz from;
    };

    std::string Ptz25(int function, int control, int param, Clock::time_point now);
    // Position `units` along the held movement from `from`.
    static Ptz Moved(const Motion& motion, int units);
    void ShowView();

    std::string deviceId_, alias_;
    VideoAddressSource& video_;
    int bitRate_ = 256, fps_ = 12, qos_ = 30, keyFrameInterval_ = 24, width_ = 640, height_ = 360;
    int brightness_ = 50, contrast_ = 50, saturation_ = 50, sensorBlack_ = 30, sensorDay_ = 70;
    int audioStatus_ = 1;
    Ptz ptz_;
    std::map<int, Ptz> presets_;
    Motion motion_;
    bool cruising_ = false;
    Clock::time_point cruiseSince_;
    std::set<int> refused_;
    bool imageControls_ = true;
};
