#include "EncodedLoop.h"

#include "TestPattern.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace camsim {

namespace {

struct Resources {
    AVCodecContext* encoder = nullptr;
    AVFormatContext* muxer = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    ~Resources()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&encoder);
        if (muxer != nullptr) {
            avio_closep(&muxer->pb);
            avformat_free_context(muxer);
        }
        if (!path.empty())
            std::remove(path.c_str());
    }
    std::string path;  // the muxer's scratch file
};

bool Drain(Resources& r, AVStream* stream)
{
    while (true) {
        const int received = avcodec_receive_packet(r.encoder, r.packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return false;
        av_packet_rescale_ts(r.packet, r.encoder->time_base, stream->time_base);
        r.packet->stream_index = 0;
        if (av_write_frame(r.muxer, r.packet) < 0)
            return false;
    }
}

// Splits the muxer's FLV output into the loop's tag bodies; script tags and the end-of-sequence tag
// are dropped (the server writes its own metadata, and a loop must never end the sequence).
bool SplitTags(const std::uint8_t* data, int size, int count, EncodedLoop& loop)
{
    int offset = 9 + 4;  // file header and the first previous-tag-size
    while (offset + 11 <= size) {
        const int type = data[offset];
        const int bodySize = (data[offset + 1] << 16) | (data[offset + 2] << 8) | data[offset + 3];
        const int body = offset + 11;
        if (body + bodySize > size)
            return false;
        if (type == 9 && bodySize >= 2) {
            const bool key = (data[body] >> 4) == 1;
            const int packetType = data[body + 1];
            std::vector<std::uint8_t> bytes(data + body, data + body + bodySize);
            if (packetType == 0)
                loop.sequenceHeader = std::move(bytes);
            else if (packetType == 1)
                loop.frames.push_back({std::move(bytes), key});
        }
        offset = body + bodySize + 4;
    }
    return !loop.sequenceHeader.empty() && static_cast<int>(loop.frames.size()) == count &&
           loop.frames.front().key;
}

}  // namespace

std::shared_ptr<const EncodedLoop> EncodedLoop::Encode(const std::string& id, int width, int height,
                                                       const CameraView& view)
{
    auto loop = EncodeFrames(width, height, kLength,
                             [&](int index, std::uint8_t* y, int yStride, std::uint8_t* u, std::uint8_t* v, int uvStride) {
                                 DrawTestPattern(id, index, kLength, width, height, y, yStride, u, v, uvStride, view);
                             });
    if (loop != nullptr)
        loop->view = view;
    return loop;
}

std::shared_ptr<EncodedLoop> EncodedLoop::EncodeFrames(int width, int height, int count, const Painter& paint)
{
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr || width <= 0 || height <= 0 || width % 2 != 0 || height % 2 != 0 || count <= 0 ||
        count % kGop != 0)
        return nullptr;
    Resources r;
    r.encoder = avcodec_alloc_context3(codec);
    r.frame = av_frame_alloc();
    r.packet = av_packet_alloc();
    if (r.encoder == nullptr || r.frame == nullptr || r.packet == nullptr)
        return nullptr;
    r.encoder->width = width;
    r.encoder->height = height;
    r.encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    r.encoder->time_base = AVRational{1, kFramesPerSecond};
    r.encoder->framerate = AVRational{kFramesPerSecond, 1};
    r.encoder->gop_size = kGop;
    r.encoder->keyint_min = kGop;
    r.encoder->max_b_frames = 0;
    r.encoder->thread_count = 1;
    r.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;  // FLV carries SPS/PPS in its sequence header
    av_opt_set(r.encoder->priv_data, "preset", "veryfast", 0);
    av_opt_set(r.encoder->priv_data, "tune", "zerolatency", 0);
    av_opt_set(r.encoder->priv_data, "crf", "28", 0);
    // Every key frame an IDR at a fixed place, so that the loop can restart at any of them.
    av_opt_set(r.encoder->priv_data, "x264-params", "scenecut=0:open-gop=0:log=-1", 0);
    if (avcodec_open2(r.encoder, codec, nullptr) < 0)
        return nullptr;

    // The FLV muxer writes its tags through a scratch file: through a memory buffer its header
    // rewriting leaves holes in the output.
    char scratch[] = "/tmp/camsim-loop-XXXXXX";
    const int fd = mkstemp(scratch);
    if (fd < 0)
        return nullptr;
    close(fd);
    r.path = scratch;
    if (avformat_alloc_output_context2(&r.muxer, nullptr, "flv", nullptr) < 0 || r.muxer == nullptr)
        return nullptr;
    AVStream* stream = avformat_new_stream(r.muxer, nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, r.encoder) < 0 ||
        avio_open(&r.muxer->pb, r.path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(r.muxer, nullptr) < 0)
        return nullptr;

    r.frame->format = AV_PIX_FMT_YUV420P;
    r.frame->width = width;
    r.frame->height = height;
    if (av_frame_get_buffer(r.frame, 0) < 0)
        return nullptr;
    for (int i = 0; i < count; ++i) {
        if (av_frame_make_writable(r.frame) < 0)
            return nullptr;
        paint(i, r.frame->data[0], r.frame->linesize[0], r.frame->data[1], r.frame->data[2], r.frame->linesize[1]);
        r.frame->pts = i;
        r.frame->pict_type = i % kGop == 0 ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
        if (avcodec_send_frame(r.encoder, r.frame) < 0 || !Drain(r, stream))
            return nullptr;
    }
    if (avcodec_send_frame(r.encoder, nullptr) < 0 || !Drain(r, stream) || av_write_trailer(r.muxer) < 0)
        return nullptr;

    if (avio_closep(&r.muxer->pb) < 0)
        return nullptr;
    std::ifstream file(r.path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto loop = std::make_shared<EncodedLoop>();
    loop->width = width;
    loop->height = height;
    if (!SplitTags(bytes.data(), static_cast<int>(bytes.size()), count, *loop))
        return nullptr;
    return loop;
}

}  // namespace camsim
