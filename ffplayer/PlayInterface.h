#pragma once

// Public interface of libffplayer: one PlayInterface object per video window. The library knows
// nothing of any toolkit: the host hands it, once per process, a table of callbacks that deliver
// frames and messages to a window (an opaque value the host chose).
//
// The client loads the library only when its first player opens (src/video/PlayerLibrary.h), so it
// may use nothing of it but the exported functions (C names, found with dlsym) and the virtual
// operations: non-virtual members are inline.

#include <atomic>
#include <cstdint>

#define FFPLAYER_API __attribute__((visibility("default")))

// States reported by GetPlayState.
enum PlayState : int {
    PS_IDLE = 0,        // nothing opened yet
    PS_OPENING = 1,     // Open accepted, connecting and probing
    PS_OPENED = 2,      // stream open, waiting for Play
    PS_PLAYING = 3,     // frames are being shown
    PS_PAUSED = 4,      // decoding continues, frames are not shown
    PS_STOPPED = 5,     // stopped by Stop
    PS_ENDED = 6,       // reserved: not entered by this library (an ended stream is a failure)
    PS_BUFFERING = 7,   // reserved: not entered by this library (frames are shown as they arrive)
    PS_RECORDING = 8,   // playing and recording
    PS_FAILED = 9,      // the open failed, or the stream broke, ended or stalled
};

// Event codes passed as the first argument of PlayEventObserver::OnPlayEvent.
enum PlayEvent : int {
    PE_OPENED = 1,
    PE_OPEN_FAILED = 2,
    PE_FIRST_FRAME = 3,
    PE_STATE_CHANGED = 4,
    PE_RECORD_STOPPED = 5,  // reserved: never sent (Stop finalises a recording in progress without an event)
    PE_SNAPSHOT_SAVED = 6,
    PE_SNAPSHOT_FAILED = 7,
    PE_PLAY_FAILED = 8,
    PE_RECORD_NO_SPACE = 9,  // a write found no room (disk or quota full): the recording was ended, the file plays
    PE_RECORD_FAILED = 10,   // another write failure ended the recording; the file keeps what was written
    PE_SNAPSHOT_NO_SPACE = 11,  // the snapshot found no room on the disk; no file is left
};

// 1 = real time: small probe, frames shown as they arrive. 0 = FFmpeg's default probing.
enum PlayMode : int { PM_DEFAULT = 0, PM_REALTIME = 1 };

// Messages the library posts to the window it draws into while a stream with a known length plays.
constexpr unsigned kPlayerPositionMessage = 0x67D;  // lParam = playing position, ms since the first frame
constexpr unsigned kPlayerLengthMessage = 0x67E;    // lParam = length of the stream, ms

// How the host receives frames and messages. The functions may be called from any library thread.
// Frames are converted straight into a buffer the host lends, so that the picture is never copied on
// its way to the window: each lendFrame that returns a buffer is followed, on the same thread and
// before that thread's next lendFrame, by one returnFrame for the same window.
struct PlayerHost {
    // The buffer the next frame for `window` is to be written into: 32-bit BGRA, width x height, rows
    // `*stride` bytes apart. Null when the window takes no frame now: the frame is then not converted.
    std::uint8_t* (*lendFrame)(void* window, int width, int height, int* stride);
    // Gives back the buffer of this thread's last lendFrame for `window`; `filled` tells whether it
    // now holds the frame (false when the conversion failed).
    void (*returnFrame)(void* window, bool filled);
    void (*postMessage)(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
};

// Installs the host table (copied). Call it before the first Open, or while no stream plays; a null
// function is simply not called (a null lendFrame: no frame is converted).
extern "C" FFPLAYER_API void SetPlayerHost(const PlayerHost* host);

// Receiver of the library's events; called on a library thread. It must not call back into the
// PlayInterface that reports (post the event elsewhere instead).
class FFPLAYER_API PlayEventObserver {
public:
    PlayEventObserver() = default;
    virtual void OnPlayEvent(int event, int reserved, int param) = 0;

protected:
    ~PlayEventObserver() = default;
};

class PlayInterface;

extern "C" {
FFPLAYER_API PlayInterface* CreatePlayerObject();
// Stops the object, destroys it and clears the caller's pointer.
FFPLAYER_API void DeletePlayerObject(PlayInterface*& player);
// Tells a player whether its window can be seen (non-zero, the default) or not. While its window is
// hidden the player decodes and converts nothing; once shown again it decodes from the next key
// frame, so no picture is built on missing references. A hidden player that records, plays a stream
// with a length (a replay) or plays audible sound goes on reading its stream (a recording keeps being
// written). Any other, hidden for a short while, closes its connection and waits; shown again, asked
// to record or unmuted, it connects to the same address and decodes from the first key frame, in
// the same state (a reconnect that fails is reported as a broken stream). Any thread; takes effect at
// the next packet.
FFPLAYER_API void SetPlayerVisible(PlayInterface* player, int visible);
}

class FFPLAYER_API PlayInterface {
public:
    PlayState GetPlayState() const { return state_.load(); }
    void RegisterObserver(PlayEventObserver* observer) { observer_.store(observer); }
    void SetPlayMode(PlayMode mode) { mode_.store(mode); }

    // 0 when accepted: the outcome arrives as PE_OPENED or PE_OPEN_FAILED. A running stream is stopped first.
    // Only http and https addresses are accepted (-1 for any other), and the stream may reach nothing
    // but the network.
    virtual int Open(const char* url, void* window) = 0;
    // Returns once the library's threads for the stream have ended; the object can open again.
    virtual void Stop() = 0;
    virtual void Play() = 0;
    virtual void Resume() = 0;
    virtual void Pause() = 0;
    virtual std::int64_t GetPosition() = 0;
    // 0 when the file is open; the recording starts at the next key frame (or the last one still held).
    virtual int StartRecord(const char* path) = 0;
    // 0 when a recording was finalised (also after the stream dropped), -1 when none was running.
    virtual int StopRecord() = 0;
    // 0 when a decoded frame exists: it is written as PNG on a library thread, then PE_SNAPSHOT_SAVED
    // or PE_SNAPSHOT_FAILED follows.
    virtual int Snapshot(const char* path) = 0;
    virtual void SetDisplayRect(int x, int y, int width, int height) = 0;
    virtual void GetVideoSize(int* width, int* height) = 0;
    virtual std::int64_t GetLength() = 0;
    virtual int GetVolume() = 0;
    virtual void SetVolume(int volume) = 0;
    virtual int IsMuted() = 0;
    virtual void SetMute(bool mute) = 0;

protected:
    PlayInterface();
    // Inline, so that the class has no key function: its type information is then emitted wherever
    // it is used, which the client (not linked to the library) needs for sanitizer checks.
    virtual ~PlayInterface() = default;
    friend void DeletePlayerObject(PlayInterface*& player);
    friend void SetPlayerVisible(PlayInterface* player, int visible);

    void SetState(PlayState state) { state_.store(state); }
    void Notify(PlayEvent event, int param = 0);
    PlayMode Mode() const { return mode_.load(); }
    bool Visible() const { return visible_.load(); }
    // Called by SetPlayerVisible after the flag changed, on the caller's thread. Inline, like the
    // destructor, so that the class keeps no key function.
    virtual void VisibilityChanged() {}

private:
    // Atomics: read and written from any thread.
    std::atomic<PlayState> state_{PS_IDLE};
    std::atomic<PlayEventObserver*> observer_{nullptr};
    std::atomic<PlayMode> mode_{PM_DEFAULT};
    std::atomic<bool> visible_{true};
};
