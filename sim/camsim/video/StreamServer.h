#pragma once

#include "EncodedLoop.h"
#include "ReplayClips.h"
#include "VideoAddressSource.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>

namespace camsim {

// The cameras' video over HTTP-FLV on loopback. Live: GET /live/<deviceId>.flv, an endless 12 fps
// H.264 stream at the camera's current size and view that a new viewer joins at the last key frame. Replay:
// GET /replay/<n>.flv, a finite stream of the searched period paced by its speed, which seeks and
// speed changes steer. Each camera's picture loop is encoded once per size on first use and then
// only copied, so dozens of viewers cost almost no CPU.
//
// Threads: one accept thread and one thread per connection. mutex_ guards cameras_, replays_,
// connections_, loops_ and stopping_; wake_ (with mutex_) wakes the connection threads on changes.
class StreamServer : public VideoAddressSource {
public:
    enum class LiveFault {
        None,
        Drop,   // close the camera's live connections and refuse new ones
        Stall,  // keep the connections open but send nothing
    };

    StreamServer();
    ~StreamServer() override;
    StreamServer(const StreamServer&) = delete;
    StreamServer& operator=(const StreamServer&) = delete;

    // Listens on 127.0.0.1:port (0 = any free port). False when the port cannot be bound.
    bool Start(std::uint16_t port = 0);
    void Stop();
    std::uint16_t Port() const { return port_; }

    std::string LiveUrl(const std::string& deviceId) override;
    // A new replay of [startUtc, endUtc) (seconds); empty when the period is empty or the id unusable.
    std::string ReplayUrl(const std::string& deviceId, std::int64_t startUtc, std::int64_t endUtc) override;

    // Size of the camera's live stream from now on (1280x720, 640x360 or 320x180); 640x360 by default.
    // Viewers already connected keep their size: the client restarts its cells after a change.
    void SetLiveSize(const std::string& deviceId, int width, int height) override;
    // The camera's view from now on. Its live viewers change over to the new view at the next key
    // frame (a loop per view is encoded when first shown; loops of views passed by are dropped).
    void SetView(const std::string& deviceId, int pan, int tilt, int zoom) override;
    // Speed factor (0.25 to 4) of a replay, applied at once to its open connection and to later ones.
    bool SetReplaySpeed(const std::string& replayUrl, double speed) override;
    // Moves a replay to `minutes` from the start of its period, at the key frame before that point.
    bool SeekReplay(const std::string& replayUrl, double minutes) override;
    // Ends a replay: its connections close and its address is refused from then on.
    bool CloseReplay(const std::string& replayUrl) override;
    // Test hook: a camera that changes its size mid-stream. As SetLiveSize, and the viewers already
    // connected change over to the new size at the next key frame (metadata and sequence header
    // announce it there).
    void ResizeLive(const std::string& deviceId, int width, int height);
    // Test hook: breaks or stalls a camera's live streams until set back to None.
    void SetLiveFault(const std::string& deviceId, LiveFault fault);
    // Encodes the camera's loop at its current size now instead of on the first viewer's request.
    void Prepare(const std::string& deviceId);

    int LiveViewerCount(const std::string& deviceId) const;

private:
    static constexpr int kMaxReplayWidth = 640;

    struct Camera {
        int width = 640;
        int height = 360;
        CameraView view;
        LiveFault fault = LiveFault::None;
        int viewers = 0;
        int resizes = 0;  // ResizeLive calls: connected viewers follow when it changes
    };
    struct Replay {
        std::string deviceId;
        std::int64_t startUtc = 0;  // when the recording begins: its pictures show their time
        std::int64_t lengthMs = 0;
        double speed = 1.0;
        std::int64_t startMs = 0;  // content position a new connection starts at (the last seek)
        int seekGeneration = 0;
        bool closed = false;
    };
    struct Connection {
        int fd = -1;
        std::thread thread;
        bool done = false;
    };
    using LoopKey = std::tuple<std::string, int, int, CameraView>;
    using Clock = std::chrono::steady_clock;

    void AcceptLoop();
    void Serve(Connection* connection);
    void ServeLive(int fd, const std::string& deviceId);
    void ServeReplay(int fd, int replayId);
    std::shared_ptr<const EncodedLoop> Loop(const std::string& deviceId, int width, int height,
                                            const CameraView& view = {});
    void ReapFinished();  // with mutex_ held
    int ReplayIdOf(const std::string& replayUrl) const;
    // Waits until `until`; false when the server stops first.
    bool SleepUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until);

    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    Clock::time_point epoch_;  // frame 0 of every live stream
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::map<std::string, Camera> cameras_;
    std::map<int, Replay> replays_;
    int nextReplayId_ = 1;
    std::list<Connection> connections_;
    std::map<LoopKey, std::shared_future<std::shared_ptr<const EncodedLoop>>> loops_;
    ReplayClips clips_;  // thread-safe on its own
};

}  // namespace camsim
