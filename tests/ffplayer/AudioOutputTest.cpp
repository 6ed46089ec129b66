// The player's audio path, with a raw-sample file standing in for the sound device.
#include "AudioOutput.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

class AudioOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        av_log_set_level(AV_LOG_ERROR);
        folder_ = std::filesystem::temp_directory_path() / ("ffplayer-audio-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        source_ = (folder_ / "sound.flv").string();
        // Half a second of a 44.1 kHz tone in AAC, next to a picture.
        const std::string command = "ffmpeg -nostdin -v error -f lavfi -i testsrc=size=160x120:rate=12 -f lavfi -i "
                                    "sine=frequency=440:sample_rate=44100 -t 0.5 -c:v libx264 -preset ultrafast -c:a "
                                    "aac -y '" + source_ + "' >/dev/null 2>&1";
        ASSERT_EQ(0, std::system(command.c_str()));
        ASSERT_EQ(0, avformat_open_input(&input_, source_.c_str(), nullptr, nullptr));
        ASSERT_GE(avformat_find_stream_info(input_, nullptr), 0);
        audioIndex_ = av_find_best_stream(input_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        ASSERT_GE(audioIndex_, 0);
    }
    void TearDown() override
    {
        avformat_close_input(&input_);
        std::filesystem::remove_all(folder_);
    }

    // Plays the whole file's sound into a raw file; returns the bytes that reached it.
    std::uintmax_t PlayInto(const std::string& raw, bool muted, std::uintmax_t expected, int volume = 100)
    {
        auto output = ffplayer::AudioOutput::Open("s16le", raw.c_str(), input_->streams[audioIndex_]->codecpar);
        EXPECT_NE(nullptr, output);
        if (!output)
            return 0;
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(input_, packet) >= 0) {
            if (packet->stream_index == audioIndex_)
                output->Push(packet, muted, volume);
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        // The writer thread catches up within moments; wait for it (bounded) before stopping.
        for (int i = 0; i < 200 && std::filesystem::file_size(raw) < expected; ++i)
            std::this_thread::sleep_for(10ms);
        if (muted)
            std::this_thread::sleep_for(200ms);
        output.reset();
        return std::filesystem::file_size(raw);
    }

    std::filesystem::path folder_;
    std::string source_;
    AVFormatContext* input_ = nullptr;
    int audioIndex_ = -1;
};

TEST_F(AudioOutputTest, SoundReachesTheOutputAsStereoSamples)
{
    const std::uintmax_t expected = 44100 / 2 * 4;  // half a second of 16-bit stereo
    const std::uintmax_t bytes = PlayInto((folder_ / "out.raw").string(), false, expected * 9 / 10);
    EXPECT_GE(bytes, expected * 85 / 100);
    EXPECT_LE(bytes, expected * 115 / 100);
    EXPECT_EQ(0u, bytes % 4) << "whole stereo sample frames";
}

// The loudest sample of a raw 16-bit file.
int Peak(const std::string& raw)
{
    std::FILE* file = std::fopen(raw.c_str(), "rb");
    int peak = 0;
    std::int16_t sample;
    while (file != nullptr && std::fread(&sample, sizeof sample, 1, file) == 1)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    if (file != nullptr)
        std::fclose(file);
    return peak;
}

TEST_F(AudioOutputTest, VolumeScalesTheSamples)
{
    const std::string full = (folder_ / "full.raw").string();
    const std::string half = (folder_ / "half.raw").string();
    const std::uintmax_t expected = 44100 / 2 * 4 * 9 / 10;
    PlayInto(full, false, expected);
    ASSERT_EQ(0, av_seek_frame(input_, -1, 0, AVSEEK_FLAG_BACKWARD));
    PlayInto(half, false, expected, 50);
    ASSERT_GT(Peak(full), 1000);
    EXPECT_NEAR(Peak(full) / 2, Peak(half), 2);
}

TEST_F(AudioOutputTest, MutedSoundIsNotPlayed)
{
    EXPECT_EQ(0u, PlayInto((folder_ / "muted.raw").string(), true, 0));
}

TEST_F(AudioOutputTest, UnusableOutputIsRefused)
{
    EXPECT_EQ(nullptr, ffplayer::AudioOutput::Open("s16le", "/nonexistent-folder/out.raw",
                                                   input_->streams[audioIndex_]->codecpar));
    EXPECT_EQ(nullptr, ffplayer::AudioOutput::Open("no-such-format", "x", input_->streams[audioIndex_]->codecpar));

    // A machine without a sound server: no output, which the player takes as "play no sound".
    const std::string nowhere = "unix:" + (folder_ / "no-sound-server").string();
    ASSERT_EQ(0, ::setenv("PULSE_SERVER", nowhere.c_str(), 1));
    EXPECT_EQ(nullptr, ffplayer::AudioOutput::OpenDefault(input_->streams[audioIndex_]->codecpar));
    ::unsetenv("PULSE_SERVER");
}

}  // namespace
