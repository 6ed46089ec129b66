#pragma once

#include "TestPattern.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace camsim {

// One camera's picture loop at one size, encoded once as H.264 and kept as FLV tag bodies, so that
// serving it costs only copying bytes with rewritten timestamps. Immutable once built.
struct EncodedLoop {
    static constexpr int kFramesPerSecond = 12;
    static constexpr int kGop = 12;          // a key frame every second: quick joins and recording starts
    static constexpr int kLength = 2 * kGop;  // frames in the loop; a multiple of the GOP

    struct Frame {
        std::vector<std::uint8_t> body;  // FLV video tag body (AVC NALU packet)
        bool key = false;
    };

    int width = 0;
    int height = 0;
    CameraView view;
    std::vector<std::uint8_t> sequenceHeader;  // FLV video tag body (AVC sequence header)
    std::vector<Frame> frames;

    // Encodes the loop of `id` at the given size and view with libx264; null when encoding fails.
    static std::shared_ptr<const EncodedLoop> Encode(const std::string& id, int width, int height,
                                                     const CameraView& view = {});

    // Draws frame `index` into 8-bit YUV 4:2:0 planes (y, u, v, luma stride, chroma stride).
    using Painter = std::function<void(int index, std::uint8_t* y, int yStride, std::uint8_t* u, std::uint8_t* v,
                                       int uvStride)>;
    // Encodes `count` frames (a multiple of kGop) drawn by `paint`, a key frame every kGop frames.
    static std::shared_ptr<EncodedLoop> EncodeFrames(int width, int height, int count, const Painter& paint);
};

}  // namespace camsim
