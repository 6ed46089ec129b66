#include "FlvRecorder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace ffplayer {

std::unique_ptr<FlvRecorder> FlvRecorder::Create(const std::string& path, const AVCodecParameters* video,
                                                 AVRational timeBase)
{
    AVFormatContext* output = nullptr;
    if (avformat_alloc_output_context2(&output, nullptr, "flv", path.c_str()) < 0 || output == nullptr)
        return nullptr;
    AVStream* stream = avformat_new_stream(output, nullptr);
    if (stream == nullptr || avcodec_parameters_copy(stream->codecpar, video) < 0) {
        avformat_free_context(output);
        return nullptr;
    }
    stream->codecpar->codec_tag = 0;  // let the FLV muxer pick its own tag
    stream->time_base = AVRational{1, 1000};
    if (avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
        avformat_free_context(output);
        return nullptr;
    }
    return std::unique_ptr<FlvRecorder>(new FlvRecorder(path, output, timeBase));
}

FlvRecorder::FlvRecorder(std::string path, AVFormatContext* output, AVRational timeBase)
    : path_(std::move(path)), output_(output), inputTimeBase_(timeBase)
{
}

bool FlvRecorder::Flush()
{
    AVIOContext* file = output_->pb;
    avio_flush(file);
    if (file->error < 0) {
        failed_ = true;
        error_ = file->error;
        return false;
    }
    writtenEnd_ = avio_tell(file);
    return true;
}

bool FlvRecorder::FailedForSpace() const
{
    return error_ == AVERROR(ENOSPC) || error_ == AVERROR(EFBIG) || error_ == AVERROR(EDQUOT);
}

FlvRecorder::~FlvRecorder() { Finish(); }

void FlvRecorder::UseStream(const AVCodecParameters* video, AVRational timeBase)
{
    if (output_ == nullptr || started_)
        return;
    AVCodecParameters* recorded = output_->streams[0]->codecpar;
    if (avcodec_parameters_copy(recorded, video) < 0) {
        failed_ = true;
        error_ = AVERROR(ENOMEM);
        return;
    }
    recorded->codec_tag = 0;
    inputTimeBase_ = timeBase;
}

void FlvRecorder::Write(const AVPacket* packet)
{
    if (output_ == nullptr || failed_)
        return;
    const std::int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (!started_) {
        if ((packet->flags & AV_PKT_FLAG_KEY) == 0 || dts == AV_NOPTS_VALUE)
            return;
        const int headed = avformat_write_header(output_, nullptr);
        if (headed < 0 || !Flush()) {
            failed_ = true;
            error_ = output_->pb->error < 0 ? output_->pb->error : headed;
            return;
        }
        started_ = true;
        base_ = dts;
    }
    AVPacket* copy = av_packet_clone(packet);
    if (copy == nullptr)
        return;
    copy->stream_index = 0;
    copy->dts = dts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : dts - base_;
    copy->pts = packet->pts == AV_NOPTS_VALUE ? copy->dts : packet->pts - base_;
    av_packet_rescale_ts(copy, inputTimeBase_, output_->streams[0]->time_base);
    // A stream that jumps back (a reconnecting server) must not produce a file the muxer refuses.
    if (copy->dts <= lastDts_) {
        const std::int64_t shift = lastDts_ + 1 - copy->dts;
        copy->dts += shift;
        copy->pts += shift;
    }
    lastDts_ = copy->dts;
    const int written = av_write_frame(output_, copy);
    av_packet_free(&copy);
    if (written < 0) {
        failed_ = true;
        error_ = output_->pb->error < 0 ? output_->pb->error : written;
        return;
    }
    Flush();
}

bool FlvRecorder::Finish()
{
    if (output_ == nullptr)
        return false;
    const bool wrote = started_ && !failed_;
    // After a failed write the muxer's state is not the file's: no trailer, and the half-written
    // packet is cut off, so that the file ends with a whole one. Without a frame there is no header.
    const bool trailer = wrote && av_write_trailer(output_) == 0;
    const bool closed = avio_closep(&output_->pb) == 0;
    avformat_free_context(output_);
    output_ = nullptr;
    if (!started_)
        std::remove(path_.c_str());
    else if (failed_ && truncate(path_.c_str(), writtenEnd_) != 0)
        return false;  // the file keeps the broken packet at its end: readers stop there
    return wrote && trailer && closed;
}

}  // namespace ffplayer
