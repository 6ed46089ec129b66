#pragma once

#include "CameraBehaviour.h"

#include <gloox/connectionlistener.h>
#include <gloox/messagehandler.h>
#include <gloox/rosterlistener.h>

#include <json/value.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace gloox {
class Client;
}
class AlarmReporter;
class VideoAddressSource;

// One simulated camera: an XMPP account of its own that announces presence, accepts every
// subscription, answers the device commands (CameraBehaviour) and pushes alarm notices.
//
// Threads: the camera's own thread makes every library call (connecting, receiving, replying,
// pushing). The control operations may be called from any thread; they only change the wanted state
// under mutex_ and wake the camera's thread through wakeFd_.
class SimCamera : public gloox::ConnectionListener, public gloox::MessageHandler, public gloox::RosterListener {
public:
    struct Account {
        std::string deviceId;
        std::string password;
        std::string alias;
        bool online = true;  // logged in at start
        bool bound = true;   // bound to an account, so the IM server knows it (others keep trying quietly)
    };
    struct Settings {
        std::string server = "127.0.0.1";
        int port = 5222;
        std::string domain = "kelvue.local";
        std::chrono::milliseconds rebootTime{3000};
        std::chrono::seconds alarmEvery{0};  // 0: no scheduled alarms
    };

    SimCamera(Account account, const Settings& settings, VideoAddressSource& video, AlarmReporter* reporter);
    ~SimCamera() override;

    const std::string& DeviceId() const { return account_.deviceId; }

    // Control (any thread).
    void SetOnline(bool online);
    void SetAnswering(bool answering);
    void RaiseAlarm(int warnType);
    // Announces an away presence (still logged in; the client must ignore it), or available again.
    void SetAway(bool away);
    // Sends the text unasked to every peer, as if the camera had answered with it.
    void Say(const std::string& body);
    void ClearReceived();
    // Answer cmd with "err_num" (refuse) or normally again; offer the image controls or not.
    void SetRefused(int cmd, bool refused);
    void SetImageControls(bool offered);
    // Bodies received, oldest first, with "subscribe <jid>" lines for subscription requests.
    std::vector<std::string> Received();
    // Messages received since start (the list above keeps only the last few thousand).
    size_t ReceivedCount() const { return receivedCount_.load(); }
    bool IsConnected() const { return connected_.load(); }
    Json::Value Status();

    // gloox callbacks (camera thread)
    void onConnect() override;
    void onDisconnect(gloox::ConnectionError error) override;
    bool onTLSConnect(const gloox::CertInfo&) override { return true; }
    void handleMessage(const gloox::Message& msg, gloox::MessageSession* session) override;
    void handleItemAdded(const gloox::JID&) override {}
    void handleItemSubscribed(const gloox::JID&) override {}
    void handleItemRemoved(const gloox::JID&) override {}
    void handleItemUpdated(const gloox::JID&) override {}
    void handleItemUnsubscribed(const gloox::JID&) override {}
    void handleRoster(const gloox::Roster&) override {}
    void handleRosterPresence(const gloox::RosterItem&, const std::string&, gloox::Presence::PresenceType,
                              const std::string&) override {}
    void handleSelfPresence(const gloox::RosterItem&, const std::string&, gloox::Presence::PresenceType,
                            const std::string&) override {}
    bool handleSubscriptionRequest(const gloox::JID& jid, const std::string& msg) override;
    bool handleUnsubscriptionRequest(const gloox::JID&, const std::string&) override { return true; }
    void handleNonrosterPresence(const gloox::Presence&) override {}
    void handleRosterError(const gloox::IQ&) override {}

private:
    using Clock = std::chrono::steady_clock;
    void Run();
    void Connect();
    void DropConnection();
    void PushAlarms(int count, int warnType);
    void SendToPeers(const std::string& body);
    void Wake();
    void Log(std::string line);

    const Account account_;
    const Settings settings_;
    VideoAddressSource& video_;
    AlarmReporter* reporter_;

    // Camera thread only.
    std::unique_ptr<gloox::Client> client_;
    CameraBehaviour behaviour_;
    std::set<std::string> alarmPeers_;  // bare JIDs that asked for alarm notices or sent commands
    Clock::time_point rebootUntil_{};
    Clock::time_point nextScheduledAlarm_{};
    Clock::time_point nextConnectAttempt_{};

    std::mutex mutex_;
    bool wantOnline_;                     // mutex_
    bool answering_ = true;               // mutex_
    int pendingAlarms_ = 0;               // mutex_
    int pendingWarnType_ = 1;             // mutex_
    int pendingPresence_ = -1;            // mutex_: a gloox presence type to announce, -1 none
    std::vector<std::string> pendingSays_;  // mutex_
    std::set<int> refused_;               // mutex_
    bool imageControls_ = true;           // mutex_
    std::deque<std::string> received_;    // mutex_
    CameraBehaviour::Ptz ptz_;            // mutex_ (copy for Status)
    int width_ = 0;                       // mutex_ (copy for Status)

    std::atomic<bool> connected_{false};
    std::atomic<size_t> receivedCount_{0};
    std::atomic<bool> stop_{false};
    int wakeFd_ = -1;
    std::thread thread_;
};
