// Figures of the video wall, each against a reference measured in the same run:
//  - relayout of the 64 cells for every layout count, against moving 64 plain widgets the same way;
//  - 16 cells at 640x360 and 64 cells at 320x180 playing the simulated cameras, against as many bare
//    players (the same library decoding and converting the same streams into scratch buffers) and
//    against the players drawing into bare video surfaces, and against as many plain
//    `ffmpeg -threads 1 -i URL -f null -` processes on the same streams: CPU, frames shown against
//    frames sent, memory per cell. Each configuration runs a few rounds in turn and the medians count;
//  - hidden cells: 64 cameras playing in a 64-cell wall switched to 4 cells, against 4 cameras
//    playing alone in the 4-cell wall (1280x720 both).
// The camera streams run in a child process so that their CPU is not counted.
// Run offscreen (QT_QPA_PLATFORM=offscreen, the default here) or under Xvfb.
#include "ChildProcess.h"
#include "PlayInterface.h"
#include "ProcessUsage.h"
#include "ScratchHost.h"
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

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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
    double uiCores;  // of which the UI thread (this thread): zero for bare players
    long shown;
    long sent;
    double mbPerCell;
};

constexpr int kWarmupMs = 3000;
constexpr int kMeasureMs = 6000;
constexpr double kFramesPerSecond = 12.0;  // the simulated cameras' rate

// CPU of the process and of this (the UI) thread from construction to Close, in cores, and the frames
// the cameras sent meanwhile. With WALL_BENCH_TRACE set, the start and end go to standard error, for
// attaching a profiler.
struct CpuWindow {
    explicit CpuWindow(const char* phase)
    {
        if (std::getenv("WALL_BENCH_TRACE") != nullptr)
            std::fprintf(stderr, "measuring %s\n", phase);
    }

    double process = CpuSeconds();
    double ui = CpuSeconds(RUSAGE_THREAD);
    Clock::time_point start = Clock::now();

    PlayRow Close(int cameras) const
    {
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (std::getenv("WALL_BENCH_TRACE") != nullptr)
            std::fprintf(stderr, "measured\n");
        return {(CpuSeconds() - process) / seconds, (CpuSeconds(RUSAGE_THREAD) - ui) / seconds, 0,
                std::lround(cameras * kFramesPerSecond * seconds), 0};
    }
};


// Bare players: the library decodes and converts every frame into a scratch buffer and no window
// draws it (the player benchmark's host).
PlayRow Bare(const ServerProcess& server, const std::string& prefix, int count, int width, int height)
{
    const double rssBefore = RssMb();
    ScratchHost::Install();
    std::vector<PlayInterface*> players;
    for (int i = 0; i < count; ++i) {
        PlayInterface* player = CreatePlayerObject();
        player->SetPlayMode(PM_REALTIME);
        player->SetDisplayRect(0, 0, width, height);
        player->Open(server.Url(prefix + std::to_string(i)).c_str(), ScratchHost::Window(i));
        players.push_back(player);
    }
    for (PlayInterface* player : players) {
        while (player->GetPlayState() == PS_OPENING)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        player->Play();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kWarmupMs));
    const double mbPerCell = (RssMb() - rssBefore) / count;
    CpuWindow window("bare");
    std::this_thread::sleep_for(std::chrono::milliseconds(kMeasureMs));
    PlayRow row = window.Close(count);
    row.mbPerCell = mbPerCell;
    for (PlayInterface*& player : players)
        DeletePlayerObject(player);
    InstallVideoSurfaceHost();
    return row;
}

// Plain ffmpeg processes, one thread each, decoding the same streams to nothing: the cores they use
// (their own CPU, read from /proc while they run).
PlayRow Ffmpeg(const ServerProcess& server, const std::string& prefix, int count)
{
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i)
        children.push_back(Spawn({"ffmpeg", "-nostdin", "-loglevel", "error", "-threads", "1", "-i",
                                  server.Url(prefix + std::to_string(i)), "-f", "null", "-"},
                                 false)
                               .pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(kWarmupMs));
    auto cpu = [&children] {
        double total = 0;
        for (pid_t child : children)
            total += ProcessCpuSeconds(child);
        return total;
    };
    const double before = cpu();
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(kMeasureMs));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double used = cpu() - before;
    for (pid_t child : children) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return {used / seconds, 0, 0, std::lround(count * kFramesPerSecond * seconds), 0};
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
    const double mbPerCell = (RssMb() - rssBefore) / count;
    CpuWindow window("surfaces");
    Pump(kMeasureMs);
    PlayRow row = window.Close(count);
    row.mbPerCell = mbPerCell;
    for (int i = 0; i < count; ++i)
        row.shown += surfaces[i]->FramesPainted() - painted[i];
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
    const double mbPerCell = (RssMb() - rssBefore) / count;
    CpuWindow window("wall");
    Pump(kMeasureMs);
    PlayRow row = window.Close(count);
    row.mbPerCell = mbPerCell;
    long delivered = 0;
    for (int i = 0; i < count; ++i) {
        delivered += wall->Panel(i)->Inner()->Surface()->FramesPresented() - presented[i];
        row.shown += wall->Panel(i)->Inner()->Surface()->FramesPainted() - painted[i];
    }
    const QSize drawn = wall->Panel(0)->Inner()->Surface()->LastFrameSize();
    int playing = 0;
    for (int i = 0; i < count; ++i)
        playing += PlayerManager::Instance()->GetState(wall->Panel(i)->Inner()->PlayerId()) == 2;
    std::printf("  (wall cells draw %dx%d frames; %d of %d cells playing at the end; %ld frames delivered by the "
                "players, %ld painted)\n",
                drawn.width(), drawn.height(), playing, count, delivered, row.shown);
    wall->StopAll();
    delete wall;
    Pump(50);
    return row;
}

// A 1280x720 wall with `count` of the small cameras opened in layout `startLayout`, then switched to 4
// cells: the CPU of the process once the switch settled, and the frames the 4 shown cells painted.
PlayRow WallSwitchedToFour(const ServerProcess& server, int count, UINT startLayout)
{
    auto* wall = new CvyrProDlg();
    wall->resize(1280, 720);
    wall->show();
    ::SendMessage(wall->GetHWND(), startLayout, 0, 0);
    Pump(50);
    for (int i = 0; i < count; ++i)
        wall->OpenCamera("SMALL" + std::to_string(i), server.Url("SMALL" + std::to_string(i)));
    Pump(kWarmupMs);
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_4, 0, 0);
    Pump(kWarmupMs);
    std::vector<int> painted(4);
    for (int i = 0; i < 4; ++i)
        painted[i] = wall->Panel(i)->Inner()->Surface()->FramesPainted();
    CpuWindow window("switched");
    Pump(kMeasureMs);
    PlayRow row = window.Close(4);
    for (int i = 0; i < 4; ++i)
        row.shown += wall->Panel(i)->Inner()->Surface()->FramesPainted() - painted[i];
    int playing = 0;
    for (int i = 0; i < count; ++i)
        playing += PlayerManager::Instance()->GetState(wall->Panel(i)->Inner()->PlayerId()) == 2;
    std::printf("  (%d of %d cells playing at the end)\n", playing, count);
    wall->StopAll();
    delete wall;
    Pump(50);
    return row;
}

// "median [lowest-highest]" of a list.
std::string Spread(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.3f [%.3f-%.3f]", values[values.size() / 2], values.front(), values.back());
    return text;
}

void HiddenCells(const ServerProcess& server, int rounds)
{
    double load[3] = {-1, -1, -1};
    getloadavg(load, 3);
    std::printf("\nHidden cells: 64 cameras in a 64-cell wall switched to 4 cells, against 4 cameras alone in the 4-cell "
                "wall (1280x720), cores of this process over %d s, %d rounds in turn; load average %.2f\n",
                kMeasureMs / 1000, rounds, load[0]);
    std::vector<double> switched, alone, ratio, switchedUi, aloneUi;
    long switchedShown = 0, aloneShown = 0, sent = 0;
    for (int r = 0; r < rounds; ++r) {
        PlayRow rows[2]{};
        for (int step = 0; step < 2; ++step) {
            const int which = r % 2 == 0 ? step : 1 - step;
            rows[which] = which == 0 ? WallSwitchedToFour(server, 64, WM_LAYOUT_64) : WallSwitchedToFour(server, 4, WM_LAYOUT_4);
        }
        switched.push_back(rows[0].cores);
        alone.push_back(rows[1].cores);
        switchedUi.push_back(rows[0].uiCores);
        aloneUi.push_back(rows[1].uiCores);
        ratio.push_back(rows[0].cores / rows[1].cores);
        switchedShown += rows[0].shown;
        aloneShown += rows[1].shown;
        sent += rows[0].sent;
    }
    getloadavg(load, 3);
    std::printf("%-34s %28s %28s\n%-34s %28s %28s\n%-34s %28s\n", "64 switched to 4 (cores, UI thread)",
                Spread(switched).c_str(), Spread(switchedUi).c_str(), "4 alone (cores, UI thread)", Spread(alone).c_str(),
                Spread(aloneUi).c_str(), "ratio", Spread(ratio).c_str());
    std::printf("(frames painted by the 4 shown cells: switched %ld, alone %ld, of %ld sent; load average at the end "
                "%.2f)\n",
                switchedShown, aloneShown, sent, load[0]);
}

// Field-wise medians of a few rounds (the machines are shared and noisy); memory is the first round's,
// since later rounds reuse what the earlier ones freed.
PlayRow Median(std::vector<PlayRow> rows)
{
    auto median = [&rows](auto field) {
        std::vector<std::decay_t<decltype(rows[0].*field)>> values;
        for (const PlayRow& row : rows)
            values.push_back(row.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(&PlayRow::cores), median(&PlayRow::uiCores), median(&PlayRow::shown), median(&PlayRow::sent),
            rows[0].mbPerCell};
}

// One line of the table, with the ratios of its own figures.
void PrintPlayRow(const char* name, const PlayRow& bare, const PlayRow& surfaces, const PlayRow& wall,
                  const PlayRow& ffmpeg)
{
    auto cores = [](const PlayRow& row) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f (%.3f)", row.cores, row.uiCores);
        return std::string(text);
    };
    std::printf("%-18s %15s %15s %15s %8.3f %10.2f %10.2f %10.2f %10.2f %7ld / %-6ld %7ld / %-6ld %8.2f %8.2f %8.2f\n",
                name, cores(bare).c_str(), cores(surfaces).c_str(), cores(wall).c_str(), ffmpeg.cores,
                wall.cores / bare.cores, wall.cores / surfaces.cores, wall.cores / ffmpeg.cores,
                bare.cores / ffmpeg.cores, surfaces.shown, surfaces.sent, wall.shown, wall.sent, bare.mbPerCell,
                surfaces.mbPerCell, wall.mbPerCell);
}

// WALL_BENCH_ONLY picks parts of the run: a comma list of "relayout", "16", "64" and "hidden"; all when unset.
bool Selected(const std::string& part)
{
    const char* only = std::getenv("WALL_BENCH_ONLY");
    if (only == nullptr)
        return true;
    const std::string list = std::string(",") + only + ",";
    return list.find("," + part + ",") != std::string::npos;
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

    if (Selected("relayout"))
        Relayout();

    const int rounds = std::max(1, std::getenv("WALL_BENCH_ROUNDS") ? std::atoi(std::getenv("WALL_BENCH_ROUNDS")) : 3);
    std::printf("\nPlaying at once (%d s after %d s warm-up each), CPU of this process in cores (of which the UI "
                "thread); %d rounds in turn, then the medians (ratios: the medians of the rounds' ratios)\n",
                kMeasureMs / 1000, kWarmupMs / 1000, rounds);
    double load[3] = {-1, -1, -1};
    getloadavg(load, 3);
    std::printf("(ffmpeg: as many `ffmpeg -threads 1 -f null` processes on the same streams, their cores; load "
                "average %.2f)\n", load[0]);
    std::printf("%-18s %15s %15s %15s %8s %10s %10s %10s %10s %15s %15s %8s %8s %8s\n", "", "bare", "surfaces", "wall",
                "ffmpeg", "wall/bare", "wall/surf", "wall/ffm", "bare/ffm", "surf shown/sent", "wall shown/sent",
                "MB bare", "MB surf", "MB wall");
    struct Case {
        const char* name;
        const char* prefix;
        int count;
        UINT layout;
        int width, height;
    };
    for (const Case& c : {Case{"16 cells 640x360", "MID", 16, WM_LAYOUT_16, 640, 360},
                          Case{"64 cells 320x180", "SMALL", 64, WM_LAYOUT_64, 320, 180}}) {
        if (!Selected(std::to_string(c.count)))
            continue;
        std::vector<PlayRow> bare, surfaces, wall, ffmpeg;
        std::vector<double> toBare, toSurfaces, toFfmpeg, bareToFfmpeg;
        for (int r = 0; r < rounds; ++r) {
            // Every other round runs backwards, so that a drift of the machine favours no configuration.
            PlayRow row[4];
            for (int step = 0; step < 4; ++step) {
                const int which = r % 2 == 0 ? step : 3 - step;
                if (which == 0)
                    row[0] = Bare(server, c.prefix, c.count, c.width, c.height);
                else if (which == 1)
                    row[1] = Surfaces(server, c.prefix, c.count, c.width, c.height);
                else if (which == 2)
                    row[2] = Wall(server, c.prefix, c.count, c.layout, c.width, c.height);
                else
                    row[3] = Ffmpeg(server, c.prefix, c.count);
            }
            bare.push_back(row[0]);
            surfaces.push_back(row[1]);
            wall.push_back(row[2]);
            ffmpeg.push_back(row[3]);
            toBare.push_back(row[2].cores / row[0].cores);
            toSurfaces.push_back(row[2].cores / row[1].cores);
            toFfmpeg.push_back(row[2].cores / row[3].cores);
            bareToFfmpeg.push_back(row[0].cores / row[3].cores);
            PrintPlayRow(("  round " + std::to_string(r + 1)).c_str(), row[0], row[1], row[2], row[3]);
        }
        PrintPlayRow(c.name, Median(bare), Median(surfaces), Median(wall), Median(ffmpeg));
        getloadavg(load, 3);
        std::printf("  ratios, median [range] of the rounds: wall/bare %s, wall/surfaces %s, wall/ffmpeg %s, "
                    "bare/ffmpeg %s; load average %.2f\n",
                    Spread(toBare).c_str(), Spread(toSurfaces).c_str(), Spread(toFfmpeg).c_str(),
                    Spread(bareToFfmpeg).c_str(), load[0]);
    }
    if (Selected("hidden"))
        HiddenCells(server, rounds);
    server.Stop();
    std::filesystem::remove_all(folder);
    return 0;
}
