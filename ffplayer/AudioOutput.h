#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;
struct pa_simple;

namespace ffplayer {

// Plays a stream's audio: decodes on the caller's thread, converts to 16-bit stereo and hands the
// samples to a writer thread that feeds the output (which may block). Push never blocks, and at most
// about a second of sound waits, so a slow or stuck output can never hold up the picture.
// Push is called by one thread; the queue is guarded by mutex_.
class AudioOutput {
public:
    // The sound server's default output, through PulseAudio's simple API (PipeWire serves it too),
    // or null when there is no server.
    static std::unique_ptr<AudioOutput> OpenDefault(const AVCodecParameters* input);
    // Any FFmpeg output format and address (tests write raw samples to a file); null on failure.
    static std::unique_ptr<AudioOutput> Open(const char* format, const char* url, const AVCodecParameters* input);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // One packet of the audio stream at `volume` percent (0 to 100); muted audio is decoded but not played.
    void Push(const AVPacket* packet, bool muted, int volume = 100);

private:
    AudioOutput() = default;
    bool StartDecoder(const AVCodecParameters* input);
    bool ConnectServer();
    bool OpenMuxer(const char* format, const char* url);
    void Queue(const AVFrame* frame, int volume);
    void WriteLoop();
    // Hands samples to the output, on the writer thread; false when the output failed.
    bool Write(const std::vector<std::uint8_t>& samples);

    pa_simple* server_ = nullptr;     // the sound server's stream, or
    AVFormatContext* output_ = nullptr;  // a muxer
    AVPacket* packet_ = nullptr;
    std::int64_t written_ = 0;  // sample frames handed to the muxer, its timestamps
    AVCodecContext* decoder_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVFrame* frame_ = nullptr;
    int sampleRate_ = 0;

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::vector<std::uint8_t>> queue_;
    std::size_t queuedBytes_ = 0;
    bool stopping_ = false;
    std::thread writer_;
};

}  // namespace ffplayer
