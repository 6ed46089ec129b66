#include "device/CommandTexts.h"

#include <cstdio>
#include <sstream>

namespace CommandTexts {

namespace {
std::string Num(long long value)
{
    return std::to_string(value);
}
}  // namespace

std::string JsonEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

std::string StreamDecimal(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string ImageCaps() { return R"({"cmd":4})"; }
std::string DevInfo() { return R"({"cmd":5})"; }
std::string ImageParam() { return R"({"cmd":10, "channel_id":0})"; }
std::string VideoParam() { return R"({"cmd":12, "channel_id":0})"; }

std::string UpdateVideoParam(const EncodeParams& p)
{
    return R"({"cmd":13,"channel_id": 0,"bit_rate":)" + Num(p.bit_rate) + R"(,"fps":)" + Num(p.fps) +
           R"(,"qos":)" + Num(p.qos) + R"(,"key_frame_interval":)" + Num(p.key_frame_interval) +
           R"(,"height":)" + Num(p.height) + R"(,"width":)" + Num(p.width) + "}";
}

std::string QuerySupRatio() { return R"({"cmd":14})"; }

std::string SetAudio(bool boxSelected)
{
    return R"({"channel_id": 0, "cmd":26,"status":)" + std::string(boxSelected ? "0" : "1") + "}";
}

std::string AudioStatus() { return R"({ "channel_id": 0, "cmd":27})"; }
std::string PlayUrl() { return R"({"cmd":40, "channel_id" : 0, "dev_type" : 0})"; }

std::string ReplaySearch(long long start, long long end)
{
    return R"({"cmd":50, "channel_id" : 0,"start_time" : )" + Num(start) + R"(,"end_time" : )" + Num(end) +
           R"(, "dev_type" : 0})";
}

std::string ReplayStop(const std::string& replayUrl)
{
    return R"({"cmd":51,"dev_type":0, "replay_url" :")" + JsonEscape(replayUrl) + R"("})";
}

std::string ReplaySpeed(const std::string& replayUrl, double factor)
{
    return R"({"cmd":53, "replay_url": ")" + JsonEscape(replayUrl) + R"(", "dev_type": 0,"speed":)" +
           StreamDecimal(factor) + "}";
}

std::string ReplaySeek(const std::string& replayUrl, double minutes)
{
    return R"({"cmd":54, "dev_type": 0, "replay_url": ")" + JsonEscape(replayUrl) + R"(","position": )" +
           StreamDecimal(minutes) + "}";
}

std::string KeepAlive(const std::string& playUrl)
{
    return R"({"cmd":56, "dev_type" : 0, "play_url" : ")" + JsonEscape(playUrl) + R"(","expect" : 300})";
}

std::string DeviceOnline() { return R"({"cmd":60, "channel_id" : 0, "status" : 1})"; }
std::string Reboot() { return R"({"cmd":62, "channel_id" : 0, "status" : 1})"; }
std::string AlarmNotices() { return R"({"cmd":82, "channel_id" : 0, "dev_type" : 0})"; }

namespace {
std::string Ptz(const char* opening, int function, int control, int param)
{
    return std::string(opening) + R"("cmd":25, "channel_id" : 0, "function" : )" + Num(function) +
           R"(, "control" : )" + Num(control) + R"(, "param" : )" + Num(param) + "}";
}
}  // namespace

std::string PtzPress(int function, int control, int speed) { return Ptz("{", function, control, speed); }
std::string PtzRelease(int function) { return Ptz(function == 7 ? "{" : "{ ", function, 0, 0); }
std::string PtzGotoPreset(int preset) { return Ptz("{", 8, 3, preset); }
std::string PtzSetPreset(int preset) { return Ptz("{", 8, 1, preset); }
std::string PtzDeletePreset(int preset) { return Ptz("{", 8, 2, preset); }
std::string PtzDeleteAllPresets() { return Ptz("{", 8, 1, 40); }
std::string PtzStartCruise() { return Ptz("{", 8, 1, 41); }

}  // namespace CommandTexts
