#include "FrameScaler.h"

#include "Yuv420ToBgra.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <libyuv/scale.h>

namespace ffplayer {

FrameScaler::~FrameScaler()
{
    sws_freeContext(context_);
}

bool FrameScaler::Scale(const AVFrame* frame, std::uint8_t* target, int stride, int width, int height)
{
    if (width <= 0 || height <= 0 || frame->width <= 0 || frame->height <= 0)
        return false;
    const bool fullRange = frame->format == AV_PIX_FMT_YUVJ420P;
    if (frame->format != AV_PIX_FMT_YUV420P && !fullRange)
        return ScaleWithSwscale(frame, target, stride, width, height);
    const std::uint8_t* y = frame->data[0];
    const std::uint8_t* u = frame->data[1];
    const std::uint8_t* v = frame->data[2];
    int yStride = frame->linesize[0], uStride = frame->linesize[1], vStride = frame->linesize[2];
    if (width != frame->width || height != frame->height) {
        // Scaled in 4:2:0 first (a quarter of the bytes a BGRA picture has), into a buffer kept between frames.
        const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
        scaled_.resize(static_cast<std::size_t>(width) * height + 2 * static_cast<std::size_t>(chromaWidth) * chromaHeight);
        std::uint8_t* sy = scaled_.data();
        std::uint8_t* su = sy + static_cast<std::size_t>(width) * height;
        std::uint8_t* sv = su + static_cast<std::size_t>(chromaWidth) * chromaHeight;
        if (libyuv::I420Scale(y, yStride, u, uStride, v, vStride, frame->width, frame->height, sy, width, su,
                              chromaWidth, sv, chromaWidth, width, height, libyuv::kFilterBilinear) != 0)
            return false;
        y = sy, u = su, v = sv;
        yStride = width, uStride = vStride = chromaWidth;
    }
    // Limited-range BT.601 is what swscale assumes for yuv420p too, so both converters draw the same
    // colours; full range has its own.
    return Yuv420ToBgra::Convert(y, yStride, u, uStride, v, vStride, target, stride, width, height, fullRange);
}

bool FrameScaler::ScaleWithSwscale(const AVFrame* frame, std::uint8_t* target, int stride, int width, int height)
{
    // Fast bilinear keeps scaling cheap; at the video's own size swscale takes its unscaled path anyway.
    context_ = sws_getCachedContext(context_, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                    width, height, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    if (context_ == nullptr)
        return false;
    std::uint8_t* planes[4] = {target, nullptr, nullptr, nullptr};
    int strides[4] = {stride, 0, 0, 0};
    return sws_scale(context_, frame->data, frame->linesize, 0, frame->height, planes, strides) == height;
}

}  // namespace ffplayer
