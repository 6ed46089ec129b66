// The video surface: frames from any thread (latest wins, bounded queue), forwarding of the
// player's messages to the hosting window.

#include "UiTestKit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace uitest;

namespace {

std::vector<uint8_t> Frame(int w, int h, uint8_t shade, int stride)
{
    std::vector<uint8_t> data(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &data[static_cast<size_t>(y) * stride + x * 4];
            p[0] = shade;  // blue
            p[1] = 0;
            p[2] = 0;
            p[3] = 255;
        }
    return data;
}

class VideoSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }
};

}  // namespace

TEST_F(VideoSurfaceTest, FramesFromManyThreadsKeepOnlyTheLatest)
{
    VideoSurface surface;
    surface.resize(64, 36);
    surface.show();
    Pump();
    const HWND hwnd = surface.GetHWND();
    EXPECT_EQ(&surface, VideoSurface::FromHandle(hwnd));
    constexpr int kThreads = 4, kFrames = 200;
    std::atomic<int> accepted{0};
    std::vector<std::thread> players;
    for (int t = 0; t < kThreads; ++t)
        players.emplace_back([&, t] {
            const auto frame = Frame(64, 36, static_cast<uint8_t>(40 + t), 64 * 4 + 16);  // padded rows
            for (int i = 0; i < kFrames; ++i)
                accepted += VideoSurface::PresentFrame(hwnd, frame.data(), 64, 36, 64 * 4 + 16) ? 1 : 0;
        });
    for (auto& p : players)
        p.join();
    EXPECT_EQ(kThreads * kFrames, accepted.load());
    EXPECT_EQ(kThreads * kFrames, surface.FramesPresented());
    EXPECT_EQ(QSize(64, 36), surface.LastFrameSize());
    // At most one repaint was queued at a time, so far fewer paints than frames.
    Pump(30);
    EXPECT_GE(surface.FramesPainted(), 1);
    EXPECT_LT(surface.FramesPainted(), kThreads * kFrames);
    const QImage shown = surface.grab().toImage();
    EXPECT_GE(qBlue(shown.pixel(10, 10)), 40);
    EXPECT_EQ(0, qRed(shown.pixel(10, 10)));
}

TEST_F(VideoSurfaceTest, MalformedFramesAndUnknownHandlesAreRefused)
{
    VideoSurface surface;
    const auto frame = Frame(8, 8, 200, 32);
    struct Case {
        HWND hwnd;
        const uint8_t* data;
        int w, h, stride;
    };
    const Case refused[] = {
        {reinterpret_cast<HWND>(0x7), frame.data(), 8, 8, 32},
        {surface.GetHWND(), nullptr, 8, 8, 32},
        {surface.GetHWND(), frame.data(), 0, 8, 32},
        {surface.GetHWND(), frame.data(), 8, -1, 32},
        {surface.GetHWND(), frame.data(), 8, 8, 31},
    };
    for (const Case& c : refused)
        EXPECT_FALSE(VideoSurface::PresentFrame(c.hwnd, c.data, c.w, c.h, c.stride));
    EXPECT_EQ(0, surface.FramesPresented());
    HWND gone = nullptr;
    {
        VideoSurface closing;
        gone = closing.GetHWND();
    }
    EXPECT_FALSE(VideoSurface::PresentFrame(gone, frame.data(), 8, 8, 32));
}

TEST_F(VideoSurfaceTest, PlayerMessagesGoToTheHostingWindow)
{
    const char* layout = R"(<ui version="4.0"><widget class="QWidget" name="root">
      <layout class="QVBoxLayout" name="l"><item><widget class="VideoSurface" name="video"/></item></layout>
      </widget></ui>)";
    TestWindow window(layout);
    window.Build();
    auto* surface = dynamic_cast<VideoSurface*>(window.FindControl("video")->GetWidget());
    ASSERT_NE(nullptr, surface);
    std::thread player([hwnd = surface->GetHWND()] {
        PostMessage(hwnd, WM_PLAYER_LENGTH, 0, 120000);
        for (int i = 0; i < 5; ++i)
            PostMessage(hwnd, WM_PLAYER_POSITION, 0, i * 1000);
    });
    player.join();
    ASSERT_TRUE(PumpUntil([&] { return window.messages.size() == 6; }));
    EXPECT_EQ(WM_PLAYER_LENGTH, window.messages[0].message);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(WM_PLAYER_POSITION, window.messages[static_cast<size_t>(i) + 1].message);
        EXPECT_EQ(i * 1000, window.messages[static_cast<size_t>(i) + 1].lParam);
    }
    window.DestroyWindow();
}
