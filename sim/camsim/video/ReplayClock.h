#pragma once

#include <cstdint>
#include <string>

namespace camsim {

// What a replay picture shows of its time: the recording's local date and time in large digits, and
// the same second of the day as a row of kBits blocks along the bottom edge (most significant first,
// light = 1), which a test reads back from a decoded, scaled picture to see where a replay is.
namespace ReplayClock {

constexpr int kBits = 17;  // 86,400 seconds of a day

// Draws the clock of `utcSecond` over a picture already drawn into the YUV 4:2:0 planes.
void Draw(std::int64_t utcSecond, int width, int height, std::uint8_t* y, int yStride);

// The local second of the day of `utcSecond`, as the blocks show it.
int SecondOfDay(std::int64_t utcSecond);

// Reads the blocks back from a 32-bit BGRA picture of any size (the drawn one, scaled); -1 when the
// picture is too small to hold them.
int Read(const std::uint8_t* bgra, int width, int height, int strideBytes);

}  // namespace ReplayClock

}  // namespace camsim
