#pragma once

#include <cstdint>
#include <memory>
#include <string>

extern "C" {
#include <libavutil/rational.h>
}

struct AVCodecParameters;
struct AVFormatContext;
struct AVPacket;

namespace ffplayer {

// Remuxes the received video packets into an FLV file without re-encoding: the file starts at a key
// frame and its timestamps start at 0. Used by one thread at a time (the player guards it with a lock).
class FlvRecorder {
public:
    // Opens the file and writes the header; null when the file cannot be created.
    static std::unique_ptr<FlvRecorder> Create(const std::string& path, const AVCodecParameters* video,
                                               AVRational timeBase);
    ~FlvRecorder();
    FlvRecorder(const FlvRecorder&) = delete;
    FlvRecorder& operator=(const FlvRecorder&) = delete;

    // Writes one packet of the recorded stream; packets before the first key frame are skipped.
    void Write(const AVPacket* packet);
    bool Started() const { return started_; }
    // Writes the trailer (the muxer then fills in duration and size) and closes the file.
    // False when no frame was written (the empty file is removed) or writing failed.
    bool Finish();

private:
    FlvRecorder(std::string path, AVFormatContext* output, AVRational timeBase);

    std::string path_;
    AVFormatContext* output_;
    AVRational inputTimeBase_;
    bool started_ = false;
    bool failed_ = false;
    std::int64_t base_ = 0;
    std::int64_t lastDts_ = INT64_MIN;
};

}  // namespace ffplayer
