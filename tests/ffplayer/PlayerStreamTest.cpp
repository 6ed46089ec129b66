// The player library against the simulated cameras' streams, with a host that records frames.
#include "FakeHost.h"
#include "FfPlayer.h"
#include "MediaProbe.h"
#include "StreamServerSuite.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using camsim::StreamServer;

void* NewWindow()
{
    static std::atomic<std::uintptr_t> next{0x1000};
    return reinterpret_cast<void*>(next.fetch_add(1));
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

// Serves the files of one folder over HTTP on a free loopback port.
class FileServer {
public:
    explicit FileServer(const std::string& folder)
    {
        server_.set_mount_point("/", folder);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });  // the socket listens already
    }
    ~FileServer()
    {
        server_.stop();
        thread_.join();
    }
    std::string Url(const std::string& name) const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + name; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

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
    void OpenAndPlay(const std::string& camera, void* window, int width = 320, int height = 180,
                     std::string address = {})
    {
        server_->SetLiveSize(camera, width, height);
        if (address.empty())
            address = server_->LiveUrl(camera);
        ASSERT_EQ(0, player_->Open(address.c_str(), window));
        ASSERT_TRUE(events_.WaitFor(PE_OPENED));
        EXPECT_EQ(PS_OPENED, player_->GetPlayState());
        player_->Play();
        EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
        ASSERT_TRUE(FakeHost::Instance().WaitFor(window, [](const FakeHost::Window& w) { return w.frames >= 3; }));
    }

    std::string PathOf(const char* name) const { return (folder_ / name).string(); }

    // Waits until the server counts `count` connections to the camera (it notices a closed one at
    // its next frame).
    static bool WaitForViewers(const std::string& camera, int count, std::chrono::milliseconds timeout)
    {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (server_->LiveViewerCount(camera) != count) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

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

// A camera names its stream; nothing but a network stream is opened, whatever it names.
TEST_F(PlayerStream, OnlyHttpAddressesAreOpened)
{
    const std::string playlist = PathOf("local.m3u8");
    std::ofstream(playlist) << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nfile:///etc/hostname\n#EXT-X-ENDLIST\n";
    const std::string refused[] = {
        "file:///etc/hostname", "FILE://" + playlist, playlist, "nonsense://address", "tcp://127.0.0.1:1",
        "data:video/x-flv;base64,RkxW", "concat:" + playlist, "http:/127.0.0.1/x.flv",
    };
    for (const std::string& address : refused) {
        SCOPED_TRACE(address);
        EXPECT_EQ(-1, player_->Open(address.c_str(), NewWindow()));
        EXPECT_EQ(PS_IDLE, player_->GetPlayState());
    }
    // The scheme is not case-sensitive.
    std::string live = server_->LiveUrl("SCHEME");
    live.replace(0, 4, "HTTP");
    OpenAndPlay("SCHEME", NewWindow(), 320, 180, live);
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
    EXPECT_TRUE(WaitForViewers("REOPEN", 0, 2s)) << "Stop leaves no connection behind";
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

// A process killed while it records (SIGKILL, a power cut) leaves a file that plays and lacks at
// most the last moment: packets reach the file as they are written.
TEST_F(PlayerStream, RecordingOfAKilledProcessPlaysUpToTheKill)
{
    server_->SetLiveSize("KILLED", 320, 180);
    const std::string url = server_->LiveUrl("KILLED");
    const std::string path = PathOf("killed.flv");
    int out[2];
    ASSERT_EQ(0, pipe(out));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* const argv[] = {const_cast<char*>(RECORD_UNTIL_KILLED), const_cast<char*>(url.c_str()),
                          const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    ASSERT_EQ(0, posix_spawn(&child, RECORD_UNTIL_KILLED, &actions, nullptr, argv, environ));
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char said[16] = {};
    const ssize_t length = read(out[0], said, sizeof said - 1);
    close(out[0]);
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(4s);
    kill(child, SIGKILL);
    const double recorded = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    waitpid(child, nullptr, 0);
    ASSERT_GT(length, 0);
    ASSERT_EQ(std::string("recording\n"), said);

    // The file starts with the group of pictures in progress (a key frame each second), so it may
    // hold up to a second more than the time it was recording.
    const double duration = ProbeDuration(path);
    RecordProperty("recorded_seconds", std::to_string(recorded));
    RecordProperty("file_seconds", std::to_string(duration));
    std::printf("recorded %.2f s before the kill; the file plays %.2f s\n", recorded, duration);
    EXPECT_GE(duration, recorded - 1.0);
    EXPECT_LE(duration, recorded + 1.5);
    EXPECT_GE(ProbeDecodedFrames(path), static_cast<int>((recorded - 1.0) * 12 * 0.8));  // 12 frames a second
}

// A full disk ends the recording: the player reports it and plays on, the file keeps every whole
// packet written and plays; a snapshot that finds no room says so and leaves no file.
TEST_F(PlayerStream, FullDiskEndsTheRecordingWithAPlayableFile)
{
    OpenAndPlay("FULLDISK", NewWindow(), 640, 360);
    const std::string path = PathOf("full.flv");
    const std::string png = PathOf("full.png");
    constexpr rlim_t kRoom = 96 * 1024;
    {
        FileSizeLimit limit(kRoom);
        ASSERT_EQ(0, player_->StartRecord(path.c_str()));
        ASSERT_TRUE(events_.WaitFor(PE_RECORD_NO_SPACE, 30s));
        EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
        EXPECT_EQ(-1, player_->StopRecord()) << "the recording has ended already";
        EXPECT_FALSE(events_.Seen(PE_RECORD_FAILED));

        FileSizeLimit noRoom(16);
        ASSERT_EQ(0, player_->Snapshot(png.c_str()));
        ASSERT_TRUE(events_.WaitFor(PE_SNAPSHOT_NO_SPACE));
        EXPECT_FALSE(events_.Seen(PE_SNAPSHOT_SAVED));
    }
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_LE(std::filesystem::file_size(path), kRoom);
    EXPECT_GT(std::filesystem::file_size(path), kRoom / 2);
    EXPECT_NE(std::string::npos, ProbeFormat(path).find("h264"));
    EXPECT_GT(ProbeDuration(path), 0.1);
    EXPECT_GT(ProbeDecodedFrames(path), 2);
    // Room again: the next recording works.
    ASSERT_EQ(0, player_->StartRecord(PathOf("again.flv").c_str()));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(0, player_->StopRecord());
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
    FileServer files(folder_.string());
    void* window = NewWindow();
    ASSERT_EQ(0, player_->Open(files.Url("with-audio.flv").c_str(), window));
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

// A hidden window's player keeps its stream and recording but decodes nothing (the position, taken
// from decoded frames, stands still), outlives the stall timeout, and draws again once shown.
TEST_F(PlayerStream, HiddenPlayerDecodesNothingButRecordsAndDrawsAgainWhenShown)
{
    void* window = NewWindow();
    OpenAndPlay("HIDDEN", window);
    const std::string path = PathOf("hidden.flv");
    ASSERT_EQ(0, player_->StartRecord(path.c_str()));
    SetPlayerVisible(player_, 0);
    std::this_thread::sleep_for(300ms);  // a frame being converted when the window hid
    const int framesHidden = FakeHost::Instance().Snapshot(window).frames;
    const std::int64_t positionHidden = player_->GetPosition();
    std::this_thread::sleep_for(ffplayer::FfPlayer::kStallTimeout + 1s);
    EXPECT_EQ(framesHidden, FakeHost::Instance().Snapshot(window).frames);
    EXPECT_EQ(positionHidden, player_->GetPosition()) << "nothing was decoded";
    EXPECT_EQ(PS_RECORDING, player_->GetPlayState()) << "a hidden stream is not a stalled one";
    EXPECT_FALSE(events_.Seen(PE_PLAY_FAILED));
    EXPECT_EQ(1, server_->LiveViewerCount("HIDDEN")) << "a recording player keeps its connection";

    SetPlayerVisible(player_, 1);
    ASSERT_TRUE(FakeHost::Instance().WaitFor(
        window, [&](const FakeHost::Window& w) { return w.frames >= framesHidden + 3 && w.pictured; }));
    EXPECT_GT(player_->GetPosition(), positionHidden + 4000) << "positions go on from the stream's time";
    ASSERT_EQ(0, player_->StopRecord());
    EXPECT_GE(ProbeDuration(path), 5.0) << "the hidden time was recorded";
}

// A hidden live stream that nothing records is closed after a grace period, without a state change
// or a failure, and opened again when shown; Stop ends a parked player at once.
TEST_F(PlayerStream, HiddenPlayerDisconnectsAndReconnectsWhenShown)
{
    void* window = NewWindow();
    OpenAndPlay("PARKED", window);
    events_.Clear();
    SetPlayerVisible(player_, 0);
    ASSERT_TRUE(WaitForViewers("PARKED", 0, ffplayer::FfPlayer::kParkGrace + 3s));
    EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
    const int framesHidden = FakeHost::Instance().Snapshot(window).frames;
    const std::int64_t positionHidden = player_->GetPosition();

    SetPlayerVisible(player_, 1);
    ASSERT_TRUE(FakeHost::Instance().WaitFor(
        window, [&](const FakeHost::Window& w) { return w.frames >= framesHidden + 3 && w.pictured; }));
    EXPECT_EQ(1, server_->LiveViewerCount("PARKED"));
    EXPECT_EQ(PS_PLAYING, player_->GetPlayState());
    EXPECT_FALSE(events_.Seen(PE_PLAY_FAILED));
    EXPECT_FALSE(events_.Seen(PE_STATE_CHANGED));
    EXPECT_GT(player_->GetPosition(), positionHidden + 1000) << "positions go on over the gap";

    SetPlayerVisible(player_, 0);
    ASSERT_TRUE(WaitForViewers("PARKED", 0, ffplayer::FfPlayer::kParkGrace + 3s));
    player_->Stop();
    EXPECT_EQ(PS_STOPPED, player_->GetPlayState());
    EXPECT_FALSE(events_.Seen(PE_PLAY_FAILED));
}

// A recording asked of a parked player connects again and starts at the new connection's first key
// frame, without the pictures held from before the gap, and is headed with that connection's picture
// size: the camera changed its size while nobody watched.
TEST_F(PlayerStream, RecordingOfAParkedPlayerStartsAtAKeyFrameAfterReconnecting)
{
    OpenAndPlay("PARKREC", NewWindow(), 320, 180);
    SetPlayerVisible(player_, 0);
    ASSERT_TRUE(WaitForViewers("PARKREC", 0, ffplayer::FfPlayer::kParkGrace + 3s));
    server_->SetLiveSize("PARKREC", 640, 360);
    std::this_thread::sleep_for(2s);  // the held pictures would make the file longer by this much
    const std::string path = PathOf("parked.flv");
    ASSERT_EQ(0, player_->StartRecord(path.c_str()));
    EXPECT_EQ(PS_RECORDING, player_->GetPlayState());
    ASSERT_TRUE(WaitForViewers("PARKREC", 1, 5s));
    std::this_thread::sleep_for(ffplayer::FfPlayer::kParkGrace + 1s);
    EXPECT_EQ(1, server_->LiveViewerCount("PARKREC")) << "a recording player stays connected";
    ASSERT_EQ(0, player_->StopRecord());
    EXPECT_TRUE(ProbeStartsWithKeyFrame(path));
    const double duration = ProbeDuration(path);
    EXPECT_GE(duration, 1.5);
    EXPECT_LE(duration, 4.0);
    // 12 frames a second throughout: pictures from the earlier connection would be squeezed in
    // ahead of the new connection's timestamps.
    EXPECT_NEAR(duration * 12, ProbeDecodedFrames(path), 3) << duration;
    EXPECT_EQ("640x360", ProbeVideoSize(path));
    EXPECT_FALSE(events_.Seen(PE_PLAY_FAILED));

    // Our own reader takes the same size from the file.
    FileServer files(folder_.string());
    events_.Clear();
    ASSERT_EQ(0, player_->Open(files.Url("parked.flv").c_str(), NewWindow()));
    ASSERT_TRUE(events_.WaitFor(PE_OPENED));
    int width = 0, height = 0;
    player_->GetVideoSize(&width, &height);
    EXPECT_EQ(640, width);
    EXPECT_EQ(360, height);
    player_->Stop();
}

// A camera that changes its picture size on an open connection: a recording started after the
// change is headed with the new size, not the one the connection began with.
TEST_F(PlayerStream, RecordingAfterAMidStreamSizeChangeHasTheNewSize)
{
    void* window = NewWindow();
    OpenAndPlay("RESIZED", window, 320, 180);
    server_->ResizeLive("RESIZED", 640, 360);
    ASSERT_TRUE(FakeHost::Instance().WaitFor(window, [](const FakeHost::Window& w) { return w.width == 640; }));
    std::this_thread::sleep_for(1500ms);  // past the group of pictures that announced the change
    const std::string path = PathOf("resized.flv");
    ASSERT_EQ(0, player_->StartRecord(path.c_str()));
    std::this_thread::sleep_for(2s);
    ASSERT_EQ(0, player_->StopRecord());
    EXPECT_EQ(1, server_->LiveViewerCount("RESIZED")) << "one connection throughout";
    EXPECT_EQ("640x360", ProbeVideoSize(path));
    const double duration = ProbeDuration(path);
    EXPECT_NEAR(duration * 12, ProbeDecodedFrames(path), 3) << duration;
}

// A parked player whose stream cannot be opened again reports a broken stream; Stop ends a
// reconnect that hangs.
TEST_F(PlayerStream, FailedOrHangingReconnectOfAParkedPlayer)
{
    for (StreamServer::LiveFault fault : {StreamServer::LiveFault::Drop, StreamServer::LiveFault::Stall}) {
        const std::string camera = fault == StreamServer::LiveFault::Drop ? "PARKDROP" : "PARKHANG";
        SCOPED_TRACE(camera);
        events_.Clear();
        OpenAndPlay(camera, NewWindow());
        SetPlayerVisible(player_, 0);
        ASSERT_TRUE(WaitForViewers(camera, 0, ffplayer::FfPlayer::kParkGrace + 3s));
        server_->SetLiveFault(camera, fault);
        SetPlayerVisible(player_, 1);
        if (fault == StreamServer::LiveFault::Drop) {
            EXPECT_TRUE(events_.WaitFor(PE_PLAY_FAILED));
            EXPECT_EQ(PS_FAILED, player_->GetPlayState());
        } else {
            ASSERT_TRUE(WaitForViewers(camera, 1, 5s));
            player_->Stop();
            EXPECT_EQ(PS_STOPPED, player_->GetPlayState());
            EXPECT_FALSE(events_.Seen(PE_PLAY_FAILED)) << "a stop is not a failure";
        }
        server_->SetLiveFault(camera, StreamServer::LiveFault::None);
        player_->Stop();
    }
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
    // The last frame's position is reported when the stream ends (72 frames at 48 a second), so the
    // window can tell an end from a break.
    EXPECT_GE(shown.positions.back(), 1450);
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
