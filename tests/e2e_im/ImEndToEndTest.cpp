// The IM client and the device protocol against the peers: prosody, cloudsim (the log-in gives the IM
// server and password) and camsim (the cameras of the demo data, steered through its control port).
#include "CamsimControl.h"
#include "ClientRig.h"

#include "app/LocalConfig.h"
#include "app/UserSession.h"
#include "service/AlarmMgr.h"
#include "device/CommandTexts.h"
#include "support/Today.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace {

const char* kMobile = "13800138000";
const char* kPassword = "kelvue123";
// Demo cameras of the main account: online at start, except kv100104.
const std::string kGate = "kv100101";
const std::string kDesk = "kv100102";
const std::string kServerRoom = "kv100105";
const std::string kDome = "kv100112";
const std::string kMeetingRoom = "kv100104";

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureApplication();
        // Alarm pictures fetched by AlarmMgr land in a folder of the test's own.
        char pattern[] = "/tmp/kelvue-im-e2e-XXXXXX";
        programFolder = std::string(::mkdtemp(pattern)) + "/";
        LocalConfig::Instance()->InitAt(programFolder, programFolder + "kelvue");
        ASSERT_EQ(0, UserSession::Instance()->Login(kMobile, kPassword)) << UserSession::Instance()->ErrorText();
    }
    static void TearDownTestSuite()
    {
        std::error_code ignored;
        std::filesystem::remove_all(programFolder, ignored);
    }
    static inline std::string programFolder;
    // Every camera the tests use starts online, answering and cleared, whatever an earlier test left.
    void SetUp() override
    {
        for (const auto& id : {kGate, kDesk, kServerRoom, kDome}) {
            ASSERT_TRUE(camsim.Post(id, "unmute")) << "camsim does not answer for " << id;
            ASSERT_TRUE(camsim.Post(id, "back"));
            ASSERT_TRUE(camsim.Post(id, "online"));
            ASSERT_TRUE(PumpUntil([&] { return camsim.IsOnline(id); })) << id << " does not come online";
            ASSERT_TRUE(camsim.Post(id, "clear"));
        }
    }
    // Commands of this test still on their way must not reach the next one.
    void TearDown() override
    {
        rig.Disconnect();
        PumpFor(300);
    }
    size_t PresenceEvents(const std::string& id) { return rig.window.EventsOf(WM_IM_PRESENCE, id).size(); }
    // Connects and waits for the roster and the first presence of the named cameras.
    void ConnectAndWaitFor(const std::vector<std::string>& cameras)
    {
        rig.ConnectFromSession();
        ASSERT_TRUE(PumpUntil([&] {
            for (const auto& id : cameras)
                if (!rig.im.IsOnline(id))
                    return false;
            return !rig.window.EventsOf(WM_IM_ROSTER).empty();
        }));
    }
    bool WaitCmds(const std::string& id, size_t n)
    {
        return PumpUntil([&] { return camsim.ReceivedCmds(id).size() >= n; });
    }
    // Waits until the camera has the online sequence, which ends with cmd 82.
    bool WaitOnlineSequence(const std::string& id)
    {
        return PumpUntil([&] {
            auto cmds = camsim.ReceivedCmds(id);
            return !cmds.empty() && cmds.back() == 82;
        });
    }

    CamsimControl camsim;
    ClientRig rig;
};

}  // namespace

TEST_F(EndToEnd, ConnectsWithTheLoginReplyAndGetsTheRosterAndOnePresencePerCamera)
{
    ConnectAndWaitFor({kGate});
    ASSERT_FALSE(rig.window.events.empty());
    EXPECT_EQ(WM_IM_CONNECTED, rig.window.events.front().message);
    EXPECT_EQ(1u, rig.window.EventsOf(WM_IM_ROSTER).size());
    EXPECT_TRUE(rig.im.ConnectedGate().IsOpen());
    EXPECT_TRUE(rig.im.FirstAttemptGate().IsOpen());
    EXPECT_TRUE(rig.im.RosterGate().IsOpen());
    std::smatch match;
    const std::string jid = rig.im.BoundJid();
    ASSERT_TRUE(std::regex_match(jid, match, std::regex(std::string(kMobile) + "@" KELVUE_DEVICE_DOMAIN "/([0-9]+)")));
    EXPECT_LE(std::stoi(match[1]), 9999);
    EXPECT_TRUE(rig.im.IsFriend(kGate));
    EXPECT_FALSE(rig.im.IsFriend("kv100301"));  // another account's camera
    EXPECT_FALSE(rig.im.IsFriend(kGate + "@" KELVUE_DEVICE_DOMAIN));  // names, not addresses
    // IsOnline turns true before the presence event is handled, and prosody sends the presences in any
    // order: wait for both events, then a little longer so that a repeated event would show.
    PumpUntil([&] { return PresenceEvents(kMeetingRoom) > 0 && PresenceEvents(kGate) > 0; }, 2000);
    PumpFor(200);
    auto gate = rig.window.EventsOf(WM_IM_PRESENCE, kGate);
    ASSERT_EQ(1u, gate.size());
    EXPECT_EQ(0u, gate[0].wParam);
    auto meeting = rig.window.EventsOf(WM_IM_PRESENCE, kMeetingRoom);
    ASSERT_EQ(1u, meeting.size());
    EXPECT_EQ(5u, meeting[0].wParam);
    EXPECT_FALSE(rig.im.IsOnline(kMeetingRoom));
}

TEST_F(EndToEnd, CameraGoingOfflineAwayAndOnlineAgain)
{
    ConnectAndWaitFor({kDesk});
    ASSERT_TRUE(PumpUntil([&] { return PresenceEvents(kDesk) == 1; }));
    // The first online sequence lands before the camera goes: one still queued or on its way could
    // reach the camera's next session and be counted with the sequence of its coming back.
    ASSERT_TRUE(WaitOnlineSequence(kDesk));
    ASSERT_TRUE(camsim.Post(kDesk, "offline"));
    ASSERT_TRUE(PumpUntil([&] { return PresenceEvents(kDesk) == 2; }));
    EXPECT_FALSE(rig.im.IsOnline(kDesk));
    auto presence = rig.window.EventsOf(WM_IM_PRESENCE, kDesk);
    ASSERT_EQ(2u, presence.size());
    EXPECT_EQ(5u, presence[1].wParam);
    EXPECT_EQ(1u, rig.window.LinesWith("offline " + kDesk).size());

    ASSERT_TRUE(camsim.Post(kDesk, "clear"));
    ASSERT_TRUE(camsim.Post(kDesk, "online"));
    ASSERT_TRUE(PumpUntil([&] { return PresenceEvents(kDesk) == 3; }));
    EXPECT_TRUE(rig.im.IsOnline(kDesk));
    ASSERT_TRUE(WaitCmds(kDesk, 5));
    EXPECT_EQ((std::vector<int>{60, 14, 4, 40, 82}), camsim.ReceivedCmds(kDesk));
    EXPECT_EQ(CommandTexts::DeviceOnline(), camsim.Received(kDesk).front());

    ASSERT_TRUE(camsim.Post(kDesk, "away"));
    PumpFor(400);
    ASSERT_TRUE(camsim.Post(kDesk, "back"));
    PumpFor(400);
    EXPECT_TRUE(rig.im.IsOnline(kDesk));
    presence = rig.window.EventsOf(WM_IM_PRESENCE, kDesk);
    ASSERT_EQ(3u, presence.size());  // exactly one for coming online, none for away and back
    EXPECT_EQ(0u, presence[2].wParam);
    EXPECT_EQ((std::vector<int>{60, 14, 4, 40, 82}), camsim.ReceivedCmds(kDesk)) << "no commands for away and back";
}

TEST_F(EndToEnd, QueuedCommandsArriveInOrderAndRepliesAreRoutedByCmd)
{
    ConnectAndWaitFor({kGate});
    ASSERT_TRUE(WaitOnlineSequence(kGate));
    ASSERT_TRUE(camsim.Post(kGate, "clear"));
    std::vector<int> expected;
    for (int i = 0; i < 10; ++i) {
        if (i % 2 == 0)
            rig.params.ReqDevInfo(kGate);
        else
            rig.params.ReqVideoParam(kGate);
        expected.push_back(i % 2 == 0 ? 5 : 12);
    }
    ASSERT_TRUE(WaitCmds(kGate, expected.size()));
    EXPECT_EQ(expected, camsim.ReceivedCmds(kGate));
    ASSERT_TRUE(PumpUntil([&] { return rig.window.LinesWith("encode " + kGate).size() == 5; }));
    EXPECT_EQ(5u, rig.window.LinesWith("info " + kGate + " ").size());
    EncodeParams stored;
    ASSERT_EQ(0, rig.params.GetVideoParam(kGate, stored));
    EXPECT_EQ(640, stored.width);
    EXPECT_EQ(360, stored.height);
    PictureSizes sizes;
    ASSERT_EQ(0, rig.params.GetSupRatios(kGate, sizes));
    EXPECT_EQ((PictureSizes{{1280, 720}, {640, 360}, {320, 180}}), sizes);

    // A refused read keeps the stored values; an unknown cmd does nothing.
    ASSERT_TRUE(camsim.Post(kGate, "say", R"({"cmd":12,"err_num":3,"bit_rate":1,"width":1,"height":1})"));
    ASSERT_TRUE(camsim.Post(kGate, "say", R"({"cmd":99,"err_num":0})"));
    ASSERT_TRUE(PumpUntil([&] { return !rig.window.LinesWith("box 视频参数获取错误！").empty(); }));
    PumpFor(200);
    ASSERT_EQ(0, rig.params.GetVideoParam(kGate, stored));
    EXPECT_EQ(640, stored.width);
    EXPECT_EQ(5u, rig.window.LinesWith("encode").size());

    // Alarm notices, pushed unasked, count only while the setting is on.
    rig.window.alarmsWanted = false;
    ASSERT_TRUE(camsim.Post(kGate, "alarm"));
    ASSERT_TRUE(PumpUntil([&] { return rig.window.alarmNotices == 1; }));
    EXPECT_EQ(0, rig.window.unseen);
    rig.window.alarmsWanted = true;
    ASSERT_TRUE(camsim.Post(kGate, "alarm"));
    ASSERT_TRUE(PumpUntil([&] { return rig.window.alarmNotices == 2; }));
    EXPECT_EQ(1, rig.window.unseen);
    EXPECT_EQ((std::vector<std::string>{"alarms 1"}), rig.window.LinesWith("alarms"));

    // camsim recorded both alarms with the cloud service, as a camera uploads them.
    AlarmMgr* alarms = AlarmMgr::Instance();
    ASSERT_EQ(0, alarms->ReqAlarmList(Today(), 0, 0, 0)) << alarms->GetErrorText();
    std::vector<AlarmRecord> records;
    alarms->GetAlarms(records);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(kGate, records[0].deviceId);
    EXPECT_EQ(kGate, records[1].deviceId);
}

TEST_F(EndToEnd, PlayAddressOpensTheWaitingCellsAndKeepAliveCoversCachedAddressesOnly)
{
    ASSERT_TRUE(camsim.Post(kServerRoom, "mute"));  // its prefetch stays unanswered: no cached address
    ConnectAndWaitFor({kGate, kServerRoom});
    ASSERT_TRUE(WaitCmds(kGate, 5));
    ASSERT_TRUE(WaitCmds(kServerRoom, 5));
    PumpFor(200);  // replies to the online sequence
    std::string url;
    ASSERT_TRUE(PumpUntil([&] { return rig.streams.GetPlayUrl(kGate, url); }));  // the prefetch
    EXPECT_TRUE(rig.window.LinesWith("open").empty());

    rig.streams.ReqPlayUrl(kGate, true);
    rig.streams.ReqPlayUrl(kGate, true);
    ASSERT_TRUE(PumpUntil([&] { return !rig.window.LinesWith("watched").empty(); }));
    EXPECT_EQ((std::vector<std::string>{"open " + kGate + " " + url, "open " + kGate + " " + url}),
              rig.window.LinesWith("open"));
    EXPECT_EQ(1u, rig.window.LinesWith("watched").size());
    // Both requests reached the camera (the first answer opened both cells).
    ASSERT_TRUE(PumpUntil([&] {
        auto cmds = camsim.ReceivedCmds(kGate);
        return std::count(cmds.begin(), cmds.end(), 40) == 3;
    }));
    PumpFor(100);

    ASSERT_TRUE(camsim.Post(kGate, "clear"));
    ASSERT_TRUE(camsim.Post(kServerRoom, "clear"));
    rig.streams.SetKeepAlivePeriod(150);
    ASSERT_TRUE(PumpUntil([&] { return camsim.ReceivedCmds(kGate).size() >= 2; }));
    rig.streams.SetKeepAlivePeriod(StreamRequestMgr::kKeepAliveMs);
    auto received = camsim.Received(kGate);
    EXPECT_LE(2, std::count(received.begin(), received.end(), CommandTexts::KeepAlive(url)));
    EXPECT_EQ(received.size(), static_cast<size_t>(std::count(received.begin(), received.end(), CommandTexts::KeepAlive(url))));
    EXPECT_TRUE(camsim.Received(kServerRoom).empty());
    EXPECT_TRUE(camsim.Post(kServerRoom, "unmute"));
}

TEST_F(EndToEnd, DirectCommandIssuedBeforeTheRosterIsSentOnceItArrives)
{
    rig.direct.SendCmdDirect(kDome, CommandTexts::PtzSetPreset(3));
    PumpFor(100);
    EXPECT_TRUE(camsim.Received(kDome).empty());
    rig.ConnectFromSession();
    ASSERT_TRUE(PumpUntil([&] { return !camsim.Received(kDome).empty(); }));
    EXPECT_TRUE(rig.im.RosterGate().IsOpen());
    auto received = camsim.Received(kDome);
    EXPECT_EQ(1, std::count(received.begin(), received.end(), CommandTexts::PtzSetPreset(3)));
}
