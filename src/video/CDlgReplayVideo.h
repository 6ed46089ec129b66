#pragma once

#include "ui/NativeWidget.h"

#include <string>

class VideoSurface;

// The replay's video inside the remote playback window: a bordered child whose player (created
// with it, kept in PlayerManager for the life of the process) draws into its video surface. It
// relays the player's events and its position and length messages to the playback window: the
// events and positions posted, the length sent. UI thread only.
class CDlgReplayVideo : public NativeWidget {
public:
    explicit CDlgReplayVideo(QWidget* parent = nullptr);

    // Where the player's messages go (the playback window).
    void SetReceiver(HWND receiver) { receiver_ = receiver; }
    // Opens the address in the player (the outcome arrives as an event) and shows the dialog;
    // false when the player refused the address at once.
    bool Play(const std::string& address);

    int PlayerId() const { return playerId_; }
    VideoSurface* Surface() const { return surface_; }

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    VideoSurface* surface_;
    int playerId_ = -1;
    HWND receiver_ = nullptr;
};
