#pragma once

#include "base/CriticalSection.h"
#include "ui/NativeWidget.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CellChooser.h"

#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CDlgPanel;
class QScreen;

// The video wall: 64 play cells, each built the first time it is needed (a layout shows it, a camera
// goes into it, someone asks for it through Panel) and hidden until a layout shows it. It picks the
// cell a camera plays in, keeps the selected cell (red frame), starts, stops, suspends and resumes
// cells by camera or node, and switches itself to full screen.
//
// UI thread only. lock_ is held while a camera is being placed in a cell (it encloses the player
// manager's own lock, never the other way round).
class CvyrProDlg : public NativeWidget {
public:
    static constexpr int kCellCount = 64;
    static constexpr unsigned kOpenSpacingMs = 200;

    // Builds the wall inside `host` (may be null: then the wall is a window of its own); its cells are
    // built when first needed. The first wall (the main window's) stores its handle as LocalConfig's
    // videoWallWindow; a wall made while that one lives (a view in a window of its own) does not.
    explicit CvyrProDlg(QWidget* host = nullptr);
    ~CvyrProDlg() override;

    // The window that receives WM_CELL_SELECTED, WM_SHOW_LOCKSCREEN, WM_SWITCH_STREAM and
    // WM_CELL_PLAYBACK; none until the main window sets itself.
    void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
    HWND MainWindow() const { return mainWindow_; }
    // How StopNode learns whether a camera is bound under a node (the node tree lives elsewhere).
    using NodeMembership = std::function<bool(const std::string& nodeId, const std::string& deviceId)>;
    void SetNodeMembership(NodeMembership membership) { nodeMembership_ = std::move(membership); }
    const NodeMembership& GetNodeMembership() const { return nodeMembership_; }
    // How a cell that lost its stream asks for the camera's address again (the answer comes back
    // through OfferAddress); without it such a cell retries its last address only.
    using AddressRequest = std::function<void(const std::string& deviceId)>;
    void SetAddressRequest(AddressRequest request) { addressRequest_ = std::move(request); }
    void RequestAddress(const std::string& deviceId) const;
    // The camera announced its play address: its cells that lost their stream reopen with it, and the
    // cells waiting for it start it.
    void OfferAddress(const std::string& deviceId, const std::string& address);
    // The cell waits for the camera's address (it was dropped there, or a view put it there, while the
    // address is asked for): its stream, if any, stops now, no other camera is placed there, and the
    // address starts the camera there unless the user played another one in it meanwhile.
    void AwaitAddress(int cell, const std::string& deviceId);
    // cell -> camera
    const std::map<int, std::string>& WaitingCells() const { return waitingCells_; }

    // Builds the cells the present layout shows, still hidden (the layout places and shows them), so
    // that a caller can have them made while it waits for something else anyway.
    void BuildLayoutCells();

    void OpenCamera(const std::string& deviceId, const std::string& address);
    // Places the cameras one every kOpenSpacingMs in the free cells from `firstCell` on, in order
    // (timer driven).
    void OpenCameras(const std::vector<CameraAddress>& cameras, int firstCell = 0);
    // Plays the camera in this cell; the cell's stream, if any, stops first (a camera dropped on it).
    void PlayInCell(int cell, const std::string& deviceId, const std::string& address);
    // The two cells exchange what they show; the streams move with their players, none is reopened.
    // `second` (where the first cell's camera went) is selected.
    void SwapCells(int first, int second);
    // Stops the cells that play or retry a camera, and cancels the waits for a camera (an address
    // asked for, a turn in "open all"): of every camera, or of those bound under the node.
    void StopAll();
    void StopNode(const std::string& nodeId);
    void SuspendCamera(const std::string& deviceId);
    void ResumeCamera(const std::string& deviceId);

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Full screen (the wall's and a cell's) covers the primary screen, or with this set the screen the
    // wall's window is on (a wall in a window of its own, on a second monitor).
    void SetFullScreenOnOwnScreen(bool own) { fullScreenOnOwnScreen_ = own; }
    QScreen* FullScreenScreen() const;

    int LayoutCount() const { return layoutCount_; }
    int SelectedCell() const { return selectedCell_; }
    int PreferredCell() const { return preferredCell_; }
    bool IsWallFullScreen() const { return wallFullScreen_; }
    // The cell, built now if it was not yet (a cell not built yet is free, shows no camera and is not
    // selected, so looking for state in all cells need not build them).
    CDlgPanel* Panel(int index);
    // The cells built so far, in cell order: the only ones that can be playing.
    std::vector<CDlgPanel*> BuiltPanels() const;
    // The rights the cells' toolbars go by: those in force when the wall was made.
    const CCPlayToolBarWnd::Rights& ToolbarRights() const { return toolbarRights_; }
    // Is some camera of an "open all" request still waiting for its turn?
    bool HasQueuedOpens() const { return !openQueue_.Empty(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr WPARAM kOpenTimer = 1;

    void SelectCell(int index);
    void ApplyLayout();
    void SetLayout(int count);
    void ToggleWallFullScreen();
    void ExitFullScreen();
    void OnOpenTimer();
    void StopCameras(const std::function<bool(const std::string& deviceId)>& covers);
    // Plays, or waits for its camera's address.
    bool IsBusy(int cell) const;

    // Built on demand (Panel); building a cell does not change what the wall shows or does.
    std::array<CDlgPanel*, kCellCount> panels_{};
    int layoutCount_ = 4;
    int selectedCell_ = -1;
    int preferredCell_ = 0;
    int savedLayoutCount_ = 4;
    bool wallFullScreen_ = false;
    bool fullScreenOnOwnScreen_ = false;
    QWidget* savedParent_ = nullptr;
    QRect savedWallGeometry_;
    HWND mainWindow_ = nullptr;
    NodeMembership nodeMembership_;
    AddressRequest addressRequest_;
    CameraOpenQueue openQueue_;
    const CCPlayToolBarWnd::Rights toolbarRights_ = CCPlayToolBarWnd::CurrentRights();
    std::map<int, std::string> waitingCells_;  // cell -> camera whose address it waits for
    base::CCriticalSection lock_;
};
