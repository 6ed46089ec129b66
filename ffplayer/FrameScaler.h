#pragma once

#include <cstdint>

struct AVFrame;
struct SwsContext;

namespace ffplayer {

// Converts decoded frames to 32-bit BGRA at a requested size into the caller's buffer, reusing its
// conversion context. Used by one thread at a time.
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
    SwsContext* context_ = nullptr;
};

}  // namespace ffplayer
