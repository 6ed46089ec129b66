#include "glooxWrap/CIMClient.h"

#include "base/SingleLock.h"
#include "glooxWrap/ImEvents.h"
#include "glooxWrap/XmppLibrary.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

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

// A device id as the user part of a JID comes back from the server: case-folded (ids are ASCII).
std::string FoldedId(const std::string& deviceId)
{
    std::string folded = deviceId;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return folded;
}

bool HasCapitals(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c >= 'A' && c <= 'Z'; });
}
}

CIMClient::CIMClient() : CIMClient(XmppLibrary::Instance()) {}

CIMClient::CIMClient(XmppLibrary& library) : library_(library) {}

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
    // Loaded with the first connection (the reason it cannot be is logged once).
    if (const XmppLibrary::Factory createSession = library_.Get()) {
        base::CSingleLock guard(&clientLock_, true);
        client_.reset(createSession(jid, password.c_str(), server.c_str(), port, this));
        // Non-blocking connect plus our own receive loop: the library is then only ever entered under
        // clientLock_, so sends from other threads cannot race its receive processing.
        opened = client_ != nullptr && client_->Connect();
    }
    if (opened) {
        LOG(INFO) << "连接中....";
        RunReceiveLoop();
    }
    base::CSingleLock guard(&clientLock_, true);
    client_.reset();
    connected_.store(false);
    return opened;
}

void CIMClient::RunReceiveLoop()
{
    int fd = -1;
    {
        base::CSingleLock guard(&clientLock_, true);
        fd = client_->Socket();
    }
    if (fd < 0)
        return;
    // Commands and replies are small and interactive: do not let them wait for the peer's ACK.
    const int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    for (;;) {
        if (stopRequested_.load()) {
            base::CSingleLock guard(&clientLock_, true);
            client_->Disconnect();
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
        if (!client_->Receive())
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
    client_->Send(jid, body);
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
        client_->Subscribe(jid);
    }
}

bool CIMClient::IsFriend(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    NoteSpelling(deviceId);
    return friendSet_.count(deviceId) != 0;
}

bool CIMClient::IsOnline(const std::string& deviceId)
{
    base::CSingleLock guard(&lock_, true);
    NoteSpelling(deviceId);
    auto it = presence_.find(HasCapitals(deviceId) ? FoldedId(deviceId) : deviceId);
    return it != presence_.end() && it->second == kXmppAvailable;
}

void CIMClient::NoteSpelling(const std::string& deviceId)
{
    if (HasCapitals(deviceId))
        spellings_.insert_or_assign(FoldedId(deviceId), deviceId);
}

std::string CIMClient::ProgramSpelling(const std::string& userPart) const
{
    auto it = spellings_.find(userPart);
    return it != spellings_.end() ? it->second : userPart;
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

void CIMClient::OnMessage(const std::string& deviceId, const std::string& body)
{
    HWND hwnd = notifyWnd_.load();
    if (hwnd == nullptr)
        return;
    std::string sender;
    {
        base::CSingleLock guard(&lock_, true);
        sender = ProgramSpelling(deviceId);
    }
    PostImMessage(hwnd, std::make_unique<ImMessageRecord>(ImMessageRecord{sender, body}));
}

void CIMClient::OnConnected()
{
    HWND hwnd = notifyWnd_.load();
    if (hwnd == nullptr)
        return;
    LOG(INFO) << "im连接成功";
    connections_.fetch_add(1);
    connected_.store(true);
    connectedGate_.Open();
    firstAttemptGate_.Open();
    PostMessage(hwnd, WM_IM_CONNECTED, 0, 0);
}

void CIMClient::OnDisconnected(int error)
{
    LOG(INFO) << "im断开连接 " << error;
    connected_.store(false);
}

void CIMClient::OnRoster(const std::vector<std::string>& names)
{
    {
        base::CSingleLock guard(&lock_, true);
        // Every connection after a lost one delivers the whole roster again.
        friends_ = names;
        friendSet_ = std::unordered_set<std::string>(names.begin(), names.end());
        for (const auto& name : names)
            NoteSpelling(name);
    }
    HWND hwnd = notifyWnd_.load();
    if (hwnd == nullptr)
        return;
    rosterReady_.store(true);
    rosterGate_.Open();
    PostMessage(hwnd, WM_IM_ROSTER, 0, 0);
}

void CIMClient::OnRosterPresence(const std::string& deviceId, XmppPresence presence)
{
    const int value = presence;
    base::CSingleLock guard(&lock_, true);
    auto it = presence_.find(deviceId);
    if (it != presence_.end() && it->second == value)
        return;
    presence_[deviceId] = value;
    if (HWND hwnd = notifyWnd_.load())
        PostPresence(hwnd, value, ProgramSpelling(deviceId));
}

void CIMClient::OnLog(XmppLogKind, const std::string& line)
{
    LOG(INFO) << line;
}
