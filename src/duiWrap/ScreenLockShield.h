#pragma once

#include "ui/WinDef.h"

#include <QObject>

// Keeps a locked screen locked: while LocalConfig's screenLocked is set, no mouse button, wheel or
// key reaches any window of the program (the main window, the video wall also when it is full
// screen, pages and dialogs left open) except the active modal window, which is the lock screen or
// a message box it shows. A press elsewhere, with no lock screen open, posts WM_SHOW_LOCKSCREEN to
// the main window. Pictures keep being drawn. Installed on the application; UI thread only.
class ScreenLockShield : public QObject {
public:
    explicit ScreenLockShield(HWND mainWindow);
    ~ScreenLockShield() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HWND mainWindow_;
};
