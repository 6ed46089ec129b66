#include "duiWrap/CameraCommandGate.h"

#include "glooxWrap/DeviceMessenger.h"
#include "ui/ShowMsgTip.h"

#include <glog/logging.h>

const QString CameraCommandGate::kNoCameraText = QStringLiteral("请先选定摄像头");
const QString CameraCommandGate::kOfflineText = QStringLiteral("摄像头不在线");

CameraCommandGate::CameraCommandGate(HWND owner, DeviceMessenger& presence) : owner_(owner), presence_(presence) {}

bool CameraCommandGate::Admit(const std::string& deviceId, const QString& noCameraText) const
{
    if (deviceId.empty()) {
        ShowMsgTip(owner_, noCameraText);
        return false;
    }
    if (!presence_.IsOnline(deviceId)) {
        LOG(INFO) << deviceId << " is offline; the command is not sent";
        ShowMsgTip(owner_, kOfflineText);
        return false;
    }
    return true;
}
