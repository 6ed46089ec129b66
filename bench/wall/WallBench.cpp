// Figures of the video wall, each against a reference measured in the same run:
//  - relayout of the 64 cells for every layout count, against moving 64 plain widgets the same way;
//  - 16 cells at 640x360 and 64 cells at 320x180 playing the simulated cameras, against as many bare
//    players (the same library decoding and scaling the same streams, frames handed to no window) and
//    against the players drawing into bare video surfaces: CPU of the process, frames shown against
//    frames sent, memory per cell.
// The camera streams run in a child process so that their CPU is not counted.
// Run offscreen (QT_QPA_PLATFORM=offscreen, the default here) or under Xvfb.
#include "PlayInterface.h"
#include "ProcessUsage.h"
#include "ServerProcess.h"
#include "app/LocalConfig.h"
#include "ui/CPaintManagerUI.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"
#include "video/VideoSurfaceHost.h"
#include "video/WallLayout.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QElapsedTimer>
#include <QWidget>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Runs a real event loop for `ms`: it sleeps in poll when idle, as the client's does, so the CPU measured
// is the work of drawing, not of a spinning loop.
void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

constexpr int kCounts[] = {1, 4, 6, 8, 9, 14, 16, 17, 25, 36, 49, 64};
constexpr UINT kMessages[] = {WM_LAYOUT_1,  WM_LAYOUT_4,  WM_LAYOUT_6,  WM_LAYOUT_8,  WM_LAYOUT_9,  WM_LAYOUT_14,
                              WM_LAYOUT_16, WM_LAYOUT_17, WM_LAYOUT_25, WM_LAYOUT_36, WM_LAYOUT_49, WM_LAYOUT_64};

// Microseconds per relayout: the wall switching between `count` and 64 cells (4 for 64), against 64 plain
// widgets moved into the same rectangles (and the others hidden).
void Relayout()
{
    CvyrProDlg wall;
    wall.resize(1280, 720);
    wall.show();
    QWidget plain;
    plain.resize(1280, 720);
    std::vector<QWidget*> cells;
    for (int i = 0; i < 64; ++i)
        cells.push_back(new QWidget(&plain));
    plain.show();
    Pump(50);
    constexpr int kRounds = 200;
    std::printf("Relayout of the wall (1280x720), us per layout change, %d rounds each\n", kRounds);
    std::printf("%-8s %12s %16s %8s\n", "cells", "wall", "plain widgets", "ratio");
    for (size_t k = 0; k < std::size(kCounts); ++k) {
        QElapsedTimer clock;
        clock.start();
        // Each round switches to `count` and back to another layout (64, or 4 for the 64 row).
        const bool full = kCounts[k] == 64;
        for (int r = 0; r < kRounds; ++r) {
            ::SendMessage(wall.GetHWND(), kMessages[k], 0, 0);
            ::SendMessage(wall.GetHWND(), full ? WM_LAYOUT_4 : WM_LAYOUT_64, 0, 0);
            QApplication::processEvents();
        }
        const double wallUs = clock.nsecsElapsed() / 1e3 / (2.0 * kRounds);
        clock.restart();
        for (int r = 0; r < kRounds; ++r) {
            for (int count : {kCounts[k], full ? 4 : 64}) {
                const auto rects = WallLayout::Arrange(count, 0, 1280, 720);
                for (size_t i = rects.size(); i < cells.size(); ++i)
                    cells[i]->hide();
                for (const CellRect& rect : rects) {
                    cells[rect.cell]->setGeometry(rect.x, rect.y, rect.width, rect.height);
                    cells[rect.cell]->show();
                }
            }
            QApplication::processEvents();
        }
        const double plainUs = clock.nsecsElapsed() / 1e3 / (2.0 * kRounds);
        std::printf("%-8d %12.1f %16.1f %8.2f\n", kCounts[k], wallUs, plainUs, wallUs / plainUs);
    }
}

struct PlayRow {
    double cores;
    long shown;
    long sent;
    double mbPerCell;
};

constexpr int kWarmupMs = 3000;
constexpr int kMeasureMs = 10000;

// Bare players: the library decodes and scales into no window (the host finds no surface).
PlayRow Bare(const ServerProcess& server, const std::string& prefix, int count, int width, int height)
{
    const double rssBefore = RssMb();
    std::vector<PlayInterface*> players;
    for (int i = 0; i < count; ++i) {
        PlayInterface* player = CreatePlayerObject();
        player->SetPlayMode(PM_REALTIME);
        player->SetDisplayRect(0, 0, width, height);
        player->Open(server.Url(prefix + std::to_string(i)).c_str(), reinterpret_cast<void*>(std::uintptr_t(0x7000 + i)));
        players.push_back(player);
    }
    for (PlayInterface* player : players) {
        while (player->GetPlayState() == PS_OPENING)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        player->Play();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kWarmupMs));
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(kMeasureMs));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    PlayRow row{(CpuSeconds() - cpu) / seconds, 0, static_cast<long>(count * seconds * 12.0 + 0.5),
                (RssMb() - rssBefore) / count};
    for (PlayInterface*& player : players)
        DeletePlayerObject(player);
    return row;
}

// The players drawing into bare video surfaces (a grid of plain widgets): what drawing costs
// without the wall's cells, toolbars and messages.
PlayRow Surfaces(const ServerProcess& server, const std::string& prefix, int count, int width, int height)
{
    const int n = count == 16 ? 4 : 8;
    const double rssBefore = RssMb();
    auto* grid = new QWidget();
    grid->resize(n * width, n * height);
    std::vector<VideoSurface*> surfaces;
    std::vector<PlayInterface*> players;
    for (int i = 0; i < count; ++i) {
        auto* surface = new VideoSurface(grid);
        surface->setGeometry((i % n) * width, (i / n) * height, width, height);
        surfaces.push_back(surface);
        PlayInterface* player = CreatePlayerObject();
        player->SetPlayMode(PM_REALTIME);
        player->SetDisplayRect(0, 0, width, height);
        player->Open(server.Url(prefix + std::to_string(i)).c_str(), surface->GetHWND());
        players.push_back(player);
    }
    grid->show();
    for (PlayInterface* player : players) {
        while (player->GetPlayState() == PS_OPENING)
            Pump(5);
        player->Play();
    }
    Pump(kWarmupMs);
    std::vector<int> painted(count);
    for (int i = 0; i < count; ++i)
        painted[i] = surfaces[i]->FramesPainted();
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    Pump(kMeasureMs);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    long shown = 0;
    for (int i = 0; i < count; ++i)
        shown += surfaces[i]->FramesPainted() - painted[i];
    PlayRow row{(CpuSeconds() - cpu) / seconds, shown, static_cast<long>(count * seconds * 12.0 + 0.5),
                (RssMb() - rssBefore) / count};
    for (PlayInterface*& player : players)
        DeletePlayerObject(player);
    delete grid;
    Pump(50);
    return row;
}

// The same cameras in the wall's cells, each cell's inner window exactly width x height.
PlayRow Wall(const ServerProcess& server, const std::string& prefix, int count, UINT layout, int width, int height)
{
    const int n = count == 16 ? 4 : 8;
    const double rssBefore = RssMb();
    auto* wall = new CvyrProDlg();
    // A cell is W / n + 1 wide and its inner window 4 less.
    wall->resize(n * (width + 3), n * (height + 3));
    wall->show();
    ::SendMessage(wall->GetHWND(), layout, 0, 0);
    Pump(50);
    for (int i = 0; i < count; ++i)
        wall->OpenCamera(prefix + std::to_string(i), server.Url(prefix + std::to_string(i)));
    Pump(kWarmupMs);
    std::vector<int> presented(count), painted(count);
    for (int i = 0; i < count; ++i) {
        presented[i] = wall->Panel(i)->Inner()->Surface()->FramesPresented();
        painted[i] = wall->Panel(i)->Inner()->Surface()->FramesPainted();
    }
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    Pump(kMeasureMs);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cores = (CpuSeconds() - cpu) / seconds;
    long shown = 0, delivered = 0;
    for (int i = 0; i < count; ++i) {
        delivered += wall->Panel(i)->Inner()->Surface()->FramesPresented() - presented[i];
        shown += wall->Panel(i)->Inner()->Surface()->FramesPainted() - painted[i];
    }
    const QSize drawn = wall->Panel(0)->Inner()->Surface()->LastFrameSize();
    int playing = 0;
    for (int i = 0; i < count; ++i)
        playing += PlayerManager::Instance()->GetState(wall->Panel(i)->Inner()->PlayerId()) == 2;
    std::printf("  (wall cells draw %dx%d frames; %d of %d cells playing at the end; %ld frames delivered by the "
                "players, %ld painted)\n",
                drawn.width(), drawn.height(), playing, count, delivered, shown);
    PlayRow row{cores, shown, static_cast<long>(count * seconds * 12.0 + 0.5), (RssMb() - rssBefore) / count};
    wall->StopAll();
    delete wall;
    Pump(50);
    return row;
}

}  // namespace

int main(int argc, char** argv)
{
    ServerProcess::Cameras cameras;
    for (int i = 0; i < 16; ++i)
        cameras.push_back({"MID" + std::to_string(i), {640, 360}});
    for (int i = 0; i < 64; ++i)
        cameras.push_back({"SMALL" + std::to_string(i), {320, 180}});
    ServerProcess server;
    server.Start(cameras);

    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string folder = std::filesystem::temp_directory_path() / ("kelvue_wall_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder + "/run");
    ::setenv("XDG_RUNTIME_DIR", (folder + "/run").c_str(), 0);
    QApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    CPaintManagerUI::SetResourcePath(QString(KELVUE_SOURCE_DIR) + "/skin/");
    LocalConfig::Instance()->InitAt(folder + "/", folder + "/kelvue");
    InstallVideoSurfaceHost();

    Relayout();

    std::printf("\nPlaying at once (%d s after %d s warm-up), CPU of this process in cores\n", kMeasureMs / 1000,
                kWarmupMs / 1000);
    std::printf("%-18s %7s %9s %7s %11s %11s %17s %17s %8s %8s %8s\n", "", "bare", "surfaces", "wall", "wall/bare",
                "wall/surf", "surf shown/sent", "wall shown/sent", "MB bare", "MB surf", "MB wall");
    struct Case {
        const char* name;
        const char* prefix;
        int count;
        UINT layout;
        int width, height;
    };
    for (const Case& c : {Case{"16 cells 640x360", "MID", 16, WM_LAYOUT_16, 640, 360},
                          Case{"64 cells 320x180", "SMALL", 64, WM_LAYOUT_64, 320, 180}}) {
        if (std::getenv("WALL_BENCH_ONLY") != nullptr && std::to_string(c.count) != std::getenv("WALL_BENCH_ONLY"))
            continue;
        const PlayRow bare = Bare(server, c.prefix, c.count, c.width, c.height);
        const PlayRow surfaces = Surfaces(server, c.prefix, c.count, c.width, c.height);
        const PlayRow wall = Wall(server, c.prefix, c.count, c.layout, c.width, c.height);
        std::printf("%-18s %7.3f %9.3f %7.3f %11.2f %11.2f %8ld / %-6ld %8ld / %-6ld %8.2f %8.2f %8.2f\n", c.name,
                    bare.cores, surfaces.cores, wall.cores, wall.cores / bare.cores, wall.cores / surfaces.cores,
                    surfaces.shown, surfaces.sent, wall.shown, wall.sent, bare.mbPerCell, surfaces.mbPerCell,
                    wall.mbPerCell);
    }
    server.Stop();
    std::filesystem::remove_all(folder);
    return 0;
}
