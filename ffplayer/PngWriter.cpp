#include "PngWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <cstdio>
#include <memory>

namespace ffplayer {

namespace {

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct SwsFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

}  // namespace

PngResult WritePng(const AVFrame* frame, const std::string& path)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (codec == nullptr || frame->width <= 0 || frame->height <= 0)
        return PngResult::Failed;
    std::unique_ptr<AVFrame, FrameFree> rgb(av_frame_alloc());
    rgb->format = AV_PIX_FMT_RGB24;
    rgb->width = frame->width;
    rgb->height = frame->height;
    if (av_frame_get_buffer(rgb.get(), 0) < 0)
        return PngResult::Failed;
    std::unique_ptr<SwsContext, SwsFree> sws(
        sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
                       frame->height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!sws || sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, rgb->data, rgb->linesize) !=
                    frame->height)
        return PngResult::Failed;

    std::unique_ptr<AVCodecContext, CodecContextFree> encoder(avcodec_alloc_context3(codec));
    encoder->width = frame->width;
    encoder->height = frame->height;
    encoder->pix_fmt = AV_PIX_FMT_RGB24;
    encoder->time_base = AVRational{1, 25};
    if (avcodec_open2(encoder.get(), codec, nullptr) < 0)
        return PngResult::Failed;
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (avcodec_send_frame(encoder.get(), rgb.get()) < 0 || avcodec_receive_packet(encoder.get(), packet.get()) < 0)
        return PngResult::Failed;

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return PngResult::Failed;
    bool written = std::fwrite(packet->data, 1, packet->size, file) == static_cast<size_t>(packet->size);
    written = std::fflush(file) == 0 && written;
    const int error = errno;
    written = std::fclose(file) == 0 && written;
    if (written)
        return PngResult::Written;
    std::remove(path.c_str());
    return error == ENOSPC || error == EFBIG || error == EDQUOT ? PngResult::NoSpace : PngResult::Failed;
}

}  // namespace ffplayer
