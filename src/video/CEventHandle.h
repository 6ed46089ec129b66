#pragma once

#include "video/CMediaPlayerObserver.h"

class PlayerSlot;

// Turns a player's events into WM_PLAYER_EVENT (wParam = client event code) for the slot's window.
// Called on the library's threads: it only reads the slot's atomic window handle and posts.
class CEventHandle : public CMediaPlayerObserver {
public:
    explicit CEventHandle(PlayerSlot* slot = nullptr) : slot_(slot) {}
    void OnPlayerEvent(int event, int param) override;

private:
    PlayerSlot* slot_;
};
