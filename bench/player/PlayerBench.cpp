// Measures the player library side by side with FFmpeg's own tools on the simulated cameras' streams:
// CPU per displayed frame against `ffmpeg -threads 1 -i URL -f null -` (with and without our
// conversion to BGRA, to part the cost), time to first frame against ffplay (needs an X display: run
// under Xvfb), both as an in-process open and as a process of ours
// (player_first_frame) against whole ffplay and ffmpeg processes, and 16 / 64 players at once. Each
// comparison runs a few rounds in alternating order and prints median [lowest-highest], with the
// load average. PLAYER_BENCH_ONLY (a comma list of "cpu", "first", "many") picks parts;
// PLAYER_BENCH_ROUNDS sets the rounds (3).
#include "ChildProcess.h"
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
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>


namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

using ScratchHost::Frames;
using ScratchHost::FirstFrameNs;
using ScratchHost::NowNs;

struct CpuRow {
    int width, height;
    double oursMs, ffmpegMs;
};

// Our player's steady-state CPU per displayed frame, next to the CPU per frame of one ffmpeg process
// decoding the same camera at the same time, both over the same window after the same warm-up. Both
// probe little (the live stream's frame rate is the same for both, so ffmpeg decodes as many frames
// as ours shows); ffmpeg's CPU is read from /proc while it runs, so its start and probing fall outside.
// The stream carries video only, so neither decodes sound. Without `convert` the window lends no
// buffer: the player decodes and offers every frame but converts none, which parts its cost per frame
// into decoding (with delivery) and the conversion to BGRA.
CpuRow MeasureCpuPerFrame(const ServerProcess& server, const std::string& camera, int width, int height, bool convert)
{
    const ChildRun ffmpeg = Spawn({"ffmpeg", "-nostdin", "-loglevel", "error", "-threads", "1", "-probesize", "32",
                                   "-analyzeduration", "300000", "-i", server.Url(camera), "-f", "null", "-"},
                                  false);
    PlayInterface* player = CreatePlayerObject();
    void* window = convert ? ScratchHost::Window(1) : ScratchHost::CountingWindow(1);
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
    const double ffmpegBefore = ProcessCpuSeconds(ffmpeg.pid);
    std::this_thread::sleep_for(10s);
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const double ffmpegCpu = ProcessCpuSeconds(ffmpeg.pid) - ffmpegBefore;
    const int frames = Frames(1) - framesBefore;
    DeletePlayerObject(player);
    kill(ffmpeg.pid, SIGKILL);
    WaitCpu(ffmpeg.pid);
    return {width, height, frames > 0 ? cpu * 1000.0 / frames : -1, frames > 0 ? ffmpegCpu * 1000.0 / frames : -1};
}

// "median [lowest-highest]" with the given number of decimals.
std::string Spread(std::vector<double> values, int decimals)
{
    if (values.empty())
        return "-";
    std::sort(values.begin(), values.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.*f [%.*f-%.*f]", decimals, values[values.size() / 2], decimals, values.front(),
                  decimals, values.back());
    return text;
}

std::vector<double> Ratios(const std::vector<double>& top, const std::vector<double>& bottom)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < top.size() && i < bottom.size(); ++i)
        if (top[i] > 0 && bottom[i] > 0)
            ratios.push_back(top[i] / bottom[i]);
    return ratios;
}

double LoadAverage()
{
    double load[3] = {-1, -1, -1};
    getloadavg(load, 3);
    return load[0];
}

bool Selected(const std::string& part)
{
    const char* only = std::getenv("PLAYER_BENCH_ONLY");
    return only == nullptr || (std::string(",") + only + ",").find("," + part + ",") != std::string::npos;
}

// Milliseconds from spawning the command to the first line on its standard output (our player's
// process writes one at its first frame) or, with `untilExit`, to its exit; -1 when it fails.
double ProcessTimeToFirstFrame(const std::vector<std::string>& args, bool untilExit)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::int64_t start = NowNs();
    pid_t pid = -1;
    const bool spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    double result = -1;
    if (spawned) {
        char byte;
        const bool line = read(fds[0], &byte, 1) == 1;
        int status = 0;
        if (line && !untilExit)
            result = (NowNs() - start) / 1e6;
        if (line) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        } else {
            waitpid(pid, &status, 0);
            if (untilExit && WIFEXITED(status) && WEXITSTATUS(status) == 0)
                result = (NowNs() - start) / 1e6;
        }
    }
    close(fds[0]);
    return result;
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

    const int rounds = std::max(1, std::getenv("PLAYER_BENCH_ROUNDS") ? std::atoi(std::getenv("PLAYER_BENCH_ROUNDS")) : 3);
    if (Selected("cpu")) {
        std::printf("\nCPU per displayed frame (steady state; ours decodes + converts to BGRA, ffmpeg decodes to null; "
                    "\"unconverted\": ours offered the frames by a window that lends no buffer), %d rounds, sizes "
                    "and modes in alternating order; load average %.2f\n",
                    rounds, LoadAverage());
        const std::pair<const char*, std::pair<int, int>> sizes[] = {
            {"CPU320", {320, 180}}, {"CPU640", {640, 360}}, {"CPU1280", {1280, 720}}};
        std::vector<double> ours[3], ffmpeg[3], bare[3], bareFfmpeg[3];
        for (int r = 0; r < rounds; ++r)
            for (int step = 0; step < 6; ++step) {
                const int k = r % 2 == 0 ? step / 2 : 2 - step / 2;
                const bool convert = (step + r) % 2 == 0;
                const CpuRow row =
                    MeasureCpuPerFrame(server, sizes[k].first, sizes[k].second.first, sizes[k].second.second, convert);
                (convert ? ours : bare)[k].push_back(row.oursMs);
                (convert ? ffmpeg : bareFfmpeg)[k].push_back(row.ffmpegMs);
            }
        std::printf("%-10s %22s %22s %18s %18s\n", "size", "ours ms", "ffmpeg -threads 1 ms", "ratio",
                    "unconverted ratio");
        for (int k = 0; k < 3; ++k)
            std::printf("%4dx%-5d %22s %22s %18s %18s\n", sizes[k].second.first, sizes[k].second.second,
                        Spread(ours[k], 3).c_str(), Spread(ffmpeg[k], 3).c_str(),
                        Spread(Ratios(ours[k], ffmpeg[k]), 2).c_str(), Spread(Ratios(bare[k], bareFfmpeg[k]), 2).c_str());
        std::printf("(load average at the end %.2f)\n", LoadAverage());
    }

    if (Selected("first")) {
        const int firstRounds = std::max(5, rounds);
        std::printf("\nTime to first frame, 640x360 live, ms, %d rounds in alternating order; load average %.2f\n",
                    firstRounds, LoadAverage());
        const std::string url = server.Url("FIRST");
        std::vector<std::function<double()>> measures = {
            [&] { return OurTimeToFirstFrame(server, "FIRST"); },
            [&] { return FfplayTimeToFirstFrame(server, "FIRST", false); },
            [&] { return FfplayTimeToFirstFrame(server, "FIRST", true); },
            [&] { return ProcessTimeToFirstFrame({PLAYER_FIRST_FRAME, url}, false); },
            [&] {
                return ProcessTimeToFirstFrame({"ffmpeg", "-nostdin", "-loglevel", "error", "-threads", "1", "-probesize",
                                                "32", "-analyzeduration", "300000", "-i", url, "-frames:v", "1", "-f",
                                                "null", "-"},
                                               true);
            },
        };
        std::vector<std::vector<double>> times(measures.size());
        for (int r = 0; r < firstRounds; ++r)
            for (std::size_t step = 0; step < measures.size(); ++step) {
                const std::size_t k = r % 2 == 0 ? step : measures.size() - 1 - step;
                times[k].push_back(measures[k]());
            }
        const char* names[] = {"ours in process: Open -> first frame at host", "ffplay URL: start -> first frame",
                               "ffplay -probesize 32 -analyzeduration 0.3s", "ours as a process: start -> first frame",
                               "ffmpeg -frames:v 1 (small probe): start -> exit"};
        for (std::size_t k = 0; k < measures.size(); ++k)
            std::printf("%-48s %22s\n", names[k], Spread(times[k], 0).c_str());
        std::printf("%-48s %22s\n", "ratio ours in process / ffplay (as before)", Spread(Ratios(times[0], times[1]), 2).c_str());
        std::printf("%-48s %22s\n", "ratio ours in process / ffplay small probe", Spread(Ratios(times[0], times[2]), 2).c_str());
        std::printf("%-48s %22s\n", "ratio our process / ffplay small probe process", Spread(Ratios(times[3], times[2]), 2).c_str());
        std::printf("%-48s %22s\n", "ratio our process / ffmpeg process", Spread(Ratios(times[3], times[4]), 2).c_str());
    }

    if (!Selected("many")) {
        server.Stop();
        return 0;
    }
    std::printf("\nMany players at once (10 s steady state; 2 cores)\n");
    std::printf("%-16s %10s %14s %18s %12s\n", "players", "cores", "server cores", "frames shown/sent", "MB/player");
    for (const WallRow& row : {MeasureWall(server, "MID", 16, 640, 360), MeasureWall(server, "SMALL", 64, 320, 180)}) {
        std::printf("%3d x %4dx%-5d %10.3f %14.3f %10d/%-7d %12.2f\n", row.players, row.width, row.height, row.cores,
                    row.serverCores, row.delivered, row.expected, row.mbPerPlayer);
    }
    server.Stop();
    return 0;
}
