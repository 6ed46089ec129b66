// Prints figures (not pass/fail):
//  1. round trip of a queued device command (cmd 12): command queue -> IM client -> prosody -> simulated
//     camera -> reply -> IM thread -> posted event -> reply router, p50/p99 over 1,000 commands, beside
//     a bare gloox echo between two plain clients through the same prosody in the same run;
//  2. time to queue 10,000 commands and until the camera received them all, beside the same number of
//     messages sent by a plain gloox client.
#include "ClientRig.h"
#include "EchoClients.h"
#include "PrivateProsody.h"

#include "PlaceholderVideo.h"
#include "SimCamera.h"
#include "device/CommandTexts.h"

#include <glog/logging.h>

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRoundTrips = 1000;
constexpr int kBurst = 10000;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Stats {
    double p50, p99;
};
Stats Percentiles(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

// Ping-pong between two plain clients, every step on the pinger's own thread.
std::vector<double> BareEcho(int port)
{
    PlainClient echo("echo", "pw", port), pinger("pinger", "pw", port);
    echo.onMessage = [&](const std::string& from, const std::string& body) { echo.Send(from, body); };
    std::vector<double> samples;
    std::atomic<bool> done{false};
    Clock::time_point sent;
    auto ping = [&] {
        sent = Clock::now();
        pinger.Send("echo", CommandTexts::VideoParam());
    };
    pinger.onMessage = [&](const std::string&, const std::string&) {
        samples.push_back(Ms(Clock::now() - sent));
        if (samples.size() < static_cast<size_t>(kRoundTrips + 50))
            ping();
        else
            done.store(true);
    };
    echo.Start();
    if (!echo.WaitConnected(std::chrono::seconds(5)))
        return {};
    pinger.onConnected = ping;
    pinger.Start();
    while (!done.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    samples.erase(samples.begin(), samples.begin() + 50);  // warm-up
    return samples;
}

std::vector<double> DeviceRoundTrip(ClientRig& rig)
{
    std::vector<double> samples;
    for (int i = 0; i < kRoundTrips + 50; ++i) {
        const size_t before = rig.window.lines.size();
        const auto start = Clock::now();
        rig.params.ReqVideoParam("cam");
        while (rig.window.lines.size() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);  // no busy loop on 2 cores
        samples.push_back(Ms(Clock::now() - start));
    }
    samples.erase(samples.begin(), samples.begin() + 50);
    return samples;
}

}  // namespace

int main(int argc, char** argv)
{
    google::InitGoogleLogging(argv[0]);
    FLAGS_minloglevel = 2;  // the IM client logs every stanza at INFO; keep it out of the timing
    QCoreApplication app(argc, argv);
    PrivateProsody server;
    server.AddAccount("u", "pw");
    server.AddAccount("cam", "c");
    server.AddAccount("echo", "pw");
    server.AddAccount("pinger", "pw");
    server.SetRoster("u", {{"cam", "cam"}});
    server.SetRoster("cam", {{"u", ""}});
    if (!server.Start()) {
        std::fprintf(stderr, "im_bench: %s\n", server.Error().c_str());
        return 1;
    }
    SimCamera::Settings settings;
    settings.port = server.Port();
    settings.domain = KELVUE_DEVICE_DOMAIN;
    PlaceholderVideo video(1);
    SimCamera camera({"cam", "c", "cam", true}, settings, video, nullptr);

    const Stats echo = Percentiles(BareEcho(server.Port()));

    ClientRig rig;
    rig.Connect("u", "pw", server.Port());
    if (!PumpUntil([&] { return rig.im.IsOnline("cam"); }, 10000)) {
        std::fprintf(stderr, "im_bench: the camera did not come online\n");
        return 1;
    }
    PumpFor(500);  // the online sequence and its replies
    const Stats device = Percentiles(DeviceRoundTrip(rig));

    std::printf("round trip over prosody, %d samples (ms):\n", kRoundTrips);
    std::printf("  bare gloox echo (reference)        p50 %.3f  p99 %.3f\n", echo.p50, echo.p99);
    std::printf("  queued cmd 12 -> camsim -> router  p50 %.3f  p99 %.3f   ratio p50 %.2f  p99 %.2f\n",
                device.p50, device.p99, device.p50 / echo.p50, device.p99 / echo.p99);

    // Burst: cmd 60 has no reply, so only the sending side is measured.
    size_t base = camera.ReceivedCount();
    auto start = Clock::now();
    for (int i = 0; i < kBurst; ++i)
        rig.params.PostCmd("cam", CommandTexts::DeviceOnline());
    const double queued = Ms(Clock::now() - start);
    while (camera.ReceivedCount() < base + kBurst)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double delivered = Ms(Clock::now() - start);

    // The IM client's own send path alone (no queue): a fresh message session per message.
    base = camera.ReceivedCount();
    start = Clock::now();
    for (int i = 0; i < kBurst; ++i)
        rig.im.SendMsg(DeviceJid("cam"), CommandTexts::DeviceOnline());
    const double directSent = Ms(Clock::now() - start);
    while (camera.ReceivedCount() < base + kBurst)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double directDelivered = Ms(Clock::now() - start);

    base = camera.ReceivedCount();
    std::atomic<bool> sentAll{false};
    PlainClient sender("pinger", "pw", server.Port());
    Clock::time_point plainStart;
    sender.onConnected = [&] {
        plainStart = Clock::now();
        for (int i = 0; i < kBurst; ++i)
            sender.Send("cam", CommandTexts::DeviceOnline());
        sentAll.store(true);
    };
    sender.Start();
    while (camera.ReceivedCount() < base + kBurst)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double plainDelivered = Ms(Clock::now() - plainStart);
    std::printf("%d commands to one camera (ms):\n", kBurst);
    std::printf("  plain gloox client sending (reference)  all received after %.1f\n", plainDelivered);
    std::printf("  PostCmd x %d                            queued in %.2f, all received after %.1f   ratio %.2f\n",
                kBurst, queued, delivered, delivered / plainDelivered);
    std::printf("  CIMClient::SendMsg x %d (no queue)      sent in %.1f, all received after %.1f   ratio %.2f\n",
                kBurst, directSent, directDelivered, directDelivered / plainDelivered);
    rig.Disconnect();
    return 0;
}
