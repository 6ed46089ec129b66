#pragma once

#include "ui/NativeWidget.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <mutex>

// The widget a player draws into: its window handle is what a play cell hands to the player library.
// Frames arrive from any thread through PresentFrame; only the latest one is kept (a frame that was
// not painted yet is overwritten) and at most one repaint request is queued, so nothing piles up.
//
// Messages posted to the surface's handle by the player (WM_PLAYER_POSITION, WM_PLAYER_LENGTH, ...)
// are forwarded, synchronously and in order, to the nearest ancestor widget that has a window handle
// (the toolkit window or native widget hosting the surface); with no such ancestor they are dropped.
class VideoSurface : public NativeWidget {
public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Any thread. Copies a BGRA frame (4 bytes a pixel, rows `strideBytes` apart) into the surface's
    // latest-frame slot and schedules a repaint. False when no surface has that handle or the frame
    // is malformed (null data, non-positive size, stride shorter than a row).
    static bool PresentFrame(HWND hwnd, const uint8_t* bgra, int width, int height, int strideBytes);

    // UI thread: the surface behind a handle, or null.
    static VideoSurface* FromHandle(HWND hwnd);

    // Frames accepted by PresentFrame so far, and the size of the last one (for tests).
    int FramesPresented() const;
    QSize LastFrameSize() const;
    // Repaints actually made with a frame (at most one per queued request).
    int FramesPainted() const;
    // Forgets the frame (the surface paints black again), e.g. when the stream stops.
    void ClearFrame();

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shared with the presenting threads; every member is guarded by `mutex`.
    struct FrameSlot {
        std::mutex mutex;
        QImage latest;
        bool repaintQueued = false;
        int presented = 0;
        int painted = 0;
    };
    std::shared_ptr<FrameSlot> slot_;
};
