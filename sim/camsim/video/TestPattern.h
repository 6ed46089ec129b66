#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace camsim {

// Where a camera looks: pan and tilt in hundredths of the picture's width and height (right and up
// positive), zoom in percent (100: as wide as the camera sees).
struct CameraView {
    int pan = 0;
    int tilt = 0;
    int zoom = 100;
    auto operator<=>(const CameraView&) const = default;
};

// Draws frame `index` of a `loopLength`-frame picture loop into 8-bit YUV 4:2:0 planes: a scene of
// background stripes with a grid of dark posts, seen through the camera's view (it shifts with pan
// and tilt and grows with zoom), a bright block that moves across the picture once per loop (so the
// loop joins up seamlessly), and the camera's id in large letters on a light strip, which stays put.
void DrawTestPattern(const std::string& id, int index, int loopLength, int width, int height, std::uint8_t* y,
                     int yStride, std::uint8_t* u, std::uint8_t* v, int uvStride, const CameraView& view = {});

// The bright block that crosses the lower part of the picture once per loop (frame 0: just outside
// the left edge), drawn over the luma plane.
void DrawMovingBlock(int index, int loopLength, int width, int height, std::uint8_t* y, int yStride);

// Draws `text` in 5x7 letters of `scale` pixels a dot, dark on a light strip, centred across the
// picture with the letters' top at `top` (luma plane only).
void DrawTextStrip(const std::string& text, int top, int scale, int width, int height, std::uint8_t* y, int yStride);

}  // namespace camsim
