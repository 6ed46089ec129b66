// The video surface: frames from any thread (latest wins, bounded queue), the lent back buffer,
// forwarding of the player's messages to the hosting window.

#include "UiTestKit.h"
#include "ui/VideoRefresh.h"

#include <QElapsedTimer>
#include <QEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
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
    // A frame is refused only while another thread holds the buffer: some get through from every race.
    EXPECT_GT(accepted.load(), 0);
    EXPECT_EQ(accepted.load(), surface.FramesPresented());
    EXPECT_EQ(QSize(64, 36), surface.LastFrameSize());
    // At most one repaint was queued at a time, so far fewer paints than frames.
    Pump(30);
    EXPECT_GE(surface.FramesPainted(), 1);
    EXPECT_LT(surface.FramesPainted(), accepted.load());
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

TEST_F(VideoSurfaceTest, TheLentBufferBelongsToItsWriterUntilGivenBack)
{
    auto* surface = new VideoSurface;
    surface->resize(40, 30);
    surface->show();
    Pump();
    const HWND hwnd = surface->GetHWND();
    auto paintOnce = [&](uint8_t blue) -> uint8_t* {
        int stride = 0;
        uint8_t* pixels = VideoSurface::LendFrame(hwnd, 40, 30, &stride);
        if (pixels == nullptr) {
            ADD_FAILURE() << "no buffer lent";
            return nullptr;
        }
        EXPECT_GE(stride, 40 * 4);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(pixels) % 64) << "rows aligned for the converters";
        EXPECT_EQ(0, stride % 64);
        const auto frame = Frame(40, 30, blue, stride);
        std::copy(frame.begin(), frame.end(), pixels);
        return pixels;
    };
    paintOnce(120);
    int stride = 0;
    std::thread other([&] { EXPECT_EQ(nullptr, VideoSurface::LendFrame(hwnd, 40, 30, &stride)) << "already lent"; });
    other.join();
    VideoSurface::ReturnFrame(hwnd, true);
    ASSERT_TRUE(PumpUntil([&] { return surface->FramesPainted() == 1; }));
    EXPECT_EQ(120, qBlue(surface->grab().toImage().pixel(5, 5)));

    // A conversion that failed leaves the shown picture alone.
    paintOnce(30);
    VideoSurface::ReturnFrame(hwnd, false);
    Pump(30);
    EXPECT_EQ(1, surface->FramesPresented());
    EXPECT_EQ(120, qBlue(surface->grab().toImage().pixel(5, 5)));

    // Frames at another size are drawn scaled; refused sizes lend nothing.
    EXPECT_EQ(nullptr, VideoSurface::LendFrame(hwnd, 0, 30, &stride));
    EXPECT_EQ(nullptr, VideoSurface::LendFrame(hwnd, 40, -2, &stride));
    ASSERT_NE(nullptr, VideoSurface::LendFrame(hwnd, 80, 60, &stride));
    VideoSurface::ReturnFrame(hwnd, true);
    EXPECT_EQ(QSize(80, 60), surface->LastFrameSize());

    // The surface closing while a writer holds its buffer: the writer finishes and gives it back safely.
    uint8_t* pixels = paintOnce(200);
    ASSERT_NE(nullptr, pixels);
    delete surface;
    std::fill(pixels, pixels + 40 * 4, 0xff);
    VideoSurface::ReturnFrame(hwnd, true);
    EXPECT_EQ(nullptr, VideoSurface::LendFrame(hwnd, 40, 30, &stride));
    Pump(30);
}

// Counts the window's paint passes.
class PassCounter : public QObject {
public:
    int passes = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        passes += event->type() == QEvent::UpdateRequest;
        return false;
    }
};

TEST_F(VideoSurfaceTest, ManySurfacesRepaintTogetherAtMostOncePerRefresh)
{
    QWidget window;
    window.resize(4 * 40, 4 * 30);
    std::vector<VideoSurface*> surfaces;
    for (int i = 0; i < 16; ++i) {
        surfaces.push_back(new VideoSurface(&window));
        surfaces.back()->setGeometry((i % 4) * 40, (i / 4) * 30, 40, 30);
    }
    window.show();
    Pump(30);
    PassCounter counter;
    window.installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    std::atomic<bool> stop{false};
    std::vector<std::thread> players;
    for (int t = 0; t < 4; ++t)
        players.emplace_back([&, t] {
            const auto frame = Frame(40, 30, 90, 40 * 4);
            while (!stop)
                for (int i = t; i < 16; i += 4) {
                    VideoSurface::PresentFrame(surfaces[i]->GetHWND(), frame.data(), 40, 30, 40 * 4);
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
        });
    // Hundreds of frames (however slow the machine or the sanitizer makes them come), but no more
    // passes than refresh intervals (plus the final one).
    auto presented = [&] {
        int frames = 0;
        for (VideoSurface* surface : surfaces)
            frames += surface->FramesPresented();
        return frames;
    };
    EXPECT_TRUE(PumpUntil([&] { return presented() > 200; }, 20000)) << presented();
    stop = true;
    for (auto& player : players)
        player.join();
    const qint64 elapsed = clock.elapsed();
    Pump(50);
    for (VideoSurface* surface : surfaces) {
        EXPECT_GE(surface->FramesPainted(), 1);
        EXPECT_EQ(90, qBlue(surface->grab().toImage().pixel(5, 5)));
    }
    EXPECT_LE(counter.passes, elapsed / VideoRefresh::kIntervalMs + 2);
    window.removeEventFilter(&counter);
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
