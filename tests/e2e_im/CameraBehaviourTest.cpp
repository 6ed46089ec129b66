// camsim's answers, without any server: what the client's tests and demos rely on.
#include "CameraBehaviour.h"
#include "PlaceholderVideo.h"

#include <json/json.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

Json::Value Parse(const std::string& text)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    reader->parse(text.data(), text.data() + text.size(), &value, &errors);
    return value;
}

class Behaviour : public ::testing::Test {
protected:
    Json::Value Ask(const std::string& body)
    {
        auto outcome = camera.Answer(body, kNow);
        return outcome.reply ? Parse(*outcome.reply) : Json::Value();
    }
    static constexpr std::int64_t kNow = 1765267200;
    PlaceholderVideo video{8091};
    CameraBehaviour camera{"cam1", "门口", video};
};

}  // namespace

TEST_F(Behaviour, SetChangesTheStreamSizeOnlyForSupportedSizes)
{
    EXPECT_EQ("1280X720&640X360&320X180", Ask(R"({"cmd":14})")["rstn_list"].asString());
    const char* set1280 =
        R"({"cmd":13,"channel_id": 0,"bit_rate":512,"fps":12,"qos":20,"key_frame_interval":50,"height":720,"width":1280})";
    EXPECT_EQ(0, Ask(set1280)["err_num"].asInt());
    auto read = Ask(R"({"cmd":12, "channel_id":0})");
    EXPECT_EQ(1280, read["width"].asInt());
    EXPECT_EQ(720, read["height"].asInt());
    EXPECT_EQ(512, read["bit_rate"].asInt());
    const char* set800 =
        R"({"cmd":13,"channel_id": 0,"bit_rate":256,"fps":12,"qos":0,"key_frame_interval":50,"height":0,"width":800})";
    EXPECT_EQ(2, Ask(set800)["err_num"].asInt());
    EXPECT_EQ(1280, Ask(R"({"cmd":12, "channel_id":0})")["width"].asInt());
}

TEST_F(Behaviour, ReplaySearchFindsRecordingsOfTheLastWeekOnly)
{
    auto found = Ask(R"({"cmd":50, "channel_id" : 0,"start_time" : )" + std::to_string(kNow - 1800) +
                     R"(,"end_time" : )" + std::to_string(kNow) + R"(, "dev_type" : 0})");
    EXPECT_EQ(0, found["err_num"].asInt());
    EXPECT_EQ(30, found["real_time"].asInt());
    EXPECT_FALSE(found["replay_url"].asString().empty());
    const std::int64_t old = kNow - 30 * 24 * 3600;
    auto none = Ask(R"({"cmd":50,"start_time":)" + std::to_string(old) + R"(,"end_time":)" +
                    std::to_string(old + 600) + "}");
    EXPECT_NE(0, none["err_num"].asInt());
    auto reversed = Ask(R"({"cmd":50,"start_time":)" + std::to_string(kNow - 60) + R"(,"end_time":)" +
                        std::to_string(kNow - 600) + "}");
    EXPECT_NE(0, reversed["err_num"].asInt());
}

TEST_F(Behaviour, PanTiltZoomKeepsPositionAndPresets)
{
    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 3, "param" : 5})");   // left 5
    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})");   // release
    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 3})");   // set preset 3
    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 1, "param" : 4})");   // up 4
    EXPECT_EQ((CameraBehaviour::Ptz{-5, 4, 1, 0, 0}), camera.PtzPosition());
    EXPECT_EQ(0, Ask(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 3, "param" : 3})")["err_num"].asInt());
    EXPECT_EQ((CameraBehaviour::Ptz{-5, 0, 1, 0, 0}), camera.PtzPosition());
    Ask(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 40})");  // delete all
    EXPECT_EQ(1, Ask(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 3, "param" : 3})")["err_num"].asInt());
}

TEST_F(Behaviour, NoticesAndRebootAreNotAnsweredLikeQueries)
{
    EXPECT_FALSE(camera.Answer(R"({"cmd":60, "channel_id" : 0, "status" : 1})", kNow).reply);
    auto subscribe = camera.Answer(R"({"cmd":82, "channel_id" : 0, "dev_type" : 0})", kNow);
    EXPECT_FALSE(subscribe.reply);
    EXPECT_TRUE(subscribe.alarmSubscribe);
    auto reboot = camera.Answer(R"({"cmd":62, "channel_id" : 0, "status" : 1})", kNow);
    EXPECT_TRUE(reboot.reboot);
    EXPECT_FALSE(camera.Answer("not json", kNow).reply);
    EXPECT_FALSE(camera.Answer(R"({"cmd":99})", kNow).reply);
    EXPECT_EQ("http://127.0.0.1:8091/live/cam1.flv", Ask(R"({"cmd":40, "channel_id" : 0, "dev_type" : 0})")["play_url"].asString());
    EXPECT_EQ(82, Parse(camera.AlarmNotice(1))["cmd"].asInt());
}
