#pragma once

#include <cstdint>

struct AVFrame;
struct SwsContext;

namespace ffplayer {

// Converts decoded frames to 32-bit BGRA at a requested size, reusing its context and buffer.
// Used by one thread at a time.
class FrameScaler {
public:
    FrameScaler() = default;
    ~FrameScaler();
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;

    // Returns the converted picture (valid until the next call), or null when the frame cannot be converted.
    const std::uint8_t* Scale(const AVFrame* frame, int width, int height);
    int Stride() const { return stride_; }

private:
    SwsContext* context_ = nullptr;
    std::uint8_t* buffer_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

}  // namespace ffplayer
