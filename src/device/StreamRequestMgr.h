#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "ui/MessageTarget.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

class CommandSink;

// One camera's live-stream state.
struct StreamEntry {
    bool restart = false;  // its cells were stopped for a parameter change and wait to be restarted
    std::string playUrl;   // last play address the camera announced (cmd 40)
    int pending = 0;       // wall cells waiting for the play address
};

// Asks cameras for their play address (cmd 40), caches it, counts the cells waiting for it, and keeps
// every cached address alive with cmd 56 on a timer; also carries the state of the stream-quality switch.
//
// Threads: created on the UI thread (the keep-alive timer runs there); every operation is safe from
// any thread. Lock: lock_ guards entries_, switchingDevice_ and the address listener.
class StreamRequestMgr {
public:
    static StreamRequestMgr* Instance() { return base::Sigleton<StreamRequestMgr>::Instance(); }
    static constexpr unsigned kKeepAliveMs = 240000;

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
    void SetRestart(const std::string& deviceId, bool restart);
    bool GetRestart(const std::string& deviceId);
    void SetSwitchingDevice(const std::string& deviceId);
    std::string GetSwitchingDevice();

    // Queues cmd 56 for every camera with a cached address, in id order (the timer's work).
    void SendKeepAlive();
    // Restarts the keep-alive timer with another period (tests).
    void SetKeepAlivePeriod(unsigned periodMs);

private:
    friend class base::Sigleton<StreamRequestMgr>;
    StreamRequestMgr();

    class KeepAliveTimer : public MessageTarget {
    public:
        explicit KeepAliveTimer(StreamRequestMgr& owner) : owner_(owner) {}
        LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        StreamRequestMgr& owner_;
    };

    CommandSink& commands_;
    base::CCriticalSection lock_;
    std::map<std::string, StreamEntry> entries_;  // lock_
    std::string switchingDevice_;                 // lock_
    AddressListener addressListener_;             // lock_
    std::unique_ptr<KeepAliveTimer> timer_;       // UI thread
};
