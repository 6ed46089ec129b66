#include "PlayInterface.h"

#include "FfPlayer.h"

#include <atomic>

struct PlayInterface::Shared {
    std::atomic<PlayState> state{PS_IDLE};
    std::atomic<PlayEventObserver*> observer{nullptr};
    std::atomic<PlayMode> mode{PM_DEFAULT};
    std::atomic<bool> visible{true};
};

PlayEventObserver::PlayEventObserver() = default;

PlayInterface::PlayInterface() : shared_(new Shared) {}

PlayInterface::~PlayInterface() { delete shared_; }

PlayState PlayInterface::GetPlayState() const { return shared_->state.load(); }

void PlayInterface::RegisterObserver(PlayEventObserver* observer) { shared_->observer.store(observer); }

void PlayInterface::SetPlayMode(PlayMode mode) { shared_->mode.store(mode); }

void PlayInterface::SetState(PlayState state) { shared_->state.store(state); }

PlayMode PlayInterface::Mode() const { return shared_->mode.load(); }

bool PlayInterface::Visible() const { return shared_->visible.load(); }

void SetPlayerVisible(PlayInterface* player, int visible)
{
    if (player != nullptr)
        player->shared_->visible.store(visible != 0);
}

void PlayInterface::Notify(PlayEvent event, int param)
{
    if (PlayEventObserver* observer = shared_->observer.load())
        observer->OnPlayEvent(event, 0, param);
}

PlayInterface* CreatePlayerObject() { return new ffplayer::FfPlayer; }

void DeletePlayerObject(PlayInterface*& player)
{
    if (player == nullptr)
        return;
    player->Stop();
    delete player;
    player = nullptr;
}
