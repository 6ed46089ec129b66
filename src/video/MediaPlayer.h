#pragma once

#include "ui/WinDef.h"

#include <atomic>
#include <cstdint>
#include <string>

class CMediaPlayerObserver;

// The client's abstract player. The virtual operations keep their fixed order; the ones nothing in
// the client calls have fixed answers here or in Cffplayer.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual int GetPlayerType() { return 0; }
    virtual bool Init(HWND window) = 0;
    virtual void Release() = 0;
    virtual bool Open(const char* address) = 0;
    virtual void Play() = 0;
    virtual bool IsPlaying() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual int StartRecord(const std::string& path) { (void)path; return -1; }
    virtual int StopRecord() { return -1; }
    virtual std::int64_t GetPosition() = 0;
    virtual std::int64_t GetDuration() = 0;
    virtual void SetPosition(int position, int flags) = 0;
    virtual int GetSpeed() = 0;
    virtual bool SetSpeed(int speed) = 0;
    virtual int GetState() = 0;
    virtual void SetOption(int option) { (void)option; }
    virtual void SetWindow(HWND window) = 0;
    virtual bool IsPaused() = 0;
    virtual void Refresh() = 0;
    virtual bool IsAvailable() { return true; }
    virtual void GetVideoSize(int& width, int& height) = 0;
    virtual bool SelectAudioTrack(int track) { (void)track; return false; }
    virtual std::string GetMediaInfo() { return {}; }
    virtual void SetBrightness(int value) { (void)value; }
    virtual int SetContrast(int value) { (void)value; return 0; }
    virtual int GetBrightness() { return -1; }
    virtual void SetSaturation(int value) { (void)value; }
    virtual void SetHue(int value) { (void)value; }
    virtual int GetContrast() { return -1; }
    virtual void SetSharpness(int value) { (void)value; }
    virtual bool Snapshot(const char* path) { (void)path; return false; }
    virtual void SetZoom(int value) { (void)value; }
    virtual int GetSaturation() { return -1; }
    virtual int GetHue() { return -1; }
    virtual void SetAspectRatio(int width, int height) { (void)width; (void)height; }
    virtual int SetRotation(int degrees) { (void)degrees; return 0; }
    virtual int GetRotation() { return -1; }
    virtual void SetDeinterlace(int mode) { (void)mode; }
    virtual int SetBufferTime(int ms) { (void)ms; return 0; }
    virtual int GetBufferTime() { return -1; }
    virtual void SetVolumeStep(int step) { (void)step; }
    virtual void SetBalance(int balance) { (void)balance; }
    virtual int SetDisplayRect(int x, int y, int width, int height)
    {
        (void)x, (void)y, (void)width, (void)height;
        return 0;
    }
    virtual int IsMuted() = 0;
    virtual void SetVolume(int volume) = 0;
    virtual void SetMute(bool mute) = 0;
    virtual int SetDecodeThreads(int count) { (void)count; return 0; }
    // Whether the player's window can be seen: a hidden one need not decode nor draw.
    virtual void SetVisible(bool visible) { (void)visible; }

    // Receives the translated events; set on the UI thread, read on the library's threads.
    std::atomic<CMediaPlayerObserver*> observer{nullptr};
};
