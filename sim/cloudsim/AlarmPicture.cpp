#include "AlarmPicture.h"

#include "Secret.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <cstdint>
#include <memory>
#include <stdexcept>

namespace cloudsim {

namespace {

constexpr int kWidth = 640, kHeight = 360;

// 5x7 glyphs of the characters of a time stamp; each row is 5 bits, the high bit on the left.
const uint8_t* Glyph(char c) {
    static const uint8_t digits[10][7] = {
        {14, 17, 19, 21, 25, 17, 14}, {4, 12, 4, 4, 4, 4, 14},    {14, 17, 1, 2, 4, 8, 31},
        {31, 2, 4, 2, 1, 17, 14},     {2, 6, 10, 18, 31, 2, 2},   {31, 16, 30, 1, 1, 17, 14},
        {6, 8, 16, 30, 17, 17, 14},   {31, 1, 2, 4, 8, 8, 8},     {14, 17, 17, 14, 17, 17, 14},
        {14, 17, 17, 15, 1, 2, 12}};
    static const uint8_t dash[7] = {0, 0, 0, 31, 0, 0, 0};
    static const uint8_t colon[7] = {0, 12, 12, 0, 12, 12, 0};
    static const uint8_t blank[7] = {0, 0, 0, 0, 0, 0, 0};
    if (c >= '0' && c <= '9') return digits[c - '0'];
    if (c == '-') return dash;
    if (c == ':') return colon;
    return blank;
}

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct CodecFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

void Fill(AVFrame* frame, int x0, int y0, int x1, int y1, uint8_t y, uint8_t u, uint8_t v) {
    for (int row = std::max(y0, 0); row < std::min(y1, kHeight); ++row)
        for (int col = std::max(x0, 0); col < std::min(x1, kWidth); ++col) {
            frame->data[0][row * frame->linesize[0] + col] = y;
            frame->data[1][(row / 2) * frame->linesize[1] + col / 2] = u;
            frame->data[2][(row / 2) * frame->linesize[2] + col / 2] = v;
        }
}

void Text(AVFrame* frame, const std::string& text, int x, int y, int scale) {
    for (char c : text) {
        const uint8_t* glyph = Glyph(c);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (glyph[row] & (16 >> col))
                    Fill(frame, x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, 235,
                         128, 128);
        x += 6 * scale;
    }
}

}  // namespace

std::string AlarmPicture::Render(const std::string& deviceId, const std::string& createTime, int warnType,
                                 const std::string& fileId) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec) throw std::runtime_error("no JPEG encoder");
    std::unique_ptr<AVCodecContext, CodecFree> context(avcodec_alloc_context3(codec));
    context->width = kWidth;
    context->height = kHeight;
    context->pix_fmt = AV_PIX_FMT_YUVJ420P;
    context->time_base = AVRational{1, 25};
    context->flags |= AV_CODEC_FLAG_QSCALE;
    context->global_quality = FF_QP2LAMBDA * 4;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) throw std::runtime_error("cannot open the JPEG encoder");

    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUVJ420P;
    frame->width = kWidth;
    frame->height = kHeight;
    if (av_frame_get_buffer(frame.get(), 0) < 0) throw std::runtime_error("out of memory");
    frame->quality = context->global_quality;
    frame->pts = 0;

    // The scene: floor and wall in the camera's colours, a box where the motion was seen.
    std::string cameraHash = MakeSecret(deviceId), alarmHash = MakeSecret(fileId);
    auto byte = [](const std::string& hex, int at) { return static_cast<uint8_t>(std::stoi(hex.substr(at, 2), nullptr, 16)); };
    uint8_t u = 96 + byte(cameraHash, 0) % 64, v = 96 + byte(cameraHash, 2) % 64;
    for (int band = 0; band < 8; ++band)
        Fill(frame.get(), 0, band * kHeight / 8, kWidth, (band + 1) * kHeight / 8, 60 + band * 12, u, v);
    Fill(frame.get(), 0, kHeight * 2 / 3, kWidth, kHeight, 90, 128 - (u - 128) / 2, 128 - (v - 128) / 2);
    int boxX = 40 + byte(alarmHash, 0) * 420 / 255, boxY = 70 + byte(alarmHash, 2) * 160 / 255;
    uint8_t boxV = warnType == 2 ? 110 : 240;  // external alarms in blue, motion in red
    Fill(frame.get(), boxX, boxY, boxX + 140, boxY + 6, 82, 90, boxV);
    Fill(frame.get(), boxX, boxY + 94, boxX + 140, boxY + 100, 82, 90, boxV);
    Fill(frame.get(), boxX, boxY, boxX + 6, boxY + 100, 82, 90, boxV);
    Fill(frame.get(), boxX + 134, boxY, boxX + 140, boxY + 100, 82, 90, boxV);
    Fill(frame.get(), boxX + 40, boxY + 20, boxX + 100, boxY + 90, 150, 128, 128);
    Fill(frame.get(), 0, 0, kWidth, 40, 16, 128, 128);
    Text(frame.get(), createTime, 12, 6, 4);
    std::string digits;
    for (char c : deviceId)
        if (c >= '0' && c <= '9') digits += c;
    Text(frame.get(), digits, 12, kHeight - 36, 4);

    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (avcodec_send_frame(context.get(), frame.get()) < 0 || avcodec_send_frame(context.get(), nullptr) < 0 ||
        avcodec_receive_packet(context.get(), packet.get()) < 0)
        throw std::runtime_error("JPEG encoding failed");
    return std::string(reinterpret_cast<const char*>(packet->data), packet->size);
}

}  // namespace cloudsim
