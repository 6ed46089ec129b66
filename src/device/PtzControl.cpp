#include "device/PtzControl.h"

#include "device/CommandSink.h"
#include "device/CommandTexts.h"
#include "glooxWrap/DeviceMessenger.h"
#include "ui/WindowMessages.h"

#include <glog/logging.h>

const PtzControl::Move PtzControl::kMoves[10] = {
    {WM_IDC_Btn_Left, "IDC_BTNLEFT", "WM_IDC_Btn_Left", 7, 3},
    {WM_IDC_Btn_Right, "IDC_BTNRIGHT", "WM_IDC_Btn_Right", 7, 4},
    {WM_IDC_Btn_Up, "IDC_BTNUP", "WM_IDC_Btn_Up", 7, 1},
    {WM_IDC_Btn_Down, "IDC_BTNDOWN", "WM_IDC_Btn_Down", 7, 2},
    {WM_IDC_Btn_Near, "IDC_BTNNEAR", "WM_IDC_Btn_Near", 4, 1},
    {WM_IDC_Btn_Far, "IDC_BTNFAR", "WM_IDC_Btn_Far", 4, 2},
    {WM_IDC_Btn_Short, "IDC_BTNSHORT", "WM_IDC_Btn_Short", 6, 1},
    {WM_IDC_Btn_Long, "IDC_BTNLONG", "WM_IDC_Btn_Long", 6, 2},
    {WM_IDC_Btn_Big, "IDC_BTNBIG", "WM_IDC_Btn_Big", 5, 1},
    {WM_IDC_Btn_Small, "IDC_BTNSMALL", "WM_IDC_Btn_Small", 5, 2},
};

const PtzControl::Move* PtzControl::MoveOf(UINT message)
{
    for (const Move& move : kMoves)
        if (move.message == message)
            return &move;
    return nullptr;
}

PtzControl::PtzControl(CommandSink& queue, DeviceMessenger& presence) : queue_(queue), presence_(presence) {}

void PtzControl::SetSpeed(int speed)
{
    speed_ = speed;
    speedText_ = std::to_string(speed);
}

bool PtzControl::HandleMove(UINT message, WPARAM wParam, const std::string& deviceId)
{
    const Move* move = MoveOf(message);
    if (!move)
        return false;
    LOG(INFO) << move->messageName << ":" << wParam;
    if (wParam == 1) {
        queue_.PostCmd(deviceId, CommandTexts::PtzPress(move->function, move->control, speed_));
    } else if (wParam == 0) {
        if (!deviceId.empty() && !presence_.IsOnline(deviceId)) {
            LOG(WARNING) << deviceId << " is offline; its release of function " << move->function
                         << " waits until it is back";
            missedReleases_[deviceId].insert(move->function);
        } else {
            queue_.PostCmd(deviceId, CommandTexts::PtzRelease(move->function));
        }
    }
    return true;
}

void PtzControl::OnDeviceOnline(const std::string& deviceId)
{
    const auto missed = missedReleases_.find(deviceId);
    if (missed == missedReleases_.end())
        return;
    for (int function : missed->second)
        queue_.PostCmd(deviceId, CommandTexts::PtzRelease(function));
    missedReleases_.erase(missed);
}

void PtzControl::DeletePreset(const std::string& deviceId, int preset)
{
    queue_.PostCmd(deviceId, CommandTexts::PtzDeletePreset(preset));
}

void PtzControl::DeleteAllPresets(const std::string& deviceId)
{
    queue_.PostCmd(deviceId, CommandTexts::PtzDeleteAllPresets());
}

void PtzControl::StartCruise(const std::string& deviceId)
{
    queue_.PostCmd(deviceId, CommandTexts::PtzStartCruise());
}
