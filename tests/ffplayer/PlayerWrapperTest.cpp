// PlayerManager, Cffplayer and CEventHandle over the real library, with a host that records frames
// and a headless message target that receives WM_PLAYER_EVENT.
#include "FakeHost.h"
#include "MediaProbe.h"
#include "StreamServerSuite.h"
#include "support/UnusableLibraries.h"
#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"
#include "video/CMediaPlayerObserver.h"
#include "video/Cffplayer.h"
#include "video/PlayerLibrary.h"
#include "video/PlayerManager.h"
#include "video/PlayerSlot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using camsim::StreamServer;

// Records the player events posted to it.
class EventWindow : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PLAYER_EVENT) {
            events.push_back(static_cast<int>(wParam));
            EXPECT_EQ(0, lParam);
        }
        return 0;
    }
    bool Seen(int event) const { return std::find(events.begin(), events.end(), event) != events.end(); }
    std::vector<int> events;
};

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class RecordingObserver : public CMediaPlayerObserver {
public:
    void OnPlayerEvent(int event, int param) override { received.emplace_back(event, param); }
    std::vector<std::pair<int, int>> received;
};

class PlayerWrapper : public StreamServerSuite {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "player_wrapper_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv);
        StreamServerSuite::SetUpTestSuite();
    }

    static PlayerManager& Manager() { return *PlayerManager::Instance(); }

    // A new player opened on the camera's live stream, playing into `window`.
    int OpenPlaying(const std::string& camera, EventWindow& window)
    {
        int id = -1;
        Manager().CreatePlayer(id);
        server_->SetLiveSize(camera, 320, 180);
        EXPECT_EQ(0, Manager().Open(id, server_->LiveUrl(camera).c_str(), window.GetHWND(), true));
        EXPECT_TRUE(PumpUntil([&] { return window.Seen(2); })) << "EV_OPENED";
        EXPECT_EQ(0, Manager().Play(id));
        EXPECT_EQ(2, Manager().GetState(id));
        return id;
    }
};

// Declared first: the process's first player gets id 0.
TEST_F(PlayerWrapper, IdsStartAtZeroAndAreNeverReused)
{
    int first = -1, second = -1, third = -1;
    EXPECT_EQ(0, Manager().CreatePlayer(first));
    EXPECT_EQ(0, Manager().CreatePlayer(second));
    EXPECT_EQ(0, Manager().CreatePlayer(third));
    EXPECT_EQ(0, first);
    EXPECT_EQ(1, second);
    EXPECT_EQ(2, third);
    ASSERT_NE(nullptr, Manager().FindSlot(second));
    EXPECT_EQ(1, Manager().FindSlot(second)->playerId);
}

TEST_F(PlayerWrapper, UnregisteredIdsAndNeverOpenedPlayersAnswerFixedValues)
{
    int fresh = -1;
    Manager().CreatePlayer(fresh);
    struct Case {
        int id;
        int open, play, stop, startRecord, stopRecord, snapshot, displayRect, muted, state;
    };
    const Case cases[] = {
        {-1, -1, -1, 0, -1, -1, -1, -1, 0, 0},
        {100000, -1, -1, 0, -1, -1, -1, -1, 0, 0},
        // Registered but never opened: no library object yet.
        {fresh, 9, 0, 0, -1, -1, -1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        if (c.open != 9) {
            EXPECT_EQ(c.open, Manager().Open(c.id, "http://127.0.0.1:1/x.flv", nullptr, true));
        }
        EXPECT_EQ(c.play, Manager().Play(c.id));
        EXPECT_EQ(c.stop, Manager().Stop(c.id));
        EXPECT_EQ(c.startRecord, Manager().StartRecord(c.id, "/tmp/never.flv"));
        EXPECT_EQ(c.stopRecord, Manager().StopRecord(c.id));
        EXPECT_EQ(c.snapshot, Manager().Snapshot(c.id, "/tmp/never.png"));
        EXPECT_EQ(c.displayRect, Manager().SetDisplayRect(c.id, 0, 0, 320, 180));
        Manager().SetMute(c.id, true);
        EXPECT_EQ(c.muted, Manager().IsMuted(c.id));
        EXPECT_EQ(c.state, Manager().GetState(c.id));
        int width = -1, height = -1;
        Manager().GetVideoSize(c.id, width, height);
        EXPECT_EQ(0, width);
        EXPECT_EQ(0, height);
    }
}

TEST_F(PlayerWrapper, LibraryEventsAreTranslatedToClientCodes)
{
    Cffplayer player;
    RecordingObserver observer;
    player.OnPlayEvent(1, 0, 0);
    EXPECT_TRUE(observer.received.empty()) << "no observer: dropped";
    player.Init(nullptr);
    player.observer.store(&observer);
    const std::pair<int, int> translations[] = {{1, 2}, {2, 10}, {3, 4},   {4, 7},   {5, 0},   {6, 9}, {7, 8},
                                                {8, 3}, {9, 11}, {10, 12}, {11, 13}, {0, 0}, {99, 0}};
    for (const auto& [library, client] : translations) {
        observer.received.clear();
        player.OnPlayEvent(library, 12345, 77);
        ASSERT_EQ(1u, observer.received.size());
        EXPECT_EQ(client, observer.received[0].first) << "library event " << library;
        EXPECT_EQ(77, observer.received[0].second);
    }
    EXPECT_EQ(0, player.GetState()) << "idle library maps to nothing known";
}

TEST_F(PlayerWrapper, StateCodesFollowTheStreamAndEventsReachTheWindow)
{
    EventWindow window;
    const int id = OpenPlaying("WRAPSTATE", window);
    ASSERT_TRUE(PumpUntil([&] { return FakeHost::Instance().Snapshot(window.GetHWND()).frames > 0; }));
    int width = 0, height = 0;
    Manager().GetVideoSize(id, width, height);
    EXPECT_EQ(320, width);
    EXPECT_EQ(180, height);

    const std::string path = "/tmp/wrapper-" + std::to_string(::getpid()) + ".flv";
    ASSERT_EQ(0, Manager().StartRecord(id, path.c_str()));
    EXPECT_EQ(5, Manager().GetState(id)) << "playing and recording";
    EXPECT_EQ(0, Manager().StopRecord(id));
    std::remove(path.c_str());
    EXPECT_EQ(2, Manager().GetState(id));
    EXPECT_TRUE(PumpUntil([&] { return window.Seen(7); })) << "EV_STATE_CHANGED";

    server_->SetLiveFault("WRAPSTATE", StreamServer::LiveFault::Drop);
    EXPECT_TRUE(PumpUntil([&] { return window.Seen(3); })) << "EV_PLAY_FAILED";
    EXPECT_EQ(7, Manager().GetState(id));
    server_->SetLiveFault("WRAPSTATE", StreamServer::LiveFault::None);
    Manager().Stop(id);
    EXPECT_EQ(4, Manager().GetState(id));

    // The same player opens again after a stop; a bad address reports open-failed as 10.
    window.events.clear();
    EXPECT_EQ(0, Manager().Open(id, "http://127.0.0.1:1/live/none.flv", window.GetHWND(), true));
    EXPECT_TRUE(PumpUntil([&] { return window.Seen(10); })) << "EV_OPEN_FAILED";
    EXPECT_EQ(7, Manager().GetState(id));
    Manager().Stop(id);  // players outlive the test; joins the finished worker
}

// On the way out of the program every running recording is finished: both files play their length,
// also the one whose stream had dropped; the players stay on their streams.
TEST_F(PlayerWrapper, FinishRecordingsClosesEveryRecordingPlayable)
{
    EventWindow firstWindow, secondWindow;
    const int first = OpenPlaying("FINISH1", firstWindow);
    const int second = OpenPlaying("FINISH2", secondWindow);
    const std::string prefix = "/tmp/finish-" + std::to_string(::getpid());
    const std::string paths[] = {prefix + "-1.flv", prefix + "-2.flv"};
    ASSERT_EQ(0, Manager().StartRecord(first, paths[0].c_str()));
    ASSERT_EQ(0, Manager().StartRecord(second, paths[1].c_str()));
    PumpUntil([] { return false; }, 2500);
    server_->SetLiveFault("FINISH2", StreamServer::LiveFault::Drop);
    EXPECT_TRUE(PumpUntil([&] { return secondWindow.Seen(3); })) << "EV_PLAY_FAILED";

    Manager().FinishRecordings();
    EXPECT_EQ(2, Manager().GetState(first));
    EXPECT_EQ(-1, Manager().StopRecord(first)) << "nothing records any more";
    EXPECT_EQ(-1, Manager().StopRecord(second));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const double duration = ProbeDuration(path);
        EXPECT_GE(duration, 2.0);
        EXPECT_LE(duration, 4.0);
        std::remove(path.c_str());
    }
    server_->SetLiveFault("FINISH2", StreamServer::LiveFault::None);
    Manager().Stop(first);
    Manager().Stop(second);
}

TEST_F(PlayerWrapper, OpenOnAnActivePlayerOnlyReplacesAddressAndWindow)
{
    EventWindow first, second;
    const int id = OpenPlaying("ACTIVE", first);
    const std::string other = server_->LiveUrl("OTHER");
    EXPECT_EQ(0, Manager().Open(id, other.c_str(), second.GetHWND(), true));
    const PlayerSlot* slot = Manager().FindSlot(id);
    EXPECT_EQ(other, slot->address);
    EXPECT_EQ(second.GetHWND(), slot->notifyWindow.load());
    // The library was not asked to open: frames keep going to the first window, and the player
    // stays on its stream.
    const int before = FakeHost::Instance().Snapshot(first.GetHWND()).frames;
    EXPECT_TRUE(PumpUntil([&] { return FakeHost::Instance().Snapshot(first.GetHWND()).frames > before + 2; }));
    EXPECT_EQ(0, FakeHost::Instance().Snapshot(second.GetHWND()).frames);
    EXPECT_EQ(2, Manager().GetState(id));
    EXPECT_EQ(0, server_->LiveViewerCount("OTHER"));

    Manager().SetMute(id, true);
    EXPECT_EQ(1, Manager().IsMuted(id));
    Manager().SetMute(id, false);
    EXPECT_EQ(0, Manager().IsMuted(id));
    Manager().Stop(id);
}

// The loader over files that cannot serve as the player library.
class PlayerLibraryFiles : public ::testing::Test {
protected:
    const UnusableLibraries unusable_{"libffplayer.so", OTHER_LIBRARY};
};

TEST_F(PlayerLibraryFiles, TheFirstFileThatLoadsWithEveryFunctionIsTakenOnce)
{
    std::vector<std::string> files = unusable_.Files();
    files.push_back(FFPLAYER_LIBRARY);
    PlayerLibrary library(files);
    const PlayerLibrary::Functions* functions = library.Get();
    ASSERT_NE(nullptr, functions) << library.Failure();
    EXPECT_EQ(functions, library.Get());
    EXPECT_EQ("", library.Failure());
    PlayInterface* player = functions->CreatePlayerObject();
    ASSERT_NE(nullptr, player);
    EXPECT_EQ(PS_IDLE, player->GetPlayState());
    functions->DeletePlayerObject(player);
    EXPECT_EQ(nullptr, player);
}

TEST_F(PlayerLibraryFiles, WithoutALoadableLibraryPlayersRefuseEveryOpenAndTheReasonIsKept)
{
    PlayerLibrary library(unusable_.Files());
    EXPECT_EQ(nullptr, library.Get());
    EXPECT_EQ(nullptr, library.Get());
    const std::string failure = library.Failure();
    EXPECT_NE(std::string::npos, failure.find(unusable_.NotALibrary())) << failure;
    EXPECT_NE(std::string::npos,
              failure.find(unusable_.OtherLibrary() + " lacks CreatePlayerObject DeletePlayerObject SetPlayerHost"))
        << failure;
    library.SetHost(PlayerHost{});  // kept for a library that never comes: nothing to call

    Cffplayer player(library);
    EXPECT_TRUE(player.Init(nullptr));
    EXPECT_FALSE(player.Open("http://127.0.0.1:9/live/none.flv"));
    EXPECT_EQ(0, player.GetState());
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(-1, player.StartRecord("/tmp/never.flv"));
    EXPECT_FALSE(player.Snapshot("/tmp/never.png"));
    EXPECT_EQ(-1, player.SetDisplayRect(0, 0, 320, 180));
    player.Release();

    PlayerLibrary nowhere({});
    EXPECT_EQ(nullptr, nowhere.Get());
    EXPECT_EQ("no libffplayer.so among", nowhere.Failure());
}

}  // namespace
