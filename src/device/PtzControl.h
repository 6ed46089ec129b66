#pragma once

#include "ui/WinDef.h"

#include <map>
#include <set>
#include <string>

class CommandSink;
class DeviceMessenger;

// The pan-tilt-zoom logic of the main window's panel, without widgets: the ten hold-to-move buttons'
// messages turned into the press and release texts at the speed of the moment, and the preset texts.
// Presses, releases and the preset deletions go through the command queue; going to and setting a
// preset are sent directly by the caller (SendCmdDirect), so those only build the text.
//
// A release that finds the camera offline cannot reach it (the queue drops commands for offline
// cameras) and would leave it moving; it is kept and queued when the camera is back online.
//
// Threads: UI thread only.
class PtzControl {
public:
    // The message a move button posts, its name in the log, and the function and control it presses.
    struct Move {
        UINT message;
        const char* buttonName;
        const char* messageName;
        int function;
        int control;
    };
    static const Move kMoves[10];
    static const Move* MoveOf(UINT message);

    PtzControl(CommandSink& queue, DeviceMessenger& presence);

    void SetSpeed(int speed);
    int Speed() const { return speed_; }
    const std::string& SpeedText() const { return speedText_; }

    // A move button's message: wParam 1 pressed, 0 released, any other value nothing. False when the
    // message is none of the ten.
    bool HandleMove(UINT message, WPARAM wParam, const std::string& deviceId);

    // The camera came online: queue the releases it missed.
    void OnDeviceOnline(const std::string& deviceId);

    // Presets (N as shown in the preset list): delete, delete all and cruise are queued here.
    void DeletePreset(const std::string& deviceId, int preset);
    void DeleteAllPresets(const std::string& deviceId);
    void StartCruise(const std::string& deviceId);

private:
    CommandSink& queue_;
    DeviceMessenger& presence_;
    int speed_ = 32;
    std::string speedText_ = "32";
    std::map<std::string, std::set<int>> missedReleases_;  // device id -> functions left moving
};
