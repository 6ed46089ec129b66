#include "FrameScaler.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace ffplayer {

FrameScaler::~FrameScaler()
{
    sws_freeContext(context_);
}

bool FrameScaler::Scale(const AVFrame* frame, std::uint8_t* target, int stride, int width, int height)
{
    if (width <= 0 || height <= 0 || frame->width <= 0 || frame->height <= 0)
        return false;
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
