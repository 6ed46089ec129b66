// camsim's answers, without any server: what the client's tests and demos rely on.
#include "CameraBehaviour.h"
#include "PlaceholderVideo.h"

#include <json/json.h>

#include <gtest/gtest.h>

#include <array>
#include <ctime>
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

// The views the camera showed, in order.
struct RecordingVideo : PlaceholderVideo {
    RecordingVideo() : PlaceholderVideo(8091) {}
    void SetView(const std::string&, int pan, int tilt, int zoom) override { views.push_back({pan, tilt, zoom}); }
    std::vector<std::array<int, 3>> views;
};

class Behaviour : public ::testing::Test {
protected:
    Json::Value Ask(const std::string& body)
    {
        auto outcome = camera.Answer(body, kNow);
        return outcome.reply ? Parse(*outcome.reply) : Json::Value();
    }
    static constexpr std::int64_t kNow = 1765267200;
    Json::Value AskAt(const std::string& body, CameraBehaviour::Clock::time_point at)
    {
        auto outcome = camera.Answer(body, kNow, at);
        return outcome.reply ? Parse(*outcome.reply) : Json::Value();
    }
    RecordingVideo video;
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

// The cameras record nothing from 02:00 to 03:00 local time: a search there finds nothing, and one
// that runs into the gap gets the stretch before it.
TEST_F(Behaviour, ReplaySearchSkipsTheNightlyGapInTheRecordings)
{
    std::time_t yesterday = kNow - 24 * 3600;
    std::tm day{};
    localtime_r(&yesterday, &day);
    auto at = [&](int hour, int minute) {
        std::tm t = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = 0;
        t.tm_isdst = -1;
        return std::to_string(std::mktime(&t));
    };
    auto search = [&](int h1, int m1, int h2, int m2) {
        return Ask(R"({"cmd":50, "channel_id" : 0,"start_time" : )" + at(h1, m1) + R"(,"end_time" : )" + at(h2, m2) +
                   R"(, "dev_type" : 0})");
    };
    EXPECT_EQ(1, search(2, 10, 2, 40)["err_num"].asInt());
    EXPECT_TRUE(search(2, 10, 2, 40)["replay_url"].asString().empty());
    const Json::Value before = search(1, 30, 2, 30);
    EXPECT_EQ(0, before["err_num"].asInt());
    EXPECT_EQ(30, before["real_time"].asInt()) << "01:30 to the gap at 02:00";
    const Json::Value after = search(2, 30, 3, 20);
    EXPECT_EQ(0, after["err_num"].asInt());
    EXPECT_EQ(20, after["real_time"].asInt()) << "from the gap's end at 03:00";
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
    // Bodies that made the JSON library throw: nested beyond its limit, a replay address that is no text.
    EXPECT_FALSE(camera.Answer(std::string(5000, '[') + std::string(5000, ']'), kNow).reply);
    EXPECT_EQ(0, Ask(R"({"cmd":51,"dev_type":0, "replay_url" :{"a":1}})")["err_num"].asInt());
    EXPECT_TRUE(camera.Answer(R"({"cmd":53, "replay_url": [1], "dev_type": 0,"speed":2})", kNow).reply);
    EXPECT_EQ("http://127.0.0.1:8091/live/cam1.flv", Ask(R"({"cmd":40, "channel_id" : 0, "dev_type" : 0})")["play_url"].asString());
    EXPECT_EQ(82, Parse(camera.AlarmNotice(1))["cmd"].asInt());
}

TEST_F(Behaviour, HeldMovementsGoOnInTimeUntilTheirRelease)
{
    using namespace std::chrono_literals;
    const auto t0 = CameraBehaviour::Clock::now();
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 4, "param" : 10})", t0);  // right at 10/s
    EXPECT_EQ(10, camera.PtzPosition().pan) << "a first step at the press";
    EXPECT_TRUE(camera.Moving());
    camera.Advance(t0 + 1500ms);
    EXPECT_EQ(25, camera.PtzPosition().pan);
    // Another function's release does not stop it; its own does, where it got to.
    AskAt(R"({ "cmd":25, "channel_id" : 0, "function" : 6, "control" : 0, "param" : 0})", t0 + 1900ms);
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})", t0 + 2000ms);
    EXPECT_EQ(30, camera.PtzPosition().pan);
    EXPECT_FALSE(camera.Moving());
    camera.Advance(t0 + 9s);
    EXPECT_EQ(30, camera.PtzPosition().pan);

    // The long focal length brings the scene closer, the short one back, never wider than at rest.
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 6, "control" : 2, "param" : 20})", t0 + 10s);
    AskAt(R"({ "cmd":25, "channel_id" : 0, "function" : 6, "control" : 0, "param" : 0})", t0 + 11s);
    EXPECT_EQ(41, camera.PtzPosition().zoom);
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 6, "control" : 1, "param" : 64})", t0 + 12s);
    camera.Advance(t0 + 20s);
    EXPECT_EQ(1, camera.PtzPosition().zoom);
    ASSERT_FALSE(video.views.empty());
    EXPECT_EQ((std::array<int, 3>{30, 0, 100}), video.views.back()) << "the video follows";
    EXPECT_EQ((std::array<int, 3>{10, 0, 100}), video.views.front());
}

TEST_F(Behaviour, CruiseVisitsTheStoredPresetsUntilSteered)
{
    using namespace std::chrono_literals;
    const auto t0 = CameraBehaviour::Clock::now();
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 1})", t0);  // preset 1 at rest
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 1, "param" : 7})", t0);  // up 7
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})", t0);
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 2})", t0);  // preset 2 up there
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 41})", t0 + 1s);
    EXPECT_EQ(0, camera.PtzPosition().tilt) << "the cruise starts at the first preset";
    camera.Advance(t0 + 1s + CameraBehaviour::kCruiseDwell);
    EXPECT_EQ(7, camera.PtzPosition().tilt);
    camera.Advance(t0 + 1s + 2 * CameraBehaviour::kCruiseDwell);
    EXPECT_EQ(0, camera.PtzPosition().tilt);
    EXPECT_TRUE(camera.Moving());
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 3, "param" : 2})", t0 + 10s);  // go to 2
    EXPECT_FALSE(camera.Moving());
    camera.Advance(t0 + 30s);
    EXPECT_EQ(7, camera.PtzPosition().tilt);
    // Without presets there is nothing to cruise.
    AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 40})", t0 + 31s);
    EXPECT_EQ(1, AskAt(R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 41})", t0 + 32s)["err_num"].asInt());
}
