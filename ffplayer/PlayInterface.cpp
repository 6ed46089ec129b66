#include "PlayInterface.h"

#include "FfPlayer.h"

PlayInterface::PlayInterface() = default;

void PlayInterface::Notify(PlayEvent event, int param)
{
    if (PlayEventObserver* observer = observer_.load())
        observer->OnPlayEvent(event, 0, param);
}

extern "C" PlayInterface* CreatePlayerObject() { return new ffplayer::FfPlayer; }

extern "C" void DeletePlayerObject(PlayInterface*& player)
{
    if (player == nullptr)
        return;
    player->Stop();
    delete player;
    player = nullptr;
}

extern "C" void SetPlayerVisible(PlayInterface* player, int visible)
{
    if (player == nullptr)
        return;
    player->visible_.store(visible != 0);
    player->VisibilityChanged();
}
