// Measures the player library side by side with FFmpeg's own tools on the simulated cameras' streams:
// CPU per displayed frame against `ffmpeg -threads 1 -i URL -f null -`, time to first frame against
// ffplay (needs an X display: run under Xvfb), and 16 / 64 players at once. Prints one table.
#include "PlayInterface.h"
#include "ProcessUsage.h"
#include "ScratchHost.h"
#include "ServerProcess.h"

extern "C" {
#include <libavutil/log.h>
}

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

using ScratchHost::Frames;
using ScratchHost::FirstFrameNs;
using ScratchHost::NowNs;

double ProcessCpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    // Fields after the command: state is field 3; utime and stime are fields 14 and 15.
    std::vector<std::string> fields;
    std::size_t start = close + 2;
    while (start < line.size()) {
        const std::size_t end = line.find(' ', start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (fields.size() < 13)
        return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct ChildRun {
    pid_t pid = -1;
    int errFd = -1;
};

ChildRun Spawn(const std::vector<std::string>& args, bool keepStderr)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    int fds[2] = {-1, -1};
    if (keepStderr) {
        if (pipe(fds) != 0)
            std::exit(1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    ChildRun run;
    if (posix_spawnp(&run.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        run.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (keepStderr) {
        close(fds[1]);
        run.errFd = fds[0];
    }
    return run;
}

// CPU seconds (user + system) of a finished child.
double WaitCpu(pid_t pid)
{
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) < 0)
        return -1;
    return CpuSeconds(usage);
}

struct CpuRow {
    int width, height;
    double oursMs, ffmpegMs;
};

// Our player's steady-state CPU per displayed frame, next to ffmpeg's marginal CPU per decoded frame
// (two ffmpeg runs of different lengths, so that process start and probing cancel out), all three
// running at once on the same camera.
CpuRow MeasureCpuPerFrame(const ServerProcess& server, const std::string& camera, int width, int height)
{
    const int shortFrames = 24, longFrames = 24 + 12 * 12;
    auto ffmpeg = [&](int frames) {
        return Spawn({"ffmpeg", "-nostdin", "-loglevel", "error", "-threads", "1", "-i", server.Url(camera), "-frames:v",
                      std::to_string(frames), "-f", "null", "-"},
                     false);
    };
    const ChildRun shortRun = ffmpeg(shortFrames);
    const ChildRun longRun = ffmpeg(longFrames);

    PlayInterface* player = CreatePlayerObject();
    void* window = ScratchHost::Window(1);
    Frames(1) = 0;
    player->SetPlayMode(PM_REALTIME);
    player->SetDisplayRect(0, 0, width, height);
    player->Open(server.Url(camera).c_str(), window);
    while (player->GetPlayState() == PS_OPENING)
        std::this_thread::sleep_for(5ms);
    player->Play();
    std::this_thread::sleep_for(2s);  // past the join burst
    const int framesBefore = Frames(1);
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    std::this_thread::sleep_for(10s);
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const int frames = Frames(1) - framesBefore;
    DeletePlayerObject(player);

    const double shortCpu = WaitCpu(shortRun.pid);
    const double longCpu = WaitCpu(longRun.pid);
    return {width, height, frames > 0 ? cpu * 1000.0 / frames : -1,
            (longCpu - shortCpu) * 1000.0 / (longFrames - shortFrames)};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// Milliseconds from Open to the first frame handed to the host.
double OurTimeToFirstFrame(const ServerProcess& server, const std::string& camera)
{
    PlayInterface* player = CreatePlayerObject();
    void* window = ScratchHost::Window(2);
    FirstFrameNs(2) = 0;
    player->SetPlayMode(PM_REALTIME);
    const std::int64_t start = NowNs();
    player->Open(server.Url(camera).c_str(), window);
    while (player->GetPlayState() == PS_OPENING)
        std::this_thread::sleep_for(1ms);
    player->Play();
    for (int i = 0; i < 5000 && FirstFrameNs(2) == 0; ++i)
        std::this_thread::sleep_for(1ms);
    const std::int64_t first = FirstFrameNs(2);
    DeletePlayerObject(player);
    return first == 0 ? -1 : (first - start) / 1e6;
}

// Milliseconds from starting ffplay to its first filtered (about to be shown) frame; -1 without display.
double FfplayTimeToFirstFrame(const ServerProcess& server, const std::string& camera, bool smallProbe)
{
    std::vector<std::string> args = {"ffplay", "-loglevel", "info", "-nostats", "-an", "-vf", "showinfo"};
    if (smallProbe)
        args.insert(args.end(), {"-probesize", "32", "-analyzeduration", "300000"});
    args.push_back(server.Url(camera));
    const std::int64_t start = NowNs();
    ChildRun run = Spawn(args, true);
    std::string output;
    char buffer[4096];
    double result = -1;
    fcntl(run.errFd, F_SETFL, O_NONBLOCK);
    while (NowNs() - start < 15'000'000'000LL) {
        const ssize_t got = read(run.errFd, buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
            if (output.find("n:   0") != std::string::npos || output.find("n:0 ") != std::string::npos) {
                result = (NowNs() - start) / 1e6;
                break;
            }
        } else if (got == 0) {
            break;  // ffplay ended (no display)
        } else {
            std::this_thread::sleep_for(1ms);
        }
    }
    // ffplay can hang in its exit path (display teardown): give it a moment, then kill it.
    kill(run.pid, SIGTERM);
    for (int i = 0; i < 200 && waitpid(run.pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(10ms);
    if (kill(run.pid, 0) == 0) {
        kill(run.pid, SIGKILL);
        waitpid(run.pid, nullptr, 0);
    }
    close(run.errFd);
    return result;
}

struct WallRow {
    int players, width, height;
    double cores, serverCores;
    int delivered, expected;
    double mbPerPlayer;
};

WallRow MeasureWall(ServerProcess& server, const std::string& prefix, int count, int width, int height)
{
    const double rssBefore = RssMb();
    std::vector<PlayInterface*> players;
    for (int i = 0; i < count; ++i) {
        const int index = 10 + i;
        Frames(index) = 0;
        PlayInterface* player = CreatePlayerObject();
        player->SetPlayMode(PM_REALTIME);
        player->SetDisplayRect(0, 0, width, height);
        player->Open(server.Url(prefix + std::to_string(i)).c_str(), ScratchHost::Window(index));
        players.push_back(player);
    }
    for (PlayInterface* player : players) {
        while (player->GetPlayState() == PS_OPENING)
            std::this_thread::sleep_for(5ms);
        player->Play();
    }
    std::this_thread::sleep_for(3s);
    std::vector<int> before(count);
    for (int i = 0; i < count; ++i)
        before[i] = Frames(10 + i);
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double serverBefore = ProcessCpuSeconds(server.pid);
    const auto wallStart = Clock::now();
    std::this_thread::sleep_for(10s);
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const double serverCpu = ProcessCpuSeconds(server.pid) - serverBefore;
    int delivered = 0;
    for (int i = 0; i < count; ++i)
        delivered += Frames(10 + i) - before[i];
    const double rssAfter = RssMb();
    for (PlayInterface*& player : players)
        DeletePlayerObject(player);
    return {count, width, height, cpu / wall, serverCpu / wall, delivered,
            static_cast<int>(count * wall * 12.0 + 0.5), (rssAfter - rssBefore) / count};
}

}  // namespace

int main()
{
    setvbuf(stdout, nullptr, _IOLBF, 0);  // show each table line as it is measured
    ServerProcess::Cameras cameras = {
        {"CPU320", {320, 180}}, {"CPU640", {640, 360}}, {"CPU1280", {1280, 720}}, {"FIRST", {640, 360}}};
    for (int i = 0; i < 16; ++i)
        cameras.push_back({"MID" + std::to_string(i), {640, 360}});
    for (int i = 0; i < 64; ++i)
        cameras.push_back({"SMALL" + std::to_string(i), {320, 180}});
    std::fprintf(stderr, "encoding %zu camera loops...\n", cameras.size());
    ServerProcess server;
    server.Start(cameras);  // before any thread of this process exists
    av_log_set_level(AV_LOG_ERROR);
    ScratchHost::Install();

    std::printf("\nCPU per displayed frame (steady state; ours decodes + converts to BGRA, ffmpeg decodes to null)\n");
    std::printf("%-10s %12s %14s %8s\n", "size", "ours ms", "ffmpeg -t1 ms", "ratio");
    for (const auto& [camera, size] : {std::pair{"CPU320", std::pair{320, 180}}, std::pair{"CPU640", std::pair{640, 360}},
                                       std::pair{"CPU1280", std::pair{1280, 720}}}) {
        const CpuRow row = MeasureCpuPerFrame(server, camera, size.first, size.second);
        std::printf("%4dx%-5d %12.3f %14.3f %7.2fx\n", row.width, row.height, row.oursMs, row.ffmpegMs,
                    row.oursMs / row.ffmpegMs);
    }

    std::printf("\nTime to first frame, 640x360 live (median of 5)\n");
    std::vector<double> ours, ffplay, ffplaySmall;
    for (int i = 0; i < 5; ++i) {
        ours.push_back(OurTimeToFirstFrame(server, "FIRST"));
        ffplay.push_back(FfplayTimeToFirstFrame(server, "FIRST", false));
        ffplaySmall.push_back(FfplayTimeToFirstFrame(server, "FIRST", true));
    }
    const double oursMs = Median(ours);
    std::printf("%-44s %8.0f ms\n", "ours: Open -> first frame at the host", oursMs);
    std::printf("%-44s %8.0f ms  (ours %.2fx of it)\n", "ffplay URL: start -> first frame", Median(ffplay),
                oursMs / Median(ffplay));
    std::printf("%-44s %8.0f ms  (ours %.2fx of it)\n", "ffplay -probesize 32 -analyzeduration 0.3s", Median(ffplaySmall),
                oursMs / Median(ffplaySmall));

    std::printf("\nMany players at once (10 s steady state; 2 cores)\n");
    std::printf("%-16s %10s %14s %18s %12s\n", "players", "cores", "server cores", "frames shown/sent", "MB/player");
    for (const WallRow& row : {MeasureWall(server, "MID", 16, 640, 360), MeasureWall(server, "SMALL", 64, 320, 180)}) {
        std::printf("%3d x %4dx%-5d %10.3f %14.3f %10d/%-7d %12.2f\n", row.players, row.width, row.height, row.cores,
                    row.serverCores, row.delivered, row.expected, row.mbPerPlayer);
    }
    server.Stop();
    return 0;
}
