// camsim: simulated cameras for the client's device protocol. Logs every camera into the IM server,
// answers device commands, pushes alarm notices, and serves a control interface on loopback.

#include "CameraList.h"
#include "CloudAlarmReporter.h"
#include "ControlServer.h"
#include "StreamFaultRoutes.h"
#include "video/StreamServer.h"
#include "SimCamera.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

const char* kUsage =
    "usage: camsim (--db CLOUDSIM_DB | --camera ID:PASSWORD ...) [--control-port N (8090)]\n"
    "              [--im-host H (127.0.0.1)] [--im-port N (5222)] [--domain D (kelvue.local)]\n"
    "              [--video-port N (8091)] [--cloudsim-port N (8000)] [--cloudsim-alarm-path P (/sim/alarm)]\n"
    "              [--alarm-every SECONDS (0: only on demand)] [--reboot-ms N (3000)]\n";

struct Options {
    std::string db;
    std::vector<SimCamera::Account> cameras;
    int controlPort = 8090;
    int videoPort = 8091;
    int cloudsimPort = 8000;
    std::string cloudsimAlarmPath = "/sim/alarm";
    SimCamera::Settings settings;
};

bool ParsePort(const char* text, int& out)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 65535)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            error = "missing value after " + arg;
            return false;
        }
        const char* value = argv[++i];
        int number = 0;
        bool ok = true;
        if (arg == "--db") o.db = value;
        else if (arg == "--camera") {
            SimCamera::Account account;
            ok = CameraList::FromText(value, account);
            o.cameras.push_back(account);
        } else if (arg == "--control-port") ok = ParsePort(value, o.controlPort);
        else if (arg == "--video-port") ok = ParsePort(value, o.videoPort);
        else if (arg == "--cloudsim-port") ok = ParsePort(value, o.cloudsimPort);
        else if (arg == "--cloudsim-alarm-path") o.cloudsimAlarmPath = value;
        else if (arg == "--im-host") o.settings.server = value;
        else if (arg == "--im-port") ok = ParsePort(value, o.settings.port);
        else if (arg == "--domain") o.settings.domain = value;
        else if (arg == "--alarm-every") {
            number = std::atoi(value);
            ok = number >= 0;
            o.settings.alarmEvery = std::chrono::seconds(number);
        } else if (arg == "--reboot-ms") {
            number = std::atoi(value);
            ok = number >= 0;
            o.settings.rebootTime = std::chrono::milliseconds(number);
        } else {
            error = "unknown option " + arg;
            return false;
        }
        if (!ok) {
            error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    if (!o.db.empty() && !CameraList::FromDatabase(o.db, o.cameras, error))
        return false;
    if (o.cameras.empty()) {
        error = "no cameras to run";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!ParseArgs(argc, argv, options, error)) {
        std::cerr << "camsim: " << error << "\n" << kUsage;
        return 2;
    }
    // A client or the IM server that goes away while a camera writes to it must not end the cameras.
    std::signal(SIGPIPE, SIG_IGN);
    // SIGTERM and SIGINT are taken by one thread that stops the control server; every other thread
    // inherits the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    // The cameras announce their stream addresses, so a busy video port can fall back to any free one.
    camsim::StreamServer video;
    if (!video.Start(static_cast<std::uint16_t>(options.videoPort)) && !video.Start(0)) {
        std::cerr << "camsim: cannot serve video\n";
        return 1;
    }
    CloudAlarmReporter reporter(static_cast<std::uint16_t>(options.cloudsimPort), options.cloudsimAlarmPath);
    std::vector<std::unique_ptr<SimCamera>> cameras;
    std::map<std::string, SimCamera*> byId;
    for (const auto& account : options.cameras) {
        if (byId.count(account.deviceId) != 0)
            continue;
        cameras.push_back(std::make_unique<SimCamera>(account, options.settings, video, &reporter));
        byId[account.deviceId] = cameras.back().get();
    }
    // Open the control port only once the bound cameras that start online are logged in, so whoever
    // waits for the port finds them online (give up waiting after 8 s and say which are missing).
    // Unbound cameras have no IM account until someone binds them; they keep trying meanwhile.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    std::vector<const SimCamera*> awaited;
    for (const auto& camera : cameras)
        for (const auto& account : options.cameras)
            if (account.deviceId == camera->DeviceId() && account.online && account.bound)
                awaited.push_back(camera.get());
    for (const SimCamera* camera : awaited)
        while (!camera->IsConnected() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (const SimCamera* camera : awaited)
        if (!camera->IsConnected())
            std::cerr << "camsim: " << camera->DeviceId() << " is not logged in\n";

    ControlServer control(byId);
    StreamFaultRoutes::Add(control.Routes(), video, [&byId](const std::string& id) { return byId.count(id) != 0; });
    std::thread signalWaiter([&] {
        int received = 0;
        sigwait(&signals, &received);
        control.Stop();
    });
    std::cout << "camsim: " << cameras.size() << " cameras, control on 127.0.0.1:" << options.controlPort
              << std::endl;
    const bool listened = control.Listen(static_cast<std::uint16_t>(options.controlPort));
    if (!listened) {
        std::cerr << "camsim: cannot listen on 127.0.0.1:" << options.controlPort << "\n";
        pthread_kill(signalWaiter.native_handle(), SIGTERM);
    }
    signalWaiter.join();
    cameras.clear();
    return listened ? 0 : 1;
}
