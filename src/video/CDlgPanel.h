#pragma once

#include "ui/NativeWidget.h"

#include <QRect>
#include <QWidget>

#include <string>

class CvyrProDlg;
class CPlayInnerWnd;

// One cell of the video wall: draws the frame (red when selected, white otherwise) around its inner
// play window, keeps the camera id, runs the cell's full-screen cycle (alone in the wall, full screen,
// back) and forwards clicks to the wall. UI thread only.
class CDlgPanel : public NativeWidget {
public:
    CDlgPanel(CvyrProDlg* wall, int cellIndex);
    ~CDlgPanel() override;

    void Play(const std::string& deviceId, const std::string& address);
    void Stop();
    void Suspend();
    void Resume();
    bool IsBusy() const;
    // Busy, or retrying a stream it lost: a cell whose stop ends something.
    bool IsActive() const;
    void SetSelected(bool selected);
    void ToggleFullScreen();
    // The two cells exchange their play windows (player, picture, toolbar, tip, recording) and
    // cameras; no stream stops or opens.
    void ExchangeStream(CDlgPanel& other);

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int CellIndex() const { return cellIndex_; }
    bool IsSelected() const { return selected_; }
    bool IsSuspended() const { return suspended_; }
    const std::string& DeviceId() const { return deviceId_; }
    int FullScreenState() const { return fsState_; }
    CvyrProDlg* Wall() const { return wall_; }
    CPlayInnerWnd* Inner() const { return inner_; }

    static constexpr int kFrame = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlaceInner();
    // As a click on the cell: its camera is made current and the wall selects it.
    void SelectInWall();

    CvyrProDlg* wall_;
    int cellIndex_;
    CPlayInnerWnd* inner_ = nullptr;
    bool selected_ = false;
    bool suspended_ = false;
    std::string deviceId_;
    int fsState_ = 0;
    QRect savedGeometry_;
};
