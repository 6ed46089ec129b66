#include "video/Cffplayer.h"

#include "video/CMediaPlayerObserver.h"

#include <utility>

namespace {

constexpr std::pair<int, int> kStatePairs[] = {{1, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 4}, {7, 6}, {8, 5}, {9, 7}};
constexpr std::pair<int, int> kEventPairs[] = {{1, 2}, {2, 10}, {3, 4},   {4, 7},   {6, 9},
                                               {7, 8}, {8, 3},  {9, 11}, {10, 12}, {11, 13}};

}  // namespace

Cffplayer::~Cffplayer() { Release(); }

int Cffplayer::Translate(const std::map<int, int>& table, int code)
{
    auto it = table.find(code);
    return it == table.end() ? 0 : it->second;
}

bool Cffplayer::Init(HWND window)
{
    window_ = window;
    if (library_ == nullptr) {
        functions_ = loader_.Get();
        if (functions_ == nullptr)
            return true;  // the loader has logged why; Open refuses every address
        library_ = functions_->CreatePlayerObject();
        stateMap_ = std::map<int, int>(std::begin(kStatePairs), std::end(kStatePairs));
        eventMap_ = std::map<int, int>(std::begin(kEventPairs), std::end(kEventPairs));
        library_->RegisterObserver(this);
        functions_->SetPlayerVisible(library_, visible_ ? 1 : 0);
    }
    return true;
}

void Cffplayer::Release()
{
    if (library_ == nullptr)
        return;
    library_->Stop();
    functions_->DeletePlayerObject(library_);
}

bool Cffplayer::Open(const char* address)
{
    if (library_ == nullptr)
        return false;
    library_->SetPlayMode(PM_REALTIME);
    return library_->Open(address, static_cast<void*>(window_)) == 0;
}

void Cffplayer::Play()
{
    if (library_ != nullptr)
        library_->Play();
}

bool Cffplayer::IsPlaying() { return library_ != nullptr && library_->GetPlayState() == PS_PLAYING; }

void Cffplayer::Pause()
{
    if (library_ != nullptr)
        library_->Pause();
}

void Cffplayer::Stop()
{
    if (library_ != nullptr)
        library_->Stop();
}

int Cffplayer::StartRecord(const std::string& path)
{
    return library_ != nullptr ? library_->StartRecord(path.c_str()) : -1;
}

int Cffplayer::StopRecord() { return library_ != nullptr ? library_->StopRecord() : -1; }

int Cffplayer::GetState() { return library_ != nullptr ? Translate(stateMap_, library_->GetPlayState()) : 0; }

void Cffplayer::GetVideoSize(int& width, int& height)
{
    width = height = 0;
    if (library_ != nullptr)
        library_->GetVideoSize(&width, &height);
}

bool Cffplayer::Snapshot(const char* path) { return library_ != nullptr && library_->Snapshot(path) == 0; }

int Cffplayer::SetDisplayRect(int x, int y, int width, int height)
{
    if (library_ == nullptr)
        return -1;
    library_->SetDisplayRect(x, y, width, height);
    return 0;
}

int Cffplayer::IsMuted() { return library_ != nullptr ? library_->IsMuted() : 0; }

void Cffplayer::SetVolume(int volume)
{
    if (library_ != nullptr)
        library_->SetVolume(volume);
}

void Cffplayer::SetMute(bool mute)
{
    if (library_ != nullptr)
        library_->SetMute(mute);
}

void Cffplayer::SetVisible(bool visible)
{
    visible_ = visible;
    if (library_ != nullptr)
        functions_->SetPlayerVisible(library_, visible ? 1 : 0);
}

void Cffplayer::OnPlayEvent(int event, int, int param)
{
    CMediaPlayerObserver* target = observer.load();
    if (target == nullptr)
        return;
    target->OnPlayerEvent(Translate(eventMap_, event), param);
}
