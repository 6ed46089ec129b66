#include "device/StreamRequestMgr.h"

#include "base/SingleLock.h"
#include "device/CamParamMgr.h"
#include "device/CommandTexts.h"

#include <vector>

namespace {
constexpr WPARAM kKeepAliveTimerId = 1;
}

StreamRequestMgr::StreamRequestMgr() : StreamRequestMgr(*CamParamMgr::Instance()) {}

StreamRequestMgr::StreamRequestMgr(CommandSink& commands)
    : commands_(commands), timer_(std::make_unique<KeepAliveTimer>(*this))
{
    timer_->SetTimer(kKeepAliveTimerId, kKeepAliveMs);
}

StreamRequestMgr::~StreamRequestMgr() = default;

LRESULT StreamRequestMgr::KeepAliveTimer::OnWindowMessage(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_TIMER && wParam == kKeepAliveTimerId)
        owner_.SendKeepAlive();
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
    base::CSingleLock guard(&lock_, true);
    entries_[deviceId].restart = restart;
}

bool StreamRequestMgr::GetRestart(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    auto it = entries_.find(deviceId);
    return it != entries_.end() && it->second.restart;
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
