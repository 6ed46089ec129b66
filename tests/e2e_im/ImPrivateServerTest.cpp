// The IM client against a prosody of the test's own, with simulated cameras in the same process:
// the cases that change rosters or stop the server, which the shared peers must not see.
#include "ClientRig.h"
#include "PrivateProsody.h"

#include "PlaceholderVideo.h"
#include "SimCamera.h"
#include "base/ReconnectBackoff.h"
#include "device/CommandTexts.h"
#include "glooxWrap/KeepImConnection.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

#include <QScopeGuard>

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

class PrivateServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override
    {
        server.AddAccount("u1", "pw");
        server.AddAccount("pc1", "c");
        server.AddAccount("stranger", "c");
        server.SetRoster("u1", {{"pc1", "pc1"}});
        server.SetRoster("pc1", {{"u1", ""}});
        ASSERT_TRUE(server.Start()) << server.Error();
        settings.port = server.Port();
        settings.domain = KELVUE_DEVICE_DOMAIN;
        settings.rebootTime = std::chrono::milliseconds(300);
        camera = std::make_unique<SimCamera>(SimCamera::Account{"pc1", "c", "pc1", true}, settings, video, nullptr);
        stranger = std::make_unique<SimCamera>(SimCamera::Account{"stranger", "c", "s", true}, settings, video, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return camera->IsConnected() && stranger->IsConnected(); }));
    }
    void TearDown() override
    {
        rig.Disconnect();
        camera.reset();
        stranger.reset();
        server.Stop();
    }
    bool Received(SimCamera& cam, const std::string& line)
    {
        auto lines = cam.Received();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    PrivateProsody server;
    SimCamera::Settings settings;
    PlaceholderVideo video{1};
    std::unique_ptr<SimCamera> camera, stranger;
    ClientRig rig;
};

}  // namespace

TEST_F(PrivateServer, CommandForACameraNeverSeenOnlineIsDroppedAfterASubscriptionRequest)
{
    rig.Connect("u1", "pw", server.Port());
    ASSERT_TRUE(PumpUntil([&] { return !rig.window.EventsOf(WM_IM_PRESENCE, "pc1").empty(); }));
    EXPECT_FALSE(rig.im.IsFriend("stranger"));
    rig.params.ReqDevInfo("stranger");
    const std::string request = std::string("subscribe u1@") + KELVUE_DEVICE_DOMAIN;
    ASSERT_TRUE(PumpUntil([&] { return Received(*stranger, request); }));
    PumpFor(300);
    EXPECT_FALSE(Received(*stranger, CommandTexts::DevInfo()));
    // The accepted subscription makes the camera a contact whose presence now counts.
    EXPECT_TRUE(PumpUntil([&] { return rig.im.IsOnline("stranger"); }));
}

TEST_F(PrivateServer, AfterTheServerGoesAwaySendsAreRefusedAndPresenceIsTheLastOne)
{
    rig.Connect("u1", "pw", server.Port());
    ASSERT_TRUE(PumpUntil([&] { return rig.im.IsOnline("pc1"); }));
    ASSERT_TRUE(PumpUntil([&] { return camera->Received().size() >= 5; }));  // the online sequence
    server.Kill();
    ASSERT_TRUE(PumpUntil([&] { return !rig.im.IsConnected(); }));
    rig.imThread.join();  // the connection ended and is not started again
    PumpFor(100);         // what the IM thread posted before it ended
    const size_t events = rig.window.events.size();
    rig.im.SendMsg(DeviceJid("pc1"), CommandTexts::DevInfo());
    rig.im.Subscribe(DeviceJid("stranger"));
    rig.params.ReqVideoParam("pc1");
    PumpFor(200);
    EXPECT_TRUE(rig.im.IsOnline("pc1"));
    EXPECT_TRUE(rig.im.IsFriend("pc1"));
    EXPECT_EQ(events, rig.window.events.size());
}

// The server goes away and comes back: the client says the session is lost, forgets the presences,
// keeps trying after short pauses, and the new session brings the roster (not doubled), the camera's
// presence and its online sequence again.
TEST_F(PrivateServer, LostSessionComesBackWithRosterPresenceAndOnlineSequence)
{
    ReconnectBackoff backoff(std::chrono::milliseconds(100), std::chrono::milliseconds(400));
    const ImLogin login{"u1", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port()};
    rig.imThread = std::thread([&] { KeepImConnection(rig.im, login, backoff); });
    const auto stop = qScopeGuard([&] { rig.Disconnect(); });
    auto onlineSequences = [&] {
        auto lines = camera->Received();
        return std::count(lines.begin(), lines.end(), CommandTexts::DeviceOnline());
    };
    ASSERT_TRUE(PumpUntil([&] { return rig.im.IsOnline("pc1") && onlineSequences() == 1; }));

    server.Stop();
    ASSERT_TRUE(PumpUntil([&] { return rig.window.EventsOf(WM_IM_DISCONNECTED).size() == 1; }));
    EXPECT_FALSE(rig.im.IsConnected());
    EXPECT_FALSE(rig.im.IsOnline("pc1")) << "no camera is known online on a lost session";
    PumpFor(3000);  // attempts fail meanwhile, each after a pause
    EXPECT_EQ(1u, rig.window.EventsOf(WM_IM_DISCONNECTED).size()) << "failed attempts are no lost sessions";

    ASSERT_TRUE(server.Restart()) << server.Error();
    ASSERT_TRUE(PumpUntil([&] { return rig.window.EventsOf(WM_IM_CONNECTED).size() == 2; }, 10000));
    ASSERT_TRUE(PumpUntil([&] { return rig.window.EventsOf(WM_IM_ROSTER).size() == 2; }));
    ASSERT_TRUE(PumpUntil([&] { return onlineSequences() == 2; }, 15000)) << "the camera logs in again by itself";
    // A client back before the camera may first hear that it is unavailable.
    const auto presence = rig.window.EventsOf(WM_IM_PRESENCE, "pc1");
    ASSERT_GE(presence.size(), 2u);
    EXPECT_EQ(0u, presence.back().wParam);
    EXPECT_TRUE(rig.im.IsOnline("pc1"));
    std::vector<std::string> friends;
    rig.im.GetFriends(friends);
    EXPECT_EQ(std::vector<std::string>{"pc1"}, friends);
    EXPECT_EQ(2u, rig.window.LinesWith("roster").size());
}

// A log-in the server refuses: the window hears once that there is no session (not as if every camera
// were offline), the client keeps trying, and no later failure posts anything.
TEST_F(PrivateServer, ARefusedLogInIsToldOnceAndTriedAgain)
{
    ReconnectBackoff backoff(std::chrono::milliseconds(50), std::chrono::milliseconds(100));
    const ImLogin login{"u1", "wrong", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port()};
    rig.imThread = std::thread([&] { KeepImConnection(rig.im, login, backoff); });
    const auto stop = qScopeGuard([&] { rig.Disconnect(); });
    ASSERT_TRUE(PumpUntil([&] { return rig.window.EventsOf(WM_IM_DISCONNECTED).size() == 1; }));
    PumpFor(1500);  // several more refused attempts
    rig.Disconnect();
    EXPECT_GE(backoff.Attempts(), 3);
    EXPECT_EQ(1u, rig.window.EventsOf(WM_IM_DISCONNECTED).size());
    EXPECT_TRUE(rig.window.EventsOf(WM_IM_CONNECTED).empty());
}

// A quality switch the camera takes in but never answers: the cells stopped for it play the old stream
// again once the wait is over, and the answer that finally comes restarts nothing a second time.
TEST_F(PrivateServer, AnUnansweredQualitySwitchGivesTheCellsBackOnce)
{
    rig.Connect("u1", "pw", server.Port());
    ASSERT_TRUE(PumpUntil([&] { return rig.im.IsOnline("pc1"); }));
    camera->SetAnswering(false);
    rig.streams.SetRestart("pc1", true);  // as the cell does before the main window stops it
    rig.params.ReqSwitchRatio("pc1", 320);
    ASSERT_TRUE(PumpUntil([&] {
        auto lines = camera->Received();
        return std::any_of(lines.begin(), lines.end(), [](const std::string& body) { return CmdOf(body) == 13; });
    }));
    EXPECT_TRUE(rig.window.LinesWith("restart").empty());
    ASSERT_TRUE(PumpUntil([&] { return !rig.window.LinesWith("restart").empty(); },
                          StreamRequestMgr::kSwitchAnswerMs + 5000));
    camera->SetAnswering(true);
    camera->Say(R"({"cmd":13,"err_num":0})");
    ASSERT_TRUE(PumpUntil([&] { return !rig.window.LinesWith("encode pc1").empty(); })) << "the late success asks cmd 12";
    EXPECT_EQ(std::vector<std::string>{"restart pc1"}, rig.window.LinesWith("restart"));
}

// A device id with capitals: the server folds the user part of the camera's JID ("KV7" logs in and
// answers as "kv7"), and the client still sees the camera online and routes its replies to "KV7".
TEST_F(PrivateServer, ACameraWhoseIdHasCapitalsIsOnlineAndAnswersUnderThatId)
{
    server.AddAccount("kv7", "c");
    server.SetRoster("u1", {{"pc1", "pc1"}, {"kv7", "KV7"}});
    server.SetRoster("kv7", {{"u1", ""}});
    SimCamera kv7(SimCamera::Account{"KV7", "c", "门口", true}, settings, video, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return kv7.IsConnected(); }));
    rig.Connect("u1", "pw", server.Port());
    ASSERT_TRUE(PumpUntil([&] { return rig.im.IsOnline("KV7"); }));
    ASSERT_TRUE(PumpUntil([&] { return Received(kv7, CommandTexts::AlarmNotices()); }));  // the online sequence
    rig.params.ReqDevInfo("KV7");
    EXPECT_TRUE(PumpUntil([&] { return !rig.window.LinesWith("info KV7 门口").empty(); }));
    EXPECT_EQ(1u, rig.window.EventsOf(WM_IM_PRESENCE, "KV7").size());
    rig.Disconnect();
}

TEST_F(PrivateServer, RepeatedAvailablePresencePostsNothing)
{
    rig.Connect("u1", "pw", server.Port());
    ASSERT_TRUE(PumpUntil([&] { return rig.im.IsOnline("pc1"); }));
    camera->SetAway(true);
    PumpFor(200);
    camera->SetAway(false);
    PumpFor(300);
    EXPECT_EQ(1u, rig.window.EventsOf(WM_IM_PRESENCE, "pc1").size());
    EXPECT_TRUE(rig.im.IsOnline("pc1"));
}

TEST_F(PrivateServer, RebootedCameraGoesOfflineAndComesBackWithTheOnlineSequence)
{
    rig.Connect("u1", "pw", server.Port());
    ASSERT_TRUE(PumpUntil([&] { return rig.window.EventsOf(WM_IM_PRESENCE, "pc1").size() == 1; }));
    ASSERT_TRUE(PumpUntil([&] { return camera->Received().size() >= 5; }));
    rig.params.PostCmd("pc1", CommandTexts::Reboot());
    ASSERT_TRUE(PumpUntil([&] { return rig.window.EventsOf(WM_IM_PRESENCE, "pc1").size() == 3; }));
    auto presence = rig.window.EventsOf(WM_IM_PRESENCE, "pc1");
    EXPECT_EQ(5u, presence[1].wParam);
    EXPECT_EQ(0u, presence[2].wParam);
    ASSERT_TRUE(PumpUntil([&] {
        auto lines = camera->Received();
        return std::count(lines.begin(), lines.end(), CommandTexts::AlarmNotices()) == 2;
    }));
}

namespace {

// The IM client, noting on which thread each subscription request went out (the IM library logs every
// stanza it sends, on the sending thread).
class SubscriptionWatch : public CIMClient {
public:
    void OnLog(XmppLogKind kind, const std::string& message) override
    {
        if (kind == XmppLogKind::Sent && message.find("<presence") != std::string::npos &&
            message.find("'subscribe'") != std::string::npos) {
            std::lock_guard<std::mutex> lock(mutex_);
            senders_.push_back(std::this_thread::get_id());
        }
        CIMClient::OnLog(kind, message);
    }
    std::vector<std::thread::id> Senders()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return senders_;
    }

private:
    std::mutex mutex_;
    std::vector<std::thread::id> senders_;
};

}  // namespace

TEST_F(PrivateServer, TreeRebuildsAskEachNewCameraOnceAndLeaveTheSendingToTheImThread)
{
    SubscriptionWatch im;
    im.SetNotifyWnd(rig.window.GetHWND());
    std::thread::id imThreadId;
    std::thread imThread([&] {
        imThreadId = std::this_thread::get_id();
        im.ConnectServer("u1", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port());
    });
    struct Ending {
        SubscriptionWatch& im;
        std::thread& thread;
        ~Ending()
        {
            im.Disconnect();
            thread.join();
        }
    } ending{im, imThread};
    ASSERT_TRUE(PumpUntil([&] { return im.RosterGate().IsOpen(); }));
    // Three rebuilds of a tree of 4,000 cameras that are not contacts, as the main window runs them
    // while cameras come online. So many requests also fill the socket while the server answers each
    // with a roster push: the IM thread must keep reading, or both sides wait for each other.
    constexpr int kCameras = 4000;
    for (int rebuild = 0; rebuild < 3; ++rebuild)
        for (int i = 0; i < kCameras; ++i)
            if (!im.IsFriend("ghost" + std::to_string(i)))
                im.Subscribe(DeviceJid("ghost" + std::to_string(i)));
    EXPECT_TRUE(PumpUntil([&] { return im.Senders().size() >= static_cast<size_t>(kCameras); }, 60000));
    PumpFor(300);
    const std::vector<std::thread::id> senders = im.Senders();
    EXPECT_EQ(senders.size(), static_cast<size_t>(kCameras));
    EXPECT_EQ(std::count(senders.begin(), senders.end(), imThreadId), static_cast<long>(senders.size()));
}
