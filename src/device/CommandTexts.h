#pragma once

#include "device/CameraParams.h"

#include <string>

// Every command text sent to a camera. Spacing and member order are part of the protocol: cameras in
// the field match these texts, so they are kept byte for byte. Inserted texts are JSON-escaped.
namespace CommandTexts {

std::string ImageCaps();                              // cmd 4
std::string DevInfo();                                // cmd 5
std::string ImageParam();                             // cmd 10
std::string VideoParam();                             // cmd 12
std::string UpdateVideoParam(const EncodeParams& p);  // cmd 13
std::string QuerySupRatio();                          // cmd 14
std::string SetAudio(bool boxSelected);               // cmd 26 ("status" 0 when the box is selected)
std::string AudioStatus();                            // cmd 27
std::string PlayUrl();                                // cmd 40
std::string ReplaySearch(long long start, long long end);  // cmd 50, seconds since 1970
std::string ReplayStop(const std::string& replayUrl);      // cmd 51
std::string ReplaySpeed(const std::string& replayUrl, double factor);     // cmd 53
std::string ReplaySeek(const std::string& replayUrl, double minutes);     // cmd 54
std::string KeepAlive(const std::string& playUrl);    // cmd 56
std::string DeviceOnline();                           // cmd 60
std::string Reboot();                                 // cmd 62
std::string AlarmNotices();                           // cmd 82

// cmd 25, pan-tilt-zoom. Functions: 4 focus, 5 iris, 6 focal length (zoom), 7 direction, 8 presets.
std::string PtzPress(int function, int control, int speed);
std::string PtzRelease(int function);  // direction (7) and the lens functions (4, 5, 6) differ
std::string PtzGotoPreset(int preset);
std::string PtzSetPreset(int preset);
std::string PtzDeletePreset(int preset);
std::string PtzDeleteAllPresets();
std::string PtzStartCruise();

// A JSON string's contents: quotes, backslashes and control characters escaped, the rest unchanged.
std::string JsonEscape(const std::string& text);
// A double as a default-formatted stream writes it (at most 6 significant digits, shortest form).
std::string StreamDecimal(double value);

}  // namespace CommandTexts
