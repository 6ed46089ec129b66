// Chooses the frame converter by measurement: microseconds to turn one I420 frame into 32-bit BGRA,
// swscale (as the player configures it) against libyuv, at the video's own size and scaled down to a
// wall cell's size. Rounds alternate between the converters; the table shows median and range. A
// second table times single calls a frame interval apart, as a player makes them, against merely
// filling the target with memset: the floor of any conversion that writes the whole picture; each
// into memory in small pages and into the picture memory a window's frames get. The player's own
// converter (libyuv's bytes, written with streaming stores where the processor has AVX-512) is timed
// there too.
extern "C" {
#include <libswscale/swscale.h>
}

#include <libyuv/convert_argb.h>
#include <libyuv/scale.h>

#include "Yuv420ToBgra.h"
#include "base/PictureMemory.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstring>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct Picture {
    int width, height;
    std::vector<std::uint8_t> y, u, v;

    Picture(int w, int h) : width(w), height(h), y(w * h), u((w / 2) * (h / 2)), v((w / 2) * (h / 2))
    {
        // A gradient with some noise: converters do not care about content, but keep it realistic.
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col)
                y[row * w + col] = static_cast<std::uint8_t>(16 + ((row + col) % 200) + (std::rand() & 7));
        for (std::size_t i = 0; i < u.size(); ++i) {
            u[i] = static_cast<std::uint8_t>(128 + (i % 50));
            v[i] = static_cast<std::uint8_t>(100 + (i % 70));
        }
    }
};

double ThreadCpuMicros()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// CPU time of this thread, not elapsed time: the machine is shared, and waiting for a core is no cost.
double MicrosPerCall(const std::function<void()>& convert, int calls)
{
    const double start = ThreadCpuMicros();
    for (int i = 0; i < calls; ++i)
        convert();
    return (ThreadCpuMicros() - start) / calls;
}

struct Figures {
    double median, low, high;
};

Figures Summary(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

}  // namespace

int main()
{
    struct Case {
        int srcW, srcH, dstW, dstH;
    };
    const Case cases[] = {{1280, 720, 1280, 720}, {640, 360, 640, 360}, {320, 180, 320, 180},
                          {1280, 720, 636, 356}, {640, 360, 316, 176}};
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("I420 -> BGRA, CPU us per frame, 7 alternating rounds (median [low-high]); load average %.2f\n", load[0]);
    std::printf("%-22s %24s %24s %8s\n", "frame -> target", "swscale", "libyuv", "ratio");
    for (const Case& c : cases) {
        Picture picture(c.srcW, c.srcH);
        const int stride = (c.dstW * 4 + 63) & ~63;
        std::vector<std::uint8_t> target(static_cast<std::size_t>(stride) * c.dstH);
        std::vector<std::uint8_t> scaled(static_cast<std::size_t>(c.dstW) * c.dstH * 2);
        SwsContext* context = sws_getContext(c.srcW, c.srcH, AV_PIX_FMT_YUV420P, c.dstW, c.dstH, AV_PIX_FMT_BGRA,
                                             SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
        const std::uint8_t* planes[4] = {picture.y.data(), picture.u.data(), picture.v.data(), nullptr};
        const int strides[4] = {c.srcW, c.srcW / 2, c.srcW / 2, 0};
        auto swscale = [&] {
            std::uint8_t* out[4] = {target.data(), nullptr, nullptr, nullptr};
            int outStrides[4] = {stride, 0, 0, 0};
            sws_scale(context, planes, strides, 0, c.srcH, out, outStrides);
        };
        const int halfW = (c.dstW + 1) / 2, halfH = (c.dstH + 1) / 2;
        std::uint8_t* sy = scaled.data();
        std::uint8_t* su = sy + c.dstW * c.dstH;
        std::uint8_t* sv = su + halfW * halfH;
        auto libyuv = [&] {
            if (c.srcW == c.dstW && c.srcH == c.dstH) {
                libyuv::I420ToARGB(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], target.data(),
                                   stride, c.dstW, c.dstH);
                return;
            }
            libyuv::I420Scale(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], c.srcW, c.srcH, sy,
                              c.dstW, su, halfW, sv, halfW, c.dstW, c.dstH, libyuv::kFilterBilinear);
            libyuv::I420ToARGB(sy, c.dstW, su, halfW, sv, halfW, target.data(), stride, c.dstW, c.dstH);
        };
        const int calls = std::max(20, 200 * 640 * 360 / (c.srcW * c.srcH));
        std::vector<double> sws, yuv;
        for (int round = 0; round < 7; ++round) {
            if (round % 2 == 0) {
                sws.push_back(MicrosPerCall(swscale, calls));
                yuv.push_back(MicrosPerCall(libyuv, calls));
            } else {
                yuv.push_back(MicrosPerCall(libyuv, calls));
                sws.push_back(MicrosPerCall(swscale, calls));
            }
        }
        sws_freeContext(context);
        const Figures a = Summary(sws), b = Summary(yuv);
        char name[40], left[40], right[40];
        std::snprintf(name, sizeof name, "%dx%d -> %dx%d", c.srcW, c.srcH, c.dstW, c.dstH);
        std::snprintf(left, sizeof left, "%.0f [%.0f-%.0f]", a.median, a.low, a.high);
        std::snprintf(right, sizeof right, "%.0f [%.0f-%.0f]", b.median, b.low, b.high);
        std::printf("%-22s %24s %24s %7.2fx\n", name, left, right, b.median / a.median);
    }

    // Between two frames of a live stream the core idles or decodes, and the caches and the TLB lose the
    // target: on this machine a 3.7 MB buffer left alone for 67 ms fills five times slower than a warm
    // one in small pages, and about half as slowly again in the huge pages a window's frames now get.
    Picture picture(1280, 720);
    const int stride = 1280 * 4;
    const std::size_t bytes = static_cast<std::size_t>(stride) * 720;
    // 64-byte aligned as the picture memory is, which the player's converter needs for its streaming stores.
    const std::unique_ptr<std::uint8_t, PictureMemory::Deleter> smallPages(
        static_cast<std::uint8_t*>(std::aligned_alloc(64, bytes)));
    const std::unique_ptr<std::uint8_t, PictureMemory::Deleter> pictureMemory(
        static_cast<std::uint8_t*>(PictureMemory::Allocate(bytes)));
    std::uint8_t* const targets[2] = {smallPages.get(), pictureMemory.get()};
    SwsContext* context = sws_getContext(1280, 720, AV_PIX_FMT_YUV420P, 1280, 720, AV_PIX_FMT_BGRA, SWS_FAST_BILINEAR,
                                         nullptr, nullptr, nullptr);
    const std::uint8_t* planes[4] = {picture.y.data(), picture.u.data(), picture.v.data(), nullptr};
    const int strides[4] = {1280, 640, 640, 0};
    const std::function<void(std::uint8_t*)> calls[] = {
        [&](std::uint8_t* target) {
            std::uint8_t* out[4] = {target, nullptr, nullptr, nullptr};
            int outStrides[4] = {stride, 0, 0, 0};
            sws_scale(context, planes, strides, 0, 720, out, outStrides);
        },
        [&](std::uint8_t* target) {
            libyuv::I420ToARGB(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], target, stride,
                               1280, 720);
        },
        [&](std::uint8_t* target) {
            ffplayer::Yuv420ToBgra::Convert(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], target,
                                            stride, 1280, 720, false);
        },
        [&](std::uint8_t* target) { std::memset(target, 0, bytes); },
    };
    constexpr int kCalls = std::size(calls);
    std::vector<double> times[kCalls][2];
    for (int round = 0; round < 60; ++round)
        for (int k = 0; k < 2 * kCalls; ++k) {
            const int which = (k + round) % (2 * kCalls);
            std::this_thread::sleep_for(std::chrono::milliseconds(67));  // a 15 fps stream's interval
            times[which / 2][which % 2].push_back(MicrosPerCall([&] { calls[which / 2](targets[which % 2]); }, 1));
        }
    sws_freeContext(context);
    std::printf("\n1280x720 -> 1280x720, one call every 67 ms (60 each, alternating), CPU us (median [low-high])\n");
    std::printf("%-22s %24s %24s\n", "", "small pages", "picture memory");
    const char* names[] = {"swscale", "libyuv", "the player's", "memset alone"};
    for (int k = 0; k < kCalls; ++k) {
        const Figures a = Summary(times[k][0]), b = Summary(times[k][1]);
        char left[40], right[40];
        std::snprintf(left, sizeof left, "%.0f [%.0f-%.0f]", a.median, a.low, a.high);
        std::snprintf(right, sizeof right, "%.0f [%.0f-%.0f]", b.median, b.low, b.high);
        std::printf("%-22s %24s %24s\n", names[k], left, right);
    }
    return 0;
}
