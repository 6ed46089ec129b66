#pragma once

#include <cstdint>
#include <string>

namespace camsim {

// Draws frame `index` of a `loopLength`-frame picture loop into 8-bit YUV 4:2:0 planes: a background
// and a bright block that move across the picture once per loop (so the loop joins up seamlessly),
// and the camera's id in large letters on a light strip.
void DrawTestPattern(const std::string& id, int index, int loopLength, int width, int height, std::uint8_t* y,
                     int yStride, std::uint8_t* u, std::uint8_t* v, int uvStride);

}  // namespace camsim
