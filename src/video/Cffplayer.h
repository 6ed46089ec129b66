#pragma once

#include "PlayInterface.h"
#include "video/MediaPlayer.h"
#include "video/PlayerLibrary.h"

#include <map>

// The player over libffplayer: forwards to the library object and translates the library's state
// and event codes into the client's. The library is loaded when the first player creates its library
// object (Init); when it cannot be loaded, Init creates nothing and every open is refused.
//
// Threads: everything runs on the UI thread except OnPlayEvent, which the library calls on its own
// threads; it only reads eventMap (filled before the library object first reports, never changed
// while it exists) and the atomic observer.
class Cffplayer : public MediaPlayer, public PlayEventObserver {
public:
    explicit Cffplayer(PlayerLibrary& loader = PlayerLibrary::Instance()) : loader_(loader) {}
    // Also releases the library object, so that no library thread can report to a destroyed player.
    ~Cffplayer() override;
    Cffplayer(const Cffplayer&) = delete;
    Cffplayer& operator=(const Cffplayer&) = delete;

    bool Init(HWND window) override;
    void Release() override;
    bool Open(const char* address) override;
    void Play() override;
    bool IsPlaying() override;
    void Pause() override;
    void Stop() override;
    int StartRecord(const std::string& path) override;
    int StopRecord() override;
    // Milliseconds of the stream decoded since its first frame (it stands still while nothing decodes).
    std::int64_t GetPosition() override { return library_ != nullptr ? library_->GetPosition() : 0; }
    std::int64_t GetDuration() override { return 0; }
    void SetPosition(int, int) override {}
    int GetSpeed() override { return 0; }
    bool SetSpeed(int) override { return true; }
    int GetState() override;
    void SetWindow(HWND window) override { window_ = window; }
    bool IsPaused() override { return false; }
    void Refresh() override {}
    void GetVideoSize(int& width, int& height) override;
    bool Snapshot(const char* path) override;
    int SetDisplayRect(int x, int y, int width, int height) override;
    int IsMuted() override;
    void SetVolume(int volume) override;
    void SetMute(bool mute) override;
    // Kept across Release and Init: the window's visibility is not the stream's.
    void SetVisible(bool visible) override;

    // PlayEventObserver: a library event, translated and passed to the observer.
    void OnPlayEvent(int event, int reserved, int param) override;

    // Library PlayState → client state, library event → client event; unlisted codes give 0.
    static int Translate(const std::map<int, int>& table, int code);

private:
    PlayerLibrary& loader_;
    const PlayerLibrary::Functions* functions_ = nullptr;  // set with library_
    PlayInterface* library_ = nullptr;
    HWND window_ = nullptr;
    bool visible_ = true;
    std::map<int, int> stateMap_;
    std::map<int, int> eventMap_;
};
