#pragma once

#include "ui/NativeWidget.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <mutex>

// The widget a player draws into: its window handle is what a play cell hands to the player library.
// Frames arrive from any thread. A presenting thread borrows the surface's back buffer (LendFrame),
// writes the picture into it without any lock, and gives it back (ReturnFrame), which swaps it with the
// front buffer that paintEvent draws: the picture is never copied on its way, only the latest frame is
// kept (a frame that was not painted yet is replaced) and the surface is marked for repaint at most once
// until it paints, so nothing piles up. VideoRefresh paces those repaints for all surfaces together.
//
// Messages posted to the surface's handle by the player (WM_PLAYER_POSITION, WM_PLAYER_LENGTH, ...)
// are forwarded, synchronously and in order, to the nearest ancestor widget that has a window handle
// (the toolkit window or native widget hosting the surface); with no such ancestor they are dropped.
class VideoSurface : public NativeWidget {
public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Any thread. The back buffer of the surface behind `hwnd`, width x height, 32-bit BGRA with rows
    // `*strideBytes` apart, to be given back by ReturnFrame on the same thread. Null when no surface has
    // that handle, the size is not positive, memory runs out, or the buffer is already lent.
    static uint8_t* LendFrame(HWND hwnd, int width, int height, int* strideBytes);
    // Any thread: gives back this thread's lent buffer; when `filled`, it becomes the frame to paint.
    static void ReturnFrame(HWND hwnd, bool filled);
    // Any thread: presents a BGRA picture held elsewhere (4 bytes a pixel, rows `strideBytes` apart) by
    // copying it into a lent buffer. False when no surface has that handle, the buffer cannot be lent,
    // or the picture is malformed (null data, non-positive size, stride shorter than a row).
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
    // Shared with the presenting threads; every member is guarded by `mutex`, except the pixels of
    // `back` while it is lent, which belong to the borrowing thread alone.
    struct FrameSlot {
        std::mutex mutex;
        QImage back;   // the buffer lent to a presenting thread; a spare one otherwise
        QImage front;  // the newest complete frame, drawn by paintEvent; null paints black
        bool lent = false;
        bool repaintQueued = false;
        int presented = 0;
        int painted = 0;
    };
    static QImage NewFrameBuffer(int width, int height);

    std::shared_ptr<FrameSlot> slot_;
};
