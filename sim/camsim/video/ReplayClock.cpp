#include "ReplayClock.h"

#include "TestPattern.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace camsim::ReplayClock {

namespace {

// The blocks fill the bottom tenth of the picture, each 1/kBits of its width.
int StripTop(int height) { return height - height / 10; }

std::tm LocalTime(std::int64_t utcSecond)
{
    const std::time_t when = static_cast<std::time_t>(utcSecond);
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

}  // namespace

int SecondOfDay(std::int64_t utcSecond)
{
    const std::tm local = LocalTime(utcSecond);
    return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

void Draw(std::int64_t utcSecond, int width, int height, std::uint8_t* y, int yStride)
{
    const std::tm local = LocalTime(utcSecond);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    const int length = 19;
    const int scale = std::max(1, std::min(height / 40, (width * 9 / 10) / (length * 6)));
    DrawTextStrip(text, height / 2, scale, width, height, y, yStride);

    const int second = SecondOfDay(utcSecond);
    const int top = StripTop(height);
    for (int bit = 0; bit < kBits; ++bit) {
        const bool set = (second >> (kBits - 1 - bit)) & 1;
        const int left = bit * width / kBits, right = (bit + 1) * width / kBits;
        for (int row = top; row < height; ++row)
            std::fill(y + row * yStride + left, y + row * yStride + right, set ? 235 : 16);
    }
}

int Read(const std::uint8_t* bgra, int width, int height, int strideBytes)
{
    if (bgra == nullptr || width < 2 * kBits || height < 20)
        return -1;
    const int row = (StripTop(height) + height) / 2;
    int second = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        // The mean brightness of a few pixels about the block's centre.
        const int centre = (2 * bit + 1) * width / (2 * kBits);
        int sum = 0, count = 0;
        for (int x = centre - 2; x <= centre + 2; ++x) {
            const std::uint8_t* pixel = bgra + row * strideBytes + x * 4;
            sum += pixel[0] + pixel[1] + pixel[2];
            count += 3;
        }
        second = (second << 1) | (sum / count > 128 ? 1 : 0);
    }
    return second;
}

}  // namespace camsim::ReplayClock
