#pragma once

#include "PlayInterface.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/rational.h>
}

struct AVCodecParameters;
struct AVFrame;
struct AVPacket;

namespace ffplayer {

class FlvRecorder;

// The library's player: one worker thread per opened stream reads, decodes and delivers frames; a
// short-lived thread encodes each snapshot. The public operations are meant for one controlling thread.
//
// Threads and locks:
// - controlMutex_ serialises Open/Stop/destruction (worker_ start and join);
// - mutex_ guards state transitions, recorder_, gop_, streamParams_/streamTimeBase_ (worker and controller),
//   and the worker's waits on wake_: whoever changes what such a wait tests (stopRequested_, showing_,
//   recorder_, the visibility, muted_) does so under mutex_ or takes it before notifying, so that no
//   wake-up falls between the worker's test and its wait;
// - frameMutex_ guards lastFrame_ (written by the worker, read by Snapshot);
// - snapshotMutex_ guards snapshotThread_;
// - the remaining members are atomics.
class FfPlayer final : public PlayInterface {
public:
    FfPlayer();
    ~FfPlayer() override;

    int Open(const char* url, void* window) override;
    void Stop() override;
    void Play() override;
    void Resume() override;
    void Pause() override;
    std::int64_t GetPosition() override { return positionMs_.load(); }
    int StartRecord(const char* path) override;
    int StopRecord() override;
    int Snapshot(const char* path) override;
    void SetDisplayRect(int x, int y, int width, int height) override;
    void GetVideoSize(int* width, int* height) override;
    std::int64_t GetLength() override { return lengthMs_.load(); }
    int GetVolume() override { return volume_.load(); }
    void SetVolume(int volume) override { volume_.store(volume < 0 ? 0 : volume > 100 ? 100 : volume); }
    int IsMuted() override { return muted_.load() ? 1 : 0; }
    void SetMute(bool mute) override;

    // No decoded frame for this long while a stream is open counts as a broken stream.
    static constexpr std::chrono::milliseconds kStallTimeout{4000};
    static constexpr std::chrono::milliseconds kOpenTimeout{10000};
    // A live stream nobody sees or hears and nothing records is closed after being hidden this long;
    // shorter hides (a layout switched back and forth) keep the connection.
    static constexpr std::chrono::milliseconds kParkGrace{1500};

private:
    class Session;
    friend class Session;

    void Run(std::string url, void* window, PlayMode mode);
    // With mutex_ held: takes the open stream's parameters and size (for recordings and GetVideoSize),
    // also for a recording that has not written its first frame yet.
    void AdoptStream(const Session& session);
    // A new codec set-up announced on the open connection (a camera that changed its picture size
    // mid-stream, with the key frame `packet`): recordings to come are headed with it and
    // GetVideoSize reports its size, also while nothing is decoded.
    void FollowStreamChange(const Session& session, const AVPacket* packet);
    // With mutex_ held: true while nothing needs the stream read: the window is hidden, nothing
    // records and no sound is heard.
    bool Unattended(bool hasAudio) const;
    enum class Parking { NotNeeded, Reconnected, Ended };
    // Closes the session's connection if nothing needs it, waits until something does, then opens the
    // address again into a new session. Ended when the stream is to end: stopped, or the new
    // connection failed.
    Parking ParkUntilNeeded(std::unique_ptr<Session>& session, const std::string& url, PlayMode mode);
    void VisibilityChanged() override;
    // Wakes the worker's wait after a change that its wait tests outside mutex_.
    void WakeWorker();
    // Writes the packet to the recording (and holds it for the next one's start); a recording whose
    // write failed is ended and reported.
    void Record(const AVPacket* packet);
    // With mutex_ held: ends a recording whose write failed (the file keeps what was written) and says
    // which event reports it; false while it records.
    bool EndFailedRecording(PlayEvent& failure);
    // With mutex_ held: forgets the packets held for a recording's start.
    void DropHeldPackets();
    void KeepFrame(const AVFrame* frame);
    void ExtendDeadline(std::chrono::milliseconds timeout);
    // Moves from one of `from` to `to` under mutex_; true when it did.
    bool Transition(std::initializer_list<PlayState> from, PlayState to);
    static int Interrupt(void* opaque);

    std::mutex controlMutex_;
    std::thread worker_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<std::int64_t> deadlineNs_{0};  // steady-clock time after which blocking I/O is abandoned

    std::mutex mutex_;
    // With mutex_: the opened worker waits for Play or Stop, a parked one to be needed again or Stop.
    std::condition_variable wake_;
    std::unique_ptr<FlvRecorder> recorder_;
    AVCodecParameters* streamParams_ = nullptr;  // of the open video stream; null when none
    AVRational streamTimeBase_{1, 1000};

    std::vector<AVPacket*> gop_;  // packets since the last key frame, for a recording's start

    std::mutex frameMutex_;
    AVFrame* lastFrame_;

    std::mutex snapshotMutex_;
    std::thread snapshotThread_;

    std::atomic<bool> showing_{false};
    std::atomic<std::uint64_t> displayRect_{0};  // width << 32 | height; 0 = the video's own size
    std::atomic<int> videoWidth_{0};
    std::atomic<int> videoHeight_{0};
    std::atomic<std::int64_t> lengthMs_{0};
    std::atomic<std::int64_t> positionMs_{0};
    std::atomic<bool> muted_{false};
    std::atomic<int> volume_{100};
};

}  // namespace ffplayer
