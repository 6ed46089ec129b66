#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "ui/MessageTarget.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

class CommandSink;

// One camera's live-stream state.
struct StreamEntry {
    bool restart = false;  // its cells were stopped for a parameter change and wait to be restarted
    std::chrono::steady_clock::time_point restartDue;  // when that wait for the camera's answer ends
    std::string playUrl;   // last play address the camera announced (cmd 40)
    int pending = 0;       // wall cells waiting for the play address
};

// Asks cameras for their play address (cmd 40), caches it, counts the cells waiting for it, and keeps
// every cached address alive with cmd 56 on a timer; also carries the state of the stream-quality switch,
// and gives a switch up when the camera does not answer it in time.
//
// Threads: created on the UI thread (the timers run there); every operation is safe from any thread.
// Lock: lock_ guards entries_, switchingDevice_, the listeners and switchAnswerMs_.
class StreamRequestMgr {
public:
    static StreamRequestMgr* Instance() { return base::Sigleton<StreamRequestMgr>::Instance(); }
    static constexpr unsigned kKeepAliveMs = 240000;
    // How long cells stopped for a parameter change (a quality switch, cmd 13) wait for the camera's
    // answer before they play the old stream again: an offline or silent camera must not leave them
    // dark.
    static constexpr unsigned kSwitchAnswerMs = 5000;

    explicit StreamRequestMgr(CommandSink& commands);
    ~StreamRequestMgr();

    // Queues cmd 40; with forCell one more cell waits for the answer. Always 0.
    int ReqPlayUrl(const std::string& deviceId, bool forCell);
    bool GetPlayUrl(const std::string& deviceId, std::string& url);
    // Caches the address; a non-empty one is also handed to the address listener.
    void SetPlayUrl(const std::string& deviceId, const std::string& url);
    // Called (outside the lock, on the thread that calls SetPlayUrl: the reply router's UI thread)
    // with every address a camera announces, so cells that lost their stream can reopen it.
    using AddressListener = std::function<void(const std::string& deviceId, const std::string& url)>;
    void SetAddressListener(AddressListener listener);
    // The number of waiting cells, which drops to 0.
    int TakePending(const std::string& deviceId);
    // No cell waits any more for the cameras `covers` names (stopped before their address came).
    // `covers` runs outside the lock.
    void CancelPending(const std::function<bool(const std::string& deviceId)>& covers);
    // Setting the flag starts the wait for the camera's answer (kSwitchAnswerMs).
    void SetRestart(const std::string& deviceId, bool restart);
    bool GetRestart(const std::string& deviceId);
    // Clears the flag and tells whether it was set: whoever takes it restarts the cells, once.
    bool TakeRestart(const std::string& deviceId);
    // Called on the UI thread (outside the lock) for each camera whose flag was still set when its wait
    // ended; the flag is cleared first, so a late answer restarts nothing.
    using SwitchTimeoutListener = std::function<void(const std::string& deviceId)>;
    void SetSwitchTimeoutListener(SwitchTimeoutListener listener);
    // Another wait for flags set from now on (tests).
    void SetSwitchAnswerTime(unsigned waitMs);
    void SetSwitchingDevice(const std::string& deviceId);
    std::string GetSwitchingDevice();

    // Queues cmd 56 for every camera with a cached address, in id order (the timer's work).
    void SendKeepAlive();
    // Restarts the keep-alive timer with another period (tests).
    void SetKeepAlivePeriod(unsigned periodMs);

private:
    friend class base::Sigleton<StreamRequestMgr>;
    StreamRequestMgr();

    // The keep-alive timer and the timer of the switches' waits (UI thread).
    class Timers : public MessageTarget {
    public:
        explicit Timers(StreamRequestMgr& owner) : owner_(owner) {}
        LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        StreamRequestMgr& owner_;
    };

    // Gives up the switches whose wait ended and sets the timer for the next one (UI thread).
    void EndSwitchWaits();

    CommandSink& commands_;
    base::CCriticalSection lock_;
    std::map<std::string, StreamEntry> entries_;  // lock_
    std::string switchingDevice_;                 // lock_
    AddressListener addressListener_;             // lock_
    SwitchTimeoutListener switchTimeoutListener_; // lock_
    unsigned switchAnswerMs_ = kSwitchAnswerMs;   // lock_
    std::unique_ptr<Timers> timer_;               // UI thread
};
