#pragma once

#include "ui/WinDef.h"

#include <QString>

#include <functional>

class CControlUI;

// What the main window shows of the IM session: while it is lost (the IM thread is getting it back)
// a status line says so, the cameras are no longer shown online (the tree is rebuilt from the
// forgotten presences), and a command the user gives is answered with a tip instead of silence.
// UI thread only.
class ImLinkStatus {
public:
    static const QString kLostText;     // the status line
    static const QString kRefusedText;  // the tip for a command given meanwhile

    // `line` is the status label (may be null); `rebuildTree` redraws the camera icons.
    ImLinkStatus(HWND owner, CControlUI* line, std::function<void()> rebuildTree);

    void Lost();
    void Restored();
    bool IsDown() const { return down_; }
    // While the session is lost: says so and returns true (the caller drops the command).
    bool RefuseCommand() const;

private:
    HWND owner_;
    CControlUI* line_;
    std::function<void()> rebuildTree_;
    bool down_ = false;
};
