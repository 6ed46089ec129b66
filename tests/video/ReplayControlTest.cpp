#include "video/ReplayControl.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

SYSTEMTIME At(int year, int month, int day, int hour, int minute, int second = 0)
{
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return time;
}

long long LocalSeconds(int year, int month, int day, int hour, int minute)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return static_cast<long long>(std::mktime(&tm));
}

const char* const kReplay = "http://127.0.0.1:8090/replay/7.flv";

std::string PlayReply(const std::string& url = kReplay, int realTime = 30)
{
    return R"({"cmd":50,"err_num":0,"real_time":)" + std::to_string(realTime) + R"(,"replay_url":")" + url + R"("})";
}

// A control that searched 10:00-10:30 of 2026-12-09 and got a replay.
ReplayControl Playing()
{
    ReplayControl control;
    control.Search(At(2026, 12, 9, 0, 0), At(2000, 1, 1, 10, 0), At(2000, 1, 1, 10, 30));
    EXPECT_EQ(ReplayControl::Reply::Play, control.OnReply(PlayReply()));
    return control;
}

}  // namespace

TEST(ReplayControl, SearchSendsLocalTimesOfThePickedDayAndTheSeekSharesTheWholePeriod)
{
    ReplayControl control;
    // The day comes from the day picker, the times from the time pickers (their own dates ignored).
    const std::string search = control.Search(At(2026, 12, 9, 23, 59), At(2000, 1, 1, 10, 0), At(2000, 1, 1, 10, 30));
    EXPECT_EQ(R"({"cmd":50, "channel_id" : 0,"start_time" : )" + std::to_string(LocalSeconds(2026, 12, 9, 10, 0)) +
                  R"(,"end_time" : )" + std::to_string(LocalSeconds(2026, 12, 9, 10, 30)) + R"(, "dev_type" : 0})",
              search);
    EXPECT_EQ(1800000, control.PeriodMs());
    EXPECT_FALSE(control.Seek(50)) << "no replay yet";

    ASSERT_EQ(ReplayControl::Reply::Play, control.OnReply(PlayReply()));
    EXPECT_EQ(kReplay, control.ReplayUrl());
    EXPECT_EQ(std::string(R"({"cmd":54, "dev_type": 0, "replay_url": ")") + kReplay + R"(","position": 15})",
              control.Seek(50).value());
    EXPECT_EQ(900000, control.PeriodMs());
    EXPECT_EQ(50, control.SeekBase());
    // A later seek is a share of the whole replay too, not of what the first one left.
    control.OnLength(900000);
    EXPECT_EQ(std::string(R"({"cmd":54, "dev_type": 0, "replay_url": ")") + kReplay + R"(","position": 24})",
              control.Seek(80).value());
    EXPECT_EQ(360000, control.PeriodMs());
    EXPECT_EQ(std::string(R"({"cmd":54, "dev_type": 0, "replay_url": ")") + kReplay + R"(","position": 0.3})",
              control.Seek(1).value());
    // Back to the start, then the length a stream announced for an earlier seek arrives late: the
    // whole replay stays what it was, so 70 % still lands at 21 of 30 minutes.
    control.Seek(0);
    control.OnLength(360000);
    EXPECT_EQ(std::string(R"({"cmd":54, "dev_type": 0, "replay_url": ")") + kReplay + R"(","position": 21})",
              control.Seek(70).value());

    // An end before the start: a negative period, and the camera's answer decides.
    ReplayControl backwards;
    backwards.Search(At(2026, 12, 9, 0, 0), At(2026, 12, 9, 10, 30), At(2026, 12, 9, 10, 0));
    EXPECT_EQ(-1800000, backwards.PeriodMs());
}

TEST(ReplayControl, SpeedStepsLabelsAndFactors)
{
    ReplayControl idle;
    EXPECT_FALSE(idle.ChangeSpeed("0", true)) << "nothing without a replay";

    ReplayControl control = Playing();
    EXPECT_FALSE(control.ChangeSpeed("-4x", false)) << "already slowest";
    EXPECT_FALSE(control.ChangeSpeed("4x", true)) << "already fastest";
    const auto slower = control.ChangeSpeed("0", false);
    ASSERT_TRUE(slower);
    EXPECT_EQ("-2x", slower->label);
    EXPECT_EQ(std::string(R"({"cmd":53, "replay_url": ")") + kReplay + R"(", "dev_type": 0,"speed":0.5})", slower->command);
    EXPECT_EQ(0.5, control.SpeedFactor());

    struct Step {
        const char* label;
        const char* slower;
        const char* faster;
        double factor;
    };
    for (const Step& step : {Step{"-4x", "-4x", "-2x", 0.25}, Step{"-2x", "-4x", "0", 0.5}, Step{"0", "-2x", "2x", 1},
                             Step{"2x", "0", "4x", 2}, Step{"4x", "2x", "4x", 4}, Step{"1x", "0", "0", 1}}) {
        EXPECT_EQ(step.slower, ReplayControl::NextStep(step.label, false)) << step.label;
        EXPECT_EQ(step.faster, ReplayControl::NextStep(step.label, true)) << step.label;
        EXPECT_EQ(step.factor, ReplayControl::FactorOf(step.label)) << step.label;
    }
    EXPECT_NE(std::string::npos, control.ChangeSpeed("-2x", false)->command.find("\"speed\":0.25}"));
    EXPECT_NE(std::string::npos, control.ChangeSpeed("2x", true)->command.find("\"speed\":4}"));
    EXPECT_EQ(4.0, control.SpeedFactor());
}

TEST(ReplayControl, RepliesStopAndOpenFailures)
{
    ReplayControl control;
    EXPECT_FALSE(control.Stop()) << "cmd 51 only with a known address";
    EXPECT_EQ(ReplayControl::Reply::Ignored, control.OnReply("not json"));
    EXPECT_EQ(ReplayControl::Reply::Ignored, control.OnReply(R"({"cmd":40,"play_url":"http://x/live.flv"})"));
    EXPECT_EQ(ReplayControl::Reply::Ignored, control.OnReply(R"({"cmd":50,"err_num":{},"replay_url":"http://x"})"));
    EXPECT_EQ(ReplayControl::Reply::NoVideo, control.OnReply(R"({"cmd":50,"err_num":1})"));
    EXPECT_EQ(ReplayControl::Reply::NoVideo, control.OnReply(R"({"cmd":50,"err_num":0,"replay_url":""})"));
    EXPECT_FALSE(control.Stop());

    ASSERT_EQ(ReplayControl::Reply::Play, control.OnReply(PlayReply(kReplay, 125)));
    EXPECT_EQ(125, control.RealTime());
    EXPECT_EQ("02:05:00", ReplayControl::TotalTimeText(control.RealTime()));
    EXPECT_EQ("00:00:00", ReplayControl::TotalTimeText(0));
    EXPECT_EQ(std::string(R"({"cmd":51,"dev_type":0, "replay_url" :")") + kReplay + R"("})", control.Stop().value());

    EXPECT_FALSE(control.OpenFailed());
    EXPECT_FALSE(control.OpenFailed());
    EXPECT_TRUE(control.OpenFailed()) << "the third failed open gives up";
    control.OpenSucceeded();
    EXPECT_EQ(0, control.OpenFailures());
}

TEST(ReplayControl, ProgressFollowsPositionSpeedAndSeekAndTellsTheEndFromABreak)
{
    ReplayControl control = Playing();
    control.OnLength(0);
    EXPECT_FALSE(control.OnPosition(1000)) << "no length: the slider stays";
    control.OnLength(1800000);
    EXPECT_EQ(0, control.OnPosition(0).value());
    EXPECT_EQ(50, control.OnPosition(900000).value());
    EXPECT_FALSE(control.ReachedEnd()) << "a stream that breaks half way has failed";
    EXPECT_EQ(99, control.OnPosition(1799917).value()) << "the last frame; the window then shows the end";
    EXPECT_TRUE(control.ReachedEnd());

    // At twice the speed the position (playing time) covers twice the recording.
    control.ChangeSpeed("0", true);
    EXPECT_EQ(50, control.OnPosition(450000).value());
    EXPECT_FALSE(control.ReachedEnd());
    EXPECT_TRUE((control.OnPosition(899960), control.ReachedEnd()));

    // After a seek to 50 the replay announces what is left; its progress fills the slider's rest.
    control.Seek(50);
    control.OnLength(900000);
    EXPECT_EQ(50, control.OnPosition(0).value());
    EXPECT_EQ(75, control.OnPosition(225000).value());
    EXPECT_EQ(100, control.OnPosition(450000).value());
    EXPECT_TRUE(control.ReachedEnd());
    control.Seek(100);
    EXPECT_TRUE(control.ReachedEnd()) << "sought to the end: nothing left";

    // A new replay starts over: at the start and at normal speed.
    ASSERT_EQ(ReplayControl::Reply::Play, control.OnReply(PlayReply("http://127.0.0.1:8090/replay/8.flv")));
    EXPECT_EQ(0, control.SeekBase());
    EXPECT_EQ(1.0, control.SpeedFactor());
}
