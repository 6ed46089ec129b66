#include "device/DeviceReplyRouter.h"

#include "device/AlarmNoticeCounter.h"
#include "device/CamParamMgr.h"
#include "device/CommandTexts.h"
#include "device/DeviceReplyView.h"
#include "device/ReplyReader.h"
#include "device/StreamRequestMgr.h"
#include "glooxWrap/DeviceMessenger.h"
#include "glooxWrap/ImEvents.h"
#include "ui/WindowMessages.h"

#include <glog/logging.h>

namespace {

// True (and logged) when a member the handling read had an unexpected type.
bool Refused(const ReplyReader& reply, const std::string& deviceId, const std::string& body)
{
    if (reply.Malformed())
        LOG(WARNING) << "malformed reply from " << deviceId << ": " << body;
    return reply.Malformed();
}

}  // namespace

DeviceReplyRouter::DeviceReplyRouter(DeviceMessenger& im, CamParamMgr& params, StreamRequestMgr& streams,
                                     AlarmNoticeCounter& alarms, DeviceReplyView& view)
    : im_(im), params_(params), streams_(streams), alarms_(alarms), view_(view)
{
    // A camera that does not answer a parameter change in time (offline, silent) gets its cells back
    // as if it had refused the change: on the old stream.
    streams_.SetSwitchTimeoutListener([this](const std::string& deviceId) { view_.RestartCameraCells(deviceId); });
}

DeviceReplyRouter::~DeviceReplyRouter()
{
    streams_.SetSwitchTimeoutListener(nullptr);
}

bool DeviceReplyRouter::HandleImEvent(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_IM_CONNECTED:
        return true;
    case WM_IM_MESSAGE: {
        auto record = TakeImMessage(lParam);
        OnDeviceReply(record->deviceId, record->body);
        return true;
    }
    case WM_IM_ROSTER: {
        LOG(INFO) << "GotRoster";
        std::vector<std::string> friends;
        im_.GetFriends(friends);
        LOG(INFO) << "好友数量：" << friends.size();
        for (const auto& name : friends)
            LOG(INFO) << name;
        view_.RosterArrived(friends);
        return true;
    }
    case WM_IM_PRESENCE: {
        const std::string deviceId = TakePresenceId(lParam);
        if (wParam == 0)
            OnDeviceOnline(deviceId);
        else if (wParam == 5)
            OnDeviceOffline(deviceId);
        return true;
    }
    default:
        return false;
    }
}

void DeviceReplyRouter::SetOnlineListener(std::function<void(const std::string&)> listener)
{
    onlineListener_ = std::move(listener);
}

void DeviceReplyRouter::OnDeviceOnline(const std::string& deviceId)
{
    if (onlineListener_)
        onlineListener_(deviceId);
    if (im_.IsOnline(deviceId))
        view_.RebuildDeviceTree();
    params_.PostCmd(deviceId, CommandTexts::DeviceOnline());
    params_.ReqQuerySupRatio(deviceId);
    params_.ReqImageCaps(deviceId);
    LOG(INFO) << "ReqPlayUrl" << deviceId;
    streams_.ReqPlayUrl(deviceId, false);
    params_.PostCmd(deviceId, CommandTexts::AlarmNotices());
}

void DeviceReplyRouter::OnDeviceOffline(const std::string& deviceId)
{
    view_.ShowDeviceOffline(deviceId);
}

void DeviceReplyRouter::OnDeviceReply(const std::string& deviceId, const std::string& body)
{
    ReplyReader reply;
    if (!reply.Parse(body))
        return;
    const int cmd = reply.Int("cmd");
    if (cmd == 82 && !reply.Malformed()) {
        // Alarm notices count whatever else they carry; cameras send them unasked.
        if (alarms_.NoticesWanted())
            view_.ShowAlarmCount(alarms_.AddNotice());
        return;
    }
    // "err_num" is read only for the commands whose handling looks at it; elsewhere (a play address, the
    // device information) its type does not matter. Cmd 4, 14, 27 and 50 are read by their receivers.
    const bool readsErrNum = cmd == 10 || cmd == 12 || cmd == 13 || cmd == 26;
    const int errNum = readsErrNum ? reply.Int("err_num") : 0;
    if (Refused(reply, deviceId, body))
        return;
    switch (cmd) {
    case 4:
    case 14:
        params_.StoreReply(deviceId, body);
        break;
    case 5: {
        DeviceInfo info{reply.Text("dev_name"), reply.Text("consl_interface"), reply.Text("dev_type"),
                        reply.Text("dev_model"), reply.Text("dev_version")};
        if (!Refused(reply, deviceId, body))
            view_.ShowDeviceInfo(deviceId, info);
        break;
    }
    case 10:
        if (errNum != 0)
            view_.ShowMessageBox("设备参数获取错误！");
        else if (params_.StoreReply(deviceId, body) == 0)
            view_.ShowImagePanel(deviceId);
        break;
    case 12:
        if (errNum != 0)
            view_.ShowMessageBox("视频参数获取错误！");
        else if (params_.StoreReply(deviceId, body) == 0)
            view_.ShowEncodePanel(deviceId);
        break;
    case 13:
        if (errNum != 0)
            view_.ShowMessageBox("视频参数设置失败");
        else
            params_.ReqVideoParam(deviceId);
        // The cells stopped for the change play again, with the new parameters or, when the camera
        // refused them, with the old ones: a refusal must not leave them stopped. An answer after the
        // switch's time-out (StreamRequestMgr::kSwitchAnswerMs) finds them playing and restarts nothing.
        if (streams_.TakeRestart(deviceId))
            view_.RestartCameraCells(deviceId);
        break;
    case 26:
        if (errNum == 0)
            view_.ShowMessageBox("发送成功！");
        else
            view_.ShowMessageBox("音频设置失败");
        // Either way the check box is set again from what the camera now has.
        params_.ReqAudioStatus(deviceId);
        break;
    case 27:
        params_.StoreReply(deviceId, body);
        view_.SetAudioChecked(deviceId, params_.GetAudioFlag());
        break;
    case 40: {
        const std::string playUrl = reply.Text("play_url");
        if (Refused(reply, deviceId, body))
            break;  // an address that is no text must not replace (or clear) the cached one
        streams_.SetPlayUrl(deviceId, playUrl);
        const int waiting = streams_.TakePending(deviceId);
        for (int i = 0; i < waiting; ++i)
            view_.OpenCameraInWall(deviceId, playUrl);
        if (waiting > 0)
            view_.RecordWatched(deviceId);
        break;
    }
    case 50:
        view_.PassPlaybackReply(deviceId, body);
        break;
    default:
        break;
    }
}
