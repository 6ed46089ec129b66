#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "glooxWrap/DeviceMessenger.h"
#include "glooxWrap/Gate.h"
#include "glooxWrap/XmppSession.h"
#include "ui/WinDef.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class XmppLibrary;

// The process-wide XMPP connection to the cameras' IM server: presence table, roster names, sends,
// subscriptions, and the four events posted to the notify window (WM_IM_CONNECTED, WM_IM_MESSAGE,
// WM_IM_ROSTER, WM_IM_PRESENCE; see glooxWrap/ImEvents.h for the payloads).
//
// The connection itself is an XmppSession of the IM library, loaded with the first ConnectServer
// (XmppLibrary); the client reports to this object through XmppListener.
//
// Threads: ConnectServer runs on the IM thread, and so do all library callbacks. SendMsg, Subscribe,
// IsFriend, IsOnline, GetFriends may be called from any thread. Subscribe only queues the request:
// the IM thread sends it, so a tree of tens of thousands of cameras never waits on the connection.
// Locks: clientLock_ guards client_ and every call into the library (the receive loop takes it only
// while it processes input or sends, never while it waits); lock_ guards friends_, presence_ and the
// subscription queue. The IM thread takes lock_ inside clientLock_; no one takes clientLock_ while
// holding lock_.
class CIMClient : public XmppListener, public DeviceMessenger {
public:
    static CIMClient* Instance() { return base::Sigleton<CIMClient>::Instance(); }

    // Public so that tests and benchmarks can run several clients in one process; the program uses
    // Instance(). The connection comes from the program's IM library (XmppLibrary::Instance()), or
    // from the given one (tests of a missing library).
    CIMClient();
    explicit CIMClient(XmppLibrary& library);
    ~CIMClient() override;

    void SetNotifyWnd(HWND hwnd) { notifyWnd_.store(hwnd); }

    // Connects and runs the connection on the calling thread until it ends. Returns false when no
    // connection could be opened (also when the IM library cannot be loaded), true once an opened
    // connection has ended.
    bool ConnectServer(const std::string& user, const std::string& password, const std::string& domain,
                       const std::string& server, int port);
    // Ends the connection from any thread, also one that is still being started, and the reconnection
    // loop with it (tests and benchmarks; the program never disconnects).
    void Disconnect() { stopRequested_.store(true); }
    bool StopRequested() const { return stopRequested_.load(); }
    // Waits up to `pause`; false when Disconnect() was called first (or before).
    bool PauseUnlessStopped(std::chrono::milliseconds pause) const;
    // Sessions established so far (onConnect calls), to tell a lost session from a failed attempt.
    int ConnectionCount() const { return connections_.load(); }
    // Forgets every camera's presence: after a lost connection none is known to be online, and the
    // next connection reports each available camera again.
    void ForgetPresences();
    HWND NotifyWnd() const { return notifyWnd_.load(); }

    void SendMsg(const std::string& jid, const std::string& body) override;
    // Asks for the presence of `jid` once per connection: queued here, sent by the IM thread.
    void Subscribe(const std::string& jid) override;
    bool IsFriend(const std::string& deviceId) override;
    bool IsOnline(const std::string& deviceId) override;
    bool WaitUntilReady(std::stop_token stop) override;
    void GetFriends(std::vector<std::string>& out) override;

    bool IsConnected() const { return connected_.load(); }
    // Open from the first established connection on / from the first roster on.
    Gate& ConnectedGate() { return connectedGate_; }
    Gate& RosterGate() { return rosterGate_; }
    // Open once the first connection attempt has ended either way: connected, or failed (the server
    // unreachable, the log-in refused), which KeepImConnection tells it.
    Gate& FirstAttemptGate() { return firstAttemptGate_; }
    // The address used for the last log-in ("user@domain/resource").
    std::string BoundJid();

    // The resource part of the address: a number from 0 to 9999 drawn after seeding with the time.
    static int DrawResourceNumber();

    // XmppListener
    void OnConnected() override;
    void OnDisconnected(int error) override;
    void OnRoster(const std::vector<std::string>& names) override;
    void OnRosterPresence(const std::string& deviceId, XmppPresence presence) override;
    void OnMessage(const std::string& deviceId, const std::string& body) override;
    void OnLog(XmppLogKind kind, const std::string& line) override;

private:
    void RunReceiveLoop();
    bool HasQueuedSubscriptions();
    // The IM server gives a JID's user part back case-folded ("KV7@..." answers as "kv7"): the ids the
    // program used with capitals are kept by their folded form, so presences and replies are reported
    // under the id the program knows. Both under lock_.
    void NoteSpelling(const std::string& deviceId);
    std::string ProgramSpelling(const std::string& userPart) const;
    // Sends queued subscription requests on the connection's socket while it has room and no input
    // waits, at most a batch.
    void SendQueuedSubscriptions(int fd);

    XmppLibrary& library_;
    base::CCriticalSection clientLock_;
    std::unique_ptr<XmppSession> client_;  // clientLock_
    std::atomic<HWND> notifyWnd_{nullptr};

    base::CCriticalSection lock_;
    std::vector<std::string> friends_;      // lock_; roster order, for GetFriends
    std::unordered_set<std::string> friendSet_;  // lock_; the same names, for IsFriend on every tree rebuild
    std::map<std::string, int> presence_;   // lock_; keyed by the user part as the server reports it
    std::unordered_map<std::string, std::string> spellings_;  // lock_; folded id -> id with capitals
    std::string boundJid_;                  // lock_
    std::unordered_set<std::string> subscribed_;  // lock_; JIDs asked for during this connection
    std::deque<std::string> toSubscribe_;         // lock_; asked for, not sent yet

    std::atomic<bool> connected_{false};
    std::atomic<bool> rosterReady_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<int> connections_{0};
    Gate connectedGate_;
    Gate rosterGate_;
    Gate firstAttemptGate_;
};
