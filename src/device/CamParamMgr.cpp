#include "device/CamParamMgr.h"

#include "base/SingleLock.h"
#include "device/CommandTexts.h"
#include "device/ReplyReader.h"
#include "glooxWrap/CIMClient.h"

#include <glog/logging.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// The decimal value at the start of the text, 0 when there is none, clamped to the int range.
int DecimalValue(const std::string& text)
{
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

CamParamMgr::CamParamMgr() : CamParamMgr(*CIMClient::Instance()) {}

CamParamMgr::CamParamMgr(DeviceMessenger& messenger)
    : messenger_(messenger)
{
    worker_ = std::thread([this] { RunWorker(); });
}

CamParamMgr::~CamParamMgr()
{
    stopping_.store(true);
    queueEvent_.Set();
    worker_.join();
}

void CamParamMgr::PostCmd(const std::string& deviceId, const std::string& text)
{
    {
        base::CSingleLock guard(&queueLock_, true);
        queue_.push_back(DeviceCommand{deviceId, text});
    }
    queueEvent_.Set();
}

void CamParamMgr::RunWorker()
{
    for (;;) {
        queueEvent_.Wait();
        if (stopping_.load())
            return;
        std::deque<DeviceCommand> batch;
        {
            base::CSingleLock guard(&queueLock_, true);
            batch.swap(queue_);
        }
        for (const auto& command : batch) {
            // No camera selected, or an id that cannot be a JID's user part: there is no one to address.
            if (!IsAddressableDeviceId(command.deviceId))
                continue;
            const std::string jid = DeviceJid(command.deviceId);
            if (!messenger_.IsFriend(command.deviceId))
                messenger_.Subscribe(jid);
            // A camera that is not online now loses the command: there is no retry.
            if (messenger_.IsOnline(command.deviceId))
                messenger_.SendMsg(jid, command.text);
        }
    }
}

void CamParamMgr::ReqImageCaps(const std::string& deviceId) { PostCmd(deviceId, CommandTexts::ImageCaps()); }
void CamParamMgr::ReqDevInfo(const std::string& deviceId) { PostCmd(deviceId, CommandTexts::DevInfo()); }
void CamParamMgr::ReqImageParam(const std::string& deviceId) { PostCmd(deviceId, CommandTexts::ImageParam()); }
void CamParamMgr::ReqVideoParam(const std::string& deviceId) { PostCmd(deviceId, CommandTexts::VideoParam()); }

void CamParamMgr::ReqUpdateVideoParam(const std::string& deviceId, const EncodeParams& params)
{
    LOG(INFO) << "ReqUpdateVideoParam";
    PostCmd(deviceId, CommandTexts::UpdateVideoParam(params));
}

void CamParamMgr::ReqQuerySupRatio(const std::string& deviceId)
{
    LOG(INFO) << deviceId << "  ReqQuerySupRatio";
    PostCmd(deviceId, CommandTexts::QuerySupRatio());
}

void CamParamMgr::ReqSetAudio(const std::string& deviceId, bool boxSelected)
{
    PostCmd(deviceId, CommandTexts::SetAudio(boxSelected));
}

void CamParamMgr::ReqAudioStatus(const std::string& deviceId) { PostCmd(deviceId, CommandTexts::AudioStatus()); }

void CamParamMgr::ReqSwitchRatio(const std::string& deviceId, int width)
{
    auto it = params_.find(deviceId);
    if (it != params_.end()) {
        for (const auto& [w, h] : it->second.sizes) {
            if (w != width)
                continue;
            EncodeParams params = it->second.encode;
            params.width = w;
            params.height = h;
            ReqUpdateVideoParam(deviceId, params);
            return;
        }
    }
    LOG(INFO) << "ReqSwitchRatio -1  width" << width;
    EncodeParams params;
    params.width = width;
    switch (width) {
    case 1280: params.bit_rate = 512; params.height = 720; params.qos = 20; break;
    case 640: params.bit_rate = 256; params.height = 360; params.qos = 30; break;
    case 320: params.bit_rate = 128; params.height = 180; params.qos = 40; break;
    default: break;
    }
    ReqUpdateVideoParam(deviceId, params);
}

PictureSizes CamParamMgr::ParseSizeList(const std::string& text)
{
    PictureSizes sizes;
    if (text.empty())
        return sizes;
    for (const auto& piece : Split(text, '&')) {
        auto parts = Split(piece, 'X');
        if (parts.size() == 2)
            sizes.emplace_back(DecimalValue(parts[0]), DecimalValue(parts[1]));
    }
    return sizes;
}

int CamParamMgr::StoreReply(const std::string& deviceId, const std::string& body)
{
    LOG(INFO) << body;
    ReplyReader reply;
    if (!reply.Parse(body))
        return -1;
    const int errNum = reply.Int("err_num");
    if (reply.Malformed())
        return -1;
    if (errNum != 0)
        return errNum;
    const int cmd = reply.Int("cmd");
    // Read everything first, so a malformed reply stores nothing.
    switch (cmd) {
    case 14: {
        PictureSizes sizes = ParseSizeList(reply.Text("rstn_list"));
        if (reply.Malformed())
            return -1;
        params_[deviceId].sizes = std::move(sizes);
        break;
    }
    case 12: {
        LOG(INFO) << "VYR_C_GET_VIDEO_PARAM";
        EncodeParams p;
        p.bit_rate = reply.Int("bit_rate");
        p.fps = reply.Int("fps");
        p.qos = reply.Int("qos");
        p.key_frame_interval = reply.Int("key_frame_interval");
        p.height = reply.Int("height");
        p.width = reply.Int("width");
        if (reply.Malformed())
            return -1;
        params_[deviceId].encode = p;
        break;
    }
    case 10: {
        ImageParams p;
        p.brightness = reply.Int("brightness");
        p.contrast = reply.Int("contrast");
        p.saturation = reply.Int("saturation");
        p.sensor_black = reply.Int("sensor_black");
        p.sensor_day = reply.Int("sensor_day");
        if (reply.Malformed())
            return -1;
        params_[deviceId].image = p;
        break;
    }
    case 4: {
        ImageCaps c;
        c.resolute = reply.Int("resolute");
        c.bright = reply.Int("bright");
        c.contrast = reply.Int("contrast");
        c.saturation = reply.Int("saturation");
        c.sensor_black = reply.Int("sensor_black");
        c.sensor_day = reply.Int("sensor_day");
        if (reply.Malformed())
            return -1;
        params_[deviceId].caps = c;
        break;
    }
    default: {
        const int status = reply.Int("status");
        if (reply.Malformed())
            return -1;
        audioFlag_ = status == 0;
        break;
    }
    }
    return 0;
}

int CamParamMgr::GetSupRatios(const std::string& deviceId, PictureSizes& out) const
{
    auto it = params_.find(deviceId);
    if (it == params_.end() || it->second.sizes.empty())
        return -1;
    out = it->second.sizes;
    return 0;
}

int CamParamMgr::GetVideoParam(const std::string& deviceId, EncodeParams& out) const
{
    auto it = params_.find(deviceId);
    if (it == params_.end())
        return -1;
    out = it->second.encode;
    return 0;
}

int CamParamMgr::GetImageParam(const std::string& deviceId, ImageParams& out) const
{
    auto it = params_.find(deviceId);
    if (it == params_.end())
        return -1;
    out = it->second.image;
    return 0;
}

int CamParamMgr::GetImageCaps(const std::string& deviceId, ImageCaps& out) const
{
    auto it = params_.find(deviceId);
    if (it == params_.end())
        return -1;
    out = it->second.caps;
    return 0;
}
