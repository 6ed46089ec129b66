#pragma once

#include "base/CriticalSection.h"
#include "base/Sigleton.h"
#include "glooxWrap/DeviceMessenger.h"
#include "glooxWrap/Gate.h"
#include "ui/WinDef.h"

#include <gloox/chatstatehandler.h>
#include <gloox/connectionlistener.h>
#include <gloox/loghandler.h>
#include <gloox/messageeventhandler.h>
#include <gloox/messagehandler.h>
#include <gloox/messagesessionhandler.h>
#include <gloox/rosterlistener.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace gloox {
class Client;
class MessageSession;
class ChatStateFilter;
class MessageEventFilter;
}

// The process-wide XMPP connection to the cameras' IM server: presence table, roster names, sends,
// subscriptions, and the four events posted to the notify window (WM_IM_CONNECTED, WM_IM_MESSAGE,
// WM_IM_ROSTER, WM_IM_PRESENCE; see glooxWrap/ImEvents.h for the payloads).
//
// Threads: ConnectServer runs on the IM thread, and so do all library callbacks. SendMsg, Subscribe,
// IsFriend, IsOnline, GetFriends may be called from any thread. Subscribe only queues the request:
// the IM thread sends it, so a tree of tens of thousands of cameras never waits on the connection.
// Locks: clientLock_ guards client_ and every call into the library (the receive loop takes it only
// while it processes input or sends, never while it waits); lock_ guards friends_, presence_ and the
// subscription queue. The IM thread takes lock_ inside clientLock_; no one takes clientLock_ while
// holding lock_.
class CIMClient : public gloox::RosterListener,
                  public gloox::MessageSessionHandler,
                  public gloox::ConnectionListener,
                  public gloox::LogHandler,
                  public gloox::MessageEventHandler,
                  public gloox::MessageHandler,
                  public gloox::ChatStateHandler,
                  public DeviceMessenger {
public:
    static CIMClient* Instance() { return base::Sigleton<CIMClient>::Instance(); }

    // Public so that tests and benchmarks can run several clients in one process; the program uses
    // Instance().
    CIMClient();
    ~CIMClient() override;

    void SetNotifyWnd(HWND hwnd) { notifyWnd_.store(hwnd); }

    // Connects and runs the connection on the calling thread until it ends. Returns false when no
    // connection could be opened, true once an opened connection has ended.
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
    // The address used for the last log-in ("user@domain/resource").
    std::string BoundJid();

    // The resource part of the address: a number from 0 to 9999 drawn after seeding with the time.
    static int DrawResourceNumber();

    // gloox::RosterListener
    void handleItemAdded(const gloox::JID&) override {}
    void handleItemSubscribed(const gloox::JID&) override {}
    void handleItemRemoved(const gloox::JID&) override {}
    void handleItemUpdated(const gloox::JID&) override {}
    void handleItemUnsubscribed(const gloox::JID&) override {}
    void handleRoster(const gloox::Roster& roster) override;
    void handleRosterPresence(const gloox::RosterItem& item, const std::string& resource,
                              gloox::Presence::PresenceType presence, const std::string& status) override;
    void handleSelfPresence(const gloox::RosterItem&, const std::string&, gloox::Presence::PresenceType,
                            const std::string&) override {}
    bool handleSubscriptionRequest(const gloox::JID&, const std::string&) override { return true; }
    bool handleUnsubscriptionRequest(const gloox::JID&, const std::string&) override { return true; }
    void handleNonrosterPresence(const gloox::Presence&) override {}
    void handleRosterError(const gloox::IQ&) override {}

    // gloox::MessageSessionHandler
    void handleMessageSession(gloox::MessageSession* session) override;

    // gloox::ConnectionListener
    void onConnect() override;
    void onDisconnect(gloox::ConnectionError error) override;
    void onResourceBind(const std::string&) override {}
    bool onTLSConnect(const gloox::CertInfo&) override { return true; }

    // gloox::LogHandler
    void handleLog(gloox::LogLevel level, gloox::LogArea area, const std::string& message) override;

    // gloox::MessageEventHandler, gloox::ChatStateHandler
    void handleMessageEvent(const gloox::JID&, gloox::MessageEventType) override {}
    void handleChatState(const gloox::JID&, gloox::ChatStateType) override {}

    // gloox::MessageHandler
    void handleMessage(const gloox::Message& msg, gloox::MessageSession* session) override;

private:
    void RunReceiveLoop();
    bool HasQueuedSubscriptions();
    // Sends queued subscription requests on the connection's socket while it has room and no input
    // waits, at most a batch.
    void SendQueuedSubscriptions(int fd);
    void AttachHandlers(gloox::MessageSession* session);

    base::CCriticalSection clientLock_;
    std::unique_ptr<gloox::Client> client_;                  // clientLock_
    // The most recent session and its filters (owned by the session, so by the library).
    gloox::MessageSession* session_ = nullptr;                 // clientLock_
    gloox::ChatStateFilter* chatStateFilter_ = nullptr;        // clientLock_
    gloox::MessageEventFilter* messageEventFilter_ = nullptr;  // clientLock_
    std::atomic<HWND> notifyWnd_{nullptr};

    base::CCriticalSection lock_;
    std::vector<std::string> friends_;      // lock_; roster order, for GetFriends
    std::unordered_set<std::string> friendSet_;  // lock_; the same names, for IsFriend on every tree rebuild
    std::map<std::string, int> presence_;   // lock_
    std::string boundJid_;                  // lock_
    std::unordered_set<std::string> subscribed_;  // lock_; JIDs asked for during this connection
    std::deque<std::string> toSubscribe_;         // lock_; asked for, not sent yet

    std::atomic<bool> connected_{false};
    std::atomic<bool> rosterReady_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<int> connections_{0};
    Gate connectedGate_;
    Gate rosterGate_;
};
