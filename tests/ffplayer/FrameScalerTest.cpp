// The library's frame conversion to BGRA: every source format and size gives the picture's colours in
// the byte order the host draws, writes inside the lent rows only, and matches swscale's own output;
// the 4:2:0 converter writes libyuv's bytes exactly.
#include "FrameScaler.h"
#include "Yuv420ToBgra.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <libyuv/convert_argb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

using FramePtr = std::unique_ptr<AVFrame, void (*)(AVFrame*)>;

FramePtr NewFrame(AVPixelFormat format, int width, int height)
{
    FramePtr frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    frame->format = format;
    frame->width = width;
    frame->height = height;
    EXPECT_EQ(0, av_frame_get_buffer(frame.get(), 0));
    return frame;
}

// A frame of one colour given as Y, U, V.
FramePtr Plain(AVPixelFormat format, int width, int height, int y, int u, int v)
{
    FramePtr frame = NewFrame(format, width, height);
    const int chromaHeight = format == AV_PIX_FMT_YUV444P ? height : (height + 1) / 2;
    for (int row = 0; row < height; ++row)
        std::fill_n(frame->data[0] + row * frame->linesize[0], frame->linesize[0], static_cast<std::uint8_t>(y));
    for (int row = 0; row < chromaHeight; ++row) {
        std::fill_n(frame->data[1] + row * frame->linesize[1], frame->linesize[1], static_cast<std::uint8_t>(u));
        std::fill_n(frame->data[2] + row * frame->linesize[2], frame->linesize[2], static_cast<std::uint8_t>(v));
    }
    return frame;
}

struct Target {
    int width, height, stride;
    std::vector<std::uint8_t> pixels;
    Target(int w, int h) : width(w), height(h), stride(w * 4 + 40), pixels(static_cast<std::size_t>(stride) * h, 0xAB) {}
    const std::uint8_t* Pixel(int x, int y) const { return pixels.data() + y * stride + x * 4; }
};

TEST(FrameScaler, EveryFormatAndSizeGivesTheColoursInBgraOrderInsideTheRows)
{
    struct Case {
        AVPixelFormat format;
        int y, u, v;  // pure red in the format's range
        int width, height;
    };
    const Case cases[] = {
        {AV_PIX_FMT_YUV420P, 81, 90, 240, 64, 36},   {AV_PIX_FMT_YUV420P, 81, 90, 240, 30, 20},
        {AV_PIX_FMT_YUVJ420P, 76, 85, 255, 64, 36},  {AV_PIX_FMT_YUVJ420P, 76, 85, 255, 100, 50},
        {AV_PIX_FMT_YUV444P, 81, 90, 240, 64, 36},   {AV_PIX_FMT_YUV444P, 81, 90, 240, 33, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(av_get_pix_fmt_name(c.format)) + " to " + std::to_string(c.width));
        const FramePtr frame = Plain(c.format, 64, 36, c.y, c.u, c.v);
        ffplayer::FrameScaler scaler;
        Target target(c.width, c.height);
        ASSERT_TRUE(scaler.Scale(frame.get(), target.pixels.data(), target.stride, c.width, c.height));
        for (int y : {0, c.height / 2, c.height - 1})
            for (int x : {0, c.width / 2, c.width - 1}) {
                const std::uint8_t* p = target.Pixel(x, y);
                EXPECT_LE(p[0], 12) << "blue at " << x << "," << y;
                EXPECT_LE(p[1], 12) << "green";
                EXPECT_GE(p[2], 243) << "red";
            }
        for (int y = 0; y < c.height; ++y)
            EXPECT_EQ(0xAB, target.pixels[y * target.stride + c.width * 4]) << "row padding written at row " << y;
    }
}

TEST(FrameScaler, MatchesSwscaleAndRefusesEmptySizes)
{
    const int width = 96, height = 54;
    FramePtr frame = NewFrame(AV_PIX_FMT_YUV420P, width, height);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            frame->data[0][row * frame->linesize[0] + col] = static_cast<std::uint8_t>(16 + (row * 7 + col * 3) % 219);
    for (int row = 0; row < height / 2; ++row)
        for (int col = 0; col < width / 2; ++col) {
            frame->data[1][row * frame->linesize[1] + col] = static_cast<std::uint8_t>(16 + (col * 9) % 224);
            frame->data[2][row * frame->linesize[2] + col] = static_cast<std::uint8_t>(16 + (row * 11) % 224);
        }
    ffplayer::FrameScaler scaler;
    Target ours(width, height), reference(width, height);
    ASSERT_TRUE(scaler.Scale(frame.get(), ours.pixels.data(), ours.stride, width, height));
    SwsContext* context = sws_getContext(width, height, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGRA,
                                         SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    std::uint8_t* planes[4] = {reference.pixels.data(), nullptr, nullptr, nullptr};
    int strides[4] = {reference.stride, 0, 0, 0};
    sws_scale(context, frame->data, frame->linesize, 0, height, planes, strides);
    sws_freeContext(context);
    int worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < 3; ++channel)
                worst = std::max(worst, std::abs(ours.Pixel(x, y)[channel] - reference.Pixel(x, y)[channel]));
    EXPECT_LE(worst, 6) << "the converters disagree on a colour";

    EXPECT_FALSE(scaler.Scale(frame.get(), ours.pixels.data(), ours.stride, 0, height));
    EXPECT_FALSE(scaler.Scale(frame.get(), ours.pixels.data(), ours.stride, width, -1));
}

TEST(Yuv420ToBgra, WritesLibyuvsBytesForEveryWidthRangeAndTarget)
{
    // Random planes, then planes of only the extremes (where the arithmetic saturates).
    std::mt19937 random(7);
    for (const bool extremes : {false, true}) {
        auto sample = [&] {
            return static_cast<std::uint8_t>(extremes ? (random() % 2) * 255 : random() % 256);
        };
        // Whole steps of 32 pixels, steps with a few columns left over, narrower than a step; odd heights.
        for (const auto& [width, height] : {std::pair{1280, 8}, {640, 5}, {636, 6}, {70, 3}, {31, 4}, {33, 1}}) {
            const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
            std::vector<std::uint8_t> y(static_cast<std::size_t>(width) * height), u(chromaWidth * chromaHeight),
                v(chromaWidth * chromaHeight);
            std::generate(y.begin(), y.end(), sample);
            std::generate(u.begin(), u.end(), sample);
            std::generate(v.begin(), v.end(), sample);
            for (const bool fullRange : {false, true})
                for (const int shift : {0, 4}) {  // a 64-byte aligned target, then one that is not
                    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + (fullRange ? " full" : "") +
                                 (extremes ? " extremes" : "") + " shift " + std::to_string(shift));
                    const int stride = ((width * 4 + 63) & ~63) + shift + 64;  // room beyond each row
                    const std::size_t bytes = static_cast<std::size_t>(stride) * height + 64;
                    const std::size_t allocated = (bytes + 63) & ~std::size_t(63);
                    const std::unique_ptr<std::uint8_t, decltype(&std::free)> memory(
                        static_cast<std::uint8_t*>(std::aligned_alloc(64, allocated)), &std::free);
                    std::uint8_t* ours = memory.get() + shift;
                    std::fill_n(ours, bytes - shift, 0xAB);
                    std::vector<std::uint8_t> expected(bytes - shift, 0xAB);
                    ASSERT_TRUE(ffplayer::Yuv420ToBgra::Convert(y.data(), width, u.data(), chromaWidth, v.data(),
                                                                chromaWidth, ours, stride, width, height, fullRange));
                    (fullRange ? libyuv::J420ToARGB : libyuv::I420ToARGB)(y.data(), width, u.data(), chromaWidth,
                                                                          v.data(), chromaWidth, expected.data(),
                                                                          stride, width, height);
                    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), ours))
                        << "bytes differ from libyuv's, or outside the rows";
                }
        }
    }
}

}  // namespace
