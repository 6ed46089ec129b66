#include "FakeMessenger.h"

#include "device/CommandSink.h"
#include "device/PtzControl.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// The queue as the control sees it: "device text" per command, in order.
struct RecordingQueue : CommandSink {
    void PostCmd(const std::string& deviceId, const std::string& text) override { posted.push_back(deviceId + " " + text); }
    Lines posted;
};

class Ptz : public ::testing::Test {
protected:
    void SetUp() override { presence.SetOnline("c1"); }
    FakeMessenger presence;
    RecordingQueue queue;
    PtzControl ptz{queue, presence};
};

}  // namespace

TEST_F(Ptz, EachButtonPressesAtTheSpeedAndReleasesWithItsStopText)
{
    const struct {
        UINT message;
        const char* press;
        const char* release;
    } table[] = {
        {WM_IDC_Btn_Left, R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 3, "param" : 5})",
         R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Right, R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 4, "param" : 5})",
         R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Up, R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 1, "param" : 5})",
         R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Down, R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 2, "param" : 5})",
         R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Near, R"({"cmd":25, "channel_id" : 0, "function" : 4, "control" : 1, "param" : 5})",
         R"({ "cmd":25, "channel_id" : 0, "function" : 4, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Far, R"({"cmd":25, "channel_id" : 0, "function" : 4, "control" : 2, "param" : 5})",
         R"({ "cmd":25, "channel_id" : 0, "function" : 4, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Short, R"({"cmd":25, "channel_id" : 0, "function" : 6, "control" : 1, "param" : 5})",
         R"({ "cmd":25, "channel_id" : 0, "function" : 6, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Long, R"({"cmd":25, "channel_id" : 0, "function" : 6, "control" : 2, "param" : 5})",
         R"({ "cmd":25, "channel_id" : 0, "function" : 6, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Big, R"({"cmd":25, "channel_id" : 0, "function" : 5, "control" : 1, "param" : 5})",
         R"({ "cmd":25, "channel_id" : 0, "function" : 5, "control" : 0, "param" : 0})"},
        {WM_IDC_Btn_Small, R"({"cmd":25, "channel_id" : 0, "function" : 5, "control" : 2, "param" : 5})",
         R"({ "cmd":25, "channel_id" : 0, "function" : 5, "control" : 0, "param" : 0})"},
    };
    ptz.SetSpeed(5);
    for (const auto& row : table) {
        queue.posted.clear();
        EXPECT_TRUE(ptz.HandleMove(row.message, 1, "c1"));
        EXPECT_TRUE(ptz.HandleMove(row.message, 0, "c1"));
        EXPECT_EQ(queue.posted, (Lines{std::string("c1 ") + row.press, std::string("c1 ") + row.release}))
            << std::hex << row.message;
    }
}

TEST_F(Ptz, OnlyTheTenMessagesAndTheTwoStatesCount)
{
    EXPECT_FALSE(ptz.HandleMove(0x674, 1, "c1"));  // the unused number between Down and Near
    EXPECT_FALSE(ptz.HandleMove(WM_IDC_Btn_Left - 1, 1, "c1"));
    EXPECT_TRUE(ptz.HandleMove(WM_IDC_Btn_Left, 2, "c1"));
    EXPECT_TRUE(queue.posted.empty());
}

TEST_F(Ptz, TheSpeedIsTakenAtThePress)
{
    ptz.SetSpeed(64);
    EXPECT_EQ(ptz.SpeedText(), "64");
    ptz.HandleMove(WM_IDC_Btn_Up, 1, "c1");
    ptz.SetSpeed(1);
    ptz.HandleMove(WM_IDC_Btn_Up, 0, "c1");
    ptz.HandleMove(WM_IDC_Btn_Up, 1, "c1");
    EXPECT_EQ(queue.posted, (Lines{R"(c1 {"cmd":25, "channel_id" : 0, "function" : 7, "control" : 1, "param" : 64})",
                                   R"(c1 {"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})",
                                   R"(c1 {"cmd":25, "channel_id" : 0, "function" : 7, "control" : 1, "param" : 1})"}));
}

TEST_F(Ptz, AReleaseTheOfflineCameraMissedIsQueuedOnceWhenItIsBack)
{
    ptz.HandleMove(WM_IDC_Btn_Left, 1, "c1");
    ptz.HandleMove(WM_IDC_Btn_Big, 1, "c1");
    presence.SetOffline("c1");
    ptz.HandleMove(WM_IDC_Btn_Left, 0, "c1");
    ptz.HandleMove(WM_IDC_Btn_Big, 0, "c1");
    EXPECT_EQ(queue.posted.size(), 2u) << "nothing is queued for an offline camera";

    ptz.OnDeviceOnline("c2");
    EXPECT_EQ(queue.posted.size(), 2u) << "another camera coming online changes nothing";
    presence.SetOnline("c1");
    ptz.OnDeviceOnline("c1");
    ptz.OnDeviceOnline("c1");
    EXPECT_EQ(queue.posted, (Lines{R"(c1 {"cmd":25, "channel_id" : 0, "function" : 7, "control" : 3, "param" : 32})",
                                   R"(c1 {"cmd":25, "channel_id" : 0, "function" : 5, "control" : 1, "param" : 32})",
                                   R"(c1 { "cmd":25, "channel_id" : 0, "function" : 5, "control" : 0, "param" : 0})",
                                   R"(c1 {"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"}));
}

TEST_F(Ptz, WithoutACameraTheTextsGoToTheEmptyIdAndAreDroppedByTheQueue)
{
    ptz.HandleMove(WM_IDC_Btn_Down, 1, "");
    ptz.HandleMove(WM_IDC_Btn_Down, 0, "");
    ASSERT_EQ(queue.posted.size(), 2u);
    EXPECT_EQ(queue.posted[1], R"( {"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})");
}

TEST_F(Ptz, PresetDeletionsAndCruiseAreQueued)
{
    ptz.DeletePreset("c1", 255);
    ptz.DeleteAllPresets("c1");
    ptz.StartCruise("c1");
    EXPECT_EQ(queue.posted, (Lines{R"(c1 {"cmd":25, "channel_id" : 0, "function" : 8, "control" : 2, "param" : 255})",
                                   R"(c1 {"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 40})",
                                   R"(c1 {"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 41})"}));
}
