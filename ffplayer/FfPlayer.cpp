#include "FfPlayer.h"

#include "AudioOutput.h"
#include "FlvRecorder.h"
#include "FrameScaler.h"
#include "PlayerHost.h"
#include "PngWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cctype>
#include <cstring>

namespace ffplayer {

namespace {

constexpr std::size_t kMaxHeldPackets = 600;  // bounds the key-frame buffer of streams with very long GOPs
constexpr std::chrono::milliseconds kPositionInterval{500};

// Streams come from cameras over the network only: whatever an address names, FFmpeg may open nothing
// but these (a playlist naming a local file, a redirect to one, are refused too).
constexpr const char* kNetworkProtocols = "http,https,tcp,tls";

// The address with its scheme in lower case (FFmpeg's protocol names are), or empty when it is not an
// http or https address.
std::string NetworkAddress(const char* url)
{
    std::string address(url);
    const std::size_t colon = address.find("://");
    if (colon == std::string::npos)
        return {};
    std::transform(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(colon), address.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string scheme = address.substr(0, colon);
    return scheme == "http" || scheme == "https" ? address : std::string();
}

// The size of the pictures that `key`, a key frame, starts under the codec set-up `video`, found by
// decoding it with a decoder of its own; false when it does not decode.
bool PictureSize(const AVCodecParameters* video, const AVPacket* key, int& width, int& height)
{
    const AVCodec* codec = avcodec_find_decoder(video->codec_id);
    AVCodecContext* decoder = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    AVFrame* frame = av_frame_alloc();
    bool decoded = false;
    if (decoder != nullptr && frame != nullptr && avcodec_parameters_to_context(decoder, video) >= 0) {
        decoder->thread_count = 1;
        if (avcodec_open2(decoder, codec, nullptr) >= 0 && avcodec_send_packet(decoder, key) >= 0 &&
            avcodec_send_packet(decoder, nullptr) >= 0 && avcodec_receive_frame(decoder, frame) >= 0) {
            width = frame->width;
            height = frame->height;
            decoded = true;
        }
    }
    av_frame_free(&frame);
    avcodec_free_context(&decoder);
    return decoded;
}

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

// What one opened stream needs on the worker thread; freed when the worker ends.
class FfPlayer::Session {
public:
    ~Session()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&decoder);
        avformat_close_input(&input);
    }

    // Connects, probes and opens the decoder of the first video stream.
    bool Open(FfPlayer* player, const std::string& url, PlayMode mode)
    {
        input = avformat_alloc_context();
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (input == nullptr || packet == nullptr || frame == nullptr)
            return false;
        input->interrupt_callback = AVIOInterruptCB{&FfPlayer::Interrupt, player};
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", kNetworkProtocols, 0);
        if (mode == PM_REALTIME) {
            // A small probe lets a live stream show its first frame within ~100 ms instead of seconds.
            // No "nobuffer" flag: with a small probe it throws away the key frame read while probing.
            av_dict_set(&options, "probesize", "32", 0);
            av_dict_set(&options, "analyzeduration", "300000", 0);
        }
        const int opened = avformat_open_input(&input, url.c_str(), nullptr, &options);
        av_dict_free(&options);
        if (opened < 0)
            return false;  // avformat_open_input freed the context
        if (avformat_find_stream_info(input, nullptr) < 0)
            return false;
        videoIndex = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (videoIndex < 0)
            return false;
        audioIndex = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, videoIndex, nullptr, 0);
        const AVStream* stream = input->streams[videoIndex];
        const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
        decoder = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
        if (decoder == nullptr || avcodec_parameters_to_context(decoder, stream->codecpar) < 0)
            return false;
        decoder->thread_count = 1;  // frame threads add a frame of delay per thread; one thread is plenty
        decoder->flags |= AV_CODEC_FLAG_LOW_DELAY;
        return avcodec_open2(decoder, codec, nullptr) >= 0;
    }

    AVFormatContext* input = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int videoIndex = -1;
    int audioIndex = -1;
    FrameScaler scaler;
    std::unique_ptr<AudioOutput> audio;  // null while no output exists
    bool audioTried = false;
};

FfPlayer::FfPlayer() : lastFrame_(av_frame_alloc())
{
    static std::once_flag networkInit;
    std::call_once(networkInit, [] { avformat_network_init(); });
}

FfPlayer::~FfPlayer()
{
    Stop();
    av_frame_free(&lastFrame_);
}

int FfPlayer::Interrupt(void* opaque)
{
    auto* player = static_cast<FfPlayer*>(opaque);
    return player->stopRequested_.load() || NowNs() > player->deadlineNs_.load() ? 1 : 0;
}

void FfPlayer::ExtendDeadline(std::chrono::milliseconds timeout)
{
    deadlineNs_.store(NowNs() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count());
}

bool FfPlayer::Transition(std::initializer_list<PlayState> from, PlayState to)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(from.begin(), from.end(), GetPlayState()) == from.end())
        return false;
    SetState(to);
    return true;
}

int FfPlayer::Open(const char* url, void* window)
{
    const std::string address = url != nullptr ? NetworkAddress(url) : std::string();
    if (address.empty())
        return -1;
    Stop();
    std::lock_guard<std::mutex> lock(controlMutex_);
    videoWidth_.store(0);
    videoHeight_.store(0);
    lengthMs_.store(0);
    positionMs_.store(0);
    ExtendDeadline(kOpenTimeout);
    SetState(PS_OPENING);
    worker_ = std::thread(&FfPlayer::Run, this, address, window, Mode());
    return 0;
}

void FfPlayer::Stop()
{
    std::lock_guard<std::mutex> control(controlMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopRequested_.store(true);
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
    stopRequested_.store(false);
    showing_.store(false);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (recorder_) {
            recorder_->Finish();
            recorder_.reset();
        }
        if (GetPlayState() != PS_IDLE)
            SetState(PS_STOPPED);
    }
    {
        // A snapshot being written finishes first: nothing of the stream outlives Stop.
        std::lock_guard<std::mutex> lock(snapshotMutex_);
        if (snapshotThread_.joinable())
            snapshotThread_.join();
    }
    std::lock_guard<std::mutex> frame(frameMutex_);
    av_frame_unref(lastFrame_);
}

void FfPlayer::Play()
{
    bool changed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const PlayState state = GetPlayState();
        changed = state == PS_OPENED || state == PS_PAUSED;
        if (changed) {
            showing_.store(true);
            SetState(recorder_ ? PS_RECORDING : PS_PLAYING);
        }
    }
    wake_.notify_all();
    if (changed)
        Notify(PE_STATE_CHANGED);
}

void FfPlayer::Resume() { Play(); }

void FfPlayer::Pause()
{
    if (Transition({PS_PLAYING, PS_RECORDING}, PS_PAUSED)) {
        showing_.store(false);
        Notify(PE_STATE_CHANGED);
    }
}

int FfPlayer::StartRecord(const char* path)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const PlayState state = GetPlayState();
        if (path == nullptr || *path == '\0' || recorder_ || streamParams_ == nullptr ||
            (state != PS_OPENED && state != PS_PLAYING && state != PS_PAUSED))
            return -1;
        recorder_ = FlvRecorder::Create(path, streamParams_, streamTimeBase_);
        if (!recorder_)
            return -1;
        // Start with the group of pictures in progress, so the file begins at a key frame without
        // losing the moment the user asked for.
        for (const AVPacket* held : gop_)
            recorder_->Write(held);
        PlayEvent failure = PE_RECORD_FAILED;
        if (EndFailedRecording(failure))
            return -1;
        if (state == PS_PLAYING)
            SetState(PS_RECORDING);
    }
    wake_.notify_all();  // a parked worker connects again for the recording
    Notify(PE_STATE_CHANGED);
    return 0;
}

int FfPlayer::StopRecord()
{
    bool complete;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!recorder_)
            return -1;
        complete = recorder_->Finish();
        recorder_.reset();
        if (GetPlayState() == PS_RECORDING)
            SetState(PS_PLAYING);
    }
    Notify(PE_STATE_CHANGED);
    return complete ? 0 : -1;
}

int FfPlayer::Snapshot(const char* path)
{
    if (path == nullptr || *path == '\0')
        return -1;
    AVFrame* frame;
    {
        std::lock_guard<std::mutex> lock(frameMutex_);
        if (lastFrame_->data[0] == nullptr)
            return -1;
        frame = av_frame_clone(lastFrame_);
    }
    if (frame == nullptr)
        return -1;
    std::lock_guard<std::mutex> lock(snapshotMutex_);
    if (snapshotThread_.joinable())
        snapshotThread_.join();
    // PNG encoding of a large frame takes tens of milliseconds: keep it off the caller and the decoder.
    snapshotThread_ = std::thread([this, frame, target = std::string(path)]() mutable {
        const PngResult result = WritePng(frame, target);
        av_frame_free(&frame);
        Notify(result == PngResult::Written   ? PE_SNAPSHOT_SAVED
               : result == PngResult::NoSpace ? PE_SNAPSHOT_NO_SPACE
                                              : PE_SNAPSHOT_FAILED);
    });
    return 0;
}

void FfPlayer::SetMute(bool mute)
{
    muted_.store(mute);
    WakeWorker();  // sound to be heard: a parked worker connects again
}

void FfPlayer::VisibilityChanged() { WakeWorker(); }

void FfPlayer::WakeWorker()
{
    // Under the lock, so that the change cannot fall between the worker's test and its wait.
    std::lock_guard<std::mutex> lock(mutex_);
    wake_.notify_all();
}

void FfPlayer::SetDisplayRect(int, int, int width, int height)
{
    const bool valid = width > 0 && height > 0;
    displayRect_.store(valid ? (static_cast<std::uint64_t>(width) << 32) | static_cast<std::uint32_t>(height) : 0);
}

void FfPlayer::GetVideoSize(int* width, int* height)
{
    if (width != nullptr)
        *width = videoWidth_.load();
    if (height != nullptr)
        *height = videoHeight_.load();
}

void FfPlayer::Record(const AVPacket* packet)
{
    const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
    PlayEvent failure = PE_RECORD_FAILED;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (key)
            DropHeldPackets();
        if ((key || !gop_.empty()) && gop_.size() < kMaxHeldPackets)
            if (AVPacket* copy = av_packet_clone(packet))
                gop_.push_back(copy);
        if (!recorder_)
            return;
        recorder_->Write(packet);  // skipped until a key frame when the held ones did not start the file
        if (!EndFailedRecording(failure))
            return;
    }
    Notify(failure);
}

bool FfPlayer::EndFailedRecording(PlayEvent& failure)
{
    if (!recorder_->Failed())
        return false;
    failure = recorder_->FailedForSpace() ? PE_RECORD_NO_SPACE : PE_RECORD_FAILED;
    recorder_->Finish();
    recorder_.reset();
    if (GetPlayState() == PS_RECORDING)
        SetState(PS_PLAYING);
    return true;
}

void FfPlayer::DropHeldPackets()
{
    for (AVPacket*& held : gop_)
        av_packet_free(&held);
    gop_.clear();
}

void FfPlayer::KeepFrame(const AVFrame* frame)
{
    std::lock_guard<std::mutex> lock(frameMutex_);
    av_frame_unref(lastFrame_);
    av_frame_ref(lastFrame_, frame);
}

void FfPlayer::AdoptStream(const Session& session)
{
    const AVStream* stream = session.input->streams[session.videoIndex];
    videoWidth_.store(stream->codecpar->width);
    videoHeight_.store(stream->codecpar->height);
    if (streamParams_ == nullptr)
        streamParams_ = avcodec_parameters_alloc();
    avcodec_parameters_copy(streamParams_, stream->codecpar);
    streamTimeBase_ = stream->time_base;
    // A recording asked for while parked is headed by the connection its frames come from: the
    // camera may have changed its picture size meanwhile.
    if (recorder_)
        recorder_->UseStream(streamParams_, streamTimeBase_);
}

void FfPlayer::FollowStreamChange(const Session& session, const AVPacket* packet)
{
    std::size_t size = 0;
    const std::uint8_t* extradata = av_packet_get_side_data(packet, AV_PKT_DATA_NEW_EXTRADATA, &size);
    if (extradata == nullptr || size == 0)
        return;
    {
        // Cameras may repeat their set-up before every key frame: only a different one is a change.
        std::lock_guard<std::mutex> lock(mutex_);
        if (streamParams_ != nullptr && streamParams_->extradata_size == static_cast<int>(size) &&
            std::memcmp(streamParams_->extradata, extradata, size) == 0)
            return;
    }
    // The demuxer keeps the stream's first set-up: the new one is its parameters with the announced
    // codec set-up and the size its key frame decodes to.
    AVCodecParameters* changed = avcodec_parameters_alloc();
    int width = 0, height = 0;
    const bool ready = changed != nullptr &&
                       avcodec_parameters_copy(changed, session.input->streams[session.videoIndex]->codecpar) >= 0 &&
                       av_reallocp(&changed->extradata, size + AV_INPUT_BUFFER_PADDING_SIZE) >= 0;
    if (ready) {
        std::memcpy(changed->extradata, extradata, size);
        std::memset(changed->extradata + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
        changed->extradata_size = static_cast<int>(size);
    }
    if (ready && PictureSize(changed, packet, width, height)) {
        changed->width = width;
        changed->height = height;
        std::lock_guard<std::mutex> lock(mutex_);
        if (streamParams_ != nullptr && avcodec_parameters_copy(streamParams_, changed) >= 0) {
            videoWidth_.store(width);
            videoHeight_.store(height);
            if (recorder_)
                recorder_->UseStream(streamParams_, streamTimeBase_);
        }
    }
    avcodec_parameters_free(&changed);
}

bool FfPlayer::Unattended(bool hasAudio) const
{
    return !Visible() && !recorder_ && !(hasAudio && !muted_.load());
}

FfPlayer::Parking FfPlayer::ParkUntilNeeded(std::unique_ptr<Session>& session, const std::string& url,
                                            PlayMode mode)
{
    const bool hasAudio = session->audioIndex >= 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!Unattended(hasAudio))
            return Parking::NotNeeded;
        // A recording started while parked begins at the new connection's first key frame, not with
        // pictures from before the gap.
        DropHeldPackets();
    }
    session.reset();  // closes the connection
    {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopRequested_.load() || !Unattended(hasAudio); });
    }
    if (stopRequested_.load())
        return Parking::Ended;
    session = std::make_unique<Session>();
    ExtendDeadline(kOpenTimeout);
    if (!session->Open(this, url, mode))
        return Parking::Ended;
    ExtendDeadline(kStallTimeout);
    std::lock_guard<std::mutex> lock(mutex_);
    AdoptStream(*session);
    return Parking::Reconnected;
}

void FfPlayer::Run(std::string url, void* window, PlayMode mode)
{
    auto session = std::make_unique<Session>();
    if (!session->Open(this, url, mode)) {
        if (!stopRequested_.load() && Transition({PS_OPENING}, PS_FAILED))
            Notify(PE_OPEN_FAILED);
        return;
    }
    std::int64_t length = session->input->duration > 0 ? session->input->duration / 1000 : 0;
    lengthMs_.store(length);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        AdoptStream(*session);
        SetState(PS_OPENED);
    }
    Notify(PE_OPENED);
    if (length > 0)
        PostToWindow(window, kPlayerLengthMessage, 0, static_cast<std::intptr_t>(length));
    {
        // Nothing more is read until Play: a live stream waits in the socket for the few milliseconds
        // the window takes, and a file is not decoded away before anyone watches.
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return showing_.load() || stopRequested_.load(); });
    }

    ExtendDeadline(kStallTimeout);
    std::int64_t firstPts = AV_NOPTS_VALUE;
    std::int64_t positionBaseMs = 0;  // the position the first frame after a reconnect counts from
    std::int64_t lastFrameNs = 0;
    std::int64_t hiddenSinceNs = 0;  // 0 while the window is seen
    std::int64_t nextPositionNs = 0;
    bool firstShown = false;
    bool decoding = true;  // false from a hidden window's packet until the first key frame once it is shown
    while (!stopRequested_.load()) {
        // A live stream left unwatched is closed for the time being; a replay would lose its place.
        if (Visible())
            hiddenSinceNs = 0;
        else if (hiddenSinceNs == 0)
            hiddenSinceNs = NowNs();
        if (length == 0 && hiddenSinceNs != 0 &&
            NowNs() - hiddenSinceNs >= std::chrono::nanoseconds(kParkGrace).count()) {
            const Parking parking = ParkUntilNeeded(session, url, mode);
            if (parking == Parking::Ended)
                break;
            if (parking == Parking::Reconnected) {
                // The new connection's timestamps start again: positions go on from the wall clock.
                decoding = false;
                hiddenSinceNs = 0;
                if (lastFrameNs != 0)
                    positionBaseMs = positionMs_.load() + (NowNs() - lastFrameNs) / 1000000;
                firstPts = AV_NOPTS_VALUE;
            }
        }
        if (av_read_frame(session->input, session->packet) < 0)
            break;
        if (stopRequested_.load()) {  // a read cut short by Stop may hold half a frame
            av_packet_unref(session->packet);
            break;
        }
        // A replay announces a new length after a seek: positions count from there again.
        if (length > 0 && session->input->duration > 0 && session->input->duration / 1000 != length) {
            length = session->input->duration / 1000;
            lengthMs_.store(length);
            firstPts = AV_NOPTS_VALUE;
            PostToWindow(window, kPlayerLengthMessage, 0, static_cast<std::intptr_t>(length));
        }
        if (session->packet->stream_index == session->audioIndex && session->audioIndex >= 0) {
            // The output is looked for at the first sound, so that it never delays the first picture.
            if (!session->audioTried) {
                session->audioTried = true;
                session->audio = AudioOutput::OpenDefault(session->input->streams[session->audioIndex]->codecpar);
            }
            if (session->audio)
                session->audio->Push(session->packet, muted_.load(), volume_.load());
        }
        if (session->packet->stream_index == session->videoIndex) {
            FollowStreamChange(*session, session->packet);
            Record(session->packet);
            // Nobody sees a hidden window's frames: the decoder is skipped. Shown again, it starts at
            // a key frame with nothing left of the pictures before the gap.
            if (!Visible()) {
                decoding = false;
            } else if (!decoding && (session->packet->flags & AV_PKT_FLAG_KEY) != 0) {
                avcodec_flush_buffers(session->decoder);
                decoding = true;
            }
            if (!decoding)
                ExtendDeadline(kStallTimeout);  // undecoded packets still prove the stream alive
            if (decoding && avcodec_send_packet(session->decoder, session->packet) >= 0) {
                const AVRational timeBase = session->input->streams[session->videoIndex]->time_base;
                while (avcodec_receive_frame(session->decoder, session->frame) >= 0) {
                    ExtendDeadline(kStallTimeout);
                    AVFrame* frame = session->frame;
                    videoWidth_.store(frame->width);
                    videoHeight_.store(frame->height);
                    KeepFrame(frame);
                    lastFrameNs = NowNs();
                    const std::int64_t pts = frame->best_effort_timestamp;
                    if (firstPts == AV_NOPTS_VALUE)
                        firstPts = pts;
                    if (pts != AV_NOPTS_VALUE)
                        positionMs_.store(positionBaseMs +
                                          av_rescale_q(pts - firstPts, timeBase, AVRational{1, 1000}));
                    if (showing_.load()) {
                        const std::uint64_t rect = displayRect_.load();
                        const int width = rect != 0 ? static_cast<int>(rect >> 32) : frame->width;
                        const int height = rect != 0 ? static_cast<int>(rect & 0xffffffffu) : frame->height;
                        ShowFrame(window, frame, width, height, session->scaler);
                        if (!firstShown) {
                            firstShown = true;
                            Notify(PE_FIRST_FRAME);
                        }
                    }
                    if (length > 0 && NowNs() >= nextPositionNs) {
                        nextPositionNs = NowNs() + std::chrono::nanoseconds(kPositionInterval).count();
                        PostToWindow(window, kPlayerPositionMessage, 0,
                                     static_cast<std::intptr_t>(positionMs_.load()));
                    }
                    av_frame_unref(frame);
                }
            }
        }
        av_packet_unref(session->packet);
    }

    // The last position of a stream with a length, so that its window can tell a stream that played
    // to its end from one that broke (positions are otherwise sent only twice a second).
    if (length > 0 && !stopRequested_.load())
        PostToWindow(window, kPlayerPositionMessage, 0, static_cast<std::intptr_t>(positionMs_.load()));
    bool failed = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        avcodec_parameters_free(&streamParams_);
        DropHeldPackets();
        // The stream ended, broke or stalled (or could not be opened again after a pause in watching):
        // a frozen picture must not look live. A recording in progress stays open until StopRecord or
        // Stop finalises it.
        if (!stopRequested_.load()) {
            failed = true;
            SetState(PS_FAILED);
        }
    }
    if (failed)
        Notify(PE_PLAY_FAILED);
}

}  // namespace ffplayer
