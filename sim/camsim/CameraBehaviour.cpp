#include "CameraBehaviour.h"

#include "CompactJson.h"
#include "RecordingCalendar.h"
#include "VideoAddressSource.h"

#include <json/json.h>

#include <algorithm>
#include <memory>

namespace {

Json::Value Reply(int cmd, int errNum = 0)
{
    Json::Value reply(Json::objectValue);
    reply["cmd"] = cmd;
    reply["err_num"] = errNum;
    return reply;
}

int IntOf(const Json::Value& command, const char* key, int fallback)
{
    const Json::Value& v = command[key];
    return v.isNumeric() && v.isConvertibleTo(Json::intValue) ? v.asInt() : fallback;
}

std::string TextOf(const Json::Value& command, const char* key)
{
    const Json::Value& v = command[key];
    return v.isString() ? v.asString() : std::string();
}

}  // namespace

CameraBehaviour::CameraBehaviour(std::string deviceId, std::string alias, VideoAddressSource& video)
    : deviceId_(std::move(deviceId)), alias_(std::move(alias)), video_(video)
{
}

std::string CameraBehaviour::AlarmNotice(int warnType) const
{
    Json::Value notice(Json::objectValue);
    notice["cmd"] = 82;
    notice["channel_id"] = 0;
    notice["dev_type"] = 0;
    notice["warnType"] = warnType;
    notice["deviceId"] = deviceId_;
    return CompactJson(notice);
}

CameraBehaviour::Outcome CameraBehaviour::Answer(const std::string& body, std::int64_t nowUtc, Clock::time_point now)
{
    Advance(now);
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value command;
    std::string errors;
    try {  // jsoncpp throws beyond its nesting limit: such a command is no command
        if (!reader->parse(body.data(), body.data() + body.size(), &command, &errors) || !command.isObject())
            return {};
    } catch (const std::exception&) {
        return {};
    }
    const int cmd = IntOf(command, "cmd", -1);
    Outcome outcome;
    Json::Value reply = Reply(cmd);
    if (refused_.count(cmd) > 0) {
        reply["err_num"] = kRefusedErrNum;
        return Outcome{CompactJson(reply)};
    }
    switch (cmd) {
    case 4: {
        const int offered = imageControls_ ? 1 : 0;
        reply["resolute"] = 1;
        reply["bright"] = offered;
        reply["contrast"] = offered;
        reply["saturation"] = offered;
        reply["sensor_black"] = offered;
        reply["sensor_day"] = offered;
        break;
    }
    case 5:
        reply["dev_name"] = alias_;
        reply["consl_interface"] = "RJ45";
        reply["dev_type"] = "IPC";
        reply["dev_model"] = "KV-SIM";
        reply["dev_version"] = "1.0.3";
        break;
    case 10:
        reply["brightness"] = brightness_;
        reply["contrast"] = contrast_;
        reply["saturation"] = saturation_;
        reply["sensor_black"] = sensorBlack_;
        reply["sensor_day"] = sensorDay_;
        break;
    case 12:
        reply["bit_rate"] = bitRate_;
        reply["fps"] = fps_;
        reply["qos"] = qos_;
        reply["key_frame_interval"] = keyFrameInterval_;
        reply["height"] = height_;
        reply["width"] = width_;
        break;
    case 13: {
        const int width = IntOf(command, "width", -1), height = IntOf(command, "height", -1);
        const std::string size = std::to_string(width) + "X" + std::to_string(height);
        const std::string sizes = std::string("&") + kSizes + "&";
        const int fps = IntOf(command, "fps", -1), bitRate = IntOf(command, "bit_rate", -1);
        if (sizes.find("&" + size + "&") == std::string::npos || fps < 1 || fps > 30 || bitRate <= 0) {
            reply["err_num"] = 2;  // a size or rate this camera cannot encode
            break;
        }
        bitRate_ = bitRate;
        fps_ = fps;
        qos_ = IntOf(command, "qos", qos_);
        keyFrameInterval_ = IntOf(command, "key_frame_interval", keyFrameInterval_);
        width_ = width;
        height_ = height;
        video_.SetLiveSize(deviceId_, width, height);
        break;
    }
    case 14:
        reply["rstn_list"] = kSizes;
        break;
    case 26:
        audioStatus_ = IntOf(command, "status", audioStatus_);
        break;
    case 27:
        reply["status"] = audioStatus_;
        break;
    case 40:
        reply["play_url"] = video_.LiveUrl(deviceId_);
        break;
    case 50: {
        const Json::Value& s = command["start_time"];
        const Json::Value& e = command["end_time"];
        const std::int64_t start = s.isNumeric() ? s.asInt64() : 0, end = e.isNumeric() ? e.asInt64() : 0;
        // The replay is the first stretch of recording within the period (RecordingCalendar).
        const std::optional<RecordingCalendar::Span> recorded = RecordingCalendar::FirstRecorded(start, end, nowUtc);
        std::string url = recorded ? video_.ReplayUrl(deviceId_, recorded->from, recorded->to) : std::string();
        if (url.empty()) {
            reply["err_num"] = 1;
            break;
        }
        reply["replay_url"] = url;
        reply["real_time"] = static_cast<Json::Int64>((recorded->to - recorded->from) / 60);
        break;
    }
    case 51:
        video_.CloseReplay(TextOf(command, "replay_url"));
        break;
    case 53: {
        const Json::Value& speed = command["speed"];
        if (!speed.isNumeric() || !video_.SetReplaySpeed(TextOf(command, "replay_url"), speed.asDouble()))
            reply["err_num"] = 1;
        break;
    }
    case 54: {
        const Json::Value& position = command["position"];
        if (!position.isNumeric() || !video_.SeekReplay(TextOf(command, "replay_url"), position.asDouble()))
            reply["err_num"] = 1;
        break;
    }
    case 56:
        break;
    case 25:
        return Outcome{
            Ptz25(IntOf(command, "function", 0), IntOf(command, "control", 0), IntOf(command, "param", 0), now)};
    case 60:
        return {};  // the client's "I am watching" notice: nothing to answer
    case 62:
        outcome.reboot = true;
        break;
    case 82:
        outcome.alarmSubscribe = true;  // answered by the notices themselves, pushed later
        return outcome;
    default:
        return {};
    }
    outcome.reply = CompactJson(reply);
    return outcome;
}

CameraBehaviour::Ptz CameraBehaviour::Moved(const Motion& motion, int units)
{
    Ptz p = motion.from;
    const int sign = motion.control == 1 ? 1 : -1;  // 1: up, near, open, wide; 2: the other way
    switch (motion.function) {
    case 7:  // direction: 1 up, 2 down, 3 left, 4 right
        if (motion.control <= 2)
            p.tilt += sign * units;
        else
            p.pan += motion.control == 4 ? units : -units;
        break;
    case 4:  // focus: 1 near, 2 far
        p.focus -= sign * units;
        break;
    case 5:  // iris: 1 open, 2 close
        p.iris -= sign * units;
        break;
    case 6:  // focal length: 1 short (wider), 2 long (closer)
        p.zoom = std::clamp(p.zoom - sign * units, 1, kMaxZoom);
        break;
    default:
        break;
    }
    return p;
}

void CameraBehaviour::Advance(Clock::time_point now)
{
    Ptz next = ptz_;
    if (motion_.function != 0) {
        const double seconds = std::chrono::duration<double>(now - motion_.since).count();
        const int units = motion_.speed + static_cast<int>(std::max(0.0, seconds) * motion_.speed);
        next = Moved(motion_, std::min(units, 1000000));
    } else if (cruising_ && !presets_.empty()) {
        const auto stop = (now - cruiseSince_) / kCruiseDwell;
        auto it = presets_.begin();
        std::advance(it, static_cast<long>(stop % static_cast<long>(presets_.size())));
        next = it->second;
    }
    if (next != ptz_) {
        ptz_ = next;
        ShowView();
    }
}

void CameraBehaviour::ShowView()
{
    video_.SetView(deviceId_, ptz_.pan, ptz_.tilt, 100 + 2 * (ptz_.zoom - 1));
}

std::string CameraBehaviour::Ptz25(int function, int control, int param, Clock::time_point now)
{
    Json::Value reply = Reply(25);
    const Ptz before = ptz_;
    if (function != 8 || control == 3)
        cruising_ = false;  // any steering or going to a preset ends the cruise
    switch (function) {
    case 7:
    case 4:
    case 5:
    case 6:
        if (control == 0 || control > (function == 7 ? 4 : 2)) {
            if (motion_.function == function)
                motion_ = {};
        } else {
            motion_ = {function, control, std::max(1, param), now, ptz_};
            ptz_ = Moved(motion_, motion_.speed);
        }
        break;
    case 8:  // presets: 1 set (40 deletes all, 41 starts the cruise), 2 delete, 3 go to
        if (control == 1 && param == 40) {
            presets_.clear();
        } else if (control == 1 && param == 41) {
            cruising_ = !presets_.empty();
            cruiseSince_ = now;
            if (!cruising_)
                reply["err_num"] = 1;
        } else if (control == 1) {
            presets_[param] = ptz_;
        } else if (control == 2) {
            if (presets_.erase(param) == 0)
                reply["err_num"] = 1;
        } else if (control == 3) {
            auto it = presets_.find(param);
            if (it == presets_.end()) {
                reply["err_num"] = 1;
            } else {
                motion_ = {};
                ptz_ = it->second;
            }
        }
        break;
    default:
        reply["err_num"] = 1;
    }
    if (cruising_)
        Advance(now);
    if (ptz_ != before)
        ShowView();
    reply["pan"] = ptz_.pan;
    reply["tilt"] = ptz_.tilt;
    reply["zoom"] = ptz_.zoom;
    return CompactJson(reply);
}
