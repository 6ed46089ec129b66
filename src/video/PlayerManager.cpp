#include "video/PlayerManager.h"

#include "base/SingleLock.h"
#include "video/Cffplayer.h"
#include "video/PlayerSlot.h"

#include <glog/logging.h>

int PlayerManager::nextId_ = 0;

PlayerSlot* PlayerManager::Find(int id) const
{
    auto it = slots_.find(id);
    return it == slots_.end() ? nullptr : it->second;
}

const PlayerSlot* PlayerManager::FindSlot(int id) const { return Find(id); }

int PlayerManager::CreatePlayer(int& id)
{
    auto* slot = new PlayerSlot;
    slot->player = std::make_unique<Cffplayer>();
    slot->playerId = nextId_;
    slots_[nextId_] = slot;
    id = nextId_++;
    return 0;
}

int PlayerManager::Open(int id, const char* address, HWND window, bool notify)
{
    base::CSingleLock lock(&lock_, true);
    PlayerSlot* slot = Find(id);
    if (slot == nullptr)
        return -1;
    slot->notifyWindow.store(window);
    slot->address = address != nullptr ? address : "";
    MediaPlayer* player = slot->player.get();
    if (IsActiveState(player->GetState()))
        return 0;
    player->Init(nullptr);
    player->SetWindow(window);
    if (notify)
        player->observer.store(&slot->eventHandle);
    if (player->Open(slot->address.c_str()))
        return 0;
    LOG(WARNING) << "player " << id << " refused the address \"" << slot->address << "\"";
    return -1;
}

int PlayerManager::Play(int id)
{
    PlayerSlot* slot = Find(id);
    if (slot == nullptr)
        return -1;
    slot->player->Play();
    return 0;
}

int PlayerManager::Stop(int id)
{
    if (PlayerSlot* slot = Find(id))
        slot->player->Stop();
    return 0;
}

int PlayerManager::StartRecord(int id, const char* path)
{
    PlayerSlot* slot = Find(id);
    return slot != nullptr && path != nullptr ? slot->player->StartRecord(path) : -1;
}

int PlayerManager::StopRecord(int id)
{
    PlayerSlot* slot = Find(id);
    return slot != nullptr ? slot->player->StopRecord() : -1;
}

void PlayerManager::FinishRecordings()
{
    // StopRecord answers -1 at once when the player records nothing.
    for (const auto& [id, slot] : slots_)
        if (slot->player->StopRecord() == 0)
            LOG(INFO) << "the recording of player " << id << " was finished before the program ends";
}

int PlayerManager::Snapshot(int id, const char* path)
{
    PlayerSlot* slot = Find(id);
    return slot != nullptr && slot->player->Snapshot(path) ? 0 : -1;
}

int PlayerManager::SetDisplayRect(int id, int x, int y, int width, int height)
{
    PlayerSlot* slot = Find(id);
    return slot != nullptr ? slot->player->SetDisplayRect(x, y, width, height) : -1;
}

void PlayerManager::GetVideoSize(int id, int& width, int& height)
{
    width = height = 0;
    if (PlayerSlot* slot = Find(id))
        slot->player->GetVideoSize(width, height);
}

int PlayerManager::IsMuted(int id)
{
    PlayerSlot* slot = Find(id);
    return slot != nullptr ? slot->player->IsMuted() : 0;
}

void PlayerManager::SetMute(int id, bool mute)
{
    if (PlayerSlot* slot = Find(id))
        slot->player->SetMute(mute);
}

void PlayerManager::SetVisible(int id, bool visible)
{
    if (PlayerSlot* slot = Find(id))
        slot->player->SetVisible(visible);
}

int PlayerManager::GetState(int id)
{
    PlayerSlot* slot = Find(id);
    return slot != nullptr ? slot->player->GetState() : 0;
}
