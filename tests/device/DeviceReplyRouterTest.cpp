#include "FakeMessenger.h"
#include "RecordingView.h"

#include "device/CamParamMgr.h"
#include "device/DeviceReplyRouter.h"
#include "device/StreamRequestMgr.h"
#include "glooxWrap/ImEvents.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

using Lines = std::vector<std::string>;

class Router : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "device_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv);
    }
    void SetUp() override
    {
        im.SetOnline("c1");
        im.SetFriend("c1");
    }
    // Commands the queue sent, in order (waits for n of them).
    std::vector<std::string> Sent(size_t n) { return im.WaitSentBodies(n); }

    FakeMessenger im;
    CamParamMgr params{im};
    StreamRequestMgr streams{params};
    RecordingView view;
    DeviceReplyRouter router{im, params, streams, view, view};
};

}  // namespace

TEST_F(Router, RepliesAreRoutedByCmd)
{
    const struct {
        const char* body;
        Lines reactions;
    } table[] = {
        {R"({"cmd":5,"dev_name":"门口","consl_interface":"eth","dev_type":3,"dev_model":"M1","dev_version":"1.2"})",
         {"info c1 门口|eth|3|M1|1.2"}},
        {R"({"cmd":10,"err_num":2})", {"box 设备参数获取错误！"}},
        {R"({"cmd":10,"brightness":7})", {"image c1"}},
        {R"({"cmd":12,"bit_rate":512,"width":640,"height":360})", {"encode c1"}},
        {R"({"cmd":12,"err_num":3,"bit_rate":1,"width":1})", {"box 视频参数获取错误！"}},
        {R"({"cmd":13,"err_num":1})", {"box 视频参数设置失败"}},
        {R"({"cmd":26,"err_num":1})", {"box 音频设置失败"}},
        {R"({"cmd":26})", {"box 发送成功！"}},
        {R"({"cmd":27,"status":0})", {"audio on"}},
        {R"({"cmd":27,"status":1,"err_num":4})", {"audio on"}},
        {R"({"cmd":50,"err_num":1})", {R"(replay c1 {"cmd":50,"err_num":1})"}},
        {R"({"cmd":99})", {}},
        {R"({"cmd":"12"})", {}},
        {"garbage", {}},
        {R"({"cmd":82,"whatever":{"a":1}})", {"alarms 1"}},
    };
    for (const auto& row : table) {
        router.OnDeviceReply("c1", row.body);
        EXPECT_EQ(row.reactions, view.Take()) << row.body;
    }
    // Any peer can send a body nested deeper than the JSON library allows (it throws): ignored.
    router.OnDeviceReply("c1", R"({"cmd":82,"x":)" + std::string(5000, '[') + std::string(5000, ']') + "}");
    router.OnDeviceReply("c1", std::string(100000, '{'));
    EXPECT_TRUE(view.Take().empty());
    // The failed cmd 12 kept the stored values.
    EncodeParams encode;
    ASSERT_EQ(0, params.GetVideoParam("c1", encode));
    EXPECT_EQ(512, encode.bit_rate);
    EXPECT_EQ(640, encode.width);
    // Both answers to 26 asked for the audio status, so the check box shows what the camera has;
    // nothing else was sent.
    EXPECT_EQ((std::vector<std::string>{R"({ "channel_id": 0, "cmd":27})", R"({ "channel_id": 0, "cmd":27})"}),
              Sent(2));
}

TEST_F(Router, AlarmNoticesCountOnlyWhenWanted)
{
    router.OnDeviceReply("c1", R"({"cmd":82})");
    view.alarmsWanted = false;
    router.OnDeviceReply("c1", R"({"cmd":82,"err_num":1})");
    view.alarmsWanted = true;
    router.OnDeviceReply("c2", R"({"cmd":82,"err_num":1})");
    EXPECT_EQ((Lines{"alarms 1", "alarms 2"}), view.Take());
}

TEST_F(Router, SuccessfulSetRequestsParametersAndRestartsCellsOnce)
{
    streams.SetRestart("c1", true);
    router.OnDeviceReply("c1", R"({"cmd":13})");
    router.OnDeviceReply("c1", R"({"cmd":13})");
    EXPECT_EQ((Lines{"restart c1"}), view.Take());
    EXPECT_FALSE(streams.GetRestart("c1"));
    EXPECT_EQ(2u, Sent(2).size());
}

// A camera that refuses new encoding parameters keeps its old stream: the cells stopped for the change
// play again instead of staying stopped until some later change succeeds.
TEST_F(Router, RefusedSetRestartsTheStoppedCellsWithoutAskingForParameters)
{
    streams.SetRestart("c1", true);
    router.OnDeviceReply("c1", R"({"cmd":13,"err_num":2})");
    EXPECT_EQ((Lines{"box 视频参数设置失败", "restart c1"}), view.Take());
    EXPECT_FALSE(streams.GetRestart("c1"));
    router.OnDeviceReply("c1", R"({"cmd":13,"err_num":2})");
    EXPECT_EQ((Lines{"box 视频参数设置失败"}), view.Take());
    params.ReqDevInfo("c1");  // a marker: the refusals queued nothing before it
    EXPECT_EQ((std::vector<std::string>{R"({"cmd":5})"}), Sent(1));
}

// A camera that never answers the change (offline, silent): after the wait its cells play the old stream
// again, once; an answer that comes later restarts nothing, one in time leaves the wait nothing to do.
TEST_F(Router, UnansweredSetRestartsTheStoppedCellsOnceAfterTheWait)
{
    streams.SetSwitchAnswerTime(50);
    streams.SetRestart("c1", true);
    streams.SetRestart("c2", true);
    streams.SetRestart("c3", true);
    streams.SetRestart("c3", false);  // the cells of c3 were given back meanwhile
    EXPECT_TRUE(view.Take().empty());
    QElapsedTimer clock;
    clock.start();
    while (view.lines.size() < 2 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ((Lines{"restart c1", "restart c2"}), view.Take());
    EXPECT_FALSE(streams.GetRestart("c1"));

    router.OnDeviceReply("c1", R"({"cmd":13})");
    router.OnDeviceReply("c2", R"({"cmd":13,"err_num":2})");
    EXPECT_EQ((Lines{"box 视频参数设置失败"}), view.Take());

    streams.SetRestart("c1", true);
    router.OnDeviceReply("c1", R"({"cmd":13,"err_num":2})");
    EXPECT_EQ((Lines{"box 视频参数设置失败", "restart c1"}), view.Take());
    clock.restart();
    while (clock.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(view.Take().empty());
}

TEST_F(Router, PlayAddressOpensAsManyCellsAsWereWaiting)
{
    streams.ReqPlayUrl("c1", true);
    streams.ReqPlayUrl("c1", true);
    streams.ReqPlayUrl("c1", false);
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/1.flv"})");
    EXPECT_EQ((Lines{"open c1 http://x/1.flv", "open c1 http://x/1.flv", "watched c1"}), view.Take());
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/2.flv"})");  // prefetch: cache only
    EXPECT_TRUE(view.Take().empty());
    std::string url;
    EXPECT_TRUE(streams.GetPlayUrl("c1", url));
    EXPECT_EQ("http://x/2.flv", url);
    router.OnDeviceReply("c1", R"({"cmd":40})");  // an empty address means: no address
    EXPECT_FALSE(streams.GetPlayUrl("c1", url));
}

// Plays cancelled before their address came (the wall's stop-all or stop-node) open nothing when it
// comes; the address is still cached, and the plays not cancelled open.
TEST_F(Router, CancelledPlaysOpenNothingWhenTheAddressComes)
{
    im.SetOnline("c2");
    streams.ReqPlayUrl("c1", true);
    streams.ReqPlayUrl("c1", true);
    streams.ReqPlayUrl("c2", true);
    streams.CancelPending([](const std::string& id) { return id == "c1"; });
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/1.flv"})");
    router.OnDeviceReply("c2", R"({"cmd":40,"play_url":"http://x/2.flv"})");
    EXPECT_EQ((Lines{"open c2 http://x/2.flv", "watched c2"}), view.Take());
    std::string url;
    EXPECT_TRUE(streams.GetPlayUrl("c1", url));
    streams.ReqPlayUrl("c1", true);  // a play asked for after the stop waits as before
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/1.flv"})");
    EXPECT_EQ((Lines{"open c1 http://x/1.flv", "watched c1"}), view.Take());
}

// Every announced address reaches the cells that lost their stream, with or without waiting cells;
// "no address" and an address that is no text do not.
TEST_F(Router, AnnouncedAddressesReachTheAddressListener)
{
    Lines heard;
    streams.SetAddressListener([&](const std::string& id, const std::string& url) { heard.push_back(id + " " + url); });
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/1.flv"})");
    streams.ReqPlayUrl("c1", true);
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/2.flv"})");
    router.OnDeviceReply("c1", R"({"cmd":40})");
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":{"a":1}})");
    EXPECT_EQ((Lines{"c1 http://x/1.flv", "c1 http://x/2.flv"}), heard);
    EXPECT_EQ((Lines{"open c1 http://x/2.flv", "watched c1"}), view.Take()) << "the written reactions stay";
}

// A reply is refused for a member of the wrong type only when its handling reads that member.
TEST_F(Router, ErrNumOfAnotherTypeMattersOnlyWhereTheHandlingReadsIt)
{
    router.OnDeviceReply("c1", R"({"cmd":40,"play_url":"http://x/old.flv"})");
    streams.ReqPlayUrl("c1", true);
    router.OnDeviceReply("c1", R"({"cmd":40,"err_num":"0","play_url":"http://x/new.flv"})");
    EXPECT_EQ((Lines{"open c1 http://x/new.flv", "watched c1"}), view.Take());
    std::string url;
    ASSERT_TRUE(streams.GetPlayUrl("c1", url));
    EXPECT_EQ("http://x/new.flv", url);

    const struct {
        const char* body;
        Lines reactions;
    } table[] = {
        {R"({"cmd":5,"err_num":[1],"dev_name":"n"})", {"info c1 n||||"}},
        {R"({"cmd":50,"err_num":"1"})", {R"(replay c1 {"cmd":50,"err_num":"1"})"}},  // the playback window reads it
        {R"({"cmd":10,"err_num":"0"})", {}},
        {R"({"cmd":26,"err_num":{}})", {}},
        {R"({"cmd":5,"dev_name":{"a":1}})", {}},
        {R"({"cmd":40,"play_url":{"a":1}})", {}},
    };
    for (const auto& row : table) {
        router.OnDeviceReply("c1", row.body);
        EXPECT_EQ(row.reactions, view.Take()) << row.body;
    }
    ASSERT_TRUE(streams.GetPlayUrl("c1", url));
    EXPECT_EQ("http://x/new.flv", url);  // the address of the wrong type left the cache alone
}

TEST_F(Router, OnlineSequenceAndImEventsFreeTheirPayloads)
{
    // The online listener (missed pan-tilt-zoom releases) goes before the start-up commands.
    router.SetOnlineListener([this](const std::string& id) { params.PostCmd(id, "listener"); });
    router.HandleImEvent(WM_IM_PRESENCE, 0, reinterpret_cast<LPARAM>(NewPresencePayload("c1")));
    router.HandleImEvent(WM_IM_PRESENCE, 5, reinterpret_cast<LPARAM>(NewPresencePayload("c1")));
    router.HandleImEvent(WM_IM_MESSAGE, 0,
                         reinterpret_cast<LPARAM>(new ImMessageRecord{"c1", R"({"cmd":5,"dev_name":"n"})"}));
    router.HandleImEvent(WM_IM_ROSTER, 0, 0);
    EXPECT_FALSE(router.HandleImEvent(WM_USER + 1, 0, 0));
    EXPECT_EQ((Lines{"rebuild", "offline c1", "info c1 n||||", "roster 1"}), view.Take());
    EXPECT_EQ((std::vector<std::string>{
                  "listener",
                  R"({"cmd":60, "channel_id" : 0, "status" : 1})",
                  R"({"cmd":14})",
                  R"({"cmd":4})",
                  R"({"cmd":40, "channel_id" : 0, "dev_type" : 0})",
                  R"({"cmd":82, "channel_id" : 0, "dev_type" : 0})",
              }),
              Sent(6));
}

TEST_F(Router, KeepAliveSendsOnlyForCachedAddressesOnTheTimer)
{
    streams.SendKeepAlive();
    streams.SetPlayUrl("c1", "http://x/1.flv");
    streams.SetRestart("c3", true);  // an entry without address
    streams.SetPlayUrl("c0", "http://x/0.flv");
    im.SetOnline("c0");
    im.SetFriend("c0");
    streams.SetKeepAlivePeriod(20);
    QElapsedTimer clock;
    clock.start();
    while (im.SentBodies().size() < 4 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    auto sent = im.SentBodies();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(R"({"cmd":56, "dev_type" : 0, "play_url" : "http://x/0.flv","expect" : 300})", sent[0]);
    EXPECT_EQ(R"({"cmd":56, "dev_type" : 0, "play_url" : "http://x/1.flv","expect" : 300})", sent[1]);
    EXPECT_EQ(sent[0], sent[2]);
    EXPECT_EQ(sent[1], sent[3]);
}
