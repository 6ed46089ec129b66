#include "AudioOutput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace ffplayer {

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerFrame = kChannels * 2;  // interleaved 16-bit stereo

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::OpenDefault(const AVCodecParameters* input)
{
    static std::once_flag devices;
    std::call_once(devices, [] { avdevice_register_all(); });
    for (const char* device : {"pulse", "alsa"}) {
        if (av_guess_format(device, nullptr, nullptr) == nullptr)
            continue;
        if (auto output = Open(device, "default", input))
            return output;
    }
    return nullptr;
}

std::unique_ptr<AudioOutput> AudioOutput::Open(const char* format, const char* url, const AVCodecParameters* input)
{
    std::unique_ptr<AudioOutput> output(new AudioOutput);
    if (!output->Start(format, url, input))
        return nullptr;
    return output;
}

bool AudioOutput::Start(const char* format, const char* url, const AVCodecParameters* input)
{
    const AVCodec* codec = avcodec_find_decoder(input->codec_id);
    decoder_ = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    frame_ = av_frame_alloc();
    if (decoder_ == nullptr || frame_ == nullptr || avcodec_parameters_to_context(decoder_, input) < 0 ||
        avcodec_open2(decoder_, codec, nullptr) < 0 || decoder_->sample_rate <= 0)
        return false;
    sampleRate_ = decoder_->sample_rate;

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, sampleRate_, &decoder_->ch_layout,
                            decoder_->sample_fmt, sampleRate_, 0, nullptr) < 0 ||
        swr_init(resampler_) < 0)
        return false;

    if (avformat_alloc_output_context2(&output_, nullptr, format, url) < 0 || output_ == nullptr)
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
    if (avformat_write_header(output_, nullptr) < 0)
        return false;
    writer_ = std::thread(&AudioOutput::WriteLoop, this);
    return true;
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
        av_write_trailer(output_);
    }
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
    AVPacket* packet = av_packet_alloc();
    std::int64_t written = 0;  // sample frames handed to the output, its timestamps
    bool failed = packet == nullptr;
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
        if (failed || av_new_packet(packet, static_cast<int>(samples.size())) < 0)
            continue;  // an output that failed once is given nothing more
        std::memcpy(packet->data, samples.data(), samples.size());
        const std::int64_t frames = static_cast<std::int64_t>(samples.size()) / kBytesPerFrame;
        packet->pts = packet->dts = written;
        packet->duration = frames;
        packet->stream_index = 0;
        written += frames;
        failed = av_write_frame(output_, packet) < 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
}

}  // namespace ffplayer
