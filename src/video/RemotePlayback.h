#pragma once

#include "ui/WinDef.h"

#include <memory>
#include <string>

class CRemoveQuery;

// Opens the remote playback window for a camera, one at a time and modally over its owner, and hands
// it the camera's cmd 50 replies while it is open. The main window holds one of these. UI thread only.
class RemotePlayback {
public:
    RemotePlayback();
    ~RemotePlayback();

    // Runs the playback window for the camera over `owner` (which also sends the window's speed and
    // seek commands); returns when the window closed.
    void Open(HWND owner, const std::string& deviceId);
    // A cmd 50 reply: for the open window; false when none is open.
    bool PassReply(const std::string& deviceId, const std::string& body);
    // The open window, or null.
    CRemoveQuery* Window() const { return window_.get(); }

private:
    std::unique_ptr<CRemoveQuery> window_;
};
