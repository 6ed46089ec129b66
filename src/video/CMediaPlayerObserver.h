#pragma once

// Receiver of a player's translated events (client event codes); called on the library's threads.
class CMediaPlayerObserver {
public:
    virtual ~CMediaPlayerObserver() = default;
    virtual void OnPlayerEvent(int event, int param) = 0;
};
