#pragma once

#include "ui/WinDef.h"
#include "video/CEventHandle.h"
#include "video/MediaPlayer.h"

#include <atomic>
#include <memory>
#include <string>

// One registered player: its window, the address it last opened, the player it owns and the
// receiver of the player's events. notifyWindow is written on the UI thread and read by the event
// receiver on the library's threads, hence atomic; the rest is UI thread only.
class PlayerSlot {
public:
    PlayerSlot();
    PlayerSlot(const PlayerSlot&) = delete;
    PlayerSlot& operator=(const PlayerSlot&) = delete;

    std::atomic<HWND> notifyWindow{nullptr};
    std::string address;
    std::unique_ptr<MediaPlayer> player;
    CEventHandle eventHandle;
    int playerId = -1;
};
