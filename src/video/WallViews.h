#pragma once

#include "app/SavedViews.h"
#include "ui/WinDef.h"
#include "video/SavedViewsPanel.h"
#include "video/ViewWindow.h"
#include "video/WallViewPlacer.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CvyrProDlg;
class QWidget;

// The account's saved views on the main wall and in windows of their own: saving the main wall,
// restoring a view on it, opening one in a second window, the restore-at-log-in option, the list in
// the split chooser and the messages about all of it. The main window creates it once and forwards:
// the cameras' addresses, suspends and resumes to all walls go through it. UI thread only.
class WallViews {
public:
    struct Setup {
        CvyrProDlg* mainWall = nullptr;
        HWND mainWindow = nullptr;  // owner of the messages, receiver of the view windows' cell messages
        std::string filePath;       // SavedViews::PathFor(program folder, account)
        CameraAddressBook addresses;
        std::function<bool(const std::string& deviceId)> hasCamera;  // the account has it today
        ViewWindow::PlaybackOpener openPlayback;
        // A camera a view puts on a wall counts as watched, as one played from the lists.
        std::function<void(const std::string& deviceId)> recordWatched;
    };

    explicit WallViews(Setup setup);
    ~WallViews();

    // Reads the account's views (log-in). A file that is not views is kept aside and the user is told
    // (after the current event, so this may run before the main window's loop).
    void Load();
    // At the first call after Load (the roster arrived): restores the last view when the option is on.
    void RestoreAtLogin();

    // Saves the main wall under this name (replacing a view of that name) and makes it the last view.
    bool Save(const std::string& name);
    // Restores the view on the main wall and makes it the last view.
    bool Restore(const std::string& name);
    // Opens the view in a window of its own (a closed one is reused).
    ViewWindow* OpenInWindow(const std::string& name);
    bool Remove(const std::string& name);
    bool SetRestoreAtLogin(bool restore);

    // Adds the list to the split chooser's window (once per window).
    void AttachPanel(QWidget* chooser);
    SavedViewsPanel* Panel() const { return panel_; }

    // Passed on from the main window, for the walls it does not know.
    void OfferAddress(const std::string& deviceId, const std::string& url);
    void SuspendCamera(const std::string& deviceId);
    void ResumeCamera(const std::string& deviceId);
    // The tree's "stop all" and "stop node" in the view windows shown (the main wall is the caller's);
    // whether a camera is under the node is decided as on the main wall.
    void StopAll();
    void StopNode(const std::string& nodeId);

    const SavedViews& Views() const { return views_; }
    // The view windows that are shown.
    std::vector<ViewWindow*> OpenWindows() const;

private:
    // The view as it applies to the account today; says which cameras are gone.
    SavedView Applicable(const SavedView& view) const;
    void RecordWatched(const SavedView& view) const;
    bool Store();
    void RefreshPanel();
    void Tell(const QString& text) const;

    Setup setup_;
    SavedViews views_;
    WallViewPlacer mainPlacer_;
    std::vector<std::unique_ptr<ViewWindow>> windows_;
    QPointer<SavedViewsPanel> panel_;
    bool loginRestoreDone_ = false;
};
