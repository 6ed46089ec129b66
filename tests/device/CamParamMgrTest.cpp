#include "FakeMessenger.h"

#include "device/CamParamMgr.h"

#include <gtest/gtest.h>

namespace {

const std::string kCam = "cam1";
const std::string kJid = DeviceJid(kCam);

}  // namespace

TEST(CamParamMgr, SizeListSkipsPiecesThatAreNotTwoParts)
{
    const struct {
        const char* text;
        PictureSizes expected;
    } cases[] = {
        {"1920X1080&1280X720&bad&640X360X1", {{1920, 1080}, {1280, 720}}},
        {"1280X720&640X360", {{1280, 720}, {640, 360}}},
        {"", {}},
        {"&&X", {{0, 0}}},
        {"abcX12", {{0, 12}}},
        {"99999999999X-5", {{2147483647, -5}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, CamParamMgr::ParseSizeList(c.text)) << c.text;
}

TEST(CamParamMgr, StoreReplyKeepsValuesOnRefusalAndBadInput)
{
    FakeMessenger im;
    CamParamMgr mgr(im);
    PictureSizes sizes;
    EncodeParams encode;
    EXPECT_EQ(-1, mgr.GetSupRatios(kCam, sizes));
    EXPECT_EQ(-1, mgr.GetVideoParam(kCam, encode));

    EXPECT_EQ(0, mgr.StoreReply(kCam, R"({"cmd":14,"rstn_list":"1920X1080&1280X720&bad&640X360X1"})"));
    ASSERT_EQ(0, mgr.GetSupRatios(kCam, sizes));
    EXPECT_EQ((PictureSizes{{1920, 1080}, {1280, 720}}), sizes);
    EXPECT_EQ(0, mgr.GetVideoParam(kCam, encode));  // the entry exists with the defaults
    EXPECT_EQ(256, encode.bit_rate);

    const char* good12 = R"({"cmd":12,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":30,"height":360,"width":640})";
    EXPECT_EQ(0, mgr.StoreReply(kCam, good12));
    const struct {
        const char* body;
        int result;
    } refused[] = {
        {R"({"cmd":12,"err_num":3,"bit_rate":1})", 3},
        {"not json", -1},
        {"[12]", -1},
        {R"({"cmd":12,"bit_rate":{"x":1}})", -1},
        {R"({"cmd":12,"bit_rate":1e20})", -1},
        {R"({"cmd":12,"err_num":"x"})", -1},
    };
    for (const auto& r : refused)
        EXPECT_EQ(r.result, mgr.StoreReply(kCam, r.body)) << r.body;
    // Nesting beyond the JSON library's limit makes it throw: a reply, not the client, must fail.
    const std::string deep = R"({"cmd":12,"bit_rate":1,"x":)" + std::string(5000, '[') + std::string(5000, ']') + "}";
    EXPECT_EQ(-1, mgr.StoreReply(kCam, deep));
    ASSERT_EQ(0, mgr.GetVideoParam(kCam, encode));
    EXPECT_EQ(512, encode.bit_rate);
    EXPECT_EQ(640, encode.width);
    EXPECT_EQ(30, encode.key_frame_interval);

    // Missing members store 0; an empty size list leaves no sizes.
    EXPECT_EQ(0, mgr.StoreReply(kCam, R"({"cmd":10,"brightness":40})"));
    ImageParams image;
    ASSERT_EQ(0, mgr.GetImageParam(kCam, image));
    EXPECT_EQ(40, image.brightness);
    EXPECT_EQ(0, image.contrast);
    EXPECT_EQ(0, mgr.StoreReply(kCam, R"({"cmd":14})"));
    EXPECT_EQ(-1, mgr.GetSupRatios(kCam, sizes));

    EXPECT_EQ(0, mgr.StoreReply(kCam, R"({"cmd":4,"bright":1,"sensor_day":1})"));
    ImageCaps caps;
    ASSERT_EQ(0, mgr.GetImageCaps(kCam, caps));
    EXPECT_EQ(1, caps.bright);
    EXPECT_EQ(0, caps.contrast);

    EXPECT_FALSE(mgr.GetAudioFlag());
    EXPECT_EQ(0, mgr.StoreReply(kCam, R"({"cmd":27,"status":0})"));
    EXPECT_TRUE(mgr.GetAudioFlag());
    EXPECT_EQ(5, mgr.StoreReply(kCam, R"({"cmd":27,"status":1,"err_num":5})"));
    EXPECT_TRUE(mgr.GetAudioFlag());
}

TEST(CamParamMgr, SwitchRatioUsesTheReportedSizeOrTheLevelDefaults)
{
    FakeMessenger im;
    im.SetOnline(kCam);
    im.SetFriend(kCam);
    CamParamMgr mgr(im);
    mgr.ReqSwitchRatio(kCam, 640);  // no entry
    mgr.StoreReply(kCam, R"({"cmd":14,"rstn_list":"1280X720&640X360"})");
    mgr.ReqSwitchRatio(kCam, 1280);  // entry, no cmd 12 reply: defaults with the pair
    mgr.StoreReply(kCam, R"({"cmd":12,"bit_rate":300,"fps":20,"qos":25,"key_frame_interval":40,"height":1,"width":2})");
    mgr.ReqSwitchRatio(kCam, 640);   // stored encoding values with the pair
    mgr.ReqSwitchRatio(kCam, 320);   // not reported: level defaults
    mgr.ReqSwitchRatio(kCam, 800);   // unknown level: plain defaults
    const std::vector<std::string> expected = {
        R"({"cmd":13,"channel_id": 0,"bit_rate":256,"fps":12,"qos":30,"key_frame_interval":50,"height":360,"width":640})",
        R"({"cmd":13,"channel_id": 0,"bit_rate":256,"fps":12,"qos":0,"key_frame_interval":50,"height":720,"width":1280})",
        R"({"cmd":13,"channel_id": 0,"bit_rate":300,"fps":20,"qos":25,"key_frame_interval":40,"height":360,"width":640})",
        R"({"cmd":13,"channel_id": 0,"bit_rate":128,"fps":12,"qos":40,"key_frame_interval":50,"height":180,"width":320})",
        R"({"cmd":13,"channel_id": 0,"bit_rate":256,"fps":12,"qos":0,"key_frame_interval":50,"height":0,"width":800})",
    };
    im.WaitCalls(expected.size());
    EXPECT_EQ(expected, im.SentBodies());
}

TEST(CamParamMgr, WorkerSubscribesStrangersAndSendsOnlyToOnlineCamerasInOrder)
{
    FakeMessenger im;
    im.SetOnline("online");
    im.SetFriend("online");
    im.SetOnline("stranger");
    CamParamMgr mgr(im);
    for (int i = 0; i < 50; ++i)
        mgr.PostCmd("online", std::to_string(i));
    mgr.PostCmd("", "no camera selected");  // dropped without a subscription to "@" + domain
    mgr.PostCmd("a b", "no JID");
    mgr.PostCmd("x@y", "no JID");
    mgr.PostCmd("offline", "dropped");
    mgr.PostCmd("stranger", "s");
    auto calls = im.WaitCalls(53);
    ASSERT_EQ(53u, calls.size());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ((FakeMessenger::Call{"send", DeviceJid("online"), std::to_string(i)}), calls[i]);
    EXPECT_EQ((FakeMessenger::Call{"subscribe", DeviceJid("offline"), ""}), calls[50]);
    EXPECT_EQ((FakeMessenger::Call{"subscribe", DeviceJid("stranger"), ""}), calls[51]);
    EXPECT_EQ((FakeMessenger::Call{"send", DeviceJid("stranger"), "s"}), calls[52]);
    mgr.PostCmd("online", "last");
    EXPECT_EQ(54u, im.WaitCalls(54).size());
    EXPECT_EQ((FakeMessenger::Call{"send", DeviceJid("online"), "last"}), im.Calls().back());
}
