#pragma once

#include "ui/WinDef.h"

#include <cstdint>
#include <optional>
#include <string>

// What the remote playback window knows and computes, without any window: the searched period, the
// camera's answer, the replay address, the speed step, the seek arithmetic and the progress of the
// slider, and the command texts that follow from them. The window reads the controls, hands the
// values here and sends what comes back. UI thread only.
class ReplayControl {
public:
    static constexpr int kMaxOpenFailures = 3;
    static constexpr const char* kNormalSpeed = "0";

    // The camera's answer to a search.
    enum class Reply { Ignored, NoVideo, Play };

    // cmd 50 for the day of `day` from the time of `from` to the time of `to` (local times, as seconds
    // since 1970); sets the period's length.
    std::string Search(const SYSTEMTIME& day, const SYSTEMTIME& from, const SYSTEMTIME& to);
    // A camera's reply: only cmd 50 counts. Play: ReplayUrl() is the new replay (from its start, at
    // normal speed); NoVideo: the camera has nothing for the period.
    Reply OnReply(const std::string& body);
    // cmd 51 for the replay, when one is known.
    std::optional<std::string> Stop() const;

    // Speed steps of the label: "-4x", "-2x", "0", "2x", "4x"; any other text steps to "0".
    static std::string NextStep(const std::string& label, bool faster);
    static double FactorOf(const std::string& label);
    // The new label and cmd 53 for a press on the slower or faster button while the label reads
    // `label`; nothing when no replay is known or the label is already at that end.
    struct SpeedChange {
        std::string label;
        std::string command;
    };
    std::optional<SpeedChange> ChangeSpeed(const std::string& label, bool faster);

    // cmd 54 for the slider moved to `value` (0 to 100) of the whole replay; nothing without a replay.
    std::optional<std::string> Seek(int value);
    // The player's length and position messages (one unit, only their ratio counts). OnPosition
    // gives the slider's new value, or nothing while the length is unknown.
    void OnLength(std::int64_t length);
    std::optional<int> OnPosition(std::int64_t position);
    // The stream ended at the end of the replay (the last position reached the length), not broken.
    bool ReachedEnd() const;
    // An open failed: true when it was the last try (the window gives up), false to try again.
    bool OpenFailed() { return ++openFailures_ >= kMaxOpenFailures; }
    void OpenSucceeded() { openFailures_ = 0; }

    // "HH:MM:00" of a length in minutes ("real_time" 125 gives "02:05:00").
    static std::string TotalTimeText(int minutes);

    const std::string& ReplayUrl() const { return replayUrl_; }
    std::int64_t PeriodMs() const { return periodMs_; }
    std::int64_t PositionMs() const { return positionMs_; }
    int SeekBase() const { return seekBase_; }
    double SpeedFactor() const { return speedFactor_; }
    int RealTime() const { return realTime_; }
    int OpenFailures() const { return openFailures_; }
    const std::string& ReplyDevice() const { return replyDevice_; }
    void SetReplyDevice(const std::string& deviceId) { replyDevice_ = deviceId; }

private:
    std::string replayUrl_;
    std::int64_t periodMs_ = 0;  // the searched period; then the player's length of what is left to play
    std::int64_t wholeMs_ = 0;   // the whole replay: what a seek's position is a share of
    std::int64_t positionMs_ = 0;
    int seekBase_ = 0;
    bool sought_ = false;  // a seek was sent for this replay
    double speedFactor_ = 1.0;
    int realTime_ = 0;
    int openFailures_ = 0;
    std::string replyDevice_;
};
