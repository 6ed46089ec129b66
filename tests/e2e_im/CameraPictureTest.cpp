// camsim's live picture follows the camera's pan-tilt-zoom: decoded frames of a live stream, taken one
// picture loop apart (the same place in the picture's own animation), differ while a direction is
// held and are identical once it is released.
#include "CameraBehaviour.h"
#include "video/EncodedLoop.h"
#include "video/ReplayClock.h"
#include "video/StreamServer.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <cstdlib>
#include <optional>

namespace {

constexpr std::int64_t kLoopMs = 1000LL * camsim::EncodedLoop::kLength / camsim::EncodedLoop::kFramesPerSecond;

struct Frame {
    std::int64_t ptsMs = 0;
    std::vector<std::uint8_t> luma;
};

// Reads and decodes a live stream frame by frame.
class LiveReader {
public:
    ~LiveReader()
    {
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&decoder_);
        avformat_close_input(&input_);
    }
    bool Open(const std::string& url)
    {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "probesize", "32", 0);
        av_dict_set(&options, "analyzeduration", "300000", 0);
        const bool opened = avformat_open_input(&input_, url.c_str(), nullptr, &options) == 0;
        av_dict_free(&options);
        if (!opened || avformat_find_stream_info(input_, nullptr) < 0)
            return false;
        stream_ = av_find_best_stream(input_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (stream_ < 0)
            return false;
        const AVCodec* codec = avcodec_find_decoder(input_->streams[stream_]->codecpar->codec_id);
        decoder_ = avcodec_alloc_context3(codec);
        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        return decoder_ && avcodec_parameters_to_context(decoder_, input_->streams[stream_]->codecpar) >= 0 &&
               avcodec_open2(decoder_, codec, nullptr) >= 0;
    }
    std::optional<Frame> Next()
    {
        while (true) {
            if (avcodec_receive_frame(decoder_, frame_) == 0) {
                Frame out;
                const AVRational tb = input_->streams[stream_]->time_base;
                out.ptsMs = av_rescale_q(frame_->best_effort_timestamp, tb, AVRational{1, 1000});
                for (int row = 0; row < frame_->height; ++row)
                    out.luma.insert(out.luma.end(), frame_->data[0] + row * frame_->linesize[0],
                                    frame_->data[0] + row * frame_->linesize[0] + frame_->width);
                return out;
            }
            if (av_read_frame(input_, packet_) < 0)
                return std::nullopt;
            if (packet_->stream_index == stream_)
                avcodec_send_packet(decoder_, packet_);
            av_packet_unref(packet_);
        }
    }

private:
    AVFormatContext* input_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int stream_ = -1;
};

double MeanDifference(const Frame& a, const Frame& b)
{
    if (a.luma.size() != b.luma.size() || a.luma.empty())
        return 255;
    double sum = 0;
    for (size_t i = 0; i < a.luma.size(); ++i)
        sum += std::abs(int(a.luma[i]) - int(b.luma[i]));
    return sum / static_cast<double>(a.luma.size());
}

class CameraPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { av_log_set_level(AV_LOG_ERROR); }
    void SetUp() override
    {
        ASSERT_TRUE(server.Start());
        server.SetLiveSize("cam1", 320, 180);
        ASSERT_TRUE(reader.Open(server.LiveUrl("cam1")));
    }
    // The next frame; the camera moves on meanwhile, as camsim's camera thread has it do.
    Frame Next()
    {
        auto frame = reader.Next();
        EXPECT_TRUE(frame);
        camera.Advance(CameraBehaviour::Clock::now());
        return frame ? *frame : Frame{};
    }
    // After `skip` frames (enough for the stream to change over at a key frame), two frames one loop apart.
    std::pair<Frame, Frame> OneLoopApart(int skip)
    {
        for (int i = 0; i < skip; ++i)
            Next();
        const Frame first = Next();
        Frame second;
        do
            second = Next();
        while (!second.luma.empty() && second.ptsMs < first.ptsMs + kLoopMs);
        EXPECT_EQ(second.ptsMs, first.ptsMs + kLoopMs);
        return {first, second};
    }
    void Ask(const std::string& body) { camera.Answer(body, 0); }

    camsim::StreamServer server;
    CameraBehaviour camera{"cam1", "门口", server};
    LiveReader reader;
};

}  // namespace

TEST_F(CameraPicture, MovesWhileADirectionIsHeldAndStopsAfterTheRelease)
{
    const auto [still1, still2] = OneLoopApart(0);
    EXPECT_EQ(MeanDifference(still1, still2), 0.0) << "a camera at rest loops the same picture";

    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 4, "param" : 20})");  // right, held
    const auto [held1, held2] = OneLoopApart(camsim::EncodedLoop::kGop + 1);
    EXPECT_GT(MeanDifference(held1, held2), 2.0) << "the scene moves while the button is held";

    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})");  // released
    const auto [after1, after2] = OneLoopApart(camsim::EncodedLoop::kGop + 1);
    EXPECT_EQ(MeanDifference(after1, after2), 0.0) << "it stops where the release found it";
    EXPECT_GT(MeanDifference(still1, after1), 2.0) << "somewhere else than at the start";

    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 6, "control" : 2, "param" : 60})");  // closer
    Ask(R"({ "cmd":25, "channel_id" : 0, "function" : 6, "control" : 0, "param" : 0})");
    const auto [zoomed, zoomed2] = OneLoopApart(camsim::EncodedLoop::kGop + 1);
    EXPECT_EQ(MeanDifference(zoomed, zoomed2), 0.0);
    EXPECT_GT(MeanDifference(after1, zoomed), 2.0) << "zoom changes the picture";
}

// A replay's pictures show the recording's time; a seek (cmd 54) moves the clock to the chosen point.
TEST(ReplayPicture, ShowsTheRecordingsClockAndFollowsASeek)
{
    av_log_set_level(AV_LOG_ERROR);
    camsim::StreamServer server;
    ASSERT_TRUE(server.Start());
    server.SetLiveSize("cam1", 320, 180);
    CameraBehaviour camera{"cam1", "门口", server};
    const std::int64_t start = 1765267200 - 3600;  // an hour of recording ending now
    const std::string url = server.ReplayUrl("cam1", start, start + 3600);
    ASSERT_FALSE(url.empty());
    ASSERT_TRUE(server.SetReplaySpeed(url, 4));
    LiveReader reader;
    ASSERT_TRUE(reader.Open(url));
    auto clockOf = [](const Frame& frame) {
        std::vector<std::uint8_t> bgra;
        for (std::uint8_t luma : frame.luma)
            bgra.insert(bgra.end(), {luma, luma, luma, 255});
        return camsim::ReplayClock::Read(bgra.data(), 320, 180, 320 * 4);
    };
    auto first = reader.Next();
    ASSERT_TRUE(first);
    EXPECT_EQ(camsim::ReplayClock::SecondOfDay(start), clockOf(*first));
    // A second of recording later the clock shows the next second.
    for (int i = 0; i < camsim::EncodedLoop::kGop; ++i)
        first = reader.Next();
    ASSERT_TRUE(first);
    EXPECT_EQ(camsim::ReplayClock::SecondOfDay(start + 1), clockOf(*first));

    // 40 minutes in: the stream goes on from the key frame of that second.
    camera.Answer(R"({"cmd":54, "dev_type": 0, "replay_url": ")" + url + R"(","position": 40})", start + 3600);
    int shown = -1;
    for (int i = 0; i < 4 * camsim::EncodedLoop::kGop && shown != camsim::ReplayClock::SecondOfDay(start + 2400); ++i) {
        auto frame = reader.Next();
        ASSERT_TRUE(frame);
        shown = clockOf(*frame);
    }
    EXPECT_EQ(camsim::ReplayClock::SecondOfDay(start + 2400), shown);
    auto later = reader.Next();
    ASSERT_TRUE(later);
    EXPECT_EQ(camsim::ReplayClock::SecondOfDay(start + 2400), clockOf(*later)) << "the picture stays at the seek";
}
