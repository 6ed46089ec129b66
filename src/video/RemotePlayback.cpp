#include "video/RemotePlayback.h"

#include "ui/WindowRegistry.h"
#include "video/CRemoveQuery.h"

RemotePlayback::RemotePlayback() = default;
RemotePlayback::~RemotePlayback() = default;

void RemotePlayback::Open(HWND owner, const std::string& deviceId)
{
    if (deviceId.empty() || window_)  // one window at a time (a second request while it runs is refused)
        return;
    window_ = std::make_unique<CRemoveQuery>(deviceId, owner);
    window_->Create(owner, QStringLiteral("RemoveQueryWnd"), UI_WNDSTYLE_DIALOG, 0x100);
    window_->CenterWindow();
    window_->ShowModal();
    // Whatever way it closed, the window is gone: nothing may reach its video dialog any more.
    window_.reset();
}

bool RemotePlayback::PassReply(const std::string& deviceId, const std::string& body)
{
    if (!window_ || !::IsWindow(window_->GetHWND()))
        return false;
    window_->OnPlaybackReply(deviceId, body);
    return true;
}
