#pragma once

#include "ui/WinDef.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Paces the repaints of the video surfaces. A surface that received a frame is marked from the
// presenting thread; the UI thread then repaints every marked surface in one window pass, at most once
// per refresh interval. So 64 cells at 12 frames a second cost about 60 passes and 60 wake-ups of the
// UI thread a second instead of 768 of each, and the first frame after a quiet spell is shown at once.
//
// Threads: MarkDirty may be called from any thread and touches only the shared list behind its lock.
// The refresher object is created by Ensure on the UI thread, lives there as a child of the
// application, and is destroyed with it.
class VideoRefresh : public QObject {
public:
    // The longest a marked surface waits for its repaint: about one refresh of a 60 Hz display.
    static constexpr int kIntervalMs = 16;

    // UI thread, after the application exists: makes sure the refresher exists.
    static void Ensure();

    // Any thread: the surface behind `surface` has a new frame to paint. The caller marks each surface
    // at most once per repaint.
    static void MarkDirty(HWND surface);

protected:
    bool event(QEvent* event) override;

private:
    explicit VideoRefresh(QObject* application);
    ~VideoRefresh() override;
    void RepaintMarked();

    QTimer nextPass_;              // UI thread: single shot, set while a pass waits for the interval
    QElapsedTimer sinceLastPass_;  // UI thread
};
