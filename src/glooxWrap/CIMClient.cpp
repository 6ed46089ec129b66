#include "glooxWrap/CIMClient.h"

#include "base/SingleLock.h"
#include "glooxWrap/ImEvents.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <gloox/chatstatefilter.h>
#include <gloox/client.h>
#include <gloox/connectiontcpbase.h>
#include <gloox/disco.h>
#include <gloox/message.h>
#include <gloox/messageeventfilter.h>
#include <gloox/messagesession.h>
#include <gloox/rostermanager.h>
#include <glog/logging.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {
// How long the receive loop waits for input before it looks at a stop request or queued
// subscriptions again.
constexpr int kPollMs = 100;
// Subscription requests sent at most between two looks at the input: the server's answers to them
// (roster pushes) are read as they come instead of piling up.
constexpr size_t kSubscriptionBatch = 200;
}

CIMClient::CIMClient() = default;

CIMClient::~CIMClient()
{
    base::CSingleLock guard(&clientLock_, true);
    client_.reset();
}

int CIMClient::DrawResourceNumber()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return static_cast<int>(std::rand() * 10000.0 / (RAND_MAX + 1.0));
}

bool CIMClient::ConnectServer(const std::string& user, const std::string& password, const std::string& domain,
                              const std::string& server, int port)
{
    const int resource = DrawResourceNumber();
    LOG(INFO) << "连接开始";
    char jid[512];
    std::snprintf(jid, sizeof jid, "%s@%s/%d", user.c_str(), domain.c_str(), resource);
    LOG(INFO) << jid;
    {
        base::CSingleLock guard(&lock_, true);
        boundJid_ = jid;
        subscribed_.clear();
        toSubscribe_.clear();
    }
    bool opened = false;
    {
        base::CSingleLock guard(&clientLock_, true);
        client_ = std::make_unique<gloox::Client>(gloox::JID(jid), password, -1);
        client_->setServer(server);
        client_->setPort(port);
        client_->registerConnectionListener(this);
        client_->registerMessageSessionHandler(this, 0);
        client_->rosterManager()->registerRosterListener(this, true);
        client_->disco()->setVersion("messageTest", gloox::GLOOX_VERSION, "Linux");
        client_->disco()->setIdentity("client", "bot", "");
        client_->disco()->addFeature(gloox::XMLNS_CHAT_STATES);
        client_->setTls(gloox::TLSDisabled);
        client_->logInstance().registerLogHandler(gloox::LogLevelDebug, gloox::LogAreaAll, this);
        // Non-blocking connect plus our own receive loop: the library is then only ever entered under
        // clientLock_, so sends from other threads cannot race its receive processing.
        opened = client_->connect(false);
    }
    if (opened) {
        LOG(INFO) << "连接中....";
        RunReceiveLoop();
    }
    base::CSingleLock guard(&clientLock_, true);
    client_.reset();
    session_ = nullptr;
    chatStateFilter_ = nullptr;
    messageEventFilter_ = nullptr;
    connected_.store(false);
    return opened;
}

void CIMClient::RunReceiveLoop()
{
    int fd = -1;
    {
        base::CSingleLock guard(&clientLock_, true);
        if (auto* tcp = dynamic_cast<gloox::ConnectionTCPBase*>(client_->connectionImpl()))
            fd = tcp->socket();
    }
    if (fd < 0)
        return;
    // Commands and replies are small and interactive: do not let them wait for the peer's ACK.
    const int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    for (;;) {
        if (stopRequested_.load()) {
            base::CSingleLock guard(&clientLock_, true);
            client_->disconnect();
            return;
        }
        // Input first; queued subscription requests go out only while there is room to write, so the
        // loop never blocks in a send while the server waits for it to read.
        const bool sending = HasQueuedSubscriptions();
        pollfd ready{fd, static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
        if (::poll(&ready, 1, kPollMs) <= 0)
            continue;
        if (ready.revents == POLLOUT) {
            SendQueuedSubscriptions(fd);
            continue;
        }
        base::CSingleLock guard(&clientLock_, true);
        if (client_->recv(0) != gloox::ConnNoError)
            return;
    }
}

bool CIMClient::PauseUnlessStopped(std::chrono::milliseconds pause) const
{
    const auto until = std::chrono::steady_clock::now() + pause;
    while (!stopRequested_.load()) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::milliseconds::zero())
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(kPollMs)));
    }
    return false;
}

void CIMClient::ForgetPresences()
{
    base::CSingleLock guard(&lock_, true);
    presence_.clear();
}

void CIMClient::SendMsg(const std::string& jid, const std::string& body)
{
    if (jid.empty() || !connected_.load())
        return;
    base::CSingleLock guard(&clientLock_, true);
    if (!client_)
        return;
    auto* session = new gloox::MessageSession(client_.get(), gloox::JID(jid), true, 0, true);
    AttachHandlers(session);
    session->send(body, gloox::EmptyString);
    // Replies come in a session the library creates for the camera (handleMessageSession).
    client_->disposeMessageSession(session);
}

void CIMClient::Subscribe(const std::string& jid)
{
    if (!connected_.load())
        return;
    base::CSingleLock guard(&lock_, true);
    if (subscribed_.insert(jid).second)
        toSubscribe_.push_back(jid);
}

bool CIMClient::HasQueuedSubscriptions()
{
    base::CSingleLock guard(&lock_, true);
    return !toSubscribe_.empty();
}

void CIMClient::SendQueuedSubscriptions(int fd)
{
    base::CSingleLock guard(&clientLock_, true);
    for (size_t sent = 0; sent < kSubscriptionBatch; ++sent) {
        pollfd ready{fd, POLLIN | POLLOUT, 0};
        if (::poll(&ready, 1, 0) != 1 || ready.revents != POLLOUT)
            return;
        std::string jid;
        {
            base::CSingleLock queueGuard(&lock_, true);
            if (toSubscribe_.empty())
                return;
            jid = std::move(toSubscribe_.front());
            toSubscribe_.pop_front();
        }
        client_->rosterManager()->subscribe(gloox::JID(jid), gloox::EmptyString, gloox::StringList(),
                                            gloox::EmptyString);
    }
}

bool CIMClient::IsFriend(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    return friendSet_.count(deviceId) != 0;
}

bool CIMClient::IsOnline(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    auto it = presence_.find(deviceId);
    return it != presence_.end() && it->second == gloox::Presence::Available;
}

bool CIMClient::WaitUntilReady(std::stop_token stop)
{
    return connectedGate_.Wait(stop) && rosterGate_.Wait(stop);
}

void CIMClient::GetFriends(std::vector<std::string>& out)
{
    base::CSingleLock guard(&lock_, true);
    out = friends_;
}

std::string CIMClient::BoundJid()
{
    base::CSingleLock guard(&lock_, true);
    return boundJid_;
}

void CIMClient::AttachHandlers(gloox::MessageSession* session)
{
    session->registerMessageHandler(this);
    // The session owns its filters.
    messageEventFilter_ = new gloox::MessageEventFilter(session);
    messageEventFilter_->registerMessageEventHandler(this);
    chatStateFilter_ = new gloox::ChatStateFilter(session);
    chatStateFilter_->registerChatStateHandler(this);
}

void CIMClient::handleMessageSession(gloox::MessageSession* session)
{
    session_ = session;
    AttachHandlers(session);
}

void CIMClient::handleMessage(const gloox::Message& msg, gloox::MessageSession* session)
{
    // An error bounce may carry our own command back; it is no reply from the camera.
    if (msg.subtype() == gloox::Message::Error)
        return;
    const std::string& body = msg.body("default");
    if (body.empty())
        return;
    const std::string deviceId = session != nullptr ? session->target().username() : msg.from().username();
    HWND hwnd = notifyWnd_.load();
    if (hwnd == nullptr)
        return;
    PostImMessage(hwnd, std::make_unique<ImMessageRecord>(ImMessageRecord{deviceId, body}));
}

void CIMClient::onConnect()
{
    HWND hwnd = notifyWnd_.load();
    if (hwnd == nullptr)
        return;
    LOG(INFO) << "im连接成功";
    connections_.fetch_add(1);
    connected_.store(true);
    connectedGate_.Open();
    PostMessage(hwnd, WM_IM_CONNECTED, 0, 0);
}

void CIMClient::onDisconnect(gloox::ConnectionError error)
{
    LOG(INFO) << "im断开连接 " << static_cast<int>(error);
    connected_.store(false);
}

void CIMClient::handleRoster(const gloox::Roster& roster)
{
    {
        base::CSingleLock guard(&lock_, true);
        // Every connection after a lost one delivers the whole roster again.
        friends_.clear();
        friendSet_.clear();
        for (const auto& item : roster) {
            friends_.push_back(item.second->name());
            friendSet_.insert(item.second->name());
        }
    }
    HWND hwnd = notifyWnd_.load();
    if (hwnd == nullptr)
        return;
    rosterReady_.store(true);
    rosterGate_.Open();
    PostMessage(hwnd, WM_IM_ROSTER, 0, 0);
}

void CIMClient::handleRosterPresence(const gloox::RosterItem& item, const std::string&,
                                     gloox::Presence::PresenceType presence, const std::string&)
{
    if (presence != gloox::Presence::Available && presence != gloox::Presence::Unavailable)
        return;
    const std::string deviceId = item.jidJID().username();
    const int value = static_cast<int>(presence);
    base::CSingleLock guard(&lock_, true);
    auto it = presence_.find(deviceId);
    if (it != presence_.end() && it->second == value)
        return;
    presence_[deviceId] = value;
    if (HWND hwnd = notifyWnd_.load())
        PostPresence(hwnd, value, deviceId);
}

void CIMClient::handleLog(gloox::LogLevel, gloox::LogArea, const std::string& message)
{
    LOG(INFO) << message;
}
