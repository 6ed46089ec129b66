#pragma once

#include "device/CameraParams.h"

#include <optional>
#include <string>

// How the parameter panel shows a camera's encoding parameters and reads the user's choice back.
// The quality list of the layout starts at 22 and the frame-rate list at 1, so their item indexes
// are qos - 22 and fps - 1; the bit-rate edit shows the bit rate divided by 8.
namespace EncodePanelValues {

constexpr int kFirstQuality = 22;
constexpr int kFirstFrameRate = 1;

// The decimal value of a text as the panel reads it: leading digits after blanks and a sign, 0
// when there are none; values beyond the int range are held at its ends.
int DecimalOf(const std::string& text);

inline int ShownBitRate(int bitRate) { return bitRate >> 3; }
// Item to select in the quality and frame-rate lists, -1 for none.
inline int QualityIndex(int qos) { return qos >= kFirstQuality ? qos - kFirstQuality : -1; }
inline int FrameRateIndex(int fps) { return fps >= kFirstFrameRate ? fps - kFirstFrameRate : -1; }

// "1280X720": a size as the size list shows it.
std::string SizeText(int width, int height);

// The panel's texts as new encoding parameters, starting from the defaults: bit rate = the edit's
// value times 8, key frame interval = quality, the size split at its first "X" (a text without one
// gives its value for both). Nothing when the bit-rate edit is empty: the panel counts as unchanged.
std::optional<EncodeParams> Read(const std::string& bitRateText, const std::string& frameRateText,
                                 const std::string& qualityText, const std::string& sizeText);

}  // namespace EncodePanelValues
