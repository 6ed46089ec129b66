// The player library against the simulated cameras' streams, with a host that records frames.
#include "FakeHost.h"
#include "FfPlayer.h"
#include "StreamServerSuite.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using camsim::StreamServer;

void* NewWindow()
{
    static std::atomic<std::uintptr_t> next{0x1000};
    return reinterpret_cast<void*>(next.fetch_add(1));
}

std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        pclose(pipe);
    }
    return output;
}

double ProbeDuration(const std::string& path)
{
    const std::string out =
        RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "' 2>/dev/null");
    return out.empty() ? -1.0 : std::atof(out.c_str());
}

std::string ProbeFormat(const std::string& path)
{
    std::string out = RunCommand("ffprobe -v error -show_entries format=format_name:stream=codec_name -of csv=p=0 '" +
                                 path + "' 2>/dev/null");
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// Width and height from a PNG file's IHDR chunk; (0, 0) when the file is not a PNG.
std::pair<int, int> PngSize(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!file || std::memcmp(header, signature, 8) != 0 || std::memcmp(header + 12, "IHDR", 4) != 0)
        return {0, 0};
    auto be32 = [](const unsigned char* p) { return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; };
    return {be32(header + 16), be32(header + 20)};
}

class PlayerStream : public StreamServerSuite {
protected:
    void SetUp() override
    {
        player_ = CreatePlayerObject();
        player_->RegisterObserver(&events_);
        player_->SetPlayMode(PM_REALTIME);
        folder_ = std::filesystem::temp_directory_path() /
                  ("ffplayer-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        DeletePlayerObject(player_);
        std::filesystem::remove_all(folder_);
    }

    // Opens the camera's live stream at the given size and waits until frames are shown.
    void OpenAndPlay(const std::string& camera, void* window, int width = 320, int height = 180)
    {
        server_->SetLiveSize(camera, width, height);
        ASSERT_EQ(0, player_->Open(server_->LiveUrl(camera).c_str(), window));
        ASSERT_TRUE(events_.WaitFor(PE_OPENED));
        EXPECT_EQ(PS_OPENED, player_->GetPlayState());
        player_->Play();
        EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
        ASSERT_TRUE(FakeHost::Instance().WaitFor(window, [](const FakeHost::Window& w) { return w.frames >= 3; }));
    }

    std::string PathOf(const char* name) const { return (folder_ / name).string(); }

    PlayInterface* player_ = nullptr;
    EventLog events_;
    std::filesystem::path folder_;
};

TEST_F(PlayerStream, FramesReachTheHostAtTheVideoOrDisplaySize)
{
    struct Case {
        int videoWidth, videoHeight;  // the camera's live size
        int rectWidth, rectHeight;    // display rectangle; 0 = none set
        int frameWidth, frameHeight;  // expected at the host
    };
    const Case cases[] = {
        {320, 180, 0, 0, 320, 180},
        {640, 360, 0, 0, 640, 360},
        {640, 360, 300, 200, 300, 200},
        {1280, 720, 640, 360, 640, 360},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.videoWidth) + "x" + std::to_string(c.rectWidth));
        void* window = NewWindow();
        if (c.rectWidth > 0)
            player_->SetDisplayRect(0, 0, c.rectWidth, c.rectHeight);
        else
            player_->SetDisplayRect(0, 0, 0, 0);
        events_.Clear();
        OpenAndPlay("SIZE" + std::to_string(n++), window, c.videoWidth, c.videoHeight);
        const FakeHost::Window shown = FakeHost::Instance().Snapshot(window);
        EXPECT_EQ(c.frameWidth, shown.width);
        EXPECT_EQ(c.frameHeight, shown.height);
        EXPECT_TRUE(shown.pictured) << "the picture was written into the lent buffer";
        int width = 0, height = 0;
        player_->GetVideoSize(&width, &height);
        EXPECT_EQ(c.videoWidth, width);
        EXPECT_EQ(c.videoHeight, height);
        EXPECT_TRUE(shown.lengths.empty()) << "a live stream has no length";
        player_->Stop();
        EXPECT_EQ(PS_STOPPED, player_->GetPlayState());
    }
}

TEST_F(PlayerStream, BadAddressesReportOpenFailed)
{
    const std::string port = std::to_string(server_->Port());
    const std::string addresses[] = {
        "http://127.0.0.1:1/live/X.flv",                    // nothing listens
        "http://127.0.0.1:" + port + "/nothing/here.flv",   // the server answers 404
        "http://127.0.0.1:" + port + "/replay/999999.flv",  // no such replay
        "nonsense://address",
    };
    for (const std::string& address : addresses) {
        SCOPED_TRACE(address);
        events_.Clear();
        ASSERT_EQ(0, player_->Open(address.c_str(), NewWindow()));
        EXPECT_TRUE(events_.WaitFor(PE_OPEN_FAILED));
        EXPECT_EQ(PS_FAILED, player_->GetPlayState());
        EXPECT_FALSE(events_.Seen(PE_OPENED));
    }
    EXPECT_EQ(-1, player_->Open("", NewWindow()));
    EXPECT_EQ(-1, player_->Open(nullptr, NewWindow()));
}

TEST_F(PlayerStream, BrokenOrStalledStreamReportsPlayFailed)
{
    for (StreamServer::LiveFault fault : {StreamServer::LiveFault::Drop, StreamServer::LiveFault::Stall}) {
        const std::string camera = fault == StreamServer::LiveFault::Drop ? "DROPPED" : "STALLED";
        SCOPED_TRACE(camera);
        events_.Clear();
        OpenAndPlay(camera, NewWindow());
        server_->SetLiveFault(camera, fault);
        // A dropped connection is noticed at once, a stall after the player's stall timeout.
        EXPECT_TRUE(events_.WaitFor(PE_PLAY_FAILED, ffplayer::FfPlayer::kStallTimeout + 5s));
        EXPECT_EQ(PS_FAILED, player_->GetPlayState());
        server_->SetLiveFault(camera, StreamServer::LiveFault::None);
        player_->Stop();
    }
}

TEST_F(PlayerStream, StopThenOpenAgainOnTheSameObject)
{
    void* first = NewWindow();
    OpenAndPlay("REOPEN", first);
    player_->Stop();
    // The server notices the closed connection at its next frame.
    for (int i = 0; i < 100 && server_->LiveViewerCount("REOPEN") > 0; ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(0, server_->LiveViewerCount("REOPEN")) << "Stop leaves no connection behind";
    const int framesAfterStop = FakeHost::Instance().Snapshot(first).frames;
    events_.Clear();
    void* second = NewWindow();
    OpenAndPlay("REOPEN", second);
    EXPECT_EQ(framesAfterStop, FakeHost::Instance().Snapshot(first).frames) << "the old window gets nothing more";
    // Open while playing replaces the stream.
    events_.Clear();
    OpenAndPlay("REOPEN2", NewWindow());
}

TEST_F(PlayerStream, StopInterruptsAnOpenThatHangs)
{
    // The stalled camera sends its headers and then nothing: probing blocks until Stop interrupts it.
    server_->SetLiveFault("HANGS", StreamServer::LiveFault::Stall);
    ASSERT_EQ(0, player_->Open(server_->LiveUrl("HANGS").c_str(), NewWindow()));
    for (int i = 0; i < 100 && server_->LiveViewerCount("HANGS") == 0; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(PS_OPENING, player_->GetPlayState());
    player_->Stop();
    EXPECT_EQ(PS_STOPPED, player_->GetPlayState());
    EXPECT_FALSE(events_.Seen(PE_OPEN_FAILED)) << "a stop is not a failure";
    server_->SetLiveFault("HANGS", StreamServer::LiveFault::None);
    OpenAndPlay("HANGS", NewWindow());
}

TEST_F(PlayerStream, RecordingIsAnFlvFileOfTheRecordedLength)
{
    OpenAndPlay("RECORD", NewWindow());
    const std::string path = PathOf("record.flv");
    ASSERT_EQ(0, player_->StartRecord(path.c_str()));
    EXPECT_EQ(PS_RECORDING, player_->GetPlayState());
    EXPECT_EQ(-1, player_->StartRecord(PathOf("second.flv").c_str())) << "one recording at a time";
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(0, player_->StopRecord());
    EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
    EXPECT_EQ(-1, player_->StopRecord());
    const std::string format = ProbeFormat(path);
    EXPECT_NE(std::string::npos, format.find("flv")) << format;
    EXPECT_NE(std::string::npos, format.find("h264")) << format;
    // Starts with the group of pictures in progress (key frame each second): 3 to 4 seconds.
    const double duration = ProbeDuration(path);
    EXPECT_GE(duration, 2.7);
    EXPECT_LE(duration, 4.5);
}

TEST_F(PlayerStream, RecordingSurvivesTheStreamDropping)
{
    OpenAndPlay("RECDROP", NewWindow());
    const std::string path = PathOf("dropped.flv");
    ASSERT_EQ(0, player_->StartRecord(path.c_str()));
    std::this_thread::sleep_for(2s);
    server_->SetLiveFault("RECDROP", StreamServer::LiveFault::Drop);
    ASSERT_TRUE(events_.WaitFor(PE_PLAY_FAILED));
    ASSERT_EQ(0, player_->StopRecord());
    const double duration = ProbeDuration(path);
    EXPECT_GE(duration, 1.7);
    EXPECT_LE(duration, 3.5);
    server_->SetLiveFault("RECDROP", StreamServer::LiveFault::None);
}

TEST_F(PlayerStream, RecordingRefusedWithoutStreamOrWritableFile)
{
    EXPECT_EQ(-1, player_->StartRecord(PathOf("nostream.flv").c_str()));
    OpenAndPlay("RECBAD", NewWindow());
    EXPECT_EQ(-1, player_->StartRecord("/nonexistent-folder/x.flv"));
    EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
}

TEST_F(PlayerStream, SnapshotIsAPngOfTheVideoSize)
{
    EXPECT_EQ(-1, player_->Snapshot(PathOf("none.png").c_str())) << "no frame yet";
    player_->SetDisplayRect(0, 0, 100, 50);
    OpenAndPlay("SNAP", NewWindow(), 640, 360);
    const std::string path = PathOf("snap.png");
    ASSERT_EQ(0, player_->Snapshot(path.c_str()));
    ASSERT_TRUE(events_.WaitFor(PE_SNAPSHOT_SAVED));
    EXPECT_EQ(std::make_pair(640, 360), PngSize(path));

    ASSERT_EQ(0, player_->Snapshot("/nonexistent-folder/x.png"));
    EXPECT_TRUE(events_.WaitFor(PE_SNAPSHOT_FAILED));
}

TEST_F(PlayerStream, StreamWithAudioShowsItsPictureWithoutAnAudioOutput)
{
    const std::string path = PathOf("with-audio.flv");
    RunCommand("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=320x240:rate=12 -f lavfi -i sine=frequency=440 "
               "-t 2 -c:v libx264 -preset ultrafast -c:a aac -y '" + path + "' 2>&1");
    ASSERT_TRUE(std::filesystem::exists(path));
    void* window = NewWindow();
    ASSERT_EQ(0, player_->Open(path.c_str(), window));
    ASSERT_TRUE(events_.WaitFor(PE_OPENED));
    player_->Play();
    // A file is read as fast as it decodes and then ends, which reports play-failed.
    ASSERT_TRUE(events_.WaitFor(PE_PLAY_FAILED));
    const FakeHost::Window shown = FakeHost::Instance().Snapshot(window);
    EXPECT_GE(shown.frames, 20);
    EXPECT_EQ(320, shown.width);
    EXPECT_EQ(240, shown.height);
    ASSERT_EQ(1u, shown.lengths.size());
    EXPECT_NEAR(2000, shown.lengths[0], 200);
}

TEST_F(PlayerStream, MuteFlagRoundTrips)
{
    EXPECT_EQ(0, player_->IsMuted());
    player_->SetMute(true);
    EXPECT_EQ(1, player_->IsMuted());
    OpenAndPlay("MUTE", NewWindow());
    EXPECT_EQ(1, player_->IsMuted()) << "the flag outlives an open";
    player_->SetMute(false);
    EXPECT_EQ(0, player_->IsMuted());
}

TEST_F(PlayerStream, ReplayReportsLengthAndPositionAndEnds)
{
    void* window = NewWindow();
    const std::string url = server_->ReplayUrl("REPLAY", 1000, 1006);  // six seconds of recording
    ASSERT_FALSE(url.empty());
    ASSERT_TRUE(server_->SetReplaySpeed(url, 4));
    ASSERT_EQ(0, player_->Open(url.c_str(), window));
    ASSERT_TRUE(events_.WaitFor(PE_OPENED));
    player_->Play();
    EXPECT_EQ(6000, player_->GetLength());
    // At four times the speed the six seconds play in one and a half; then the stream ends.
    ASSERT_TRUE(events_.WaitFor(PE_PLAY_FAILED));
    const FakeHost::Window shown = FakeHost::Instance().Snapshot(window);
    ASSERT_EQ(1u, shown.lengths.size());
    EXPECT_EQ(6000, shown.lengths[0]);
    ASSERT_FALSE(shown.positions.empty());
    for (std::size_t i = 1; i < shown.positions.size(); ++i)
        EXPECT_GE(shown.positions[i], shown.positions[i - 1]);
    EXPECT_LE(shown.positions.back(), 6000 / 4) << "positions run at playing speed";
    EXPECT_GE(shown.frames, 60) << "every recorded frame is shown";
}

TEST_F(PlayerStream, ReplaySeekSkipsAheadAndClosedReplayIsRefused)
{
    void* window = NewWindow();
    const std::string url = server_->ReplayUrl("SEEK", 0, 600);  // ten minutes
    ASSERT_EQ(0, player_->Open(url.c_str(), window));
    ASSERT_TRUE(events_.WaitFor(PE_OPENED));
    player_->Play();
    ASSERT_TRUE(FakeHost::Instance().WaitFor(window, [](const FakeHost::Window& w) { return w.frames >= 2; }));
    // Nine minutes 58 seconds in: two seconds remain, so the stream ends soon after. The new length
    // is announced and positions count from the seek.
    ASSERT_TRUE(server_->SeekReplay(url, 9.0 + 58.0 / 60.0));
    EXPECT_TRUE(events_.WaitFor(PE_PLAY_FAILED));
    player_->Stop();
    const FakeHost::Window shown = FakeHost::Instance().Snapshot(window);
    ASSERT_EQ(2u, shown.lengths.size());
    EXPECT_EQ(600000, shown.lengths[0]);
    EXPECT_EQ(2000, shown.lengths[1]);
    EXPECT_LE(shown.positions.back(), 2000);

    ASSERT_TRUE(server_->CloseReplay(url));
    events_.Clear();
    ASSERT_EQ(0, player_->Open(url.c_str(), NewWindow()));
    EXPECT_TRUE(events_.WaitFor(PE_OPEN_FAILED));
    EXPECT_TRUE(server_->ReplayUrl("SEEK", 600, 600).empty()) << "an empty period has nothing to replay";
}

}  // namespace
