#pragma once

#include <cstdint>
#include <vector>

struct AVFrame;
struct SwsContext;

namespace ffplayer {

// Converts decoded frames to 32-bit BGRA at a requested size into the caller's buffer. 4:2:0 frames
// (what cameras send) are scaled by libyuv and converted by Yuv420ToBgra, which costs about 0.7x of
// swscale's CPU at the video's own size and scaled alike (bench/player/converter_bench); other formats
// go through swscale, whose conversion context is reused. Used by one thread at a time.
class FrameScaler {
public:
    FrameScaler() = default;
    ~FrameScaler();
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;

    // Writes the picture into `target` (rows `stride` bytes apart, at least width * 4); false when the
    // frame cannot be converted.
    bool Scale(const AVFrame* frame, std::uint8_t* target, int stride, int width, int height);

private:
    bool ScaleWithSwscale(const AVFrame* frame, std::uint8_t* target, int stride, int width, int height);

    SwsContext* context_ = nullptr;
    std::vector<std::uint8_t> scaled_;  // the scaled 4:2:0 picture on libyuv's path
};

}  // namespace ffplayer
