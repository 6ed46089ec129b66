#include "device/StreamRequestMgr.h"

#include "base/SingleLock.h"
#include "device/CamParamMgr.h"
#include "device/CommandTexts.h"
#include "ui/WindowRegistry.h"

#include <glog/logging.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {
constexpr WPARAM kKeepAliveTimerId = 1;
constexpr WPARAM kSwitchTimerId = 2;
// Posted to the timers by SetRestart, which may run on any thread: (re)sets the switch timer there.
constexpr UINT kSwitchWaitStarted = WM_USER + 1;
}

StreamRequestMgr::StreamRequestMgr() : StreamRequestMgr(*CamParamMgr::Instance()) {}

StreamRequestMgr::StreamRequestMgr(CommandSink& commands)
    : commands_(commands), timer_(std::make_unique<Timers>(*this))
{
    timer_->SetTimer(kKeepAliveTimerId, kKeepAliveMs);
}

StreamRequestMgr::~StreamRequestMgr() = default;

LRESULT StreamRequestMgr::Timers::OnWindowMessage(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_TIMER && wParam == kKeepAliveTimerId)
        owner_.SendKeepAlive();
    else if (message == kSwitchWaitStarted || (message == WM_TIMER && wParam == kSwitchTimerId))
        owner_.EndSwitchWaits();
    return 0;
}

void StreamRequestMgr::SetKeepAlivePeriod(unsigned periodMs)
{
    timer_->SetTimer(kKeepAliveTimerId, periodMs);
}

int StreamRequestMgr::ReqPlayUrl(const std::string& deviceId, bool forCell)
{
    {
        base::CSingleLock guard(&lock_, true);
        if (forCell)
            ++entries_[deviceId].pending;
    }
    commands_.PostCmd(deviceId, CommandTexts::PlayUrl());
    return 0;
}

bool StreamRequestMgr::GetPlayUrl(const std::string& deviceId, std::string& url)
{
    base::CSingleLock guard(&lock_, true);
    auto it = entries_.find(deviceId);
    if (it == entries_.end())
        return false;
    url = it->second.playUrl;
    return !url.empty();
}

void StreamRequestMgr::SetPlayUrl(const std::string& deviceId, const std::string& url)
{
    AddressListener listener;
    {
        base::CSingleLock guard(&lock_, true);
        entries_[deviceId].playUrl = url;
        listener = addressListener_;
    }
    if (listener && !url.empty())
        listener(deviceId, url);
}

void StreamRequestMgr::SetAddressListener(AddressListener listener)
{
    base::CSingleLock guard(&lock_, true);
    addressListener_ = std::move(listener);
}

int StreamRequestMgr::TakePending(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    auto it = entries_.find(deviceId);
    if (it == entries_.end())
        return 0;
    int pending = it->second.pending;
    it->second.pending = 0;
    return pending;
}

void StreamRequestMgr::CancelPending(const std::function<bool(const std::string& deviceId)>& covers)
{
    std::vector<std::string> waited;
    {
        base::CSingleLock guard(&lock_, true);
        for (const auto& [deviceId, entry] : entries_)
            if (entry.pending > 0)
                waited.push_back(deviceId);
    }
    for (const std::string& deviceId : waited)
        if (covers(deviceId))
            TakePending(deviceId);
}

void StreamRequestMgr::SetRestart(const std::string& deviceId, bool restart)
{
    {
        base::CSingleLock guard(&lock_, true);
        StreamEntry& entry = entries_[deviceId];
        entry.restart = restart;
        entry.restartDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(switchAnswerMs_);
    }
    if (restart)
        PostMessage(timer_->GetHWND(), kSwitchWaitStarted, 0, 0);
}

bool StreamRequestMgr::GetRestart(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    auto it = entries_.find(deviceId);
    return it != entries_.end() && it->second.restart;
}

bool StreamRequestMgr::TakeRestart(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    auto it = entries_.find(deviceId);
    if (it == entries_.end() || !it->second.restart)
        return false;
    it->second.restart = false;
    return true;
}

void StreamRequestMgr::SetSwitchTimeoutListener(SwitchTimeoutListener listener)
{
    base::CSingleLock guard(&lock_, true);
    switchTimeoutListener_ = std::move(listener);
}

void StreamRequestMgr::SetSwitchAnswerTime(unsigned waitMs)
{
    base::CSingleLock guard(&lock_, true);
    switchAnswerMs_ = waitMs;
}

void StreamRequestMgr::EndSwitchWaits()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<std::string> unanswered;
    std::optional<std::chrono::steady_clock::time_point> next;
    SwitchTimeoutListener listener;
    {
        base::CSingleLock guard(&lock_, true);
        for (auto& [deviceId, entry] : entries_) {
            if (!entry.restart)
                continue;
            if (entry.restartDue <= now) {
                entry.restart = false;
                unanswered.push_back(deviceId);
            } else if (!next || entry.restartDue < *next) {
                next = entry.restartDue;
            }
        }
        listener = switchTimeoutListener_;
    }
    if (next) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
        timer_->SetTimer(kSwitchTimerId, static_cast<unsigned>(std::max<long long>(left, 1)));
    } else {
        timer_->KillTimer(kSwitchTimerId);
    }
    for (const std::string& deviceId : unanswered) {
        LOG(WARNING) << "no answer from " << deviceId << " to the parameter change; its cells play the old stream again";
        if (listener)
            listener(deviceId);
    }
}

void StreamRequestMgr::SetSwitchingDevice(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    switchingDevice_ = deviceId;
}

std::string StreamRequestMgr::GetSwitchingDevice()
{
    base::CSingleLock guard(&lock_, true);
    return switchingDevice_;
}

void StreamRequestMgr::SendKeepAlive()
{
    // PostCmd only queues, so holding the lock here never waits on the network.
    base::CSingleLock guard(&lock_, true);
    for (const auto& [deviceId, entry] : entries_)
        if (!entry.playUrl.empty())
            commands_.PostCmd(deviceId, CommandTexts::KeepAlive(entry.playUrl));
}
