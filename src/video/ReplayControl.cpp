#include "video/ReplayControl.h"

#include "device/CommandTexts.h"
#include "device/ReplyReader.h"

#include <glog/logging.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// The last position may be reported up to one position interval before the last frame; a stream
// that stops closer than this to its length has played to its end.
constexpr std::int64_t kEndToleranceMs = 1500;

struct Step {
    const char* label;
    double factor;
};
// Slowest to fastest.
constexpr Step kSteps[] = {{"-4x", 0.25}, {"-2x", 0.5}, {"0", 1.0}, {"2x", 2.0}, {"4x", 4.0}};
constexpr int kStepCount = sizeof kSteps / sizeof kSteps[0];

int StepIndex(const std::string& label)
{
    for (int i = 0; i < kStepCount; ++i)
        if (label == kSteps[i].label)
            return i;
    return -1;
}

// Seconds since 1970 of a local calendar time, and the same in milliseconds with its milliseconds.
std::int64_t LocalSeconds(const SYSTEMTIME& day, const SYSTEMTIME& time)
{
    std::tm tm{};
    tm.tm_year = day.wYear - 1900;
    tm.tm_mon = day.wMonth - 1;
    tm.tm_mday = day.wDay;
    tm.tm_hour = time.wHour;
    tm.tm_min = time.wMinute;
    tm.tm_sec = time.wSecond;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

}  // namespace

std::string ReplayControl::Search(const SYSTEMTIME& day, const SYSTEMTIME& from, const SYSTEMTIME& to)
{
    const std::int64_t start = LocalSeconds(day, from);
    const std::int64_t end = LocalSeconds(day, to);
    periodMs_ = (end - start) * 1000 + (to.wMilliseconds - from.wMilliseconds);
    wholeMs_ = periodMs_;
    return CommandTexts::ReplaySearch(start, end);
}

ReplayControl::Reply ReplayControl::OnReply(const std::string& body)
{
    ReplyReader reply;
    if (!reply.Parse(body) || reply.Int("cmd") != 50)
        return Reply::Ignored;
    const int errNum = reply.Int("err_num");
    const int realTime = reply.Int("real_time");
    const std::string url = reply.Text("replay_url");
    if (reply.Malformed()) {
        LOG(WARNING) << "recording search reply with members of the wrong type ignored: " << body;
        return Reply::Ignored;
    }
    if (errNum != 0)
        return Reply::NoVideo;
    realTime_ = realTime;
    replayUrl_ = url;
    if (replayUrl_.empty())
        return Reply::NoVideo;
    // A new replay starts at its beginning and at normal speed.
    openFailures_ = 0;
    seekBase_ = 0;
    sought_ = false;
    speedFactor_ = 1.0;
    positionMs_ = 0;
    wholeMs_ = periodMs_;
    return Reply::Play;
}

std::optional<std::string> ReplayControl::Stop() const
{
    if (replayUrl_.empty())
        return std::nullopt;
    return CommandTexts::ReplayStop(replayUrl_);
}

std::string ReplayControl::NextStep(const std::string& label, bool faster)
{
    const int index = StepIndex(label);
    if (index < 0)
        return kNormalSpeed;
    return kSteps[std::clamp(index + (faster ? 1 : -1), 0, kStepCount - 1)].label;
}

double ReplayControl::FactorOf(const std::string& label)
{
    const int index = StepIndex(label);
    return index < 0 ? 1.0 : kSteps[index].factor;
}

std::optional<ReplayControl::SpeedChange> ReplayControl::ChangeSpeed(const std::string& label, bool faster)
{
    if (replayUrl_.empty() || label == (faster ? "4x" : "-4x"))
        return std::nullopt;
    SpeedChange change;
    change.label = NextStep(label, faster);
    speedFactor_ = FactorOf(change.label);
    change.command = CommandTexts::ReplaySpeed(replayUrl_, speedFactor_);
    return change;
}

std::optional<std::string> ReplayControl::Seek(int value)
{
    if (replayUrl_.empty())
        return std::nullopt;
    value = std::clamp(value, 0, 100);
    seekBase_ = value;
    sought_ = true;
    // The position is a share of the whole replay, whatever earlier seeks left to play.
    const double minutes = static_cast<double>(wholeMs_) / 60000.0 / 100.0 * value;
    periodMs_ = wholeMs_ - (wholeMs_ / 100) * value;
    positionMs_ = 0;
    return CommandTexts::ReplaySeek(replayUrl_, minutes);
}

void ReplayControl::OnLength(std::int64_t length)
{
    periodMs_ = length;
    // Before any seek the player's length is the whole replay (the recorded part of the period).
    // After one it is what is left, and a length announced late for an earlier seek must not be taken
    // for the whole even when the slider is back at 0.
    if (!sought_ && length > 0)
        wholeMs_ = length;
}

std::optional<int> ReplayControl::OnPosition(std::int64_t position)
{
    positionMs_ = position;
    if (periodMs_ <= 0)
        return std::nullopt;
    // The share played of what was left at the last seek, laid over the rest of the slider.
    const double played = static_cast<double>(position) * speedFactor_ / static_cast<double>(periodMs_);
    const int value = seekBase_ + static_cast<int>(played * (100 - seekBase_));
    return std::clamp(value, 0, 100);
}

bool ReplayControl::ReachedEnd() const
{
    if (seekBase_ == 100)  // sought to the very end: nothing is left to play
        return true;
    return periodMs_ > 0 &&
           static_cast<double>(positionMs_) * speedFactor_ >= static_cast<double>(periodMs_ - kEndToleranceMs);
}

std::string ReplayControl::TotalTimeText(int minutes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:00", minutes / 60, minutes % 60);
    return text;
}
