#include "AudioOutput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ffplayer {

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerFrame = kChannels * 2;  // interleaved 16-bit stereo
constexpr int kServerLatencyMs = 200;           // what the sound server holds: sound follows the picture closely

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::OpenDefault(const AVCodecParameters* input)
{
    std::unique_ptr<AudioOutput> output(new AudioOutput);
    if (!output->StartDecoder(input) || !output->ConnectServer())
        return nullptr;
    output->writer_ = std::thread(&AudioOutput::WriteLoop, output.get());
    return output;
}

std::unique_ptr<AudioOutput> AudioOutput::Open(const char* format, const char* url, const AVCodecParameters* input)
{
    std::unique_ptr<AudioOutput> output(new AudioOutput);
    if (!output->StartDecoder(input) || !output->OpenMuxer(format, url))
        return nullptr;
    output->writer_ = std::thread(&AudioOutput::WriteLoop, output.get());
    return output;
}

bool AudioOutput::StartDecoder(const AVCodecParameters* input)
{
    const AVCodec* codec = avcodec_find_decoder(input->codec_id);
    decoder_ = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    frame_ = av_frame_alloc();
    if (decoder_ == nullptr || frame_ == nullptr || avcodec_parameters_to_context(decoder_, input) < 0 ||
        avcodec_open2(decoder_, codec, nullptr) < 0 || decoder_->sample_rate <= 0)
        return false;
    sampleRate_ = decoder_->sample_rate;

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    return swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, sampleRate_, &decoder_->ch_layout,
                               decoder_->sample_fmt, sampleRate_, 0, nullptr) >= 0 &&
           swr_init(resampler_) >= 0;
}

bool AudioOutput::ConnectServer()
{
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = static_cast<std::uint32_t>(sampleRate_);
    spec.channels = kChannels;
    pa_buffer_attr buffering{};
    buffering.maxlength = static_cast<std::uint32_t>(-1);
    buffering.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kServerLatencyMs * 1000, &spec));
    buffering.prebuf = static_cast<std::uint32_t>(-1);
    buffering.minreq = static_cast<std::uint32_t>(-1);
    buffering.fragsize = static_cast<std::uint32_t>(-1);
    int error = 0;
    server_ = pa_simple_new(nullptr, program_invocation_short_name, PA_STREAM_PLAYBACK, nullptr, "video sound",
                            &spec, nullptr, &buffering, &error);
    if (server_ == nullptr)
        av_log(nullptr, AV_LOG_VERBOSE, "no sound output: %s\n", pa_strerror(error));
    return server_ != nullptr;
}

bool AudioOutput::OpenMuxer(const char* format, const char* url)
{
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    packet_ = av_packet_alloc();
    if (packet_ == nullptr || avformat_alloc_output_context2(&output_, nullptr, format, url) < 0 || output_ == nullptr)
        return false;
    AVStream* stream = avformat_new_stream(output_, nullptr);
    if (stream == nullptr)
        return false;
    stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    stream->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    stream->codecpar->sample_rate = sampleRate_;
    stream->codecpar->ch_layout = stereo;
    stream->codecpar->format = AV_SAMPLE_FMT_S16;
    stream->time_base = AVRational{1, sampleRate_};
    if ((output_->oformat->flags & AVFMT_NOFILE) == 0 && avio_open(&output_->pb, url, AVIO_FLAG_WRITE) < 0)
        return false;
    output_->flush_packets = 1;  // samples reach the output as they are written
    return avformat_write_header(output_, nullptr) >= 0;
}

AudioOutput::~AudioOutput()
{
    if (writer_.joinable()) {
        {
            // Sound still waiting is dropped: stopping must be prompt.
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            queue_.clear();
            queuedBytes_ = 0;
        }
        ready_.notify_all();
        writer_.join();
        if (output_ != nullptr)
            av_write_trailer(output_);
    }
    if (server_ != nullptr) {
        pa_simple_flush(server_, nullptr);  // what the server still holds is dropped too
        pa_simple_free(server_);
    }
    av_packet_free(&packet_);
    if (output_ != nullptr) {
        if ((output_->oformat->flags & AVFMT_NOFILE) == 0)
            avio_closep(&output_->pb);
        avformat_free_context(output_);
    }
    swr_free(&resampler_);
    av_frame_free(&frame_);
    avcodec_free_context(&decoder_);
}

void AudioOutput::Push(const AVPacket* packet, bool muted, int volume)
{
    if (avcodec_send_packet(decoder_, packet) < 0)
        return;
    while (avcodec_receive_frame(decoder_, frame_) >= 0) {
        if (!muted)
            Queue(frame_, volume);
        av_frame_unref(frame_);
    }
}

void AudioOutput::Queue(const AVFrame* frame, int volume)
{
    const int capacity = swr_get_out_samples(resampler_, frame->nb_samples);
    if (capacity <= 0)
        return;
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(capacity) * kBytesPerFrame);
    std::uint8_t* out = samples.data();
    const int converted = swr_convert(resampler_, &out, capacity, const_cast<const std::uint8_t**>(frame->extended_data),
                                      frame->nb_samples);
    if (converted <= 0)
        return;
    samples.resize(static_cast<std::size_t>(converted) * kBytesPerFrame);
    if (volume < 100) {
        auto* sample = reinterpret_cast<std::int16_t*>(samples.data());
        for (std::size_t i = 0; i < samples.size() / 2; ++i)
            sample[i] = static_cast<std::int16_t>(sample[i] * std::max(volume, 0) / 100);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queuedBytes_ += samples.size();
        queue_.push_back(std::move(samples));
        // Keep at most about a second waiting: an output that falls behind loses the oldest sound.
        while (queuedBytes_ > static_cast<std::size_t>(sampleRate_) * kBytesPerFrame && queue_.size() > 1) {
            queuedBytes_ -= queue_.front().size();
            queue_.pop_front();
        }
    }
    ready_.notify_one();
}

void AudioOutput::WriteLoop()
{
    bool failed = false;  // an output that failed once is given nothing more
    while (true) {
        std::vector<std::uint8_t> samples;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                break;
            samples = std::move(queue_.front());
            queue_.pop_front();
            queuedBytes_ -= samples.size();
        }
        failed = failed || !Write(samples);
    }
}

bool AudioOutput::Write(const std::vector<std::uint8_t>& samples)
{
    if (server_ != nullptr)
        return pa_simple_write(server_, samples.data(), samples.size(), nullptr) == 0;
    if (av_new_packet(packet_, static_cast<int>(samples.size())) < 0)
        return true;  // no memory for this piece: the next may fare better
    std::memcpy(packet_->data, samples.data(), samples.size());
    const std::int64_t frames = static_cast<std::int64_t>(samples.size()) / kBytesPerFrame;
    packet_->pts = packet_->dts = written_;
    packet_->duration = frames;
    packet_->stream_index = 0;
    written_ += frames;
    const bool written = av_write_frame(output_, packet_) >= 0;
    av_packet_unref(packet_);
    return written;
}

}  // namespace ffplayer
