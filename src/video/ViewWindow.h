#pragma once

#include "ui/NativeWidget.h"
#include "video/WallViewPlacer.h"

#include <functional>
#include <memory>
#include <string>

class CvyrProDlg;
class QLabel;
class QPushButton;

// A saved view in a window of its own (for a second monitor): a wall of its own, a caption bar with
// the view's name and a full-screen button. The wall's full screen covers the screen this window is
// on. Its cells behave as the main wall's (toolbar, captures, playback); what they tell "the main
// window" comes to this window, which passes it on to the real one. Closing the window stops its
// cells and hides it, so the owner can give it the next view (its cells' players are kept). UI thread only.
class ViewWindow : public NativeWidget {
public:
    using PlaybackOpener = std::function<void(const std::string& deviceId)>;

    ViewWindow(CameraAddressBook addresses, HWND mainWindow, PlaybackOpener openPlayback);
    ~ViewWindow() override;

    // Shows the window with the view's name and restores the view on its wall.
    void ShowView(const SavedView& view);
    const std::string& ViewName() const { return viewName_; }
    CvyrProDlg* Wall() const { return wall_; }
    // Open: shown and not closed since.
    bool IsOpen() const { return isVisible(); }

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CvyrProDlg* wall_;
    std::unique_ptr<WallViewPlacer> placer_;
    QLabel* caption_;
    QPushButton* fullScreenButton_;
    HWND mainWindow_;
    PlaybackOpener openPlayback_;
    std::string viewName_;
};
