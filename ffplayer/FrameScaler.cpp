#include "FrameScaler.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

namespace ffplayer {

FrameScaler::~FrameScaler()
{
    sws_freeContext(context_);
    av_free(buffer_);
}

const std::uint8_t* FrameScaler::Scale(const AVFrame* frame, int width, int height)
{
    if (width <= 0 || height <= 0 || frame->width <= 0 || frame->height <= 0)
        return nullptr;
    // Fast bilinear keeps scaling cheap; at the video's own size swscale takes its unscaled path anyway.
    context_ = sws_getCachedContext(context_, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                    width, height, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    if (context_ == nullptr)
        return nullptr;
    if (width != width_ || height != height_) {
        av_free(buffer_);
        stride_ = (width * 4 + 63) & ~63;
        buffer_ = static_cast<std::uint8_t*>(av_malloc(static_cast<size_t>(stride_) * height));
        if (buffer_ == nullptr) {
            width_ = height_ = 0;
            return nullptr;
        }
        width_ = width;
        height_ = height;
    }
    std::uint8_t* planes[4] = {buffer_, nullptr, nullptr, nullptr};
    int strides[4] = {stride_, 0, 0, 0};
    if (sws_scale(context_, frame->data, frame->linesize, 0, frame->height, planes, strides) != height)
        return nullptr;
    return buffer_;
}

}  // namespace ffplayer
