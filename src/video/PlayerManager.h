#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "ui/WinDef.h"

#include <map>

class PlayerSlot;

// Process-wide registry of players, addressed by small ids handed out from 0 upward and never reused.
// Every operation runs on the UI thread; Open also holds lock_ for its whole run (the video wall
// nests its own lock around it). Operations on an id that is not registered change nothing and
// answer the documented value.
class PlayerManager {
public:
    static PlayerManager* Instance() { return base::Sigleton<PlayerManager>::Instance(); }

    int CreatePlayer(int& id);
    // 0 when the library accepted the address (or the player is already active), -1 otherwise.
    int Open(int id, const char* address, HWND window, bool notify);
    int Play(int id);
    int Stop(int id);
    int StartRecord(int id, const char* path);
    int StopRecord(int id);
    // Finishes and closes every running recording, also one whose stream has dropped (the program is
    // about to end); the players keep their streams.
    void FinishRecordings();
    int Snapshot(int id, const char* path);
    int SetDisplayRect(int id, int x, int y, int width, int height);
    void GetVideoSize(int id, int& width, int& height);
    int IsMuted(int id);
    void SetMute(int id, bool mute);
    // Whether the player's window can be seen: a hidden player keeps its stream (and recording) but
    // decodes and draws nothing.
    void SetVisible(int id, bool visible);
    int GetState(int id);

    // The slot behind an id, or null (for diagnostics and tests).
    const PlayerSlot* FindSlot(int id) const;

    static bool IsActiveState(int state) { return state == 1 || state == 2 || state == 5; }

private:
    friend class base::Sigleton<PlayerManager>;
    PlayerManager() = default;
    PlayerSlot* Find(int id) const;

    std::map<int, PlayerSlot*> slots_;  // owned; slots live until the process ends
    base::CCriticalSection lock_;
    static int nextId_;
};
