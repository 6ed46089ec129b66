#include "CameraBehaviour.h"

#include "CompactJson.h"
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

CameraBehaviour::Outcome CameraBehaviour::Answer(const std::string& body, std::int64_t nowUtc)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value command;
    std::string errors;
    if (!reader->parse(body.data(), body.data() + body.size(), &command, &errors) || !command.isObject())
        return {};
    const int cmd = IntOf(command, "cmd", -1);
    Outcome outcome;
    Json::Value reply = Reply(cmd);
    switch (cmd) {
    case 4:
        reply["resolute"] = 1;
        reply["bright"] = 1;
        reply["contrast"] = 1;
        reply["saturation"] = 1;
        reply["sensor_black"] = 1;
        reply["sensor_day"] = 1;
        break;
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
        // Recordings cover the last seven days up to now; the replay is the recorded part of the period.
        const std::int64_t from = std::max(start, nowUtc - kRecordedSeconds), to = std::min(end, nowUtc);
        std::string url = from < to ? video_.ReplayUrl(deviceId_, from, to) : std::string();
        if (url.empty()) {
            reply["err_num"] = 1;
            break;
        }
        reply["replay_url"] = url;
        reply["real_time"] = static_cast<Json::Int64>((to - from) / 60);
        break;
    }
    case 51:
        video_.CloseReplay(command["replay_url"].asString());
        break;
    case 53: {
        const Json::Value& speed = command["speed"];
        if (!speed.isNumeric() || !video_.SetReplaySpeed(command["replay_url"].asString(), speed.asDouble()))
            reply["err_num"] = 1;
        break;
    }
    case 54: {
        const Json::Value& position = command["position"];
        if (!position.isNumeric() || !video_.SeekReplay(command["replay_url"].asString(), position.asDouble()))
            reply["err_num"] = 1;
        break;
    }
    case 56:
        break;
    case 25:
        return Outcome{Ptz25(IntOf(command, "function", 0), IntOf(command, "control", 0), IntOf(command, "param", 0))};
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

std::string CameraBehaviour::Ptz25(int function, int control, int param)
{
    Json::Value reply = Reply(25);
    const int step = std::max(1, param);
    switch (function) {
    case 7:  // direction: 1 up, 2 down, 3 left, 4 right, 0 stop
        if (control == 1) ptz_.tilt += step;
        else if (control == 2) ptz_.tilt -= step;
        else if (control == 3) ptz_.pan -= step;
        else if (control == 4) ptz_.pan += step;
        break;
    case 4:  // focus near/far
        if (control == 1) ptz_.focus -= step;
        else if (control == 2) ptz_.focus += step;
        break;
    case 5:  // zoom in/out
        if (control == 1) ptz_.zoom += step;
        else if (control == 2) ptz_.zoom = std::max(1, ptz_.zoom - step);
        break;
    case 6:  // iris
        if (control == 1) ptz_.iris -= step;
        else if (control == 2) ptz_.iris += step;
        break;
    case 8:  // presets: 1 set (40 deletes all, 41 starts the cruise), 2 delete, 3 go to
        if (control == 1 && param == 40) {
            presets_.clear();
        } else if (control == 1 && param == 41) {
            cruising_ = !presets_.empty();
            if (!cruising_)
                reply["err_num"] = 1;
        } else if (control == 1) {
            presets_[param] = ptz_;
        } else if (control == 2) {
            if (presets_.erase(param) == 0)
                reply["err_num"] = 1;
        } else if (control == 3) {
            auto it = presets_.find(param);
            if (it == presets_.end())
                reply["err_num"] = 1;
            else
                ptz_ = it->second;
        }
        break;
    default:
        reply["err_num"] = 1;
    }
    reply["pan"] = ptz_.pan;
    reply["tilt"] = ptz_.tilt;
    reply["zoom"] = ptz_.zoom;
    return CompactJson(reply);
}
