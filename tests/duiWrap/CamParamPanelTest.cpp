// The parameter page of the main window's layout: what refresh and save send, and how the camera's
// stored answers fill the device information, encoding and image panels.
#include "MainPagesRig.h"

#include "duiWrap/CamParamPanel.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CComboUI.h"
#include "ui/CSliderUI.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class ParamPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.window.onNotify = [this](TNotifyUI& msg) {
            if (msg.sType == "click" && msg.pSender)
                panel.OnClick(msg.pSender->GetName(), camera);
        };
        panel.ShowCamera(camera);
    }
    QString Text(const char* name) { return rig.Control(name)->GetText(); }
    bool Shown(const char* name) { return rig.Control(name)->IsVisible(); }
    void Store(const std::string& body) { ASSERT_EQ(rig.params.StoreReply("c1", body), 0) << body; }

    MainPagesRig rig;
    uitest::MsgTipRecorder boxes;
    std::string camera = "c1";
    Lines stopped;
    CamParamPanel panel{*rig.window.GetPaintManager(), rig.window.GetHWND(), rig.params, rig.streams, rig.im,
                        [this](const std::string& id) { stopped.push_back(id); }};
};

}  // namespace

TEST_F(ParamPage, WithoutACameraOrOfflineRefreshAndSaveSaySoAndSendNothing)
{
    camera.clear();
    uitest::Click(rig.Control("IDC_BTNREFLASH"));
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    camera = "c2";  // not online
    rig.Control("IDC_EDIT_BITSTREAM")->SetText(QStringLiteral("64"));
    uitest::Click(rig.Control("IDC_BTNREFLASH"));
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("请先选定摄像头"), QStringLiteral("没有选中摄像机"),
                                        QStringLiteral("摄像头不在线"), QStringLiteral("摄像头不在线")}));
    uitest::Pump(50);
    EXPECT_TRUE(rig.im.Calls().empty());
    EXPECT_TRUE(stopped.empty());
}

TEST_F(ParamPage, RefreshAsksForImageValuesOnlyWhenTheCameraOffersAny)
{
    uitest::Click(rig.Control("IDC_BTNREFLASH"));  // capabilities not known yet: no image request
    Store(R"({"cmd":4,"bright":0,"contrast":0,"saturation":0,"sensor_black":0,"sensor_day":0})");
    Store(R"({"cmd":10})");
    uitest::Click(rig.Control("IDC_BTNREFLASH"));  // known, none offered: every image row hides at once
    for (const char* row : {"lightnessLayout", "contrastLayout", "saturationLayout", "daytimeLayout", "nighttimeLayout"})
        EXPECT_FALSE(Shown(row)) << row;
    Store(R"({"cmd":4,"sensor_day":1})");
    uitest::Click(rig.Control("IDC_BTNREFLASH"));
    const std::string info = R"({"cmd":5})", video = R"({"cmd":12, "channel_id":0})",
                      audio = R"({ "channel_id": 0, "cmd":27})";
    EXPECT_EQ(rig.Sent(10), (Lines{info, video, audio, info, video, audio, info, R"({"cmd":10, "channel_id":0})",
                                   video, audio}));
}

TEST_F(ParamPage, StoredAnswersFillThePanels)
{
    panel.ShowDeviceInfo("c1", {"门口", "RJ45", "IPC", "KV-1", "1.0.3"});
    EXPECT_EQ(Text("CameraName"), QStringLiteral("门口"));
    EXPECT_EQ(Text("IDC_EDITCOM"), QStringLiteral("RJ45"));
    EXPECT_EQ(Text("IDC_EDITDEVTYPE"), QStringLiteral("IPC"));
    EXPECT_EQ(Text("IDC_EDITPVERSION"), QStringLiteral("KV-1"));
    EXPECT_EQ(Text("IDC_EDITVERSION"), QStringLiteral("1.0.3"));
    panel.ShowDeviceInfo("c1", {"", "", "", "", ""});
    EXPECT_EQ(Text("CameraName"), QStringLiteral("门口")) << "an empty name keeps the shown one";

    Store(R"({"cmd":14,"rstn_list":"1920X1080&1280X720&640X360"})");
    Store(R"({"cmd":12,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":28,"height":720,"width":1280})");
    panel.ShowEncodePanel("c1");
    EXPECT_EQ(Text("IDC_EDIT_BITSTREAM"), QStringLiteral("64"));
    auto* sizes = uitest::Find<CComboUI>(rig.window, "IDC_CMBVSIZE");
    ASSERT_EQ(sizes->GetCount(), 3);
    EXPECT_EQ(sizes->GetItemAt(0)->GetText(), QStringLiteral("1920X1080"));
    EXPECT_EQ(sizes->GetItemAt(2)->GetTag(), 640u);
    EXPECT_EQ(Text("IDC_CMBVSIZE"), QStringLiteral("1280X720"));
    EXPECT_EQ(Text("IDC_CMBQLY"), QStringLiteral("28"));
    EXPECT_EQ(Text("IDC_CMBFRATE"), QStringLiteral("25"));

    // Capability 0 hides its row, 1 shows the value (held to the slider's range), anything else leaves it.
    Store(R"({"cmd":4,"bright":1,"contrast":0,"saturation":1,"sensor_black":2,"sensor_day":1})");
    Store(R"({"cmd":10,"brightness":40,"contrast":9,"saturation":300,"sensor_black":11,"sensor_day":70})");
    panel.ShowImagePanel("c1");
    EXPECT_TRUE(Shown("lightnessLayout"));
    EXPECT_EQ(uitest::Find<CSliderUI>(rig.window, "lightnessSlider")->GetValue(), 40);
    EXPECT_EQ(Text("IDC_EDIT_LIGHTNESS"), QStringLiteral("40"));
    EXPECT_FALSE(Shown("contrastLayout"));
    EXPECT_EQ(Text("IDC_EDIT_SATURATION"), QStringLiteral("255"));
    EXPECT_EQ(Text("IDC_EDIT_DAYTIME"), QStringLiteral("70"));
    EXPECT_EQ(Text("IDC_EDIT_NIGTHTIME"), QString());

    // Another camera's answers are stored for it and leave the panels to the shown camera.
    ASSERT_EQ(rig.params.StoreReply("c2", R"({"cmd":12,"bit_rate":256,"fps":12,"qos":30,"height":180,"width":320})"), 0);
    ASSERT_EQ(rig.params.StoreReply("c2", R"({"cmd":4,"bright":0,"contrast":1,"saturation":1,"sensor_black":1,"sensor_day":1})"), 0);
    ASSERT_EQ(rig.params.StoreReply("c2", R"({"cmd":10,"brightness":1,"contrast":2,"saturation":3,"sensor_black":4,"sensor_day":5})"), 0);
    panel.ShowEncodePanel("c2");
    panel.ShowImagePanel("c2");
    panel.ShowDeviceInfo("c2", {"后门", "WIFI", "NVR", "KV-2", "2.0"});
    EXPECT_EQ(Text("IDC_EDIT_BITSTREAM"), QStringLiteral("64"));
    EXPECT_EQ(Text("IDC_CMBVSIZE"), QStringLiteral("1280X720"));
    EXPECT_TRUE(Shown("lightnessLayout"));
    EXPECT_EQ(Text("IDC_EDIT_SATURATION"), QStringLiteral("255"));
    EXPECT_EQ(Text("CameraName"), QStringLiteral("门口"));
    EXPECT_EQ(Text("IDC_EDITCOM"), QString()) << "as c1's second answer left it";
    EncodeParams stored;
    ASSERT_EQ(rig.params.GetVideoParam("c2", stored), 0);
    EXPECT_EQ(stored.width, 320);
}

TEST_F(ParamPage, SaveSendsThePanelAndTheAudioChoice)
{
    Store(R"({"cmd":12,"bit_rate":256,"fps":12,"qos":30,"key_frame_interval":24,"height":720,"width":1280})");
    panel.ShowEncodePanel("c1");
    rig.Control("IDC_EDIT_BITSTREAM")->SetText(QStringLiteral("64"));
    uitest::ChooseComboItem(uitest::Find<CComboUI>(rig.window, "IDC_CMBFRATE"), 24);
    uitest::ChooseComboItem(uitest::Find<CComboUI>(rig.window, "IDC_CMBQLY"), 6);
    uitest::ChooseComboItem(uitest::Find<CComboUI>(rig.window, "IDC_CMBVSIZE"), 1);
    ASSERT_EQ(Text("IDC_CMBVSIZE"), QStringLiteral("640X360"));
    panel.SetAudioChecked("c1", true);
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    EXPECT_EQ(rig.Sent(2),
              (Lines{R"({"cmd":13,"channel_id": 0,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":28,"height":360,"width":640})",
                     R"({"channel_id": 0, "cmd":26,"status":0})"}));
    EXPECT_EQ(stopped, Lines{"c1"}) << "a new width stops the camera's cells";
    EXPECT_TRUE(rig.streams.GetRestart("c1"));

    // The same width again: the cells keep playing. An empty bit rate sends only the audio choice.
    rig.streams.SetRestart("c1", false);
    Store(R"({"cmd":12,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":28,"height":360,"width":640})");
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    panel.SetAudioChecked("c1", false);
    rig.Control("IDC_EDIT_BITSTREAM")->SetText(QString());
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    const Lines sent = rig.Sent(5);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[4], R"({"channel_id": 0, "cmd":26,"status":1})");
    EXPECT_EQ(stopped, Lines{"c1"});
    EXPECT_FALSE(rig.streams.GetRestart("c1"));
}

// The panels hold the shown camera's values only: after choosing another camera they are empty until
// its answers come, and a save sends that camera nothing of the camera shown before, its sound
// included, until the user chooses it.
TEST_F(ParamPage, AnotherCameraNeverGetsTheSettingsOfTheOneShownBefore)
{
    rig.im.SetOnline("c2");
    Store(R"({"cmd":14,"rstn_list":"1280X720&640X360"})");
    Store(R"({"cmd":12,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":28,"height":720,"width":1280})");
    panel.ShowCamera("c1");
    panel.ShowEncodePanel("c1");
    panel.ShowDeviceInfo("c1", {"门口", "RJ45", "IPC", "KV-1", "1.0.3"});
    Store(R"({"cmd":4,"bright":1,"contrast":1,"saturation":1,"sensor_black":1,"sensor_day":1})");
    Store(R"({"cmd":10,"brightness":40})");
    panel.ShowImagePanel("c1");
    panel.SetAudioChecked("c1", true);
    ASSERT_EQ(Text("IDC_EDIT_BITSTREAM"), QStringLiteral("64"));
    ASSERT_TRUE(Shown("lightnessLayout"));

    camera = "c2";
    panel.ShowCamera("c2");
    auto* audio = uitest::Find<CCheckBoxUI>(rig.window, "IDC_CHKAUDIO");
    EXPECT_EQ(Text("IDC_EDIT_BITSTREAM"), QString());
    EXPECT_EQ(uitest::Find<CComboUI>(rig.window, "IDC_CMBVSIZE")->GetCount(), 0);
    EXPECT_EQ(Text("IDC_CMBQLY"), QString());
    EXPECT_EQ(Text("IDC_CMBFRATE"), QString());
    EXPECT_EQ(Text("IDC_EDITDEVTYPE"), QString());
    EXPECT_FALSE(Shown("lightnessLayout"));
    EXPECT_FALSE(audio->GetCheck());
    panel.SetAudioChecked("c1", true);  // the camera shown before answers late
    EXPECT_FALSE(audio->GetCheck());
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    rig.Control("IDC_EDIT_BITSTREAM")->SetText(QStringLiteral("64"));  // c2's sizes are not known yet
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("请先选择分辨率")});
    uitest::Pump(50);
    EXPECT_TRUE(rig.im.Calls().empty()) << "c2's sound is unknown: nothing to save, and no picture size";
    rig.Control("IDC_EDIT_BITSTREAM")->SetText(QString());
    EXPECT_TRUE(stopped.empty());
    uitest::Click(audio);  // the user's own choice is sent
    uitest::Click(rig.Control("IDC_BTNSAVE"));
    EXPECT_EQ(rig.Sent(1), Lines{R"({"channel_id": 0, "cmd":26,"status":0})"});

    // The camera's own answer fills the page again; choosing the same camera again keeps the edits.
    camera = "c1";
    panel.ShowCamera("c1");
    panel.ShowEncodePanel("c1");
    EXPECT_EQ(Text("IDC_CMBVSIZE"), QStringLiteral("1280X720"));
    EXPECT_EQ(Text("IDC_CMBQLY"), QStringLiteral("28"));
    EXPECT_EQ(Text("IDC_CMBFRATE"), QStringLiteral("25"));
    rig.Control("IDC_EDIT_BITSTREAM")->SetText(QStringLiteral("32"));
    panel.ShowCamera("c1");
    EXPECT_EQ(Text("IDC_EDIT_BITSTREAM"), QStringLiteral("32"));
}
