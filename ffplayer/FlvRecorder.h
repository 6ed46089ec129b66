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
// frame and its timestamps start at 0. The header (picture size, codec set-up) is written with the
// first frame, from the stream given last, so a stream that changed its size before the recording's
// first frame (a parked player's new connection, or a camera resized mid-stream) heads the file with
// the size its frames have. Each packet goes to the file as soon as it is written, so a
// process killed while recording loses at most the packet in flight and the file still plays (readers
// take its length from the last tag). A failed write (a full disk) stops the recording: the file is
// cut back to its last whole packet. Used by one thread at a time (the player guards it with a lock).
class FlvRecorder {
public:
    // Creates the file for a stream of these parameters; null when the file cannot be created.
    static std::unique_ptr<FlvRecorder> Create(const std::string& path, const AVCodecParameters* video,
                                               AVRational timeBase);
    ~FlvRecorder();
    FlvRecorder(const FlvRecorder&) = delete;
    FlvRecorder& operator=(const FlvRecorder&) = delete;

    // The packets to come belong to a stream of these parameters (a new connection, or a new set-up
    // announced on the same one); taken when no frame has been written yet, ignored after.
    void UseStream(const AVCodecParameters* video, AVRational timeBase);
    // Writes one packet of the recorded stream; packets before the first key frame are skipped, and
    // the first key frame is preceded by the header.
    void Write(const AVPacket* packet);
    bool Started() const { return started_; }
    // True once a write to the file failed; nothing more is written.
    bool Failed() const { return failed_; }
    // True when the failed write found no room (disk or quota full, file size limit reached).
    bool FailedForSpace() const;
    // Writes the trailer (the muxer then fills in duration and size) and closes the file.
    // False when no frame was written (the empty file is removed) or writing failed (the file then
    // keeps every whole packet written before the failure).
    bool Finish();

private:
    FlvRecorder(std::string path, AVFormatContext* output, AVRational timeBase);
    // Hands what the muxer holds to the file; false (and the recorder failed) when that fails.
    bool Flush();

    std::string path_;
    AVFormatContext* output_;
    AVRational inputTimeBase_;
    bool started_ = false;
    bool failed_ = false;
    int error_ = 0;               // the AVERROR of the failed write
    std::int64_t writtenEnd_ = 0;  // file size after the last packet that reached the file whole
    std::int64_t base_ = 0;
    std::int64_t lastDts_ = INT64_MIN;
};

}  // namespace ffplayer
