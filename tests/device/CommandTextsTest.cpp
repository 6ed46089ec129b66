#include "device/CommandTexts.h"

#include <gtest/gtest.h>

namespace ct = CommandTexts;

TEST(CommandTexts, EveryTextIsByteExact)
{
    EncodeParams encode;
    encode.bit_rate = 512; encode.fps = 25; encode.qos = 28; encode.key_frame_interval = 28;
    encode.height = 360; encode.width = 640;
    const struct {
        std::string actual;
        const char* expected;
    } golden[] = {
        {ct::ImageCaps(), R"({"cmd":4})"},
        {ct::DevInfo(), R"({"cmd":5})"},
        {ct::ImageParam(), R"({"cmd":10, "channel_id":0})"},
        {ct::VideoParam(), R"({"cmd":12, "channel_id":0})"},
        {ct::UpdateVideoParam(encode),
         R"({"cmd":13,"channel_id": 0,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":28,"height":360,"width":640})"},
        {ct::QuerySupRatio(), R"({"cmd":14})"},
        {ct::SetAudio(true), R"({"channel_id": 0, "cmd":26,"status":0})"},
        {ct::SetAudio(false), R"({"channel_id": 0, "cmd":26,"status":1})"},
        {ct::AudioStatus(), R"({ "channel_id": 0, "cmd":27})"},
        {ct::PlayUrl(), R"({"cmd":40, "channel_id" : 0, "dev_type" : 0})"},
        {ct::ReplaySearch(1700000000, 1700001800),
         R"({"cmd":50, "channel_id" : 0,"start_time" : 1700000000,"end_time" : 1700001800, "dev_type" : 0})"},
        {ct::ReplayStop("http://h/r.flv"), R"({"cmd":51,"dev_type":0, "replay_url" :"http://h/r.flv"})"},
        {ct::ReplaySpeed("u", 0.25), R"({"cmd":53, "replay_url": "u", "dev_type": 0,"speed":0.25})"},
        {ct::ReplaySpeed("u", 4), R"({"cmd":53, "replay_url": "u", "dev_type": 0,"speed":4})"},
        {ct::ReplaySeek("u", 15), R"({"cmd":54, "dev_type": 0, "replay_url": "u","position": 15})"},
        {ct::ReplaySeek("u", 30.0 / 7), R"({"cmd":54, "dev_type": 0, "replay_url": "u","position": 4.28571})"},
        {ct::KeepAlive("http://127.0.0.1:8090/live/c1.flv"),
         R"({"cmd":56, "dev_type" : 0, "play_url" : "http://127.0.0.1:8090/live/c1.flv","expect" : 300})"},
        {ct::DeviceOnline(), R"({"cmd":60, "channel_id" : 0, "status" : 1})"},
        {ct::Reboot(), R"({"cmd":62, "channel_id" : 0, "status" : 1})"},
        {ct::AlarmNotices(), R"({"cmd":82, "channel_id" : 0, "dev_type" : 0})"},
        {ct::PtzPress(7, 3, 5), R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 3, "param" : 5})"},
        {ct::PtzRelease(7), R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"},
        {ct::PtzRelease(5), R"({ "cmd":25, "channel_id" : 0, "function" : 5, "control" : 0, "param" : 0})"},
        {ct::PtzGotoPreset(255), R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 3, "param" : 255})"},
        {ct::PtzSetPreset(3), R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 3})"},
        {ct::PtzDeletePreset(3), R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 2, "param" : 3})"},
        {ct::PtzDeleteAllPresets(), R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 40})"},
        {ct::PtzStartCruise(), R"({"cmd":25, "channel_id" : 0, "function" : 8, "control" : 1, "param" : 41})"},
    };
    for (const auto& row : golden)
        EXPECT_EQ(row.expected, row.actual);
}

TEST(CommandTexts, InsertedTextsAreEscapedSoTheCommandStaysJson)
{
    EXPECT_EQ(R"({"cmd":51,"dev_type":0, "replay_url" :"a\"b\\c\n"})", ct::ReplayStop("a\"b\\c\n"));
    EXPECT_EQ("\\u0001\xe4\xb8\xad", ct::JsonEscape("\x01\xe4\xb8\xad"));  // control escaped, UTF-8 kept
}
