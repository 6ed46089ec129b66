// The pan-tilt-zoom page of the main window's layout, driven with the mouse: which messages the
// buttons post, and the texts the camera receives for them and for the presets.
#include "MainPagesRig.h"

#include "duiWrap/PtzPanel.h"
#include "ui/CComboUI.h"
#include "ui/CSliderUI.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class PtzPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.Init(rig.window.GetHWND());
        rig.window.onNotify = [this](TNotifyUI& msg) {
            if (msg.sType == "valuechanged")
                panel.ReadSpeed();
            else if (msg.sType == "click" && msg.pSender)
                panel.OnClick(msg.pSender->GetName(), "c1");
        };
    }
    // Hands the posted move messages to the panel, as the main window does.
    void Deliver()
    {
        uitest::Pump(20);
        for (const auto& m : rig.window.messages)
            panel.HandleMessage(m.message, m.wParam, "c1");
        rig.window.messages.clear();
    }
    void SetSpeed(int value)
    {
        uitest::Find<CSliderUI>(rig.window, "IDC_SLIDSPEED")->SetValue(value);
        uitest::Pump(10);
    }

    MainPagesRig rig;
    Lines direct;
    PtzPanel panel{*rig.window.GetPaintManager(), rig.params, rig.im,
                   [this](const std::string& id, const std::string& text) { direct.push_back(id + " " + text); }};
};

}  // namespace

TEST_F(PtzPage, EveryButtonPostsPressAndReleaseAndTheCameraGetsBothTexts)
{
    SetSpeed(5);
    EXPECT_EQ(panel.Speed(), 5);
    size_t sent = 0;
    for (const PtzControl::Move& move : PtzControl::kMoves) {
        CControlUI* button = rig.Control(move.buttonName);
        ASSERT_NE(button, nullptr) << move.buttonName;
        uitest::Press(button);
        uitest::Pump(20);
        ASSERT_EQ(rig.window.messages.size(), 1u) << move.buttonName << ": the press alone posts";
        EXPECT_EQ(rig.window.messages[0].message, move.message);
        EXPECT_EQ(rig.window.messages[0].wParam, 1u);
        Deliver();
        uitest::Release(button);
        uitest::Pump(20);
        ASSERT_EQ(rig.window.messages.size(), 1u) << move.buttonName;
        EXPECT_EQ(rig.window.messages[0].wParam, 0u);
        Deliver();
        sent += 2;
        const Lines bodies = rig.Sent(sent);
        ASSERT_EQ(bodies.size(), sent);
        const std::string f = std::to_string(move.function);
        EXPECT_EQ(bodies[sent - 2], R"({"cmd":25, "channel_id" : 0, "function" : )" + f + R"(, "control" : )" +
                                        std::to_string(move.control) + R"(, "param" : 5})");
        EXPECT_EQ(bodies[sent - 1], std::string(move.function == 7 ? "{" : "{ ") +
                                        R"("cmd":25, "channel_id" : 0, "function" : )" + f +
                                        R"(, "control" : 0, "param" : 0})");
    }
}

TEST_F(PtzPage, MovingTheSliderWhileHoldingChangesNothingForTheMovement)
{
    CControlUI* left = rig.Control("IDC_BTNLEFT");
    SetSpeed(5);
    uitest::Press(left);
    Deliver();
    SetSpeed(60);
    uitest::Release(left, QPoint(200, 0));  // let go away from the button: still the release
    Deliver();
    EXPECT_EQ(rig.Sent(2), (Lines{R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 3, "param" : 5})",
                                  R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"}));
    EXPECT_EQ(panel.Speed(), 60);
}

TEST_F(PtzPage, PresetsOneTo255GoDirectOrQueuedAsTheirButtonSays)
{
    auto* presets = uitest::Find<CComboUI>(rig.window, "IDC_COMBO_POINT");
    ASSERT_NE(presets, nullptr);
    ASSERT_EQ(presets->GetCount(), 255);
    EXPECT_EQ(presets->GetText(), QStringLiteral("1"));
    EXPECT_EQ(presets->GetItemAt(254)->GetText(), QStringLiteral("255"));

    uitest::Click(rig.Control("IDC_BUTTON_GETPOINT"));
    uitest::ChooseComboItem(presets, 254);
    uitest::Click(rig.Control("IDC_BUTTON_ADDPOINT"));
    uitest::Click(rig.Control("IDC_BUTTON_DELPOINT"));
    uitest::Click(rig.Control("IDC_BUTTON_DELALLPOINT"));
    uitest::Click(rig.Control("IDC_BUTTON_CRUISE"));
    EXPECT_EQ(direct, (Lines{R"(c1 {"cmd":25, "channel_id" : 0, "function" : 8, "control" : 3, "param" : 1})",
                             R"(c1 {"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 255})"}));
    EXPECT_EQ(rig.Sent(3), (Lines{R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 2, "param" : 255})",
                                  R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 40})",
                                  R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 41})"}));
}
